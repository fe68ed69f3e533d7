#include "profundidad.h"

#include <algorithm>
#include <cstddef>

std::vector<uint16_t> profundidades(const uint16_t* imagen, int columnas, int filas) {
  if (columnas <= 0 || filas <= 0) return {};
  const std::size_t c = static_cast<std::size_t>(columnas), r = static_cast<std::size_t>(filas);
  std::vector<uint16_t> d(c * r);
  // Depth 1 where a neighbour differs or lies outside; the rest follows by
  // the two-pass sweep, exact for the chessboard distance.
  for (std::size_t y = 0; y < r; ++y)
    for (std::size_t x = 0; x < c; ++x) {
      const uint16_t v = imagen[y * c + x];
      bool borde = x == 0 || y == 0 || x + 1 == c || y + 1 == r;
      for (std::size_t yy = y > 0 ? y - 1 : 0; !borde && yy <= y + 1; ++yy)
        for (std::size_t xx = x - 1; xx <= x + 1; ++xx) borde |= imagen[yy * c + xx] != v;
      d[y * c + x] = borde ? 1 : 65535;
    }
  const auto mas1 = [](uint16_t v) { return static_cast<uint16_t>(v == 65535 ? v : v + 1); };
  for (std::size_t y = 1; y + 1 < r; ++y)
    for (std::size_t x = 1; x + 1 < c; ++x) {
      uint16_t& v = d[y * c + x];
      v = std::min({v, mas1(d[y * c + x - 1]), mas1(d[(y - 1) * c + x - 1]), mas1(d[(y - 1) * c + x]),
                    mas1(d[(y - 1) * c + x + 1])});
    }
  for (std::size_t y = r - 1; y-- > 1;)
    for (std::size_t x = c - 1; x-- > 1;) {
      uint16_t& v = d[y * c + x];
      v = std::min({v, mas1(d[y * c + x + 1]), mas1(d[(y + 1) * c + x + 1]), mas1(d[(y + 1) * c + x]),
                    mas1(d[(y + 1) * c + x - 1])});
    }
  return d;
}
