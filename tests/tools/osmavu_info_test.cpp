#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "ejecuta_info.h"
#include "ficheros_prueba.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

QJsonObject comoJson(const QByteArray& texto) {
  QJsonParseError e;
  const QJsonDocument d = QJsonDocument::fromJson(texto, &e);
  EXPECT_EQ(e.error, QJsonParseError::NoError) << e.errorString().toStdString() << "\n" << texto.toStdString();
  return d.object();
}

class OsmavuInfo : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString hdr;

  void SetUp() override {
    CabeceraAnalyze c;
    c.filas = 2;
    c.columnas = 3;
    c.cortes = 2;
    c.pixdim1 = 0.9765625f;
    c.pixdim3 = 2.5f;
    c.unidades = "HU";
    hdr = QString::fromStdString(
        escribeAnalyze(dir, "scan", c, muestras16({-6, -5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 40000})));
  }
};

TEST_F(OsmavuInfo, JsonDeUnAnalyzeConSusPuntos) {
  escribeTexto(ruta(dir, "scan.txt"), "2\n1 2 3\n-4 5 6\n");
  const Resultado r = ejecuta({"--json", hdr});
  ASSERT_EQ(r.estado, 0) << r.error;
  const QJsonObject o = comoJson(r.salida);
  EXPECT_EQ(o["key"].toString(), "Analyze");
  EXPECT_EQ(o["summary"].toString(),
            "Ancho del Corte: 2.5\nNumero de Cortes: 2\nAncho de la Imagen: 3\nAlto de la Imagen: 2\n"
            "Pixel x (mm): 0.976562\nPixel y (mm): 1");
  EXPECT_EQ(o["borde"].toArray(), QJsonArray({QJsonArray{1, 2, 3}, QJsonArray{-4, 5, 6}}));
  EXPECT_TRUE(o["read"].isNull());
  const QJsonObject d = o["display"].toObject();
  EXPECT_EQ(d["class"].toString(), "Cubo");
  EXPECT_EQ(d["sliceType"].toString(), "CorteShort");
  EXPECT_EQ(d["width"].toInt(), 3);
  EXPECT_EQ(d["height"].toInt(), 2);
  EXPECT_EQ(d["slices"].toInt(), 2);
  EXPECT_EQ(d["limits"].toArray(), QJsonArray({QJsonArray{-6, -1}, QJsonArray{-25536, 4}}));
  EXPECT_EQ(d["attributes"].toObject()["modality"].toString(), "CT");
  EXPECT_EQ(d["attributes"].toObject()["FileName"].toString(), hdr);
  EXPECT_EQ(d["header"].toString(), o["summary"].toString());
  EXPECT_FALSE(d.contains("distances"));
  // The readers' own lines are diagnostics: on stderr, never in the report.
  EXPECT_THAT(r.error, HasSubstr("Or: 0\nFilas: 2\nColumnas: 3\nTipo dato: 4\nLeyendo SHORT\n"));
  EXPECT_THAT(r.salida.toStdString(), Not(HasSubstr("Leyendo")));
}

TEST_F(OsmavuInfo, MuestrasCrudas) {
  const QString leido = dir.filePath("leido.raw"), mostrado = dir.filePath("display.raw");
  const Resultado r = ejecuta({"--raw-read", leido, "--raw-display", mostrado, hdr});
  ASSERT_EQ(r.estado, 0) << r.error;
  QFile a(leido), b(mostrado);
  ASSERT_TRUE(a.open(QIODevice::ReadOnly));
  ASSERT_TRUE(b.open(QIODevice::ReadOnly));
  const QByteArray esperado = QByteArray::fromStdString(
      [] {
        Bytes m = muestras16({-6, -5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 40000});
        return std::string(m.begin(), m.end());
      }());
  // Analyze is not converted: both are the reader's 16-bit patterns.
  EXPECT_EQ(a.readAll(), esperado);
  EXPECT_EQ(b.readAll(), esperado);
  EXPECT_THAT(r.salida.toStdString(), HasSubstr("key: Analyze"));
  EXPECT_THAT(r.salida.toStdString(), HasSubstr("edge points: none"));
}

TEST_F(OsmavuInfo, FicheroCortoAvisaYSigue) {
  CabeceraAnalyze c;
  c.filas = 2;
  c.columnas = 2;
  c.cortes = 3;
  const QString corto = QString::fromStdString(escribeAnalyze(dir, "corto", c, muestras16({1, 2, 3, 4, 5})));
  const Resultado r = ejecuta({"--json", corto});
  ASSERT_EQ(r.estado, 0) << r.error;
  EXPECT_THAT(r.error, HasSubstr("corto.img: warning: the sample file is short: it holds 10 of the 24 bytes"));
  EXPECT_EQ(comoJson(r.salida)["display"].toObject()["slices"].toInt(), 3);
}

TEST_F(OsmavuInfo, PuntosInservibles) {
  escribeTexto(ruta(dir, "scan.txt"), "-3\n1 2 3\n");
  const Resultado r = ejecuta({"--json", hdr});
  ASSERT_EQ(r.estado, 0) << r.error;
  EXPECT_TRUE(comoJson(r.salida)["borde"].isNull());
  EXPECT_THAT(r.error, HasSubstr("scan.txt: warning: the point count -3 is negative"));
}

TEST_F(OsmavuInfo, TextosConAcentosYComillasEnJson) {
  QDir(dir.path()).mkdir(QStringLiteral("año \"x\"\t"));
  CabeceraAnalyze c;
  const QString raro = QString::fromStdString(escribeAnalyze(dir, "año \"x\"\t/s", c, Bytes(12)));
  const Resultado r = ejecuta({"--json", raro});
  ASSERT_EQ(r.estado, 0) << r.error;
  EXPECT_EQ(comoJson(r.salida)["display"].toObject()["attributes"].toObject()["FileName"].toString(), raro);
}

struct CasoFallo {
  const char* nombre;
  std::function<QStringList(const QTemporaryDir&)> argumentos;
  int estado;
  const char* error;
};
void PrintTo(const CasoFallo& c, std::ostream* os) { *os << c.nombre; }

class OsmavuInfoFallos : public ::testing::TestWithParam<CasoFallo> {};

TEST_P(OsmavuInfoFallos, EstadoYMensaje) {
  QTemporaryDir dir;
  const Resultado r = ejecuta(GetParam().argumentos(dir));
  EXPECT_EQ(r.estado, GetParam().estado);
  EXPECT_THAT(r.error, HasSubstr(GetParam().error));
  EXPECT_TRUE(r.salida.isEmpty()) << r.salida.toStdString();
}

QString fichero(const QTemporaryDir& d, const char* nombre, const Bytes& b) {
  escribe(ruta(d, nombre), b);
  return d.filePath(nombre);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, OsmavuInfoFallos,
    ::testing::Values(
        CasoFallo{"sinRuta", [](const QTemporaryDir&) { return QStringList{"--json"}; }, 2, "no PATH given"},
        CasoFallo{"opcionDesconocida", [](const QTemporaryDir&) { return QStringList{"--nope", "x"}; }, 2,
                  "unknown option --nope"},
        CasoFallo{"rawSinFichero", [](const QTemporaryDir&) { return QStringList{"x", "--raw-read"}; }, 2,
                  "--raw-read needs a FILE"},
        CasoFallo{"carpetaConDosRutas",
                  [](const QTemporaryDir& d) { return QStringList{"--folder", d.path(), d.path()}; }, 2,
                  "exactly one PATH"},
        CasoFallo{"noExiste", [](const QTemporaryDir& d) { return QStringList{d.filePath("no.hdr")}; }, 1,
                  "no.hdr: the file cannot be opened"},
        CasoFallo{"cabeceraCorta",
                  [](const QTemporaryDir& d) {
                    Bytes h = cabeceraAnalyze(CabeceraAnalyze{});
                    h.resize(200);
                    return QStringList{"--json", fichero(d, "c.hdr", h)};
                  },
                  1, "c.hdr: the header holds 200 bytes"},
        CasoFallo{"extensionesAbsurdas",
                  [](const QTemporaryDir& d) {
                    CabeceraAnalyze c;
                    c.filas = c.columnas = c.cortes = 32767;
                    c.tipo = 16;
                    escribeAnalyze(d, "e", c, Bytes(64));
                    return QStringList{"--json", d.filePath("e.hdr")};
                  },
                  1, "e.img: the header gives 140724603846652 bytes of samples but the sample file holds only 64"},
        CasoFallo{"tiffCortado",
                  [](const QTemporaryDir& d) { return QStringList{fichero(d, "t.tif", Bytes{0x49, 0x49, 42, 0})}; },
                  1, "t.tif: libtiff cannot open the file: Cannot read TIFF header"},
        CasoFallo{"carpetaSinFormato",
                  [](const QTemporaryDir& d) {
                    fichero(d, "a.txt", Bytes(20, 'a'));
                    return QStringList{"--folder", d.path()};
                  },
                  1, "neither a DICOM series nor an XDAS sinogram"},
        CasoFallo{"carpetaVacia", [](const QTemporaryDir& d) { return QStringList{"--folder", d.path()}; }, 1,
                  "the folder holds no files"},
        CasoFallo{"rawNoSeEscribe",
                  [](const QTemporaryDir& d) {
                    CabeceraAnalyze c;
                    escribeAnalyze(d, "s", c, Bytes(12));
                    return QStringList{"--raw-display", d.filePath("no/such/dir.raw"), d.filePath("s.hdr")};
                  },
                  1, "cannot write"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(OsmavuInfoAyuda, Help) {
  const Resultado r = ejecuta({"--help"});
  EXPECT_EQ(r.estado, 0);
  EXPECT_THAT(r.salida.toStdString(), HasSubstr("usage: osmavu-info"));
}

}  // namespace
