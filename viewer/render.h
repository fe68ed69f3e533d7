#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include <QImage>
#include <QString>

#include "orientacion.h"

class QPainter;
class QPixmap;

// One palette: 256 entries of (red, green, blue), entry e for grey level e.
struct Paleta {
  std::array<std::array<uint16_t, 3>, 256> entradas{};
};

// What the window lays over the grey picture: a palette, or the inversion,
// or nothing.
struct Tinte {
  const Paleta* paleta = nullptr;
  bool invertido = false;
};

// The grey-level picture of a display buffer through the window [inferior,
// superior]: below black, above white, in between (v - L) * f truncated, with
// f = 255 / (U - L) rounded to single precision. Opaque 32-bit RGB. With a
// tint, the picture coloreaConPaleta or invierteImagen would make of the grey
// one, in the same single pass.
QImage renderizaVentana(const Imagen16& buffer, int inferior, int superior, Tinte tinte = {});
using TablaPaletas = std::vector<Paleta>;

// How far the palette data could be read.
enum class LecturaPaletas {
  completa,   // the file ended or 9252 numbers were read
  sinFichero, // the file could not be opened
  malFormada  // reading stopped at text that is not a number from 0 to 65535
};

// Up to 9252 numbers; every number above 1100 starts a palette with the 768
// numbers after it (also one inside an earlier palette); at most nine.
TablaPaletas parseaPaletas(std::istream& entrada, LecturaPaletas* estado = nullptr);
TablaPaletas leePaletasDe(const QString& ruta, LecturaPaletas* estado = nullptr);

// Recolours through the palette entry of each pixel's grey level
// (11 r + 16 g + 5 b) / 32; components are taken modulo 256.
void coloreaConPaleta(QImage& imagen, const Paleta& paleta);
// Each component becomes 255 minus itself.
void invierteImagen(QImage& imagen);

// The tool bar's form of a path: its last four characters dropped, then what
// follows the last "/" (/data/ct/img0042.dcm gives img0042).
QString formaNombreFichero(const QString& ruta);

// A resource of the run folder ("./images/open.png"): in the working directory
// when it is there, else beside the executable.
QString rutaRecurso(const QString& relativa);

// Draws the pixmap scaled to the painter's viewport keeping its aspect ratio,
// anchored at the viewport's top-left corner.
void dibujaAjustado(QPainter& pintor, const QPixmap& pixmap);
