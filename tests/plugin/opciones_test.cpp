#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "opciones.h"
#include "parametros.h"

namespace {

struct CasoUso {
  std::vector<std::string> args;
  const char* motivo;  // a piece of the reason
};

void PrintTo(const CasoUso& c, std::ostream* os) {
  for (const std::string& a : c.args) *os << a << ' ';
}

std::string nombreCaso(const testing::TestParamInfo<CasoUso>& info) {
  std::string n = std::to_string(info.index);
  for (const std::string& a : info.param.args)
    for (char c : a) n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return n;
}

class ErroresDeUso : public testing::TestWithParam<CasoUso> {};

TEST_P(ErroresDeUso, AreRefused) {
  Opciones o;
  std::string error;
  EXPECT_FALSE(leeOpciones(GetParam().args, o, error));
  EXPECT_NE(error.find(GetParam().motivo), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Trelkin, ErroresDeUso,
    testing::Values(CasoUso{{}, "no INPUT"}, CasoUso{{"--param", "th=3"}, "no INPUT"},
                    CasoUso{{"--bogus", "a"}, "unknown option"}, CasoUso{{"a", "--param"}, "needs a value"},
                    CasoUso{{"--param", "th", "a"}, "KEY=VALUE"}, CasoUso{{"--param", "=3", "a"}, "KEY=VALUE"},
                    CasoUso{{"--param", "positionX=3", "a"}, "not a parameter"},
                    CasoUso{{"--param", "nang=3", "a"}, "not a parameter"},
                    CasoUso{{"--unset", "nAng", "a"}, "no check box"},
                    CasoUso{{"--unset", "w", "--param", "s=2", "a"}, "contradict"},
                    CasoUso{{"--raw", "10", "a"}, "DIM0xDIM1"}, CasoUso{{"--raw", "0x4", "a"}, "DIM0xDIM1"},
                    CasoUso{{"--raw", "4x-4", "a"}, "DIM0xDIM1"}, CasoUso{{"--raw", "4x4x", "a"}, "DIM0xDIM1"},
                    CasoUso{{"-j", "0", "a"}, "positive"}, CasoUso{{"-jx", "a"}, "positive"},
                    CasoUso{{"--out", "o.jpg", "a"}, ".raw"}, CasoUso{{"--out", "o.raw", "a", "b"}, "one INPUT"},
                    CasoUso{{"--data-dir", "", "a"}, "folder"}),
    nombreCaso);

TEST(OpcionesTrelkin, ReadsEveryOption) {
  Opciones o;
  std::string error;
  ASSERT_TRUE(leeOpciones({"--param", "th=abc", "--unset", "w", "--raw", "12x34", "--data-dir", "d",
                           "-j3", "a", "--", "--raro"},
                          o, error))
      << error;
  EXPECT_TRUE(o.crudo);
  EXPECT_EQ(o.crudoDim0, 12);
  EXPECT_EQ(o.crudoDim1, 34);
  EXPECT_EQ(o.carpetaDatos, "d");
  EXPECT_EQ(o.trabajos, 3);
  EXPECT_EQ(o.entradas, (std::vector<std::string>{"a", "--raro"}));
  // What a child process needs to make the same run, and nothing per input.
  EXPECT_EQ(o.reenvio, (std::vector<std::string>{"--param", "th=abc", "--unset", "w", "--raw", "12x34"}));
}

TEST(OpcionesTrelkin, MapIsTheDialogsWithTheChanges) {
  Opciones o;
  std::string error;
  ASSERT_TRUE(leeOpciones({"a"}, o, error));
  EXPECT_EQ(mapaDeOpciones(o, {{"k", "v"}}), construyeMapa({{"k", "v"}}, {}, ValoresDialogo{}));

  Opciones cambiado;
  ASSERT_TRUE(leeOpciones({"--unset", "w", "--unset", "dl", "--param", "th=abc", "--param", "nAng=8",
                           "--param", "nAng=16", "a"},
                          cambiado, error));
  ValoresDialogo v;
  v.gradiente = false;
  v.deteccion = false;
  v.nAngulos = 16;
  MapaParametros esperado = construyeMapa({}, {}, v);
  esperado["th"] = "abc";
  EXPECT_EQ(mapaDeOpciones(cambiado, {}), esperado);
  // An attribute keeps its value over --param, as over the dialog.
  EXPECT_EQ(mapaDeOpciones(cambiado, {{"th", "5"}}).at("th"), "5");
}

}  // namespace
