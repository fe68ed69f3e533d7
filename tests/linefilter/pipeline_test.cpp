#include "pipeline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "captura.h"
#include "carpeta_temporal.h"
#include "difusion.h"
#include "gradiente.h"
#include "normalizacion.h"

namespace {

// The parameters of an untouched dialog, with the stage keys chosen per test.
MapaParametros parametrosBase(char tipo = 'n') {
  return {{"nAng", "4"},       {"lLine", "75"},        {"lMinLine", "40"}, {"speed", "2"},
          {"minSize", "50"},   {"maxSize", "100000"},  {"nBins", "10"},    {"tipoOutput", std::string(1, tipo)}};
}

// A slice as the viewer hands it over: dim0 outer, dim1 inner, with a bar of
// 1000 three samples thick at outer 10 ... 12, inner 10 ... 59, and a few dim
// samples of 40 elsewhere. Bar and specks together stay under 5 % of the
// samples, so the stretch keeps zeros at 0 and clips the bar to 255.
struct Corte {
  static constexpr int kExterior = 60;
  static constexpr int kInterior = 80;
  Corte() : dims{kExterior, kInterior}, muestras(kExterior * kInterior, 0) {
    for (int i = 10; i <= 12; ++i)
      for (int j = 10; j <= 59; ++j) en(i, j) = 1000;
    for (int k = 0; k < 10; ++k) en(30 + 2 * k, 5 + 7 * k) = 40;
  }
  uint16_t& en(int i, int j) { return muestras[i * kInterior + j]; }
  Dimensiones dims;
  std::vector<uint16_t> muestras;
};

const char* const kLineasDeteccion =
    "Line Detection\n"
    "N lista= 1\n"
    "0\r"
    "N Antes Optimiza: 10\n"
    "Tamanho Mapa: 1\n"
    "Nueva N Despues Optimiza 0: 1\n"
    "256, 50, 36.4005, 0, 0\n"
    "Nueva N Despues Optimiza 1: 1\n"
    "256, 50, 36.4005, 0, 0\n"
    "Painting SL 1\n"
    "10, 10, 0, 50\n";

class Pipeline : public testing::Test {
 protected:
  CarpetaTemporal carpeta;
};

TEST_F(Pipeline, DetectionPaintsOverTheUnprocessedSliceAndWritesTheFiles) {
  for (char tipo : {'n', 'c'}) {
    SCOPED_TRACE(tipo);
    Corte corte;
    MapaParametros p = parametrosBase(tipo);
    p["th"] = "150";
    p["dl"] = "";
    const std::string datos = carpeta.en(std::string("data_") + tipo);
    Captura salida;
    procesaImagen(corte.muestras.data(), &corte.dims, p, datos);

    EXPECT_EQ(salida.texto(), std::string("Tipo Salida: ") + tipo + "\nMIN CDF: 0\nMAX CDF: 255\n" +
                                  "Umbralizacion\nMAX MIN 255 0\n" + kLineasDeteccion);
    // The record stays exchanged: {inner, outer}.
    EXPECT_EQ(corte.dims.dim0, Corte::kInterior);
    EXPECT_EQ(corte.dims.dim1, Corte::kExterior);

    Corte esperado;
    if (tipo == 'c') std::fill(esperado.muestras.begin(), esperado.muestras.end(), 0);
    for (int j = 10; j <= 59; ++j) esperado.en(10, j) = 1000 - 150;
    EXPECT_EQ(corte.muestras, esperado.muestras);

    EXPECT_EQ(leeFichero(datos + "/dataLen.dat"), "1\n50\n");
    EXPECT_EQ(leeFichero(datos + "/dataAng.dat"), "1\n0\n");
    EXPECT_EQ(leeFichero(datos + "/histoLen.dat"),
              "11\n0\t0\n5\t0\n10\t0\n15\t0\n20\t0\n25\t0\n30\t0\n35\t0\n40\t0\n45\t0\n50\t1\n");
    EXPECT_EQ(leeFichero(datos + "/histoAng.dat"),
              "11\n0\t1\n18\t0\n36\t0\n54\t0\n72\t0\n90\t0\n108\t0\n126\t0\n144\t0\n162\t0\n180\t0\n");
  }
}

// Each stage is switched on by its key alone; the driver runs them in order
// with the fixed smoothing constants, and the buffer keeps the result when
// detection is off.
TEST_F(Pipeline, StageSwitches) {
  struct Caso {
    bool nIts, s, th;
  } casos[] = {{false, false, false}, {true, false, false}, {false, true, false},
               {false, false, true},  {true, true, true}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(testing::Message() << "nIts " << c.nIts << " s " << c.s << " th " << c.th);
    Corte corte;
    MapaParametros p = parametrosBase();
    if (c.nIts) p["nIts"] = "2";
    if (c.s) {
      p["s"] = "1";
      p["w"] = "3";
    }
    if (c.th) p["th"] = "100";

    // The same stages called one by one, each with its own log lines.
    Corte esperado;
    std::string lineas = "Tipo Salida: n\n";
    if (c.nIts) {
      Captura filtro;
      const std::vector<float> f = difusionAnisotropica(esperado.muestras.data(), esperado.dims, 2, 1, 2000, 0.14);
      const std::vector<uint16_t> u = flotanteAU16(f.data(), static_cast<int>(f.size()));
      esperado.muestras.assign(u.begin(), u.end());
      lineas += "nIts: 2\n" + filtro.texto();
    }
    if (c.s) {
      Captura filtro;
      const Filas<double> g = filtroGradiente(aFilas(esperado.muestras.data(), esperado.dims), esperado.dims, 3, 1);
      for (int i = 0; i < Corte::kExterior; ++i)
        for (int j = 0; j < Corte::kInterior; ++j) esperado.en(i, j) = dobleAU16(g[i][j]);
      lineas += "s: 1, 3\n" + filtro.texto();
    }
    {
      Captura filtro;
      normalizaCDF(esperado.muestras.data(), esperado.dims, 0, 255, 5);
      lineas += filtro.texto();
    }
    if (c.th) {
      Captura filtro;
      umbralizacion(esperado.muestras.data(), esperado.dims, 100);
      lineas += "Umbralizacion\n" + filtro.texto();
    }

    Captura salida;
    procesaImagen(corte.muestras.data(), &corte.dims, p, carpeta.en("data"));
    EXPECT_EQ(salida.texto(), lineas);
    EXPECT_EQ(corte.muestras, esperado.muestras);
    EXPECT_EQ(corte.dims.dim0, Corte::kExterior);
    EXPECT_EQ(corte.dims.dim1, Corte::kInterior);
    EXPECT_FALSE(std::filesystem::exists(carpeta.en("data")));
  }
}

TEST_F(Pipeline, SamplesBeyondTheSliceAreLeftAlone) {
  Corte corte;
  const std::size_t n = corte.muestras.size();
  corte.muestras.resize(n + 100, 4321);
  MapaParametros p = parametrosBase('c');
  p["nIts"] = "1";
  p["s"] = "1";
  p["w"] = "2";
  p["th"] = "150";
  p["dl"] = "1";
  Captura salida;
  procesaImagen(corte.muestras.data(), &corte.dims, p, carpeta.en("data"));
  EXPECT_EQ(std::vector<uint16_t>(corte.muestras.begin() + n, corte.muestras.end()), std::vector<uint16_t>(100, 4321));
}

// A bad number stops the run with the standard conversion error before any
// stage has touched the samples.
TEST_F(Pipeline, BadParameterLeavesTheSamplesUntouched) {
  struct Caso {
    const char* clave;
    const char* valor;
    bool rango;
  } casos[] = {{"nAng", "abc", false}, {"lLine", "", false},          {"speed", "99999999999", true},
               {"nBins", " x", false}, {"nIts", "many", false},       {"w", "", false},
               {"th", "-9999999999", true}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.clave);
    Corte corte;
    MapaParametros p = parametrosBase();
    p["nIts"] = "1";
    p["s"] = "1";
    p["w"] = "2";
    p["th"] = "150";
    p["dl"] = "";
    p[c.clave] = c.valor;
    Captura salida;
    try {
      procesaImagen(corte.muestras.data(), &corte.dims, p, carpeta.en("data"));
      ADD_FAILURE() << "no error";
    } catch (const std::out_of_range& e) {
      EXPECT_TRUE(c.rango);
      EXPECT_STREQ(e.what(), "stoi argument out of range");
    } catch (const std::invalid_argument& e) {
      EXPECT_FALSE(c.rango);
      EXPECT_STREQ(e.what(), "invalid stoi argument");
    }
    EXPECT_EQ(corte.muestras, Corte().muestras);
    EXPECT_EQ(corte.dims.dim0, Corte::kExterior);
  }
  Corte corte;
  MapaParametros p = parametrosBase();
  p.erase("maxSize");
  EXPECT_THROW(procesaImagen(corte.muestras.data(), &corte.dims, p, carpeta.en("data")), std::invalid_argument);
}

TEST_F(Pipeline, MissingDataFolderIsCreated) {
  Corte corte;
  MapaParametros p = parametrosBase();
  p["th"] = "150";
  p["dl"] = "";
  const std::string datos = carpeta.en("a/b/data");
  Captura salida;
  procesaImagen(corte.muestras.data(), &corte.dims, p, datos);
  for (const char* f : {"dataLen.dat", "dataAng.dat", "histoLen.dat", "histoAng.dat"})
    EXPECT_TRUE(std::filesystem::is_regular_file(datos + "/" + f)) << f;
}

// A data folder that cannot exist (its name is taken by a file): every file
// is reported, and the painted picture still reaches the caller.
TEST_F(Pipeline, UnwritableResultsAreReportedAndThePictureStillReturns) {
  const std::string datos = carpeta.en("ocupado");
  { std::ofstream(datos) << "x"; }
  Corte corte;
  MapaParametros p = parametrosBase();
  p["th"] = "150";
  p["dl"] = "";
  Captura salida;
  Captura error(std::cerr);
  procesaImagen(corte.muestras.data(), &corte.dims, p, datos);
  EXPECT_EQ(corte.muestras[10 * Corte::kInterior + 10], 850);
  for (const char* f : {"dataLen.dat", "dataAng.dat", "histoLen.dat", "histoAng.dat"})
    EXPECT_THAT(error.texto(), testing::HasSubstr("Can't write: " + datos + "/" + f + "\n"));
  EXPECT_EQ(leeFichero(datos), "x");
}

// The detection frame: C columns along the inner index, R rows.
struct Lienzo {
  Lienzo(int c, int r, uint16_t fondo) : dims{c, r}, muestras(static_cast<std::size_t>(c) * r, fondo) {}
  uint16_t en(int x, int y) const { return muestras[static_cast<std::size_t>(y) * dims.dim0 + x]; }
  Dimensiones dims;
  std::vector<uint16_t> muestras;
};

Segmento trazo(double x1, double y1, double longitud, double angulo) {
  Segmento s(0, 0, longitud, angulo);
  s.x1 = x1;
  s.y1 = y1;
  return s;
}

TEST(PintaSegmentos, PaintValueIsTheMaximumMinus150In16Bits) {
  struct Caso {
    uint16_t maximo;
    uint16_t pintura;
  } casos[] = {{1000, 850}, {150, 0}, {100, 65486}, {0, 65386}, {65535, 65385}};
  for (const Caso& c : casos) {
    Lienzo l(20, 10, 0);
    l.muestras[3] = c.maximo;
    Captura salida;
    pintaSegmentos(l.muestras.data(), &l.dims, {{0, {trazo(2, 5, 4, 0)}}}, 'n');
    for (int x = 2; x < 6; ++x) EXPECT_EQ(l.en(x, 5), c.pintura) << c.maximo;
    EXPECT_EQ(l.en(6, 5), 0);
  }
}

TEST(PintaSegmentos, OnlyLinesClearsAfterTakingTheMaximum) {
  Lienzo l(20, 10, 7);
  l.muestras[0] = 400;
  Captura salida;
  pintaSegmentos(l.muestras.data(), &l.dims, {{0, {trazo(1, 1, 3, 0)}}}, 'c');
  std::vector<uint16_t> esperado(200, 0);
  for (int x = 1; x <= 3; ++x) esperado[20 + x] = 250;
  EXPECT_EQ(l.muestras, esperado);
}

TEST(PintaSegmentos, ListsEverySegmentAndSkipsTheFirstRowAndColumn) {
  Lienzo l(12, 12, 200);
  const double diagonal = (16 * 6.2831853072) / 128;
  const MapaSegmentos m = {
      {0, {trazo(0, 4, 3, 0), trazo(5.9, 0, 2, 0)}},
      {1, {}},
      {2, {trazo(3.7, 3.2, 0, 0), trazo(7, 7, -2, 0), trazo(1, 1, 4, diagonal), trazo(10, 9, 5, 0)}},
  };
  Captura salida;
  pintaSegmentos(l.muestras.data(), &l.dims, m, 'n');
  EXPECT_EQ(salida.texto(),
            "Painting SL 3\n"
            "0, 4, 0, 3\n"
            "5, 0, 0, 2\n"
            "3, 3, 0, 0\n"
            "7, 7, 0, -2\n"
            "1, 1, 0.785398, 4\n"
            "10, 9, 0, 5\n");
  std::vector<std::pair<int, int>> pintados;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x)
      if (l.en(x, y) == 50) pintados.emplace_back(x, y);
  // Column 0 and row 0 stay as they were; the diagonal steps by floor of
  // single-precision positions; the last segment runs off the right edge.
  EXPECT_EQ(pintados, (std::vector<std::pair<int, int>>{
                          {1, 1}, {2, 2}, {3, 3}, {1, 4}, {2, 4}, {10, 9}, {11, 9}}));
}

}  // namespace

namespace {

// The quarter turn as cast has a single-precision cosine of about -4.4e-8:
// added to the column in single precision it vanishes, so the line stays in
// its column (in double precision it would fall into the previous one).
TEST(PintaSegmentos, QuarterTurnStaysInItsColumnInSinglePrecision) {
  Lienzo l(10, 10, 0);
  l.muestras[0] = 151;
  Captura salida;
  pintaSegmentos(l.muestras.data(), &l.dims, {{0, {trazo(5, 2, 4, (32 * 6.2831853072) / 128)}}}, 'n');
  EXPECT_EQ(salida.texto(), "Painting SL 1\n5, 2, 1.5708, 4\n");
  for (int y = 0; y < 10; ++y)
    for (int x = 1; x < 10; ++x) EXPECT_EQ(l.en(x, y), (x == 5 && y >= 2 && y < 6) ? 1 : 0) << x << "," << y;
}

}  // namespace
