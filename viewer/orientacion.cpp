#include "orientacion.h"

#include <cstddef>

namespace {

std::size_t indice(int x, int y, int alto) {
  return static_cast<std::size_t>(x) * static_cast<std::size_t>(alto) + static_cast<std::size_t>(y);
}

Imagen16 conForma(int ancho, int alto) {
  Imagen16 r;
  r.ancho = ancho;
  r.alto = alto;
  if (ancho > 0 && alto > 0) r.muestras.resize(indice(ancho, 0, alto));
  return r;
}

}  // namespace

Imagen16 giraDerecha(const Imagen16& im) {
  const int W = im.ancho, H = im.alto;
  Imagen16 r = conForma(H, W);
  for (int x = 0; x < r.ancho; ++x)
    for (int y = 0; y < r.alto; ++y) r.muestras[indice(x, y, r.alto)] = im.muestras[indice(y, H - 1 - x, H)];
  return r;
}

Imagen16 giraIzquierda(const Imagen16& im) {
  const int W = im.ancho, H = im.alto;
  Imagen16 r = conForma(H, W);
  for (int x = 0; x < r.ancho; ++x)
    for (int y = 0; y < r.alto; ++y) r.muestras[indice(x, y, r.alto)] = im.muestras[indice(W - 1 - y, x, H)];
  return r;
}

Imagen16 espejoHorizontal(const Imagen16& im) {
  const int W = im.ancho, H = im.alto;
  Imagen16 r = conForma(W, H);
  for (int x = 0; x < W; ++x)
    for (int y = 0; y < H; ++y) r.muestras[indice(x, y, H)] = im.muestras[indice(W - 1 - x, y, H)];
  return r;
}

Imagen16 espejoVertical(const Imagen16& im) {
  const int W = im.ancho, H = im.alto;
  Imagen16 r = conForma(W, H);
  for (int x = 0; x < W; ++x)
    for (int y = 0; y < H; ++y) r.muestras[indice(x, y, H)] = im.muestras[indice(x, H - 1 - y, H)];
  return r;
}
