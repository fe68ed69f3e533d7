#include "corte.h"

#include <cmath>
#include <functional>
#include <limits>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

template <class T>
std::vector<T> de(const Muestras<T>& m) {
  return std::vector<T>(m.begin(), m.end());
}

template <class T>
std::unique_ptr<T[]> array(std::initializer_list<T> v) {
  auto a = std::make_unique<T[]>(v.size());
  std::copy(v.begin(), v.end(), a.get());
  return a;
}

// One sample through all five conversions.
struct CasoConversion {
  const char* nombre;
  std::function<std::unique_ptr<Corte>(Geometria)> corte;
  uint8_t uchar;
  uint16_t ushort;
  int16_t sshort;
  int32_t entero;
  double doble;  // NaN: the sample is NaN
};
void PrintTo(const CasoConversion& c, std::ostream* os) { *os << c.nombre; }

class Conversiones : public ::testing::TestWithParam<CasoConversion> {};

TEST_P(Conversiones, CadaTipo) {
  const CasoConversion& c = GetParam();
  auto corte = c.corte(nuevaGeometria(1, 1));
  EXPECT_EQ(corte->comoUChar()[0], c.uchar);
  EXPECT_EQ(corte->comoUShort()[0], c.ushort);
  EXPECT_EQ(corte->comoShort()[0], c.sshort);
  EXPECT_EQ(corte->comoInt()[0], c.entero);
  if (std::isnan(c.doble))
    EXPECT_TRUE(std::isnan(corte->comoDouble()[0]));
  else
    EXPECT_EQ(corte->comoDouble()[0], c.doble);
}

auto us(uint16_t v) {
  return [v](Geometria g) { return std::make_unique<CorteUnsignedShort>(array<uint16_t>({v}), 0, 0, g); };
}
auto ss(int16_t v) {
  return [v](Geometria g) { return std::make_unique<CorteShort>(array<int16_t>({v}), 0, 0, g); };
}
auto dd(double v) {
  return [v](Geometria g) { return std::make_unique<CorteDouble>(array<double>({v}), 0, 0, g); };
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Tabla, Conversiones,
    ::testing::Values(
        CasoConversion{"us300", us(300), 44, 300, 300, 300, 300.0},
        CasoConversion{"us40000", us(40000), 0x40, 40000, int16_t(40000 - 65536), 40000, 40000.0},
        CasoConversion{"us65535", us(65535), 255, 65535, -1, 65535, 65535.0},
        CasoConversion{"ssMenos1", ss(-1), 255, 65535, -1, -1, -1.0},
        CasoConversion{"ss300", ss(300), 44, 300, 300, 300, 300.0},
        CasoConversion{"ssMinimo", ss(-32768), 0, 32768, -32768, -32768, -32768.0},
        CasoConversion{"d70000_7", dd(70000.7), uint8_t(70000), 4464, 4464, 70000, 70000.7},
        CasoConversion{"dMenos2_7", dd(-2.7), 254, 65534, -2, -2, -2.7},
        CasoConversion{"d1e10", dd(1e10), uint8_t(10000000000LL), uint16_t(10000000000LL),
                       0, std::numeric_limits<int32_t>::min(), 1e10},
        CasoConversion{"dNaN", dd(kNaN), 0, 0, 0, std::numeric_limits<int32_t>::min(), kNaN},
        CasoConversion{"dInf", dd(kInf), 0, 0, 0, std::numeric_limits<int32_t>::min(), kInf},
        CasoConversion{"dMenosInf", dd(-kInf), 0, 0, 0, std::numeric_limits<int32_t>::min(), -kInf},
        CasoConversion{"d1e30", dd(1e30), 0, 0, 0, std::numeric_limits<int32_t>::min(), 1e30},
        CasoConversion{"d2_147e9", dd(2147483648.0), 0, 0, 0, std::numeric_limits<int32_t>::min(),
                       2147483648.0},
        CasoConversion{"dMenos2_147e9", dd(-2147483648.9), 0, 0, 0, std::numeric_limits<int32_t>::min(),
                       -2147483648.9}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(Truncado, ValoresDeFrontera) {
  EXPECT_EQ(truncaA32(2147483647.9), 2147483647);
  EXPECT_EQ(truncaA32(-2147483648.9), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(truncaA32(-2147483647.9), -2147483647);
  EXPECT_EQ(truncaA32(2147483648.0), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(truncaA64(-2.7), -2);
  EXPECT_EQ(truncaA64(9.3e18), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(truncaA64(kNaN), std::numeric_limits<int64_t>::min());
}

TEST(Corte, PropioArraySeDevuelvePrestado) {
  Geometria g = nuevaGeometria(2, 3);
  CorteUnsignedShort u(array<uint16_t>({1, 2, 3, 4, 5, 6}), 1, 6, g);
  const Muestras<uint16_t> a = u.comoUShort(), b = u.comoUShort();
  EXPECT_EQ(a.data(), u.datos());
  EXPECT_EQ(b.data(), u.datos());
  EXPECT_FALSE(a.esPropia());
  const Muestras<int32_t> i = u.comoInt();
  EXPECT_TRUE(i.esPropia());
  EXPECT_THAT(de(i), ElementsAre(1, 2, 3, 4, 5, 6));

  CorteShort s(array<int16_t>({-1}), -1, -1, nuevaGeometria(1, 1));
  EXPECT_EQ(s.comoShort().data(), s.datos());
  EXPECT_TRUE(s.comoUShort().esPropia());
  CorteDouble d(array<double>({1.5}), 0, 2, nuevaGeometria(1, 1));
  EXPECT_EQ(d.comoDouble().data(), d.datos());
}

TEST(Corte, LimitesComoDieciseisBitsSinSigno) {
  CorteShort s(array<int16_t>({-1}), -1000, -1, nuevaGeometria(1, 1));
  EXPECT_EQ(s.minimo(), 64536);
  EXPECT_EQ(s.maximo(), 65535);
  CorteUnsignedShort u(array<uint16_t>({0}), 3, 65535, nuevaGeometria(1, 1));
  EXPECT_EQ(u.minimo(), 3);
  EXPECT_EQ(u.maximo(), 65535);
  CorteDouble d(array<double>({0}), -2.7, 70000.7, nuevaGeometria(1, 1));
  EXPECT_EQ(d.minimoDouble(), -2.7);
  EXPECT_EQ(d.maximoDouble(), 70000.7);
}

TEST(Corte, GeometriaCompartidaCambiaATodos) {
  Geometria g = nuevaGeometria(2, 3);
  CorteUnsignedShort a(array<uint16_t>({1, 2, 3, 4, 5, 6}), 0, 0, g);
  CorteShort b(array<int16_t>({1, 2, 3, 4, 5, 6}), 0, 0, g);
  g->intercambia();
  EXPECT_EQ(a.geometria()->ancho(), 3);
  EXPECT_EQ(b.geometria()->alto(), 2);
  EXPECT_EQ(a.numMuestras(), 6u);
}

TEST(Corte, GeometriaSinMuestras) {
  Geometria g = nuevaGeometria(0, 5);
  CorteDouble d(nullptr, 0, 0, g);
  EXPECT_EQ(d.comoInt().size(), 0u);
  EXPECT_EQ(d.comoUChar().size(), 0u);
  EXPECT_EQ(nuevaGeometria(-3, 5)->numMuestras(), 0u);
  EXPECT_EQ(nuevaGeometria(32767, 32767)->numMuestras(), 32767ull * 32767ull);
}

}  // namespace
