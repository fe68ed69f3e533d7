#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

#include "estado_vista.h"

// The pointer tools of the main window, as free functions the window calls:
// no widget is needed to compute a position, a read-out or a mark.

// Picture position of a pointer event at (ex, ey) in window coordinates:
// the scroll bars move the picture under the pointer, the menu bar and the
// tool bar sit above it, and the zoom scales it. Truncated toward zero.
QPoint posicionEnImagen(double ex, double ey, int scrollH, int scrollV, int alturaMenu,
                        int alturaBarra, double zoom);

// True for a position strictly inside a picture of ancho x alto: column 0 and
// row 0 count as outside, as do the width and the height.
bool dentroDeImagen(int x, int y, int ancho, int alto);

// The status-bar read-out of one pixel: slice counted from 1, position, and
// the sample as the unsigned 16-bit number it is, labelled "HU=" for a CT
// volume and "Gray Level=" for any other.
QString textoLectura(int corteActual, int x, int y, uint16_t valor, const std::string& modalidad);

// The circle tool's read-out of its radius at a position.
QString textoRadio(int radio, int x, int y);

// Row y and column x of the picture in opaque red.
void dibujaCruz(QImage& imagen, int x, int y);

// A 4 x 4 opaque red square over columns x-2 … x+1 and rows y-2 … y+1;
// what falls outside the picture is skipped.
void dibujaMarca(QImage& imagen, int x, int y);

// The outline of the box with corners (x0, y0) and (x1, y1), in blue.
void dibujaRectangulo(QImage& imagen, int x0, int y0, int x1, int y1);

// Side of the circle cursor, from the zoom and the radius, capped so that a
// huge zoom never asks for a pixmap of gigabytes.
constexpr int kLadoMaximoCursor = 512;
int ladoCursorCirculo(double zoom, int radio);
// A transparent square of side 2s+1 holding an anti-aliased white circle,
// its hot spot at the centre.
QCursor cursorCirculo(int s);

// The manual edge points being clicked: room for 25 points, each stored as
// x, y and slice in four ints (the fourth unused).
class PuntosManuales {
 public:
  static constexpr int kMaximo = 25;

  // Keeps the point; false, keeping nothing, once 25 are held.
  bool anade(int x, int y, int corte);
  int cuantos() const { return n_; }
  Punto punto(int i) const;
  void vacia();

  // The points handed to the filter, in the order they were clicked.
  std::shared_ptr<Borde> borde() const;
  // The lines the hand-over writes on standard output: the count of ints
  // ("N PUNTOS: " and twice the count of points), then each point's slice and
  // coordinates.
  void escribe(std::ostream& salida) const;

 private:
  std::vector<int> valores_ = std::vector<int>(4 * kMaximo, 0);
  int n_ = 0;
};
