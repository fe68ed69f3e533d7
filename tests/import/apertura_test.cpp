#include "apertura.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "errores.h"
#include "ficheros_prueba.h"

using ::testing::HasSubstr;

namespace {

QStringList una(const std::string& ruta) { return {QString::fromStdString(ruta)}; }

TEST(Apertura, AnalyzeDaSuVolumenSuResumenYSuVentana) {
  QTemporaryDir dir;
  CabeceraAnalyze c;
  c.filas = 2;
  c.columnas = 3;
  c.cortes = 2;
  c.pixdim3 = 1.25f;
  c.unidades = "HU";
  const std::string hdr = escribeAnalyze(dir, "scan", c, muestras16({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  RegistroDebug registro;
  VolumenAbierto v = abreLista(una(hdr), observadorMudo());
  EXPECT_EQ(v.clave, "Analyze");
  EXPECT_EQ(v.leido, nullptr);
  ASSERT_NE(v.display, nullptr);
  EXPECT_NE(dynamic_cast<const CorteShort*>(v.display->corte(0)), nullptr);
  const QString resumen =
      "Ancho del Corte: 1.25\nNumero de Cortes: 2\nAncho de la Imagen: 3\nAlto de la Imagen: 2\n"
      "Pixel x (mm): 1\nPixel y (mm): 1";
  EXPECT_EQ(v.resumen, resumen);
  EXPECT_EQ(v.display->textoCabecera(), resumen);
  EXPECT_EQ(v.inferior, 0);
  EXPECT_EQ(v.superior, 65535);
  EXPECT_EQ(v.display->atributos().at("modality"), "CT");
  EXPECT_TRUE(RegistroDebug::lineas().contains("Cabecera  Analyze"));
  EXPECT_TRUE(RegistroDebug::lineas().contains("Analyze"));
}

// Every key without a working reader: its log line, then a clear error.
struct CasoClave {
  const char* clave;
  Bytes contenido;
  const char* debug;   // line on the debug log, or nullptr
  const char* salida;  // line on standard output, or nullptr
  const char* motivo;
};
void PrintTo(const CasoClave& c, std::ostream* os) { *os << c.clave; }

class AperturaFicheroMalo : public ::testing::TestWithParam<CasoClave> {};

Bytes palabra(unsigned char a, unsigned char b) {
  Bytes x(300, 0x11);
  x[0] = a;
  x[1] = b;
  return x;
}
TEST_P(AperturaFicheroMalo, EscribeSuLineaYDaUnErrorClaro) {
  const CasoClave& c = GetParam();
  QTemporaryDir dir;
  const std::string f = ruta(dir, "fichero.bin");
  escribe(f, c.contenido);
  RegistroDebug registro;
  ::testing::internal::CaptureStdout();
  try {
    abreLista(una(f), observadorMudo());
    ::testing::internal::GetCapturedStdout();
    FAIL() << "no error";
  } catch (const ErrorLectura& e) {
    const std::string salida = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(e.ruta(), f);
    EXPECT_THAT(e.motivo(), HasSubstr(c.motivo));
    if (c.salida) {
      EXPECT_EQ(salida, std::string(c.salida) + "\n");
    }
    if (c.debug) {
      EXPECT_TRUE(RegistroDebug::lineas().contains(c.debug)) << RegistroDebug::lineas().join("|").toStdString();
    }
    EXPECT_TRUE(RegistroDebug::lineas().contains(QStringLiteral("Cabecera  ") + c.clave));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Claves, AperturaFicheroMalo,
    ::testing::Values(
        CasoClave{"Dicom", Bytes(300, 0), nullptr, "Error Leyendo", "cannot be loaded as DICOM"},
        CasoClave{"TIFF", palabra(0x49, 0x49), "LEE FORMATO TIFF", nullptr, "libtiff cannot open the file"},
        CasoClave{"JPEG", palabra(0xFF, 0xD8), "LEE FORMATO JPEG", nullptr, "libjpeg cannot decode the picture"},
        CasoClave{"PNG", palabra(0x89, 0x50), "LEE FORMATO PNG", nullptr, "the picture cannot be loaded"},
        CasoClave{"BMP", palabra(0x42, 0x4D), "LEE FORMATO BMP", nullptr, "the picture cannot be loaded"}),
    [](const auto& info) { return std::string(info.param.clave); });

TEST(Apertura, FicheroQueNoSeAbre) {
  RegistroDebug registro;
  ::testing::internal::CaptureStderr();
  try {
    abreLista({QStringLiteral("/no/such/file.hdr")}, observadorMudo());
    FAIL() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_EQ(e.ruta(), "/no/such/file.hdr");
    EXPECT_THAT(e.motivo(), HasSubstr("cannot be opened"));
  }
  EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("Can't open: /no/such/file.hdr"));
  EXPECT_TRUE(RegistroDebug::lineas().contains("Tipo no definido"));
}

TEST(Apertura, AnalyzeMaloSeInformaComoErrorDeLectura) {
  QTemporaryDir dir;
  Bytes h = cabeceraAnalyze(CabeceraAnalyze{});
  h.resize(100);
  escribe(ruta(dir, "corto.hdr"), h);
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(abreLista(una(ruta(dir, "corto.hdr")), observadorMudo()), ErrorLectura);
  ::testing::internal::GetCapturedStdout();
}

TEST(AperturaCarpeta, SoloDicomOSinogramas) {
  QTemporaryDir dir;
  CabeceraAnalyze c;
  const std::string hdr = escribeAnalyze(dir, "scan", c, muestras16({1, 2, 3, 4, 5, 6}));
  RegistroDebug registro;
  ::testing::internal::CaptureStdout();
  try {
    abreListaCarpeta(una(hdr), observadorMudo());
    FAIL() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_THAT(e.motivo(), HasSubstr("neither a DICOM series nor an XDAS sinogram"));
  }
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Tipo no definido\n");

  escribe(ruta(dir, "a.dcm"), Bytes(300, 0));
  ::testing::internal::CaptureStdout();
  EXPECT_THROW(abreListaCarpeta(una(ruta(dir, "a.dcm")), observadorMudo()), ErrorLectura);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error Leyendo\n");

  ::testing::internal::CaptureStdout();
  try {
    abreListaCarpeta({}, observadorMudo());
    FAIL() << "no error";
  } catch (const ErrorLectura& e) {
    EXPECT_THAT(e.motivo(), HasSubstr("holds no files"));
  }
  ::testing::internal::GetCapturedStdout();
}

}  // namespace

namespace {

// The guard every open runs in, fed with readers that misbehave.
class GuardaApertura : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QStringList rutas;
  void SetUp() override {
    escribe(ruta(dir, "a.bin"), Bytes(300, 0x11));
    rutas = una(ruta(dir, "a.bin"));
  }
  static std::unique_ptr<Cubo> volumen(AttributeMap a, int cortes = 1) {
    Geometria g = nuevaGeometria(1, 1);
    auto v = std::make_unique<Cubo>(g, cortes, a);
    for (int i = 0; i < cortes; ++i)
      v->ponCorte(std::make_unique<CorteUnsignedShort>(std::make_unique<uint16_t[]>(1), 0, 0, g), i);
    return v;
  }
  static AttributeMap tamanos() {
    AttributeMap a;
    a.set("PixelDimx", "1");
    a.set("PixelDimy", "1");
    a.set("PixelDimz", "1");
    return a;
  }
  std::string motivo(const LectorClave& lee) {
    RegistroDebug registro;
    try {
      abreProtegido(rutas, lee);
    } catch (const ErrorLectura& e) {
      EXPECT_EQ(e.ruta(), ruta(dir, "a.bin"));
      return e.motivo();
    } catch (...) {
      ADD_FAILURE() << "an exception other than ErrorLectura escaped";
    }
    return "no error";
  }
};

TEST_F(GuardaApertura, ErroresEstandarSeVuelvenErroresDeLectura) {
  EXPECT_THAT(motivo([](const std::string&, VolumenAbierto& v) {
                v.display = volumen(AttributeMap{});
                v.display->atributosRef().at("ST");
              }),
              HasSubstr("invalid unordered_map<K, T> key"));
  EXPECT_THAT(motivo([](const std::string&, VolumenAbierto&) { throw std::bad_alloc(); }),
              HasSubstr("not enough memory"));
  EXPECT_THAT(motivo([](const std::string&, VolumenAbierto&) { throw std::invalid_argument("stoi"); }),
              HasSubstr("stoi"));
}

TEST_F(GuardaApertura, UnVolumenInservibleSeRechaza) {
  EXPECT_THAT(motivo([](const std::string&, VolumenAbierto&) {}), HasSubstr("produced no volume"));
  EXPECT_THAT(motivo([](const std::string&, VolumenAbierto& v) { v.display = volumen(tamanos(), 0); }),
              HasSubstr("holds no slices"));
  for (const char* clave : {"PixelDimx", "PixelDimy", "PixelDimz"}) {
    AttributeMap a = tamanos();
    a.erase(clave);
    EXPECT_THAT(motivo([a](const std::string&, VolumenAbierto& v) { v.display = volumen(a); }),
                HasSubstr(std::string("lacks the attribute ") + clave));
  }
}

TEST_F(GuardaApertura, UnVolumenBuenoRecibeSuResumenComoCabecera) {
  VolumenAbierto v = abreProtegido(rutas, [](const std::string& clave, VolumenAbierto& v) {
    EXPECT_EQ(clave, "PelixOld");
    v.display = volumen(tamanos());
    v.resumen = QStringLiteral("Información");
  });
  EXPECT_EQ(v.clave, "PelixOld");
  EXPECT_EQ(v.display->textoCabecera(), QStringLiteral("Información"));
}

}  // namespace
