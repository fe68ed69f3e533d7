#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "difusion.h"
#include "gradiente.h"

namespace {

Filas<uint16_t> filas(const std::vector<uint16_t>& plana, Dimensiones d) {
  return aFilas(plana.data(), d);
}

}  // namespace

TEST(FilasImagen, CopyAndNewRows) {
  const std::vector<uint16_t> img = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(filas(img, {2, 3}), (Filas<uint16_t>{{1, 2, 3}, {4, 5, 6}}));
  EXPECT_EQ(filas(img, {3, 2}), (Filas<uint16_t>{{1, 2}, {3, 4}, {5, 6}}));
  EXPECT_TRUE(aFilas(nullptr, {0, 4}).empty());
  EXPECT_EQ(aFilas(nullptr, {2, 0}), (Filas<uint16_t>{{}, {}}));

  EXPECT_EQ(nuevasFilas<int32_t>(2, 3), (Filas<int32_t>{{0, 0, 0}, {0, 0, 0}}));
  EXPECT_EQ(nuevasFilas<double>(1, 2), (Filas<double>{{0.0, 0.0}}));
  EXPECT_TRUE(nuevasFilas<uint16_t>(-1, 5).empty());
  EXPECT_EQ(nuevasFilas<float>(2, -4), (Filas<float>{{}, {}}));
}

TEST(NucleoGaussiano, KnownKernels) {
  struct Caso {
    int w;
    double sigma;
    Filas<double> valores;
  } casos[] = {
      {2, 1.0, {{0.38746, 0.23500}, {0.23500, 0.14254}}},
      {3, 1.0, {{0.07511, 0.12384, 0.07511}, {0.12384, 0.20418, 0.12384}, {0.07511, 0.12384, 0.07511}}},
      {1, 1.0, {{1.0}}},
      {3, 0.0, {{0, 0, 0}, {0, 1, 0}, {0, 0, 0}}},
      {2, 0.0, {{1, 0}, {0, 0}}},
  };
  for (const Caso& c : casos) {
    const Filas<double> k = nucleoGaussiano(c.w, c.sigma);
    ASSERT_EQ(k.size(), c.valores.size()) << "w " << c.w;
    for (std::size_t a = 0; a < k.size(); ++a) {
      ASSERT_EQ(k[a].size(), c.valores[a].size());
      for (std::size_t b = 0; b < k[a].size(); ++b)
        EXPECT_NEAR(k[a][b], c.valores[a][b], 5e-6) << "w " << c.w << " s " << c.sigma << " [" << a << "][" << b << "]";
    }
  }
  EXPECT_TRUE(nucleoGaussiano(0, 1.0).empty());
  EXPECT_TRUE(nucleoGaussiano(-3, 1.0).empty());
}

TEST(NucleoGaussiano, EvenKernelIsNotCentred) {
  // w = 4 has coordinates -1, 0, 1, 2: the peak is at [1][1] and the far
  // corner [3][3] is the smallest weight.
  const Filas<double> k = nucleoGaussiano(4, 1.0);
  double suma = 0.0, mayor = 0.0;
  for (const auto& fila : k)
    for (double v : fila) {
      suma += v;
      mayor = std::max(mayor, v);
    }
  EXPECT_NEAR(suma, 1.0, 1e-12);
  EXPECT_EQ(k[1][1], mayor);
  EXPECT_EQ(k[0][0], k[2][2]);
  EXPECT_LT(k[3][3], k[0][0]);
}

TEST(RellenaReplicando, RepeatsTheNearestEdgeSample) {
  const Filas<uint16_t> img = {{1, 2, 3}, {4, 5, 6}};
  const Filas<uint16_t> p = rellenaReplicando(img, {2, 3}, 2);
  const Filas<uint16_t> esperado = {
      {1, 1, 1, 2, 3, 3, 3}, {1, 1, 1, 2, 3, 3, 3}, {1, 1, 1, 2, 3, 3, 3}, {4, 4, 4, 5, 6, 6, 6},
      {4, 4, 4, 5, 6, 6, 6}, {4, 4, 4, 5, 6, 6, 6}};
  EXPECT_EQ(p, esperado);
  EXPECT_EQ(rellenaReplicando(img, {2, 3}, 0), img);
}

TEST(RellenaReplicando, ImageWithoutSamplesGivesZeros) {
  EXPECT_EQ(rellenaReplicando({}, {0, 2}, 1), (Filas<uint16_t>{{0, 0, 0, 0}, {0, 0, 0, 0}}));
  EXPECT_EQ(rellenaReplicando({}, {0, 0}, 1), (Filas<uint16_t>{{0, 0}, {0, 0}}));
  EXPECT_THROW(rellenaReplicando({{1, 2}}, {2, 2}, 1), std::invalid_argument);
}

TEST(GradienteMagnitud, CentralInsideOneSidedAtTheEdges) {
  const Filas<double> a = {{0, 1, 4}, {2, 5, 6}, {10, 20, 30}};
  const Filas<double> g = gradienteMagnitud(a, {3, 3});
  // (gj, gi) per sample, from the differences along each index.
  const double gj[3][3] = {{1, 2, 3}, {3, 2, 1}, {10, 10, 10}};
  const double gi[3][3] = {{2, 4, 2}, {5, 9.5, 13}, {8, 15, 24}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      EXPECT_DOUBLE_EQ(g[i][j], std::sqrt(gj[i][j] * gj[i][j] + gi[i][j] * gi[i][j]))
          << "(" << i << "," << j << ")";
}

TEST(GradienteMagnitud, ShortExtentsStayInside) {
  // Along an extent of 1 there is no neighbour: the difference is 0.
  EXPECT_EQ(gradienteMagnitud({{1, 4, 9, 16}}, {1, 4}), (Filas<double>{{3, 4, 6, 7}}));
  EXPECT_EQ(gradienteMagnitud({{1}, {4}, {9}}, {3, 1}), (Filas<double>{{3}, {4}, {5}}));
  EXPECT_EQ(gradienteMagnitud({{7}}, {1, 1}), (Filas<double>{{0}}));
  EXPECT_EQ(gradienteMagnitud({{1, 3}, {2, 8}}, {2, 2}),
            (Filas<double>{{std::hypot(2.0, 1.0), std::hypot(2.0, 5.0)},
                           {std::hypot(6.0, 1.0), std::hypot(6.0, 5.0)}}));
  EXPECT_TRUE(gradienteMagnitud({}, {0, 0}).empty());
  EXPECT_EQ(gradienteMagnitud({{}, {}}, {2, 0}), (Filas<double>{{}, {}}));
  EXPECT_THROW(gradienteMagnitud({{1, 2}}, {1, 3}), std::invalid_argument);
}

TEST(FiltroGradiente, UniformImageGivesZero) {
  const Dimensiones d{4, 5};
  const Filas<uint16_t> img = nuevasFilas<uint16_t>(4, 5);
  Filas<uint16_t> gris = img;
  for (auto& f : gris) std::fill(f.begin(), f.end(), 1234);
  for (int w : {0, 1, 2, 3, 4, 5})
    for (int s : {0, 1, 3}) {
      EXPECT_EQ(filtroGradiente(gris, d, w, s), nuevasFilas<double>(4, 5)) << w << "," << s;
      EXPECT_EQ(filtroGradiente(img, d, w, s), nuevasFilas<double>(4, 5)) << w << "," << s;
    }
}

TEST(FiltroGradiente, StepEdgePeaksBesideTheStep) {
  const Dimensiones d{10, 10};
  Filas<uint16_t> img = nuevasFilas<uint16_t>(10, 10);
  for (auto& f : img) std::fill(f.begin() + 5, f.end(), 100);
  const Filas<double> g = filtroGradiente(img, d, 3, 1);
  for (int i = 0; i < 10; ++i) {
    for (int j : {0, 1, 2, 7, 8, 9}) EXPECT_EQ(g[i][j], 0.0) << i << "," << j;
    EXPECT_NEAR(g[i][4], g[i][5], 1e-9) << i;
    EXPECT_NEAR(g[i][3], g[i][6], 1e-9) << i;
    EXPECT_GT(g[i][4], g[i][3]) << i;
    // With the 3-point weights 0.274, 0.452, 0.274: half of 72.6 and 27.4.
    EXPECT_NEAR(g[i][4], 36.30, 0.01);
    EXPECT_NEAR(g[i][3], 13.70, 0.01);
  }
}

TEST(FiltroGradiente, ZeroDeviationReducesToTheImageGradient) {
  const Dimensiones d{4, 5};
  Filas<uint16_t> img = nuevasFilas<uint16_t>(4, 5);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 5; ++j) img[i][j] = static_cast<uint16_t>((i * 7 + j * j * 3) % 23);
  Filas<double> propia = nuevasFilas<double>(4, 5);
  Filas<double> desplazada = nuevasFilas<double>(4, 5);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 5; ++j) {
      propia[i][j] = img[i][j];
      desplazada[i][j] = img[std::max(i - 1, 0)][std::max(j - 1, 0)];
    }
  auto cerca = [](const Filas<double>& x, const Filas<double>& y, const char* caso) {
    for (std::size_t i = 0; i < x.size(); ++i)
      for (std::size_t j = 0; j < x[i].size(); ++j)
        EXPECT_NEAR(x[i][j], y[i][j], 1e-9) << caso << " (" << i << "," << j << ")";
  };
  cerca(filtroGradiente(img, d, 3, 0), gradienteMagnitud(propia, d), "w 3");
  cerca(filtroGradiente(img, d, 1, 5), gradienteMagnitud(propia, d), "w 1");
  // An even window leans one sample toward the lower indices.
  cerca(filtroGradiente(img, d, 2, 0), gradienteMagnitud(desplazada, d), "w 2");
}

TEST(FiltroGradiente, WindowCoversTheClampedSamplesFromXMinusHalfW) {
  // Smoothing written directly on the image: the window of (x, y) covers
  // x - w/2 ... x - w/2 + w - 1 (likewise for y), clamped to the image.
  const Dimensiones d{5, 7};
  Filas<uint16_t> img = nuevasFilas<uint16_t>(5, 7);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 7; ++j) img[i][j] = static_cast<uint16_t>((i * 131 + j * 17 + i * j * 29) % 251);
  for (int w : {2, 3, 4, 5}) {
    for (int s : {1, 2}) {
      const Filas<double> k = nucleoGaussiano(w, s);
      Filas<double> a = nuevasFilas<double>(5, 7);
      for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 7; ++y)
          for (int p = 0; p < w; ++p)
            for (int q = 0; q < w; ++q)
              a[x][y] += img[std::clamp(x - w / 2 + p, 0, 4)][std::clamp(y - w / 2 + q, 0, 6)] * k[p][q];
      const Filas<double> esperado = gradienteMagnitud(a, d);
      const Filas<double> g = filtroGradiente(img, d, w, s);
      for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 7; ++y)
          EXPECT_NEAR(g[x][y], esperado[x][y], 1e-9) << "w " << w << " s " << s << " (" << x << "," << y << ")";
    }
  }
}

TEST(FiltroGradiente, MagnitudeIsNotLimitedTo16Bits) {
  const Filas<uint16_t> img = {{0, 65535}, {65535, 65535}};
  const Filas<double> g = filtroGradiente(img, {2, 2}, 1, 1);
  EXPECT_GT(g[0][0], 65535.0);
  const double esperado = std::hypot(65535.0, 65535.0);
  EXPECT_NEAR(g[0][0], esperado, 1e-6);
  EXPECT_EQ(dobleAU16(g[0][0]), static_cast<uint16_t>(static_cast<int64_t>(esperado)));
}

TEST(FiltroGradiente, EmptyAndThinImages) {
  EXPECT_TRUE(filtroGradiente({}, {0, 0}, 2, 1).empty());
  EXPECT_EQ(filtroGradiente({{}, {}}, {2, 0}, 3, 1), (Filas<double>{{}, {}}));
  const Filas<double> fila = filtroGradiente({{0, 10, 20, 30}}, {1, 4}, 1, 0);
  ASSERT_EQ(fila.size(), 1u);
  for (double v : fila[0]) EXPECT_NEAR(v, 10.0, 1e-9);
  EXPECT_THROW(filtroGradiente({{1, 2}}, {2, 2}, 2, 1), std::invalid_argument);
}

namespace {

// The flat, banded gradient must give exactly the rows form's values, as
// 16-bit samples, on any size and kernel.
TEST(GradienteAU16, GivesTheRowsFormsValuesOnOddSizesAndKernels) {
  struct Caso {
    int filas, columnas;
  };
  const Caso casos[] = {{1, 1}, {1, 29}, {29, 1}, {2, 2}, {3, 2}, {2, 3}, {7, 13}, {61, 97}, {300, 301}};
  std::mt19937 azar(7);
  for (const Caso& c : casos) {
    const Dimensiones d{c.filas, c.columnas};
    std::vector<uint16_t> imagen(static_cast<std::size_t>(c.filas) * c.columnas);
    // Noise of every depth: small values, the full range, and flat stretches.
    for (std::size_t i = 0; i < imagen.size(); ++i)
      imagen[i] = static_cast<uint16_t>(i % 17 < 5 ? 40000 : azar() % (i % 3 ? 65536 : 300));
    for (int w : {0, 1, 2, 3, 4, 5}) {
      for (int s : {0, 1, 3}) {
        const Filas<double> referencia = filtroGradiente(aFilas(imagen.data(), d), d, w, s);
        std::vector<uint16_t> esperado;
        for (const auto& fila : referencia)
          for (double g : fila) esperado.push_back(dobleAU16(g));
        std::vector<uint16_t> obtenido(imagen.size(), 1);
        gradienteAU16(imagen.data(), d, w, s, obtenido.data());
        ASSERT_EQ(obtenido, esperado) << c.filas << "x" << c.columnas << " w " << w << " s " << s;
        // Written over its own input, as the pipeline does.
        std::vector<uint16_t> enSitio = imagen;
        gradienteAU16(enSitio.data(), d, w, s, enSitio.data());
        ASSERT_EQ(enSitio, esperado) << "in place, " << c.filas << "x" << c.columnas << " w " << w;
      }
    }
  }
}

}  // namespace
