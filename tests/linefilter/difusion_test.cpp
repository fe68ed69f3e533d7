#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "difusion.h"

namespace {

// One run of the pipeline's smoothing: exponential conduction, kappa 2000,
// time step 0.14.
std::vector<float> difunde(const std::vector<uint16_t>& img, Dimensiones d, int iteraciones,
                           int opcion = 1) {
  testing::internal::CaptureStdout();
  std::vector<float> r = difusionAnisotropica(img.data(), d, iteraciones, opcion, 2000, 0.14);
  testing::internal::GetCapturedStdout();
  return r;
}

Filas<float> diferencia(int a, int b) {
  Filas<float> k = nuevasFilas<float>(3, 3);
  k[1][1] = -1.0f;
  k[a][b] = 1.0f;
  return k;
}

}  // namespace

TEST(Difusion, UniformSquareLosesValueTowardTheBorder) {
  const std::vector<uint16_t> img(9, 100);
  const std::vector<float> r = difunde(img, {3, 3}, 1);
  ASSERT_EQ(r.size(), 9u);
  // Toward the frame an edge sample differs by -100/6, a corner by -100/4.
  const float borde = 100.0f - static_cast<float>(0.14 * (100.0 / 3) * std::exp(-std::pow(100.0 / 6 / 2000, 2)));
  const float esquina = 100.0f - static_cast<float>(0.14 * 87.5 * std::exp(-std::pow(25.0 / 2000, 2)));
  const std::vector<float> esperado = {esquina, borde, esquina, borde, 100.0f,
                                       borde,   esquina, borde, esquina};
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(r[i], esperado[i], 1e-3) << "sample " << i;
  EXPECT_EQ(flotanteAU16(r.data(), 9),
            (std::vector<uint16_t>{87, 95, 87, 95, 100, 95, 87, 95, 87}));
}

TEST(Difusion, ZerosBesidePositiveSamplesGainValue) {
  std::vector<uint16_t> img(16, 0);
  for (int i : {5, 6, 9, 10}) img[i] = 100;
  const std::vector<float> r = difunde(img, {4, 4}, 1);
  for (int i : {5, 6, 9, 10}) EXPECT_NEAR(r[i], 87.75f, 0.01) << i;
  for (int i : {1, 2, 4, 7, 8, 11, 13, 14}) EXPECT_NEAR(r[i], 10.49f, 0.01) << i;
  for (int i : {0, 3, 12, 15}) EXPECT_NEAR(r[i], 6.98f, 0.01) << i;
}

TEST(Difusion, SampleWithoutPositiveWindowBecomesNaNForGood) {
  // Columns 0 and 1 of a 5x6 image see no positive sample in the first
  // iteration; column 2 has column 3 beside it.
  const Dimensiones d{5, 6};
  std::vector<uint16_t> img(30, 0);
  for (int i = 0; i < 5; ++i)
    for (int j = 3; j < 6; ++j) img[i * 6 + j] = 500;
  for (int iteraciones : {1, 4}) {
    const std::vector<float> r = difunde(img, d, iteraciones);
    const std::vector<uint16_t> u = flotanteAU16(r.data(), 30);
    for (int i = 0; i < 5; ++i) {
      for (int j : {0, 1}) {
        EXPECT_TRUE(std::isnan(r[i * 6 + j])) << iteraciones << " its, (" << i << "," << j << ")";
        EXPECT_EQ(u[i * 6 + j], 0);
      }
      EXPECT_GT(r[i * 6 + 2], 0.0f) << iteraciones << " its, row " << i;
    }
  }
}

TEST(Difusion, AllZeroImageStaysZero) {
  const std::vector<uint16_t> img(12, 0);
  const std::vector<float> r = difunde(img, {3, 4}, 3);
  EXPECT_EQ(flotanteAU16(r.data(), 12), std::vector<uint16_t>(12, 0));
}

TEST(Difusion, NoIterationsOrUnknownOptionReturnTheCopy) {
  const std::vector<uint16_t> img = {0, 1, 65535, 300, 7, 40000};
  const std::vector<float> copia(img.begin(), img.end());
  EXPECT_EQ(difunde(img, {2, 3}, 0), copia);
  EXPECT_EQ(difunde(img, {2, 3}, -5), copia);
  EXPECT_EQ(difunde(img, {2, 3}, 3, 0), copia);
  EXPECT_EQ(difunde(img, {2, 3}, 3, 7), copia);
}

TEST(Difusion, RationalConduction) {
  const std::vector<uint16_t> img(9, 100);
  const std::vector<float> r = difunde(img, {3, 3}, 1, 2);
  const double q = std::pow(25.0 / 2000, 2);
  EXPECT_NEAR(r[0], 100 - 0.14 * 87.5 / (1 + q), 1e-3);
  EXPECT_NEAR(r[4], 100.0f, 1e-6);
}

TEST(Difusion, EmptyImage) {
  for (Dimensiones d : {Dimensiones{0, 0}, Dimensiones{0, 5}, Dimensiones{4, 0}, Dimensiones{-2, 3}}) {
    EXPECT_TRUE(difunde({}, d, 2).empty());
  }
}

TEST(Difusion, InputIsLeftAlone) {
  const std::vector<uint16_t> img = {10, 200, 3000, 0, 5, 60000, 7, 8, 9};
  const std::vector<uint16_t> antes = img;
  difunde(img, {3, 3}, 2);
  EXPECT_EQ(img, antes);
}

TEST(Difusion, LogsItsParameters) {
  const std::vector<uint16_t> img(4, 1);
  testing::internal::CaptureStdout();
  difusionAnisotropica(img.data(), {2, 2}, 25, 1, 2000, 0.14);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Anisotropico devuelve float\niteraciones 25\nopcion 1\nkappa 2000\ndelta_t 0.14\n");
}

TEST(CorrelacionEnmascarada, AveragesOverPositiveWindowElementsOnly) {
  // 3x3 image, centre 90; the N kernel looks at (i-1, j).
  const std::vector<float> img = {10, 20, 30, 40, 90, 60, 70, 80, 100};
  const Dimensiones d{3, 3};
  const std::vector<float> n = correlacionEnmascarada(img.data(), d, diferencia(0, 1), 3);
  ASSERT_EQ(n.size(), 9u);
  struct Caso {
    int muestra;
    float valor;
  } casos[] = {
      {4, (20.0f - 90.0f) / 9.0f},   // interior: nine samples counted
      {0, -10.0f / 4.0f},            // corner: four samples, neighbour outside
      {1, -20.0f / 6.0f},            // edge toward the outside
      {7, (90.0f - 80.0f) / 6.0f},   // edge whose neighbour is inside
  };
  for (const Caso& c : casos) EXPECT_FLOAT_EQ(n[c.muestra], c.valor) << "sample " << c.muestra;
}

TEST(CorrelacionEnmascarada, ZeroAndNaNAreNeitherAddedNorCounted) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  // Centre 50; its E neighbour is 0 and one corner NaN, so only seven count.
  const std::vector<float> img = {nan, 10, 10, 10, 50, 0, 10, 10, 10};
  const std::vector<float> e = correlacionEnmascarada(img.data(), {3, 3}, diferencia(1, 2), 3);
  EXPECT_FLOAT_EQ(e[4], -50.0f / 7.0f);
  const std::vector<float> ceros(6, 0.0f);
  for (float v : correlacionEnmascarada(ceros.data(), {2, 3}, diferencia(0, 0), 3))
    EXPECT_TRUE(std::isnan(v));
}

TEST(CorrelacionEnmascarada, RejectsAKernelSmallerThanItsSize) {
  const std::vector<float> img(4, 1.0f);
  const Filas<float> corta = nuevasFilas<float>(2, 3);
  const Filas<float> estrecha = nuevasFilas<float>(3, 2);
  EXPECT_THROW(correlacionEnmascarada(img.data(), {2, 2}, corta, 3), std::invalid_argument);
  EXPECT_THROW(correlacionEnmascarada(img.data(), {2, 2}, estrecha, 3), std::invalid_argument);
  EXPECT_THROW(correlacionEnmascarada(img.data(), {2, 2}, corta, -1), std::invalid_argument);
}

TEST(SumaPonderada8, WeighsEachDirection) {
  const Dimensiones d{1, 8};
  // Sample k carries a unit flux in direction k only (N, S, W, E, NE, SE, SW, NW).
  std::vector<std::vector<float>> f(8, std::vector<float>(8, 0.0f));
  for (int k = 0; k < 8; ++k) f[k][k] = 1.0f;
  auto suma = [&](int dx, int dy) {
    return sumaPonderada8(dx, dy, std::sqrt(2.0), d, f[0].data(), f[1].data(), f[2].data(),
                          f[3].data(), f[4].data(), f[5].data(), f[6].data(), f[7].data());
  };
  struct Caso {
    int dx, dy;
    std::vector<float> pesos;
  } casos[] = {
      {1, 1, {1, 1, 1, 1, 0.5f, 0.5f, 0.5f, 0.5f}},
      {2, 1, {1, 1, 0, 0, 0.5f, 0.5f, 0.5f, 0.5f}},  // integer quotient 1/4 = 0
      {1, -1, {1, 1, 1, 1, 0.5f, 0.5f, 0.5f, 0.5f}},
      {1, 0, {0, 0, 1, 1, 0.5f, 0.5f, 0.5f, 0.5f}},  // no division by a zero step
  };
  for (const Caso& c : casos) EXPECT_EQ(suma(c.dx, c.dy), c.pesos) << c.dx << "," << c.dy;
}

TEST(FlotanteAU16, TruncatesTowardZeroAndKeepsTheLow16Bits) {
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<float> v = {3.7f,    -3.7f,  -0.5f, 65535.9f, 65536.5f, 70000.0f,
                                -65536.0f, 1e20f, -1e20f, inf,    -inf,
                                std::numeric_limits<float>::quiet_NaN()};
  const std::vector<uint16_t> esperado = {3, 65533, 0, 65535, 0, 4464, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(flotanteAU16(v.data(), static_cast<int>(v.size())), esperado);
  EXPECT_TRUE(flotanteAU16(v.data(), 0).empty());
  EXPECT_TRUE(flotanteAU16(nullptr, -3).empty());
  EXPECT_EQ(dobleAU16(4294967297.9), 1);
  EXPECT_EQ(dobleAU16(-1.0), 65535);
}
