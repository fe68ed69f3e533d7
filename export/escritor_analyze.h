#pragma once

#include <array>
#include <string>

#include <QString>

#include "cubo.h"
#include "estado_vista.h"

constexpr std::size_t kTamanoCabeceraAnalyze = 348;

// The 16-bit extents of the header hold 1…32767.
constexpr int kExtensionMaximaAnalyze = 32767;
bool cabeEnCabeceraAnalyze(int ancho, int alto, int cortes);

// The 348 header bytes of an Analyze 7.5 pair, little-endian, every field not
// set here 0. `tamanos` x, y and z go to pixdim[1], pixdim[2] and pixdim[3],
// the mapping the reader uses. `tipo` is "uc", "us", "s" or "ft"; any other
// text is written as "us". Writes the "CREA HDR CON ORIENT: " line.
// Throws std::invalid_argument for extents that do not fit.
std::array<unsigned char, kTamanoCabeceraAnalyze> cabeceraAnalyze(int ancho, int alto, int cortes,
                                                                  const TamanoPixel& tamanos,
                                                                  const std::string& tipo);

// The header type text of a save letter: 'c' "uc", 's' "s", 'f' "ft", any
// other "us".
std::string textoTipoAnalyze(char letra);

// The base name of a chosen path: for a path ending in "hdr", the path without
// its last four characters; otherwise the holding folder's path followed by
// that folder's name (…/series1/im001.png gives …/series1/series1). A path
// without a folder of its own keeps its file name without the extension.
QString nombreBase(const QString& ruta);

// Writes the volume as base.img and base.hdr (base from nombreBase), in the
// sample type of the attribute "dataType". Writes the save's log lines to
// standard output. Throws ErrorEscritura, with nothing written, for a volume
// that lacks "dataType", "PixelDimx", "PixelDimy" or "ST" (or holds a
// non-number there) or whose extents do not fit the header; and, leaving no
// file of the pair behind, for a file that cannot be created or written.
void guardarAnalyze(const Cubo& cubo, const QString& ruta);

// One Analyze save as the save command does it: "dataType" is the letter for
// this save only and is gone again afterwards, whatever the outcome.
void guardarVolumenAnalyze(Cubo& cubo, const QString& ruta, char tipo);

// True for a chosen name that asks for an Analyze pair rather than a picture.
bool esNombreAnalyze(const QString& ruta);
