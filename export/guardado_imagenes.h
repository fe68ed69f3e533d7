#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QString>

#include "corte.h"
#include "cubo.h"
#include "errores_escritura.h"
#include "estado_vista.h"
#include "muestras.h"
#include "observador.h"

// The save dialogs' texts, to pass through the translation function. The TIFF
// entry of the single-picture filter lacks its closing parenthesis: kept, as
// the dialog has always shown it.
inline constexpr char kTituloGuardar[] = "Choose a file name";
inline constexpr char kFiltroGuardar[] =
    "Imagen PNG(*.png);;Imagen BMP de Windows(*.bmp);;Imagen TIFF(*.tiff , *.tif;;Imagen PPM(*.ppm);;"
    "Imagen X BitMap(*.xbm);;Imagen X PixMap(*.xpm);;Imagen Analyze (*.hdr)";
inline constexpr char kFiltroGuardarTodas[] =
    "Imagen PNG(*.png);;Imagen BMP de Windows(*.bmp);;Imagen TIFF(*.tif);;Imagen PPM(*.ppm);;"
    "Imagen X BitMap(*.xbm);;Imagen X PixMap(*.xpm)";

// A slice through the window limits [inferior, superior] as an opaque grey
// picture of ancho x alto; the sample of column x and row y is x*alto + y
// (missing samples count as 0). Below the window is black, above it white.
QImage imagenCorte(const Muestras<uint16_t>& muestras, int ancho, int alto, int inferior, int superior);
// The same for one slice of a volume and the window of the view.
QImage imagenCorte(const Corte& corte, const EstadoVista& vista);

// The chosen path without its last four characters, then "_" and n as %04d.
QString nombreNumerado(const QString& ruta, int n);
// The extension a numbered name takes: "." and the last three characters.
QString extensionNumerada(const QString& ruta);

// Writes a picture in the format its name's extension selects (PNG, BMP,
// TIFF, PPM, XBM, XPM and whatever else the toolkit writes). Throws
// ErrorEscritura for an unknown extension or a file that cannot be written;
// a partly written file is removed.
void guardarImagen(const QImage& imagen, const QString& nombre);

// Every slice as a numbered grey picture through the view's window limits,
// writing the "Salvando" line of each. A slice that cannot be written does not
// stop the others; the failures come back, in slice order. The observer
// hears the progress, one step a slice.
std::vector<ErrorEscritura> guardarCortes(const Cubo& cubo, const EstadoVista& vista, const QString& ruta,
                                          ObservadorLectura& observador = observadorMudo());
std::vector<ErrorEscritura> guardarCortes(const Cubo& cubo, int inferior, int superior, const QString& ruta,
                                          ObservadorLectura& observador = observadorMudo());
