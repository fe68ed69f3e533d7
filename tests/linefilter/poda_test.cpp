#include "poda.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "captura.h"
#include "enteros.h"
#include "profundidad.h"

namespace {

// A labelled slice in the detection frame, (x, y) at y*C + x.
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

constexpr double kPaso = 6.2831853072 / 128;

Segmento segmento(double x1, double y1, double x2, double y2, double angulo, int etiqueta = 256) {
  const double dx = x2 - x1, dy = y2 - y1;
  Segmento s((x1 + x2) / 2, (y1 + y2) / 2, std::sqrt(dx * dx + dy * dy), angulo);
  s.x1 = x1;
  s.y1 = y1;
  s.x2 = x2;
  s.y2 = y2;
  s.etiqueta = etiqueta;
  return s;
}

std::vector<double> longitudes(const std::deque<Segmento>& l) {
  std::vector<double> v;
  for (const Segmento& s : l) v.push_back(s.longitud);
  return v;
}

TEST(EsFondo, InsideOffTheFirstRowAndColumnAndUnlabelled) {
  Lamina l(10, 8);
  l.en(4, 4) = 256;
  l.en(5, 5) = 255;
  struct Caso {
    int x, y;
    bool fondo;
  } casos[] = {{5, 3, true}, {9, 7, true},  {0, 3, false}, {5, 0, false}, {10, 3, false},
               {5, 8, false}, {-1, 3, false}, {4, 4, false}, {5, 5, true}};
  for (const Caso& c : casos) EXPECT_EQ(esFondo(l.muestras.data(), &l.dims, c.x, c.y), c.fondo) << c.x << "," << c.y;
}

// A horizontal path from (1, 2) of length d whose first `fondo` samples are
// background and the rest labelled: it crosses when more than
// max(tol, floor(0.2 d)) samples are background.
TEST(CruzaFondo, NeedsMoreThanTheToleranceAndAFifth) {
  struct Caso {
    int d, fondo, tol;
    bool cruza;
  } casos[] = {
      {21, 21, 20, true}, {20, 20, 20, false}, {100, 20, 5, false}, {100, 21, 5, true},
      {30, 6, 5, false},  {30, 7, 5, true},    {0, 0, 0, false},
  };
  for (const Caso& c : casos) {
    Lamina l(120, 5);
    l.rectangulo(1 + c.fondo, 2, c.d - c.fondo, 1, 256);
    EXPECT_EQ(cruzaFondo(l.muestras.data(), &l.dims, {1, 2}, {1.0 + c.d, 2}, c.tol), c.cruza)
        << "d " << c.d << " background " << c.fondo << " tol " << c.tol;
  }
}

// The walk as first written: every sample, one at a time.
bool cruzaFondoPlano(const Lamina& l, PuntoReal p, PuntoReal q, int tol) {
  const double d = std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y));
  const int lim = truncaEntero32(std::floor(0.2 * d));
  const int pasos = truncaEntero32(std::floor(d));
  int aciertos = 0;
  for (int k = 0; k < pasos; ++k) {
    const int x = pisoEntero32((q.x - p.x) * k / d + p.x);
    const int y = pisoEntero32((q.y - p.y) * k / d + p.y);
    if (esFondo(l.muestras.data(), &l.dims, x, y) && ++aciertos > tol && aciertos > lim) return true;
  }
  return false;
}

// Blocks of samples and the steps over deep interiors must not change a
// single answer: random walks, on the slice and off it, over solid squares
// of several labels and thin bars.
TEST(CruzaFondo, AnswersAsTheSampleBySampleWalkOnRandomWalks) {
  Lamina l(83, 61);
  std::mt19937 azar(11);
  for (int f = 0; f < 14; ++f)
    l.rectangulo(static_cast<int>(azar() % 70), static_cast<int>(azar() % 50), 1 + static_cast<int>(azar() % 30),
                 1 + static_cast<int>(azar() % 20), static_cast<uint16_t>(256 + azar() % 3));
  const std::vector<uint16_t> profundidad = profundidades(l.muestras.data(), l.dims.dim0, l.dims.dim1);
  std::uniform_real_distribution<double> x(-20, 103), y(-20, 81), lejos(-5e4, 5e4);
  for (int caso = 0; caso < 4000; ++caso) {
    PuntoReal p{x(azar), y(azar)}, q{x(azar), y(azar)};
    if (caso % 50 == 0) q = {lejos(azar), y(azar)};
    if (caso % 97 == 0) q = {std::numeric_limits<double>::quiet_NaN(), 3};
    if (caso % 211 == 0) q = {3e9, -3e9};  // more steps than an int counts
    if (caso % 3 == 0) p = {std::floor(p.x), std::floor(p.y)};
    const int tol = static_cast<int>(azar() % 25);
    const bool esperado = cruzaFondoPlano(l, p, q, tol);
    ASSERT_EQ(cruzaFondo(l.muestras.data(), &l.dims, p, q, tol), esperado) << caso;
    ASSERT_EQ(cruzaFondo(l.muestras.data(), &l.dims, p, q, tol, profundidad.data()), esperado) << caso;
  }
}

TEST(CruzaFondo, FirstRowAndColumnNeverCount) {
  Lamina l(60, 60);
  EXPECT_FALSE(cruzaFondo(l.muestras.data(), &l.dims, {0.5, 0}, {50.5, 0}, 5));
  EXPECT_FALSE(cruzaFondo(l.muestras.data(), &l.dims, {0, 1}, {0, 51}, 5));
  EXPECT_TRUE(cruzaFondo(l.muestras.data(), &l.dims, {1, 1}, {1, 51}, 5));
}

// Two segments along one bar, of lengths 50 and 44, the second starting six
// pixels further: both connecting paths stay inside, so only the longer one
// stays, whichever comes first.
TEST(Optimiza, SameBarKeepsTheLonger) {
  Lamina l(80, 20);
  l.rectangulo(10, 10, 50, 3, 256);
  const Segmento largo = segmento(10, 10, 60, 10, 0);
  const Segmento corto = segmento(16, 11, 60, 11, 0);
  for (const auto& entrada : {std::deque<Segmento>{largo, corto}, std::deque<Segmento>{corto, largo}}) {
    EXPECT_EQ(longitudes(optimiza0(l.muestras.data(), &l.dims, entrada)), (std::vector<double>{50}));
    Captura salida;
    EXPECT_EQ(longitudes(optimiza1(l.muestras.data(), &l.dims, entrada, kPaso)), (std::vector<double>{50}));
    EXPECT_EQ(salida.texto(), "signo: 1\n");
  }
}

// Two parallel bars one row thick, columns 10 ... 59, one segment each at
// angle 0 with the same start and end columns. The start path crosses
// gap - 1 background samples, the end path (column 60, past the bars) gap.
TEST(Optimiza, ParallelBars) {
  struct Caso {
    int separacion;
    std::size_t tras0, tras1;
  } casos[] = {{30, 2, 2}, {15, 2, 1}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.separacion);
    Lamina l(80, 60);
    l.rectangulo(10, 10, 50, 1, 256);
    l.rectangulo(10, 10 + c.separacion, 50, 1, 257);
    const Segmento arriba = segmento(10, 10, 60, 10, 0, 256);
    const Segmento abajo = segmento(10, 10.0 + c.separacion, 60, 10.0 + c.separacion, 0, 257);
    const std::deque<Segmento> o0 = optimiza0(l.muestras.data(), &l.dims, {arriba, abajo});
    ASSERT_EQ(o0.size(), c.tras0);
    Captura salida;
    const std::deque<Segmento> o1 = optimiza1(l.muestras.data(), &l.dims, o0, kPaso);
    ASSERT_EQ(o1.size(), c.tras1);
    // Equally long: the later one of the pair is the one erased.
    EXPECT_EQ(o1.front().etiqueta, 256);
    EXPECT_EQ(salida.texto(), "signo: 1\n");
  }
}

Segmento conLongitud(Segmento s, double longitud) {
  s.longitud = longitud;
  return s;
}

// Erasing the earlier segment moves the next one into its place; it is
// compared again as an earlier segment unless the erased pair's later
// member was the last of the list.
TEST(Optimiza0, ErasingTheEarlierRevisitsItsSuccessorUnlessTheLaterWasLast) {
  // One block holds every start and end: every pair is redundant.
  Lamina bloque(100, 30);
  bloque.rectangulo(5, 5, 90, 20, 256);
  const std::deque<Segmento> tres = {segmento(10, 10, 20, 10, 0), segmento(10, 12, 40, 12, 0),
                                     segmento(10, 14, 30, 14, 0)};
  // 30 erases 10, then meets 20 as the earlier segment and erases it.
  EXPECT_EQ(longitudes(optimiza0(bloque.muestras.data(), &bloque.dims, tres)), (std::vector<double>{30}));

  // a and c lie in the block; b lies on the background below it, joined to
  // c's end by a labelled band: a-b are distinct, a-c and b-c redundant.
  Lamina l(100, 70);
  l.rectangulo(5, 5, 90, 20, 256);
  for (int y = 12; y <= 61; ++y) {
    const int centro = 20 + (10 * (60 - y)) / 48;
    l.rectangulo(centro - 2, y, 5, 1, 256);
  }
  const Segmento a = conLongitud(segmento(10, 10, 20, 10, 0), 10);
  const Segmento b = conLongitud(segmento(10, 60, 20, 60, 0), 20);
  const Segmento c = conLongitud(segmento(10, 12, 30, 12, 0), 30);
  ASSERT_FALSE(redundantes(l.muestras.data(), &l.dims, a, b, 5));
  ASSERT_TRUE(redundantes(l.muestras.data(), &l.dims, a, c, 5));
  ASSERT_TRUE(redundantes(l.muestras.data(), &l.dims, b, c, 5));
  struct Caso {
    std::deque<Segmento> entrada;
    std::vector<double> quedan;
  } casos[] = {
      {{a, c, b}, {30}},
      // c was last when it erased a, so b, moved to the front, is never
      // compared with c.
      {{a, b, c}, {20, 30}},
      {{b, c}, {30}},
  };
  for (const Caso& caso : casos)
    EXPECT_EQ(longitudes(optimiza0(l.muestras.data(), &l.dims, caso.entrada)), caso.quedan);
}

// optimiza0 compares only pairs whose slopes lean the same way; the vertical
// direction has a huge negative tangent and leans with the obtuse angles.
TEST(Optimiza0, OppositeSlopesAreNotCompared) {
  Lamina l(100, 100);
  l.rectangulo(5, 5, 90, 90, 256);
  const double vertical = (32 * 6.2831853072) / 128;
  const double obtuso = (40 * 6.2831853072) / 128;
  const double agudo = (8 * 6.2831853072) / 128;
  struct Caso {
    double a, b;
    std::size_t quedan;
  } casos[] = {{0, agudo, 1}, {0, vertical, 2}, {agudo, obtuso, 2}, {vertical, obtuso, 1}};
  for (const Caso& c : casos) {
    const std::deque<Segmento> par = {segmento(20, 20, 60, 20, c.a), segmento(20, 22, 50, 22, c.b)};
    EXPECT_EQ(optimiza0(l.muestras.data(), &l.dims, par).size(), c.quedan) << c.a << " " << c.b;
  }
}

// One "signo: " line per pair inside the angle window, whether or not it is
// erased; far-apart segments on background are all distinct.
TEST(Optimiza1, SignLinePerPairInTheAngleWindow) {
  Lamina l(400, 400);
  const double vertical = (32 * 6.2831853072) / 128;
  const double casiVertical = vertical - kPaso / 2;
  const double casiPi = 3.1415926536 - kPaso / 2;
  const std::deque<Segmento> lista = {
      segmento(10, 10, 50, 10, 0),              // with casiPi: opposite, within a step of pi
      segmento(10, 100, 50, 100, kPaso / 4),    // with 0 and casiPi
      segmento(10, 200, 50, 200, vertical),     // with casiVertical
      segmento(10, 300, 50, 300, casiVertical),
      segmento(200, 10, 240, 10, casiPi),
  };
  Captura salida;
  const std::deque<Segmento> r = optimiza1(l.muestras.data(), &l.dims, lista, kPaso);
  EXPECT_EQ(r.size(), 5u);
  EXPECT_EQ(salida.texto(), "signo: 1\nsigno: -1\nsigno: -1\nsigno: -1\n");
}

}  // namespace
