#pragma once

#include <cstdint>
#include <vector>

// A slice as the window displays it: its samples with the shape they have
// now. The sample of column x and row y lies at x*alto + y. The buffer carries
// its own shape so that a transform or a render can never read past it, even
// while the view geometry is being exchanged.
struct Imagen16 {
  std::vector<uint16_t> muestras;
  int ancho = 0;
  int alto = 0;
};

// Each builds a new buffer. In screen terms (x to the right, y downwards) the
// clockwise turn takes the top-left corner to the top-right.
Imagen16 giraDerecha(const Imagen16& im);
Imagen16 giraIzquierda(const Imagen16& im);
Imagen16 espejoHorizontal(const Imagen16& im);
Imagen16 espejoVertical(const Imagen16& im);
