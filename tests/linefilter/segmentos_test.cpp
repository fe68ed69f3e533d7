#include "segmentos.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "captura.h"

namespace {

// A slice in the detection frame: R rows of C samples, (x, y) at y*C + x.
struct Lamina {
  Lamina(int c, int r) : dims{c, r}, muestras(static_cast<std::size_t>(c) * r, 0) {}
  uint16_t& en(int x, int y) { return muestras[static_cast<std::size_t>(y) * dims.dim0 + x]; }
  void rectangulo(int x0, int y0, int ancho, int alto, uint16_t valor) {
    for (int y = y0; y < y0 + alto; ++y)
      for (int x = x0; x < x0 + ancho; ++x) en(x, y) = valor;
  }
  Dimensiones dims;
  std::vector<uint16_t> muestras;
};

// The value after `prefijo` on the first line that starts with it.
long valorDeLinea(const std::string& texto, const std::string& prefijo) {
  std::istringstream lineas(texto);
  std::string linea;
  while (std::getline(lineas, linea)) {
    const auto p = linea.find(prefijo);
    if (p != std::string::npos) return std::stol(linea.substr(p + prefijo.size()));
  }
  ADD_FAILURE() << "no line " << prefijo;
  return -1;
}

const double kHorizontal = 0.0;
const double kVertical = (32 * 6.2831853072) / 128;

TEST(TrazaSegmento, FirstRunLongEnoughEndsAtTheFirstSampleOutside) {
  Lamina l(80, 30);
  l.rectangulo(10, 10, 50, 3, 256);
  const Segmento s = trazaSegmento(l.muestras.data(), &l.dims, 10, 10, kHorizontal, 40, 256);
  ASSERT_TRUE(s.valido);
  EXPECT_EQ(s.x1, 10);
  EXPECT_EQ(s.y1, 10);
  EXPECT_EQ(s.x2, 60);
  EXPECT_EQ(s.y2, 10);
  EXPECT_EQ(s.longitud, 50);
  EXPECT_EQ(s.cx, 35);
  EXPECT_EQ(s.cy, 10);
  EXPECT_EQ(s.angulo, 0);
  EXPECT_EQ(s.pendiente, 0);
  EXPECT_EQ(s.etiqueta, 256);

  // Across the bar the ray meets 3 samples: no segment.
  EXPECT_FALSE(trazaSegmento(l.muestras.data(), &l.dims, 10, 10, kVertical, 40, 256).valido);
  // Another label is not followed.
  EXPECT_FALSE(trazaSegmento(l.muestras.data(), &l.dims, 10, 10, kHorizontal, 40, 257).valido);
}

// One row, start at column 1: a first run of 10 samples, a gap, and a second
// run up to column 30. The counting pass bridges the gap, skipping the sample
// right after each run's end (so a gap of 1 counts the second run from its
// second sample); the locating pass follows the second run only when the
// sample two past the first run's end matches, and then starts the segment
// anew at the run it reached.
TEST(TrazaSegmento, RunsAfterAGap) {
  struct Caso {
    int hueco;  // zero samples after the first run
    int minRun;
    bool valido;
    double x1, x2, longitud;
  } casos[] = {
      {1, 25, true, 13, 31, 18}, {1, 29, true, 13, 31, 18}, {1, 30, false, 0, 0, 0},
      {2, 25, true, 13, 31, 18}, {2, 29, true, 13, 31, 18}, {2, 30, false, 0, 0, 0},
      {3, 25, true, 1, 13, 12},  {3, 28, true, 1, 13, 12},  {3, 29, false, 0, 0, 0},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << "gap " << c.hueco << " minRun " << c.minRun);
    Lamina l(40, 10);
    l.rectangulo(1, 5, 10, 1, 256);
    l.rectangulo(11 + c.hueco, 5, 30 - (11 + c.hueco) + 1, 1, 256);
    const Segmento s = trazaSegmento(l.muestras.data(), &l.dims, 1, 5, kHorizontal, c.minRun, 256);
    ASSERT_EQ(s.valido, c.valido);
    if (!c.valido) continue;
    EXPECT_EQ(s.x1, c.x1);
    EXPECT_EQ(s.x2, c.x2);
    EXPECT_EQ(s.y1, 5);
    EXPECT_EQ(s.longitud, c.longitud);
  }
}

// Along row 0 every position has y = 0, which is not strictly inside: the
// count ends after the first run although the region goes on.
TEST(TrazaSegmento, RowZeroStopsTheCountAfterTheFirstRun) {
  for (const auto& [fila, valido] : {std::pair{0, false}, std::pair{1, true}}) {
    Lamina l(70, 5);
    l.rectangulo(0, fila, 10, 1, 256);
    l.rectangulo(11, fila, 50, 1, 256);
    EXPECT_EQ(trazaSegmento(l.muestras.data(), &l.dims, 0, fila, kHorizontal, 20, 256).valido, valido)
        << "row " << fila;
  }
}

TEST(TrazaSegmento, MinRunIsExclusive) {
  // A run of 40 counts 41.
  Lamina l(60, 5);
  l.rectangulo(2, 2, 40, 1, 256);
  EXPECT_TRUE(trazaSegmento(l.muestras.data(), &l.dims, 2, 2, kHorizontal, 40, 256).valido);
  EXPECT_FALSE(trazaSegmento(l.muestras.data(), &l.dims, 2, 2, kHorizontal, 41, 256).valido);
}

TEST(AgrupaPorEtiqueta, ContiguousKeysFromTheSmallestLabel) {
  std::deque<Segmento> entrada;
  for (auto [etiqueta, longitud] : {std::pair{260, 1.0}, {258, 2.0}, {260, 3.0}, {262, 4.0}}) {
    Segmento s(0, 0, longitud, 0);
    s.etiqueta = etiqueta;
    entrada.push_back(s);
  }
  const MapaSegmentos grupos = agrupaPorEtiqueta(entrada);
  ASSERT_EQ(grupos.size(), 5u);
  std::vector<std::vector<double>> longitudes;
  for (const auto& [clave, grupo] : grupos) {
    EXPECT_EQ(clave, static_cast<int>(longitudes.size()));
    longitudes.emplace_back();
    for (const Segmento& s : grupo) longitudes.back().push_back(s.longitud);
  }
  EXPECT_EQ(longitudes, (std::vector<std::vector<double>>{{2}, {}, {1, 3}, {}, {4}}));
  EXPECT_TRUE(agrupaPorEtiqueta({}).empty());
}

TEST(Segmento, MadeFromCentreLengthAndAngle) {
  const Segmento s(3, 4, 5, 0.5);
  EXPECT_TRUE(s.valido);
  EXPECT_EQ(s.pendiente, std::tan(0.5));
  EXPECT_FALSE(Segmento().valido);
}

// The 50 x 3 bar: speed 2 starts rays in rows 10 and 12 at columns 10 ... 18
// (from column 20 on the run is 40, not longer than 40); pruning leaves the
// first full-length one.
TEST(HallaSegmentos, BarGivesOneSegmentAfterPruning) {
  Lamina l(80, 30);
  l.rectangulo(10, 10, 50, 3, 255);
  Captura salida;
  const MapaSegmentos r = hallaSegmentos(l.muestras.data(), &l.dims, 2, 4, 40, 50, 100000);
  EXPECT_EQ(salida.texto(),
            "N lista= 1\n"
            "0\r"
            "N Antes Optimiza: 10\n"
            "Tamanho Mapa: 1\n"
            "Nueva N Despues Optimiza 0: 1\n"
            "256, 50, 36.4005, 0, 0\n"
            "Nueva N Despues Optimiza 1: 1\n"
            "256, 50, 36.4005, 0, 0\n");
  ASSERT_EQ(r.size(), 1u);
  ASSERT_EQ(r.at(0).size(), 1u);
  const Segmento& s = r.at(0).front();
  EXPECT_EQ(s.x1, 10);
  EXPECT_EQ(s.y1, 10);
  EXPECT_EQ(s.x2, 60);
  EXPECT_EQ(s.longitud, 50);
  EXPECT_EQ(l.dims.dim0, 80);
  EXPECT_EQ(l.dims.dim1, 30);
  EXPECT_EQ(l.en(10, 10), 256);
}

// Only the centre of the disc is a start pixel, and every direction cast
// from it stays inside for about 40 samples: the count before pruning is the
// number of directions, nAng / 2.
TEST(HallaSegmentos, CastsHalfTheAngles) {
  struct Caso {
    int nAng;
    long direcciones;
  } casos[] = {{1, 0}, {2, 1}, {4, 2}, {127, 63}, {128, 64}};
  for (const Caso& c : casos) {
    Lamina l(101, 101);
    for (int y = 0; y < 101; ++y)
      for (int x = 0; x < 101; ++x)
        if ((x - 50) * (x - 50) + (y - 50) * (y - 50) <= 1600) l.en(x, y) = 255;
    Captura salida;
    const MapaSegmentos r = hallaSegmentos(l.muestras.data(), &l.dims, 50, c.nAng, 30, 50, 100000);
    EXPECT_EQ(valorDeLinea(salida.texto(), "N Antes Optimiza: "), c.direcciones) << c.nAng;
    EXPECT_EQ(valorDeLinea(salida.texto(), "Tamanho Mapa: "), c.direcciones ? 1 : 0) << c.nAng;
    EXPECT_EQ(r.size(), c.direcciones ? 1u : 0u) << c.nAng;
  }
}

TEST(HallaSegmentos, OneAcceptedSegmentGivesAnEmptyGroup) {
  Lamina l(70, 20);
  l.rectangulo(8, 8, 43, 1, 255);
  Captura salida;
  const MapaSegmentos r = hallaSegmentos(l.muestras.data(), &l.dims, 4, 2, 40, 10, 100000);
  EXPECT_EQ(salida.texto(), "N lista= 1\n0\rN Antes Optimiza: 1\nTamanho Mapa: 1\n");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_TRUE(r.at(0).empty());
}

// Bars of 12 samples, four to a row: each yields exactly one segment (from
// its first column; from the next start the run is 10). Above 300 kept
// regions only the first 94 % in label order are searched.
TEST(HallaSegmentos, RegionCap) {
  struct Caso {
    int barras;
    long buscadas;
  } casos[] = {{300, 300}, {301, 282}};
  for (const Caso& c : casos) {
    const int filasDeBarras = (c.barras + 3) / 4;
    Lamina l(64, 2 * filasDeBarras + 2);
    for (int b = 0; b < c.barras; ++b) l.rectangulo(2 + 16 * (b % 4), 2 + 2 * (b / 4), 12, 1, 255);
    Captura salida;
    const MapaSegmentos r = hallaSegmentos(l.muestras.data(), &l.dims, 2, 2, 10, 5, 100000);
    EXPECT_EQ(valorDeLinea(salida.texto(), "N lista= "), c.barras);
    EXPECT_EQ(valorDeLinea(salida.texto(), "N Antes Optimiza: "), c.buscadas);
    EXPECT_EQ(static_cast<long>(r.size()), c.buscadas);
    EXPECT_THAT(salida.texto(), testing::HasSubstr("\r" + std::to_string(c.buscadas - 1) + "\rN Antes Optimiza: "));
  }
}

// A region too small for the size filter still lies between the labels of
// two searched ones, and so gives an empty group.
TEST(HallaSegmentos, UnsearchedLabelsBetweenGiveEmptyGroups) {
  Lamina l(70, 20);
  l.rectangulo(8, 4, 43, 1, 255);
  l.rectangulo(8, 8, 47, 1, 255);
  l.rectangulo(60, 12, 3, 1, 255);
  l.rectangulo(8, 16, 47, 1, 255);
  Captura salida;
  const MapaSegmentos r = hallaSegmentos(l.muestras.data(), &l.dims, 4, 2, 40, 10, 100000);
  EXPECT_EQ(valorDeLinea(salida.texto(), "N lista= "), 3);
  ASSERT_EQ(r.size(), 4u);
  EXPECT_TRUE(r.at(0).empty());
  EXPECT_EQ(r.at(1).size(), 1u);
  EXPECT_TRUE(r.at(2).empty());
  EXPECT_EQ(r.at(3).size(), 1u);
}

TEST(HallaSegmentos, SpeedBelowOneIsTakenAsOne) {
  for (int speed : {0, -3}) {
    Lamina l(80, 30);
    l.rectangulo(10, 10, 50, 3, 255);
    Captura salida;
    Captura error(std::cerr);
    const MapaSegmentos r = hallaSegmentos(l.muestras.data(), &l.dims, speed, 4, 40, 50, 100000);
    // Every column 10 ... 19 of the three rows starts an accepted segment.
    EXPECT_EQ(valorDeLinea(salida.texto(), "N Antes Optimiza: "), 30) << speed;
    EXPECT_THAT(error.texto(), testing::HasSubstr("using 1")) << speed;
    EXPECT_EQ(r.size(), 1u);
  }
}

TEST(HallaSegmentos, EmptySlice) {
  Lamina l(20, 20);
  Captura salida;
  EXPECT_TRUE(hallaSegmentos(l.muestras.data(), &l.dims, 2, 128, 40, 50, 100000).empty());
  EXPECT_EQ(salida.texto(), "N lista= 0\nN Antes Optimiza: 0\nTamanho Mapa: 0\n");
}

}  // namespace
