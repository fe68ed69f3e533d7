#include "his.h"

#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "errores.h"
#include "ficheros_crudos.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

std::vector<uint16_t> muestrasDe(const Cubo& v) {
  const auto* c = dynamic_cast<const CorteUnsignedShort*>(v.corte(0));
  EXPECT_NE(c, nullptr);
  if (!c) return {};
  return std::vector<uint16_t>(c->datos(), c->datos() + c->numMuestras());
}

TEST(LectorHis, ImagenDe2048x2048) {
  QTemporaryDir dir;
  std::vector<int> m(2048 * 2048);
  for (std::size_t i = 0; i < m.size(); ++i) m[i] = int((i * 7) % 65536);
  m[0] = 4321;
  const std::string f = escribeEn(dir, "img.his", ficheroHis(2048, 2048, muestras16(m)));
  ObservadorGrabador o;
  auto v = leerHis(lista({f}), o);
  EXPECT_EQ(v->numCortes(), 1);
  EXPECT_EQ(v->geometria()->ancho(), 2048);
  EXPECT_EQ(v->geometria()->alto(), 2048);
  const std::vector<uint16_t> s = muestrasDe(*v);
  ASSERT_EQ(s.size(), m.size());
  EXPECT_EQ(s[0], 4321);  // the word at byte 100
  EXPECT_EQ(s[1], 7);
  EXPECT_EQ(s.back(), uint16_t(m.back()));
  EXPECT_EQ(v->corte(0)->minimo(), 0);
  EXPECT_EQ(v->corte(0)->maximo(), 65535);
  const AttributeMap a = v->atributos();
  for (const char* k : {"ST", "PixelDimx", "PixelDimy", "PixelDimz"}) EXPECT_EQ(a.at(k), "1") << k;
  EXPECT_FALSE(a.contains("FileName"));
  EXPECT_THAT(o.avisos, IsEmpty());
}

TEST(LectorHis, OrdenYLimites) {
  QTemporaryDir dir;
  struct Caso {
    std::vector<int> muestras;
    int inferior, superior;
  };
  // The highest limit is never below 1.
  for (const Caso& c : {Caso{{5, 9, 3, 40000, 7, 8}, 3, 40000}, Caso{{0, 0, 0, 0, 0, 0}, 0, 1}}) {
    auto v = leerHis(lista({escribeEn(dir, "a.his", ficheroHis(3, 2, muestras16(c.muestras)))}), observadorMudo());
    EXPECT_EQ(v->geometria()->ancho(), 3);
    EXPECT_EQ(v->geometria()->alto(), 2);
    std::vector<uint16_t> esperadas(c.muestras.begin(), c.muestras.end());
    EXPECT_EQ(muestrasDe(*v), esperadas);
    EXPECT_EQ(v->corte(0)->minimo(), c.inferior);
    EXPECT_EQ(v->corte(0)->maximo(), c.superior);
  }
  // Only the first path, and only the first frame, are read.
  const std::string dos = escribeEn(dir, "b.his", ficheroHis(1, 2, muestras16({1, 2, 3, 4})));
  auto v = leerHis(lista({dos, "/no/such.his"}), observadorMudo());
  EXPECT_THAT(muestrasDe(*v), ElementsAre(1, 2));
}

struct CasoHis {
  const char* nombre;
  Bytes contenido;  // nothing written when empty and `existe` is false
  bool existe;
  const char* error;
  const char* aviso;
};
void PrintTo(const CasoHis& c, std::ostream* os) { *os << c.nombre; }

class HisHostil : public ::testing::TestWithParam<CasoHis> {};

TEST_P(HisHostil, ErrorClaroOResultadoSano) {
  const CasoHis& caso = GetParam();
  QTemporaryDir dir;
  const std::string f = ruta(dir, "f.his");
  if (caso.existe) escribe(f, caso.contenido);
  const std::string refusada =
      esperaErrorOAviso([&](ObservadorLectura& o) { return leerHis(lista({f}), o); }, caso.error, caso.aviso, 1);
  if (caso.error) {
    EXPECT_EQ(refusada, f);
  }
}

Bytes recortado(Bytes b, std::size_t n) {
  b.resize(n);
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, HisHostil,
    ::testing::Values(
        CasoHis{"noExiste", {}, false, "cannot be opened", nullptr},
        CasoHis{"vacio", {}, true, "holds 0 bytes, fewer than the 100", nullptr},
        CasoHis{"cabeceraCortada", recortado(ficheroHis(2, 2, Bytes(8, 1)), 99), true, "holds 99 bytes", nullptr},
        // 65535 x 65535 samples (8.6 GB) claimed by a 2 KB file.
        CasoHis{"enormeEn2KB", recortado(ficheroHis(65535, 65535, Bytes(1948, 3)), 2048), true,
                "the header is corrupt", nullptr},
        CasoHis{"anchoCero", ficheroHis(0, 4, Bytes(8, 1)), true, "0 x 4", nullptr},
        CasoHis{"altoCero", ficheroHis(4, 0, Bytes(8, 1)), true, "4 x 0", nullptr},
        CasoHis{"sinMuestras", ficheroHis(2, 2, {}), true, nullptr, "holds 0 of the 8 bytes"},
        CasoHis{"corto", ficheroHis(4, 4, Bytes(7, 0x22)), true, nullptr, "holds 6 of the 32 bytes"},
        CasoHis{"variosCuadros", ficheroHis(2, 2, Bytes(24, 0x22)), true, nullptr, nullptr}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(LectorHis, CortoSeLeeHastaDondeLlegaConElRestoCero) {
  QTemporaryDir dir;
  ObservadorGrabador o;
  auto v = leerHis(lista({escribeEn(dir, "c.his", ficheroHis(2, 2, muestras16({9, 8, 7}) + Bytes{0x05}))}), o);
  EXPECT_THAT(muestrasDe(*v), ElementsAre(9, 8, 7, 0));
  EXPECT_EQ(v->corte(0)->minimo(), 0);
  EXPECT_EQ(o.avisos.size(), 1u);
  EXPECT_THROW(leerHis(QStringList{}, observadorMudo()), ErrorLectura);
}

}  // namespace
