// The offsets of a ray's samples must name the very pixels the ray's own
// arithmetic reaches, for every start pixel of the slice.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "pasos.h"

namespace {

constexpr double kDosPi = 6.2831853072;

// The pixel column of sample k from x0 as a ray computes it.
long long columnaCalculada(int x0, int k, double c) {
  return static_cast<long long>(std::floor(x0 + static_cast<double>(k) * c));
}

void esperaExacta(const PasosAngulo& p, int lado, const std::string& caso) {
  for (int k = 0; k < p.largo; ++k)
    for (int x0 = 0; x0 < lado; ++x0) {
      const long long x = columnaCalculada(x0, k, p.cos), tabla = x0 + p.dx[k];
      const long long y = columnaCalculada(x0, k, p.sin), tablaY = x0 + p.dy[k];
      // Only where either lands on the slice does the pixel matter.
      if ((x >= 0 && x < lado) || (tabla >= 0 && tabla < lado)) {
        ASSERT_EQ(tabla, x) << caso << " k " << k << " x0 " << x0;
      }
      if ((y >= 0 && y < lado) || (tablaY >= 0 && tablaY < lado)) {
        ASSERT_EQ(tablaY, y) << caso << " k " << k << " y0 " << x0;
      }
    }
}

TEST(PasosAngulo, NameThePixelsTheRaysComputeAtEveryAngleTheDetectorUses) {
  constexpr int kLado = 300;
  for (int nAng : {2, 4, 6, 16, 64, 128, 360}) {
    for (int a = 0; a < nAng / 2; ++a) {
      const PasosAngulo p = pasosAngulo((a * kDosPi) / nAng, kLado + 3, kLado);
      EXPECT_EQ(p.largo, kLado + 3) << "nAng " << nAng << " angle " << a;
      esperaExacta(p, kLado, "nAng " + std::to_string(nAng) + " angle " + std::to_string(a));
    }
  }
}

TEST(PasosAngulo, EndWhereAProductLiesJustBelowAnInteger) {
  // An angle whose cosine lies a few units in the last place below 1/2:
  // 2 cos t falls short of 1 by less than the spacing of the doubles near
  // 1001, so from x0 = 1000 the ray's sample 2 lies on column 1001, not on
  // 1000 + floor(2 cos t).
  double theta = std::acos(0.5);
  while (!(std::cos(theta) < 0.5)) theta = std::nextafter(theta, 4.0);
  const double c = std::cos(theta);
  ASSERT_GT(c, 0.5 - 1e-15);
  ASSERT_EQ(columnaCalculada(1000, 2, c), 1001);
  const PasosAngulo p = pasosAngulo(theta, 100, 2000);
  EXPECT_EQ(p.largo, 2);
  esperaExacta(p, 2000, "cosine just below one half");
}

TEST(PasosAngulo, CanBeReadSixteenPastTheirEnd) {
  const PasosAngulo p = pasosAngulo(0.3, 50, 40);
  EXPECT_EQ(p.dx.size(), static_cast<std::size_t>(p.largo + PasosAngulo::kRelleno));
  EXPECT_EQ(p.dy.size(), p.dx.size());
  EXPECT_EQ(pasosAngulo(0.3, 0, 40).largo, 0);
}

}  // namespace
