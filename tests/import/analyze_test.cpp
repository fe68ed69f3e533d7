#include "analyze.h"

#include <cmath>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "errores.h"
#include "ficheros_prueba.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

class LectorAnalyze : public ::testing::Test {
 protected:
  QTemporaryDir dir;

  std::unique_ptr<Cubo> lee(const std::string& hdr, ObservadorLectura& o = observadorMudo()) {
    return leerAnalyze(QStringList{QString::fromStdString(hdr)}, o);
  }
  std::unique_ptr<Cubo> lee(const CabeceraAnalyze& c, const Bytes& img) {
    return lee(escribeAnalyze(dir, "scan", c, img));
  }
  static std::vector<int16_t> muestras(const Cubo& v, int i) {
    const auto* c = dynamic_cast<const CorteShort*>(v.corte(i));
    EXPECT_NE(c, nullptr);
    return std::vector<int16_t>(c->datos(), c->datos() + c->numMuestras());
  }
};

// One case per sample type: what is on disk and what the slice holds.
struct CasoTipo {
  const char* nombre;
  int16_t tipo;
  Bytes img;
  std::vector<int16_t> esperadas;
  int16_t inferior, superior;
  const char* linea;
};
void PrintTo(const CasoTipo& c, std::ostream* os) { *os << c.nombre; }

class TiposAnalyze : public LectorAnalyze, public ::testing::WithParamInterface<CasoTipo> {};

TEST_P(TiposAnalyze, GuardaCadaTipoComoCorteShort) {
  const CasoTipo& caso = GetParam();
  CabeceraAnalyze c;
  c.filas = 2;
  c.columnas = 2;
  c.tipo = caso.tipo;
  ::testing::internal::CaptureStdout();
  auto v = lee(c, caso.img);
  const std::string log = ::testing::internal::GetCapturedStdout();
  ASSERT_EQ(v->numCortes(), 1);
  EXPECT_EQ(muestras(*v, 0), caso.esperadas);
  const auto* s = dynamic_cast<const CorteShort*>(v->corte(0));
  EXPECT_EQ(s->inferior(), caso.inferior);
  EXPECT_EQ(s->superior(), caso.superior);
  EXPECT_THAT(log, HasSubstr("Tipo dato: " + std::to_string(caso.tipo) + "\n" + caso.linea + "\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Tipos, TiposAnalyze,
    ::testing::Values(
        CasoTipo{"uchar", 2, {0, 255, 7, 128}, {0, 255, 7, 128}, 0, 255, "Leyendo UCHAR"},
        CasoTipo{"short", 4, muestras16({-1000, 32767, -32768, 5}), {-1000, 32767, -32768, 5},
                 -32768, 32767, "Leyendo SHORT"},
        CasoTipo{"ushort", 512, muestras16({40000, 0, 65535, 1}), {-25536, 0, -1, 1}, -25536, 1,
                 "Leyendo USHORT"},
        CasoTipo{"ushortAntiguo", 3, muestras16({40000, 2, 3, 4}), {-25536, 2, 3, 4}, -25536, 4,
                 "Leyendo USHORT (CODIGO ANTIGUO ORV 1)"},
        CasoTipo{"float", 16, muestrasFloat({0.0f, 1.0f, 0.5f, 0.25f}), {0, 32767, 16383, 8191}, 0,
                 32767, "Leyendo FLOAT"},
        // The highest limit never drops below -32767.
        CasoTipo{"todoMinimo", 4, muestras16({-32768, -32768, -32768, -32768}),
                 {-32768, -32768, -32768, -32768}, -32768, -32767, "Leyendo SHORT"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST_F(LectorAnalyze, EscalaFlotantesSobreTodoElVolumen) {
  CabeceraAnalyze c;
  c.filas = 1;
  c.columnas = 2;
  c.cortes = 2;
  c.tipo = 16;
  // The scale spans both slices: slice 0 alone would stretch to 32767.
  auto v = lee(c, muestrasFloat({0.0f, 1.0f, 3.0f, 4.0f}));
  EXPECT_THAT(muestras(*v, 0), ElementsAre(0, 8191));
  EXPECT_THAT(muestras(*v, 1), ElementsAre(24575, 32767));

  auto iguales = lee(c, muestrasFloat({3.0f, 3.0f, 3.0f, 3.0f}));
  EXPECT_THAT(muestras(*iguales, 0), ElementsAre(0, 0));
  EXPECT_THAT(muestras(*iguales, 1), ElementsAre(0, 0));

  // Above the clamp the lower bound is 999999, not the smallest sample; the
  // scale is 32767 / (2000000 - 999999) rounded to single precision.
  auto grandes = lee(c, muestrasFloat({1500000.0f, 2000000.0f, 1500000.0f, 2000000.0f}));
  const float escala = float(32767.0 / (2000000.0 - 999999.0));
  const int16_t medio = int16_t((1500000.0f - 999999.0f) * escala);
  EXPECT_THAT(muestras(*grandes, 0), ElementsAre(medio, int16_t((2000000.0f - 999999.0f) * escala)));
  EXPECT_EQ(medio, 16383);

  // A sample that is not a number becomes 0 and does not disturb the bounds.
  auto nan = lee(c, muestrasFloat({std::nanf(""), 2.0f, 0.0f, 1.0f}));
  EXPECT_THAT(muestras(*nan, 0), ElementsAre(0, 32767));
  EXPECT_THAT(muestras(*nan, 1), ElementsAre(0, 16383));
}

TEST_F(LectorAnalyze, ExtensionesYOrdenDeLasMuestras) {
  CabeceraAnalyze c;
  c.filas = 2;     // alto
  c.columnas = 3;  // ancho
  c.cortes = 2;
  c.pixdim1 = 0.9765625f;
  c.pixdim2 = 0.5f;
  c.pixdim3 = 2.5f;
  std::vector<int> valores;
  for (int i = 0; i < 12; ++i) valores.push_back(i * 10);
  auto v = lee(c, muestras16(valores));
  EXPECT_EQ(v->geometria()->ancho(), 3);
  EXPECT_EQ(v->geometria()->alto(), 2);
  EXPECT_EQ(v->numCortes(), 2);
  EXPECT_EQ(v->corte(1)->geometria(), v->geometria());
  // File order is storage order; slice i holds the i-th block.
  EXPECT_THAT(muestras(*v, 0), ElementsAre(0, 10, 20, 30, 40, 50));
  EXPECT_THAT(muestras(*v, 1), ElementsAre(60, 70, 80, 90, 100, 110));
  const AttributeMap a = v->atributos();
  EXPECT_EQ(a.at("PixelDimx"), "0.976562");
  EXPECT_EQ(a.at("PixelDimy"), "0.5");
  EXPECT_EQ(a.at("PixelDimz"), "2.5");
  EXPECT_EQ(a.at("ST"), "2.5");
  EXPECT_FALSE(a.contains("dataType"));
  EXPECT_FALSE(a.contains("Pitch Factor"));
}

TEST_F(LectorAnalyze, AtributosDeModalidadYPaso) {
  struct Caso {
    std::string unidades;
    float pitch;
    bool ct;
    const char* pitchTexto;
  };
  const Caso casos[] = {
      {"HU", 0.0f, true, nullptr},   {"HU ", 1.5f, false, "1.5"}, {"hu", 0.0f, false, nullptr},
      {"", 0.0f, false, nullptr},    {"HUHUHUHU", 0.0f, false, nullptr},
      {std::string("HU\0xx", 5), 1.0f, true, "1"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE("unidades \"" + caso.unidades + "\"");
    CabeceraAnalyze c;
    c.unidades = caso.unidades;
    c.pitch = caso.pitch;
    const std::string hdr = escribeAnalyze(dir, "scan", c, muestras16({1, 2, 3, 4, 5, 6}));
    const AttributeMap a = lee(hdr)->atributos();
    EXPECT_EQ(a.contains("modality"), caso.ct);
    if (caso.ct) {
      EXPECT_EQ(a.at("modality"), "CT");
    }
    EXPECT_EQ(a.contains("Pitch Factor"), caso.pitchTexto != nullptr);
    if (caso.pitchTexto) {
      EXPECT_EQ(a.at("Pitch Factor"), caso.pitchTexto);
    }
    EXPECT_EQ(a.at("FileName"), hdr);
    EXPECT_EQ(a.size(), 5u + caso.ct + (caso.pitchTexto != nullptr));
  }
}

TEST_F(LectorAnalyze, ElFicheroDeMuestrasCambiaLasTresUltimasLetras) {
  CabeceraAnalyze c;
  c.filas = 1;
  c.columnas = 1;
  const std::string hdr = ruta(dir, "scan.xyz");
  escribe(hdr, cabeceraAnalyze(c));
  escribe(ruta(dir, "scan.img"), muestras16({77}));
  escribe(ruta(dir, "scan.xyz.img"), muestras16({11}));
  EXPECT_THAT(muestras(*lee(hdr), 0), ElementsAre(77));
}

TEST_F(LectorAnalyze, EscribeSuRegistroYSuProgreso) {
  CabeceraAnalyze c;
  c.filas = 2;
  c.columnas = 3;
  c.cortes = 3;
  c.orientacion = 0x80;
  ObservadorGrabador o;
  ::testing::internal::CaptureStdout();
  auto v = lee(escribeAnalyze(dir, "scan", c, Bytes(36, 1)), o);
  const std::string log = ::testing::internal::GetCapturedStdout();
  // The orientation byte is a signed char widened to int; it changes nothing.
  EXPECT_EQ(log,
            "Or: ffffff80\nFilas: 2\nColumnas: 3\nTipo dato: 4\nLeyendo SHORT\n");
  EXPECT_EQ(v->geometria()->ancho(), 3);
  EXPECT_EQ(o.etiqueta, "Cargando Imagenes...");
  EXPECT_EQ(o.cancelar, "Cancelar");
  EXPECT_EQ(o.minimo, 0);
  EXPECT_EQ(o.maximo, 3);
  EXPECT_THAT(o.valores, ElementsAre(0, 1, 2));
  EXPECT_EQ(o.fines, 1);
  EXPECT_TRUE(o.avisos.empty());
}

TEST_F(LectorAnalyze, UsaSoloLaPrimeraRuta) {
  CabeceraAnalyze c;
  c.filas = 1;
  c.columnas = 1;
  const std::string a = escribeAnalyze(dir, "a", c, muestras16({5}));
  auto v = leerAnalyze(QStringList{QString::fromStdString(a), QStringLiteral("/no/such.hdr")},
                       observadorMudo());
  EXPECT_THAT(muestras(*v, 0), ElementsAre(5));
}

TEST_F(LectorAnalyze, FicheroDeMuestrasCortoSeLeeHastaDondeLlegaYAvisa) {
  CabeceraAnalyze c;
  c.filas = 2;
  c.columnas = 2;
  c.cortes = 4;
  ObservadorGrabador o;
  // One and a half slices of four: the volume keeps its four slices.
  auto v = lee(escribeAnalyze(dir, "scan", c, muestras16({1, 2, 3, 4, 5, 6})), o);
  ASSERT_EQ(v->numCortes(), 4);
  EXPECT_EQ(v->cortesPresentes(), 4);
  EXPECT_THAT(muestras(*v, 0), ElementsAre(1, 2, 3, 4));
  EXPECT_THAT(muestras(*v, 1), ElementsAre(5, 6, 0, 0));
  EXPECT_THAT(muestras(*v, 3), ElementsAre(0, 0, 0, 0));
  EXPECT_EQ(dynamic_cast<const CorteShort*>(v->corte(1))->inferior(), 0);
  ASSERT_EQ(o.avisos.size(), 1u);
  EXPECT_THAT(o.avisos[0], HasSubstr("scan.img"));
  EXPECT_THAT(o.avisos[0], HasSubstr("short"));
  EXPECT_THAT(o.avisos[0], HasSubstr("12 of the 32 bytes"));
  EXPECT_EQ(o.fines, 1);
}

TEST_F(LectorAnalyze, FicheroDeMuestrasVacioOMenorQueUnCorteDaCerosYAvisa) {
  CabeceraAnalyze c;
  c.filas = 2;
  c.columnas = 2;
  c.cortes = 3;
  for (std::size_t bytes : {std::size_t{0}, std::size_t{7}}) {
    ObservadorGrabador o;
    Bytes img(bytes, 0);
    if (bytes >= 2) img[0] = 9;
    auto v = lee(escribeAnalyze(dir, "scan", c, img), o);
    ASSERT_EQ(v->numCortes(), 3) << bytes;
    EXPECT_THAT(muestras(*v, 0), ElementsAre(bytes >= 2 ? 9 : 0, 0, 0, 0)) << bytes;
    EXPECT_THAT(muestras(*v, 2), ElementsAre(0, 0, 0, 0)) << bytes;
    EXPECT_EQ(o.avisos.size(), 1u) << bytes;
  }
}

TEST_F(LectorAnalyze, FicheroDeMuestrasLargoIgnoraElResto) {
  CabeceraAnalyze c;
  c.filas = 1;
  c.columnas = 2;
  ObservadorGrabador o;
  auto v = lee(escribeAnalyze(dir, "scan", c, muestras16({1, 2, 3, 4})), o);
  EXPECT_EQ(v->numCortes(), 1);
  EXPECT_THAT(muestras(*v, 0), ElementsAre(1, 2));
  EXPECT_TRUE(o.avisos.empty());
}

// Files that must be refused with a reason and no volume, before anything of
// the header's size is allocated.
struct CasoMalo {
  const char* nombre;
  std::function<void(const QTemporaryDir&)> prepara;  // writes bad.hdr (and bad.img)
  const char* motivo;
};
void PrintTo(const CasoMalo& c, std::ostream* os) { *os << c.nombre; }

class CorpusAnalyzeMalo : public ::testing::TestWithParam<CasoMalo> {};

TEST_P(CorpusAnalyzeMalo, SeRechazaConMotivo) {
  QTemporaryDir dir;
  GetParam().prepara(dir);
  ObservadorGrabador o;
  const std::string hdr = ruta(dir, "bad.hdr");
  try {
    leerAnalyze(QStringList{QString::fromStdString(hdr)}, o);
    FAIL() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_THAT(e.motivo(), HasSubstr(GetParam().motivo));
    EXPECT_THAT(e.ruta(), HasSubstr("bad."));
  }
  EXPECT_EQ(o.fines, o.maximo == -1 ? 0 : 1);
}

CabeceraAnalyze conExtensiones(int16_t f, int16_t c, int16_t s, int16_t tipo = 4) {
  CabeceraAnalyze h;
  h.filas = f;
  h.columnas = c;
  h.cortes = s;
  h.tipo = tipo;
  return h;
}

std::function<void(const QTemporaryDir&)> par(CabeceraAnalyze h, Bytes img) {
  return [h, img](const QTemporaryDir& d) { escribeAnalyze(d, "bad", h, img); };
}

std::function<void(const QTemporaryDir&)> cabeceraCortada(std::size_t n) {
  return [n](const QTemporaryDir& d) {
    Bytes b = cabeceraAnalyze(CabeceraAnalyze{});
    b.resize(n);
    escribe(ruta(d, "bad.hdr"), b);
    escribe(ruta(d, "bad.img"), Bytes(12, 0));
  };
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, CorpusAnalyzeMalo,
    ::testing::Values(
        CasoMalo{"sinCabecera", [](const QTemporaryDir&) {}, "cannot be opened"},
        CasoMalo{"cabeceraVacia", cabeceraCortada(0), "fewer than the 348"},
        CasoMalo{"cabecera347", cabeceraCortada(347), "347 bytes"},
        CasoMalo{"filasCero", par(conExtensiones(0, 2, 1), Bytes(8)), "must be positive"},
        CasoMalo{"columnasNegativas", par(conExtensiones(2, -2, 1), Bytes(8)), "must be positive"},
        CasoMalo{"cortesCero", par(conExtensiones(2, 2, 0), Bytes(8)), "must be positive"},
        CasoMalo{"cortesNegativos", par(conExtensiones(2, 2, -1), Bytes(8)), "must be positive"},
        CasoMalo{"extremosNegativos", par(conExtensiones(-32768, -32768, -32768), Bytes(8)),
                 "must be positive"},
        // 32767^3 samples claimed by a 16-byte sample file.
        CasoMalo{"enormeConImgDiminuto", par(conExtensiones(32767, 32767, 32767, 16), Bytes(16)),
                 "holds only 16"},
        CasoMalo{"enormeFlotanteSinImg",
                 [](const QTemporaryDir& d) {
                   escribe(ruta(d, "bad.hdr"), cabeceraAnalyze(conExtensiones(32767, 32767, 32767, 16)));
                 },
                 "sample file cannot be opened"},
        // A claim of 1.6 GB beside a 100-byte file is a corrupt header, not a short file.
        CasoMalo{"grandeConImgDiminuto", par(conExtensiones(20000, 20000, 2), Bytes(100)),
                 "holds only 100"},
        CasoMalo{"tipoDoble", par(conExtensiones(2, 2, 1, 64), Bytes(64)), "sample type 64"},
        CasoMalo{"tipoCero", par(conExtensiones(2, 2, 1, 0), Bytes(64)), "sample type 0"},
        CasoMalo{"tipoNegativo", par(conExtensiones(2, 2, 1, -4), Bytes(64)), "sample type -4"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(LectorAnalyzeSinLista, ListaVaciaEsUnError) {
  EXPECT_THROW(leerAnalyze(QStringList{}, observadorMudo()), ErrorLectura);
}

}  // namespace
