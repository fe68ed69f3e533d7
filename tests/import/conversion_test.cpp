#include "conversion.h"

#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ficheros_prueba.h"

using ::testing::ElementsAre;

namespace {

AttributeMap tamanos() {
  AttributeMap a;
  a.set("PixelDimx", "0.5");
  a.set("PixelDimy", "0.25");
  a.set("PixelDimz", "2");
  a.set("ST", "1");
  return a;
}

template <class T>
std::vector<T> de(const Muestras<T>& m) {
  return std::vector<T>(m.begin(), m.end());
}

std::unique_ptr<CorteDouble> dobles(std::vector<double> v, double lo, double hi, Geometria g) {
  auto d = std::make_unique<double[]>(v.size());
  std::copy(v.begin(), v.end(), d.get());
  return std::make_unique<CorteDouble>(std::move(d), lo, hi, std::move(g));
}

TEST(EscalarA16Bits, EstiraCadaCorteDesdeSusLimites) {
  Geometria g = nuevaGeometria(2, 2);
  CuboSinograma s(g, 2, 1, 2, tamanos());
  s.ponCorte(dobles({100.0, 200.0, 300.0, 250.0}, 100.0, 300.0, g), 0);
  s.ponCorte(dobles({5.0, 5.0, 5.0, 5.0}, 5.0, 5.0, g), 1);
  RegistroDebug registro;
  auto v = escalarA16Bits(s);
  EXPECT_EQ(RegistroDebug::lineas(), QStringList{QString::fromUtf8("valores del tama\xc3\xb1o del pixel     0.5  0.25  2")});
  // 65535 / 200 rounded to single precision is 327.674988…, so the top of the
  // slice is 65534, not 65535.
  EXPECT_THAT(de(v->corte(0)->comoUShort()), ElementsAre(0, 32767, 65534, 49151));
  EXPECT_THAT(de(v->corte(1)->comoUShort()), ElementsAre(0, 0, 0, 0));
  for (int i = 0; i < 2; ++i) {
    EXPECT_NE(dynamic_cast<const CorteUnsignedShort*>(v->corte(i)), nullptr);
    EXPECT_EQ(v->corte(i)->minimo(), 0);
    EXPECT_EQ(v->corte(i)->maximo(), 65535);
    EXPECT_EQ(v->corte(i)->geometria(), g);
  }
  EXPECT_EQ(v->geometria(), g);
  EXPECT_EQ(v->numCortes(), 2);
  EXPECT_EQ(v->atributos().mapa(), s.atributos().mapa());
  EXPECT_EQ(dynamic_cast<const CorteDouble*>(s.corte(0))->datos()[2], 300.0);
}

TEST(EscalarA16Bits, LimitesCompletosPasanSinCambio) {
  Geometria g = nuevaGeometria(1, 4);
  Cubo c(g, 1, tamanos());
  auto d = std::make_unique<uint16_t[]>(4);
  const uint16_t valores[] = {0, 1, 40000, 65535};
  std::copy(valores, valores + 4, d.get());
  c.ponCorte(std::make_unique<CorteUnsignedShort>(std::move(d), 0, 65535, g), 0);
  EXPECT_THAT(de(escalarA16Bits(c)->corte(0)->comoUShort()), ElementsAre(0, 1, 40000, 65535));
}

TEST(EscalarA16Bits, CorteShortUsaSusLimitesConSigno) {
  Geometria g = nuevaGeometria(1, 3);
  Cubo c(g, 1, tamanos());
  auto d = std::make_unique<int16_t[]>(3);
  d[0] = -1000;
  d[1] = 0;
  d[2] = 1000;
  c.ponCorte(std::make_unique<CorteShort>(std::move(d), -1000, 1000, g), 0);
  const float escala = float(65535.0 / 2000.0);
  EXPECT_THAT(de(escalarA16Bits(c)->corte(0)->comoUShort()),
              ElementsAre(0, uint16_t(1000.0 * double(escala)), uint16_t(2000.0 * double(escala))));
}

TEST(EscalarA16Bits, MuestrasFueraDeLosLimitesNoSonComportamientoIndefinido) {
  Geometria g = nuevaGeometria(1, 4);
  Cubo c(g, 1, tamanos());
  c.ponCorte(dobles({std::nan(""), 1e300, -1.0, 301.0}, 100.0, 300.0, g), 0);
  const auto m = de(escalarA16Bits(c)->corte(0)->comoUShort());
  EXPECT_EQ(m[0], 0);
  EXPECT_EQ(m[1], 0);
  // (-1 - 100) * 327.67499 truncates to -33095, whose low 16 bits are 32441.
  EXPECT_EQ(m[2], uint16_t(int32_t(-101.0 * double(float(65535.0 / 200.0)))));
  // 65862.6 wraps past 65535.
  EXPECT_EQ(m[3], uint16_t(int32_t(201.0 * double(float(65535.0 / 200.0)))));
}

TEST(Invertir16Bits, InvierteMuestrasYConservaLimites) {
  Geometria g = nuevaGeometria(1, 3);
  Cubo c(g, 1, tamanos());
  auto d = std::make_unique<uint16_t[]>(3);
  d[0] = 1000;
  d[1] = 0;
  d[2] = 65535;
  c.ponCorte(std::make_unique<CorteUnsignedShort>(std::move(d), 0, 1000, g), 0);
  auto v = invertir16Bits(c);
  EXPECT_THAT(de(v->corte(0)->comoUShort()), ElementsAre(64535, 65535, 0));
  EXPECT_EQ(v->corte(0)->minimo(), 0);
  EXPECT_EQ(v->corte(0)->maximo(), 1000);
  EXPECT_EQ(v->geometria(), g);
}

TEST(Conversiones, FaltaUnaClave) {
  for (const char* clave : {"PixelDimx", "PixelDimy", "PixelDimz", "ST"}) {
    SCOPED_TRACE(clave);
    AttributeMap a = tamanos();
    a.erase(clave);
    Cubo c(nuevaGeometria(1, 1), 0, a);
    if (std::string(clave) != "ST") {
      EXPECT_THROW(escalarA16Bits(c), std::out_of_range);
    }
    EXPECT_THROW(invertir16Bits(c), std::out_of_range);
  }
}

}  // namespace
