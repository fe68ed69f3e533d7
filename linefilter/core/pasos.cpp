#include "pasos.h"

#include <algorithm>
#include <cmath>

namespace {

// Whether x0 + t may round up to the integer above x0 + floor(t) for some
// integer x0 that leaves the sum within [-lado - 3, lado + 3] (a sum further
// out is off the slice either way): there the doubles lie at most
// 2^(e - 53) apart, e the exponent of that bound, and the sum rounds up only
// from within half of that below the integer. The threshold is eight times
// that, which also covers the rounding of the fraction itself (2^-53 at most,
// for -1/2 < t < 0).
bool cercaDelEnteroSiguiente(double t, double umbral) {
  const double f = std::floor(t);
  return 1.0 - (t - f) <= umbral;
}

}  // namespace

PasosAngulo pasosAngulo(double theta, int largoMaximo, int lado) {
  PasosAngulo p;
  p.cos = std::cos(theta);
  p.sin = std::sin(theta);
  int exponente;
  std::frexp(static_cast<double>(std::max(lado, 0)) + 3.0, &exponente);
  const double umbral = std::ldexp(1.0, exponente - 51);
  const int n = std::max(largoMaximo, 0);
  p.dx.reserve(static_cast<std::size_t>(n) + PasosAngulo::kRelleno);
  p.dy.reserve(static_cast<std::size_t>(n) + PasosAngulo::kRelleno);
  for (int k = 0; k < n; ++k) {
    // The very products the ray computes.
    const double tx = static_cast<double>(k) * p.cos, ty = static_cast<double>(k) * p.sin;
    if (cercaDelEnteroSiguiente(tx, umbral) || cercaDelEnteroSiguiente(ty, umbral)) break;
    p.dx.push_back(static_cast<int32_t>(std::floor(tx)));
    p.dy.push_back(static_cast<int32_t>(std::floor(ty)));
  }
  p.largo = static_cast<int>(p.dx.size());
  // Readers taking sixteen at a time may read past the end.
  p.dx.resize(p.dx.size() + PasosAngulo::kRelleno, 0);
  p.dy.resize(p.dy.size() + PasosAngulo::kRelleno, 0);
  return p;
}
