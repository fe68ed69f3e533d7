// The boxed ray walk must give exactly what the plain full walk gives: the
// same segments to the last bit and the same log lines, on any slice.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "captura.h"
#include "segmentos.h"

namespace {

struct Escena {
  int columnas, filas;
  std::vector<uint16_t> muestras;
};

// Bright rectangles and slanted bars, some touching the edges, on black.
Escena escenaAleatoria(int columnas, int filas, std::mt19937& azar) {
  Escena e{columnas, filas, std::vector<uint16_t>(static_cast<std::size_t>(columnas) * filas, 0)};
  auto pon = [&](int x, int y) {
    if (x >= 0 && x < columnas && y >= 0 && y < filas)
      e.muestras[static_cast<std::size_t>(y) * columnas + x] = 255;
  };
  std::uniform_int_distribution<int> px(-2, columnas + 1), py(-2, filas + 1), lado(1, 12);
  std::uniform_real_distribution<double> angulo(0, 3.14159265);
  const int figuras = 1 + (columnas * filas) / 400;
  for (int f = 0; f < figuras; ++f) {
    const int x0 = px(azar), y0 = py(azar);
    if (azar() % 2) {
      const int w = lado(azar), h = lado(azar);
      for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) pon(x, y);
    } else {
      const double t = angulo(azar);
      const int largo = 5 + static_cast<int>(azar() % 60), grueso = 1 + static_cast<int>(azar() % 4);
      for (int k = 0; k < largo; ++k)
        for (int g = 0; g < grueso; ++g)
          pon(x0 + static_cast<int>(std::floor(k * std::cos(t) - g * std::sin(t))),
              y0 + static_cast<int>(std::floor(k * std::sin(t) + g * std::cos(t))));
    }
  }
  return e;
}

struct Resultado {
  MapaSegmentos mapa;
  std::string salida;
  std::vector<uint16_t> lamina;
};

Resultado busca(const Escena& e, int speed, int nAng, int lMin, int minSize, Recorrido r) {
  Resultado res;
  res.lamina = e.muestras;
  Dimensiones d{e.columnas, e.filas};
  Captura captura;
  res.mapa = hallaSegmentos(res.lamina.data(), &d, speed, nAng, lMin, minSize, 100000, r);
  res.salida = captura.texto();
  return res;
}

void esperaIguales(const Resultado& a, const Resultado& b, const std::string& caso) {
  ASSERT_EQ(a.salida, b.salida) << caso;
  ASSERT_EQ(a.lamina, b.lamina) << caso;
  ASSERT_EQ(a.mapa.size(), b.mapa.size()) << caso;
  for (const auto& [g, grupo] : a.mapa) {
    const auto& otro = b.mapa.at(g);
    ASSERT_EQ(grupo.size(), otro.size()) << caso << " group " << g;
    for (std::size_t i = 0; i < grupo.size(); ++i) {
      const Segmento &s = grupo[i], &t = otro[i];
      // Exact comparison: the two walks must not differ in a single bit.
      EXPECT_TRUE(s.cx == t.cx && s.cy == t.cy && s.x1 == t.x1 && s.y1 == t.y1 && s.x2 == t.x2 &&
                  s.y2 == t.y2 && s.longitud == t.longitud && s.angulo == t.angulo &&
                  s.pendiente == t.pendiente && s.etiqueta == t.etiqueta && s.valido == t.valido)
          << caso << " group " << g << " segment " << i;
    }
  }
}

// Every lane width the machine has, down to none, on the same slices.
class RecorridoPorCarriles : public testing::TestWithParam<int> {
 protected:
  void SetUp() override { limitaCarriles(GetParam()); }
  void TearDown() override { limitaCarriles(16); }
};

TEST_P(RecorridoPorCarriles, GivesTheFullWalksResultOnRandomSlicesOfOddSizes) {
  struct Tamano {
    int columnas, filas;
  };
  const Tamano tamanos[] = {{1, 1}, {1, 37}, {37, 1}, {2, 2}, {3, 2}, {7, 13}, {31, 17},
                            {17, 31}, {64, 64}, {97, 61}, {127, 5}, {5, 127}};
  std::mt19937 azar(20261210);
  for (const Tamano& t : tamanos) {
    for (int repeticion = 0; repeticion < 6; ++repeticion) {
      const Escena e = escenaAleatoria(t.columnas, t.filas, azar);
      const int speed = 1 + static_cast<int>(azar() % 3);
      const int nAng = (int[]){2, 4, 16, 64, 128}[azar() % 5];
      const int lMin = (int[]){0, 3, 10, 40}[azar() % 4];
      const int minSize = (int[]){1, 5, 30}[azar() % 3];
      const std::string caso = std::to_string(t.columnas) + "x" + std::to_string(t.filas) + " speed " +
                               std::to_string(speed) + " nAng " + std::to_string(nAng) + " lMin " +
                               std::to_string(lMin) + " minSize " + std::to_string(minSize);
      esperaIguales(busca(e, speed, nAng, lMin, minSize, Recorrido::porCajas),
                    busca(e, speed, nAng, lMin, minSize, Recorrido::completo), caso);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Carriles, RecorridoPorCarriles, testing::Values(16, 8, 0));

// A ray whose runs are separated by long gaps inside one region's box: the
// box must not cut the count short while the ray can still meet the region.
TEST(RecorridoPorCajas, KeepsCountingAcrossGapsInsideTheBox) {
  Escena e{80, 9, std::vector<uint16_t>(80 * 9, 0)};
  for (int x : {0, 1, 2, 30, 31, 32, 33, 70, 71, 72, 73, 74})
    for (int y = 3; y < 6; ++y) e.muestras[y * 80 + x] = 255;
  for (int y = 0; y < 9; ++y) e.muestras[y * 80 + 50] = 255;  // joins nothing: a region of its own
  for (int x = 0; x < 80; ++x) e.muestras[8 * 80 + x] = 255;  // one wide region reaching both ends
  for (int lMin : {2, 5, 8, 11, 15}) {
    esperaIguales(busca(e, 1, 4, lMin, 1, Recorrido::porCajas), busca(e, 1, 4, lMin, 1, Recorrido::completo),
                  "gaps, lMin " + std::to_string(lMin));
  }
}

// Solid regions deep enough for the walks to step over their interiors (a
// square, a disc, a square touching the grid's edge) beside a comb of thin
// bars, whose gaps the rays and the pruning paths cross.
TEST(RecorridoPorCajas, StepsOverSolidInteriorsWithoutChangingTheResult) {
  Escena e{150, 110, std::vector<uint16_t>(150 * 110, 0)};
  auto pon = [&](int x, int y) {
    if (x >= 0 && x < e.columnas && y >= 0 && y < e.filas) e.muestras[static_cast<std::size_t>(y) * e.columnas + x] = 255;
  };
  for (int y = 10; y < 50; ++y)
    for (int x = 10; x < 50; ++x) pon(x, y);
  for (int y = -20; y <= 20; ++y)
    for (int x = -20; x <= 20; ++x)
      if (x * x + y * y <= 400) pon(100 + x, 30 + y);
  for (int y = 80; y < 110; ++y)
    for (int x = 120; x < 150; ++x) pon(x, y);
  for (int b = 0; b < 10; ++b)
    for (int y = 60; y < 105; ++y)
      for (int g = 0; g < 3; ++g) pon(5 + b * 8 + g, y);
  for (const auto& [speed, nAng, lMin] : {std::tuple{1, 16, 10}, {2, 64, 20}, {3, 128, 40}, {1, 8, 3}}) {
    const std::string caso = "speed " + std::to_string(speed) + " nAng " + std::to_string(nAng) + " lMin " +
                             std::to_string(lMin);
    esperaIguales(busca(e, speed, nAng, lMin, 5, Recorrido::porCajas),
                  busca(e, speed, nAng, lMin, 5, Recorrido::completo), caso);
  }
}

}  // namespace
