#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "ejecucion.h"
#include "parametros.h"

namespace {

const MapaParametros kPorDefecto = {
    {"positionX", "0"}, {"positionY", "0"},     {"positionZ", "0"},   {"nAng", "128"},
    {"lLine", "75"},    {"lMinLine", "40"},     {"speed", "2"},       {"minSize", "50"},
    {"maxSize", "100000"}, {"nBins", "10"},     {"tipoOutput", "n"},  {"nIts", "25"},
    {"s", "1"},         {"w", "2"},             {"th", "150"},        {"dl", "t"},
};

TEST(MapaParametros, UntouchedDialogGivesTheDefaults) {
  EXPECT_EQ(construyeMapa({}, {}, ValoresDialogo{}), kPorDefecto);
}

TEST(MapaParametros, AttributesAndPositionComeFirst) {
  const MapaParametros atributos = {{"PixelDimx", "0.5"}, {"modality", "CT"}};
  MapaParametros esperado = kPorDefecto;
  esperado.insert(atributos.begin(), atributos.end());
  esperado["positionX"] = "-3";
  esperado["positionY"] = "12";
  esperado["positionZ"] = "2147483647";
  EXPECT_EQ(construyeMapa(atributos, PosicionSemilla{-3, 12, 2147483647}, ValoresDialogo{}), esperado);
}

TEST(MapaParametros, UncheckedStagesLeaveTheirKeysOut) {
  ValoresDialogo v;
  v.suavizado = v.gradiente = v.umbralizacion = v.deteccion = false;
  const MapaParametros m = construyeMapa({}, {}, v);
  for (const char* clave : {"nIts", "s", "w", "th", "dl"}) EXPECT_EQ(m.count(clave), 0u) << clave;
  EXPECT_EQ(m.size(), kPorDefecto.size() - 5);

  struct Caso {
    bool ValoresDialogo::*flag;
    std::vector<const char*> ausentes;
  };
  for (const Caso& c : {Caso{&ValoresDialogo::suavizado, {"nIts"}}, Caso{&ValoresDialogo::gradiente, {"s", "w"}},
                        Caso{&ValoresDialogo::umbralizacion, {"th"}}, Caso{&ValoresDialogo::deteccion, {"dl"}}}) {
    ValoresDialogo uno;
    uno.*(c.flag) = false;
    const MapaParametros mapa = construyeMapa({}, {}, uno);
    EXPECT_EQ(mapa.size(), kPorDefecto.size() - c.ausentes.size());
    for (const char* clave : c.ausentes) EXPECT_EQ(mapa.count(clave), 0u) << clave;
  }
}

TEST(MapaParametros, StoredValuesAreWrittenAsPlainDecimals) {
  ValoresDialogo v;
  v.nAngulos = 1440;
  v.tamanoMaximo = 1000000;
  v.umbral = 0;
  v.sigma = -7;
  v.tipoSalida = 'c';
  const MapaParametros m = construyeMapa({}, {}, v);
  EXPECT_EQ(m.at("nAng"), "1440");
  EXPECT_EQ(m.at("maxSize"), "1000000");
  EXPECT_EQ(m.at("th"), "0");
  EXPECT_EQ(m.at("s"), "-7");
  EXPECT_EQ(m.at("tipoOutput"), "c");
}

// An attribute named like a parameter keeps its own value, and even switches
// on a stage whose box was unchecked.
TEST(MapaParametros, AttributeWinsOverTheDialog) {
  ValoresDialogo v;
  v.umbralizacion = false;
  const MapaParametros m = construyeMapa({{"th", "abc"}, {"nAng", "7"}, {"positionX", "9"}}, {1, 2, 3}, v);
  EXPECT_EQ(m.at("th"), "abc");
  EXPECT_EQ(m.at("nAng"), "7");
  EXPECT_EQ(m.at("positionX"), "9");
  EXPECT_EQ(m.at("positionY"), "2");
}

TEST(MapaParametros, FirstEntryOfAKeyIsKept) {
  const MapaParametros m = construyeMapa({}, {}, EntradasParametros{{"nAng", "1"}, {"nAng", "2"}});
  EXPECT_EQ(m.at("nAng"), "1");
}

TEST(EjecutaPipeline, RefusesExtentsItCannotCount) {
  std::vector<uint16_t> muestras(4, 7);
  for (Dimensiones d : {Dimensiones{-1, 4}, Dimensiones{4, -1}, Dimensiones{65536, 65536}}) {
    const Dimensiones antes = d;
    EXPECT_THROW(ejecutaPipeline(muestras.data(), &d, kPorDefecto, "./data"), std::length_error);
    EXPECT_EQ(d.dim0, antes.dim0);
    EXPECT_EQ(d.dim1, antes.dim1);
  }
  EXPECT_EQ(muestras, std::vector<uint16_t>(4, 7));
}

// A bad number stops the run before anything is written back, wherever in
// the run it is read.
TEST(EjecutaPipeline, StoppedRunLeavesSamplesAndExtents) {
  for (const char* clave : {"nAng", "th", "nIts", "s"}) {
    MapaParametros m = kPorDefecto;
    m[clave] = "abc";
    std::vector<uint16_t> muestras = {10, 200, 3000, 40000, 5, 60, 700, 8000, 90, 1000, 11, 120};
    const std::vector<uint16_t> antes = muestras;
    Dimensiones d{3, 4};
    try {
      ejecutaPipeline(muestras.data(), &d, m, "./data-no-escrita");
      ADD_FAILURE() << clave << " = abc did not stop the run";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "invalid stoi argument");
    }
    EXPECT_EQ(muestras, antes) << clave;
    EXPECT_TRUE(d.dim0 == 3 && d.dim1 == 4) << clave;
  }
}

}  // namespace
