#pragma once

// Synthetic slices for the benchmarks, the same on every run.

#include <cmath>
#include <cstdint>
#include <vector>

// Bars of 60 ... 200 samples, 3 ... 6 thick, at any angle, value about 3000,
// one per 64 x 64 block on average, over uniform noise 0 ... 999. A fixed
// linear congruential generator keeps every run on the same slice.
inline std::vector<uint16_t> barrasConRuido(int lado) {
  uint32_t estado = 12345;
  const auto azar = [&estado](uint32_t n) {
    estado = estado * 1664525u + 1013904223u;
    return (estado >> 8) % n;
  };
  std::vector<uint16_t> v(static_cast<std::size_t>(lado) * lado);
  for (uint16_t& m : v) m = static_cast<uint16_t>(azar(1000));
  const int barras = (lado / 64) * (lado / 64);
  for (int b = 0; b < barras; ++b) {
    const double cx = azar(lado), cy = azar(lado);
    const double largo = 60 + azar(141), grueso = 3 + azar(4);
    const double ang = azar(3600) * 3.141592653589793 / 3600;
    const double ux = std::cos(ang), uy = std::sin(ang);
    for (double t = -largo / 2; t <= largo / 2; t += 0.5)
      for (double u = -grueso / 2; u <= grueso / 2; u += 0.5) {
        const int x = static_cast<int>(std::lround(cx + t * ux - u * uy));
        const int y = static_cast<int>(std::lround(cy + t * uy + u * ux));
        if (x >= 0 && x < lado && y >= 0 && y < lado)
          v[static_cast<std::size_t>(y) * lado + x] = static_cast<uint16_t>(2800 + azar(400));
      }
  }
  return v;
}

// A binary slice (255 on 0) for detection alone: a solid square of 300 x 300
// (of lado / 7 on smaller slices), a solid disc, and a comb of 40 parallel
// bars 4 wide and half the slice long, 10 apart.
inline std::vector<uint16_t> escenaDificil(int lado) {
  std::vector<uint16_t> v(static_cast<std::size_t>(lado) * lado, 0);
  auto pon = [&](int x, int y) {
    if (x >= 0 && x < lado && y >= 0 && y < lado) v[static_cast<std::size_t>(y) * lado + x] = 255;
  };
  const int cuadrado = lado >= 2048 ? 300 : lado / 7;
  for (int y = 0; y < cuadrado; ++y)
    for (int x = 0; x < cuadrado; ++x) pon(lado / 10 + x, lado / 10 + y);
  const int r = cuadrado / 2, cx = lado * 3 / 4, cy = lado / 5;
  for (int y = -r; y <= r; ++y)
    for (int x = -r; x <= r; ++x)
      if (x * x + y * y <= r * r) pon(cx + x, cy + y);
  for (int b = 0; b < 40; ++b)
    for (int y = lado / 2; y < lado / 2 + lado / 2 - 8; ++y)
      for (int g = 0; g < 4; ++g) pon(lado / 20 + b * 10 + g, y);
  return v;
}

