// osmavu-info on pictures: what it reports for each picture format, and how it
// reports a picture it cannot read.
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "ejecuta_info.h"
#include "imagenes_prueba.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

QRgb colorDe(int x, int y) { return qRgb(40 * x, 30 * y, 0); }

struct CasoFormato {
  const char* clave;
  std::function<void(const std::string& ruta)> escribe;
  const char* extension;
  const char* clase;
  const char* tipoLeido;  // null: the display volume is the one read
  double pixelDim;
  bool conNombre;
  const char* resumen;  // start of the summary; null: none
  QJsonArray limitesDisplay;
  const char* ventana;
};
void PrintTo(const CasoFormato& c, std::ostream* os) { *os << c.clave; }
class InfoDeImagenes : public ::testing::TestWithParam<CasoFormato> {};

TEST_P(InfoDeImagenes, JsonYTextoDeDosFicheros) {
  const CasoFormato& c = GetParam();
  QTemporaryDir dir;
  const std::string a = ruta(dir, std::string("a.") + c.extension);
  const std::string b = ruta(dir, std::string("b.") + c.extension);
  c.escribe(a);
  c.escribe(b);
  const QStringList rutas{QString::fromStdString(a), QString::fromStdString(b)};

  const Resultado s = ejecuta(QStringList{"--json"} + rutas);
  ASSERT_EQ(s.estado, 0) << s.error;
  QJsonParseError e;
  const QJsonObject o = QJsonDocument::fromJson(s.salida, &e).object();
  ASSERT_EQ(e.error, QJsonParseError::NoError) << s.salida.toStdString();
  EXPECT_EQ(o["key"].toString(), c.clave);
  if (c.resumen)
    EXPECT_THAT(o["summary"].toString().toStdString(), StartsWith(c.resumen));
  else
    EXPECT_TRUE(o["summary"].isNull());
  const QJsonObject d = o["display"].toObject();
  EXPECT_EQ(d["class"].toString(), "Cubo");
  EXPECT_EQ(d["sliceType"].toString(), "CorteUnsignedShort");
  EXPECT_EQ(d["width"].toInt(), 4);
  EXPECT_EQ(d["height"].toInt(), 3);
  EXPECT_EQ(d["slices"].toInt(), 2);
  EXPECT_EQ(d["limits"].toArray(), c.limitesDisplay);
  const QJsonObject atributos = d["attributes"].toObject();
  EXPECT_EQ(atributos["PixelDimx"].toString().toDouble(), c.pixelDim);
  EXPECT_EQ(atributos["PixelDimy"].toString().toDouble(), c.pixelDim);
  EXPECT_EQ(atributos["PixelDimz"].toString(), "1");
  EXPECT_EQ(atributos["ST"].toString(), "1");
  EXPECT_EQ(atributos.contains("FileName"), c.conNombre);
  if (c.conNombre) {
    EXPECT_EQ(atributos["FileName"].toString().toStdString(), a);
  }
  if (c.tipoLeido) {
    const QJsonObject l = o["read"].toObject();
    EXPECT_EQ(l["class"].toString(), c.clase);
    EXPECT_EQ(l["sliceType"].toString(), c.tipoLeido);
    EXPECT_EQ(l["distances"].toArray(), (QJsonArray{1, 1}));
    EXPECT_EQ(l["limits"].toArray(), (QJsonArray{QJsonArray{0, 65535}, QJsonArray{0, 65535}}));
  } else {
    EXPECT_TRUE(o["read"].isNull());
  }

  const Resultado t = ejecuta(rutas);
  ASSERT_EQ(t.estado, 0) << t.error;
  EXPECT_THAT(t.salida.toStdString(), HasSubstr(std::string("key: ") + c.clave + "\nwindow: " + c.ventana + "\n"));
  EXPECT_THAT(t.salida.toStdString(), HasSubstr("display: Cubo of CorteUnsignedShort, 4 x 3 x 2\n"));
}

void tiff(const std::string& r) { escribeTiff(r, Imagen::con(4, 3, 3, [](int x, int y, int c) { return uint8_t(c == 0 ? 40 * x + y : 0); })); }
void jpeg(const std::string& r) { escribeJpeg(r, Imagen::plana(4, 3, {255})); }
void qt(const std::string& r) { escribeQt(r, imagenRgb(4, 3, colorDe)); }

INSTANTIATE_TEST_SUITE_P(
    Formatos, InfoDeImagenes,
    ::testing::Values(
        // Red 40 x + y: the lowest pixel 0, the highest 122.
        CasoFormato{"TIFF", tiff, "tif", "CuboSinograma", "CorteDouble", 0.1, true,
                    "Numero de Canales: 3\nNumero de Proyecciones: 4\nCortes Seleccionados: 2\nPixel x (mm): 0.1",
                    QJsonArray{QJsonArray{0, 65535}, QJsonArray{0, 65535}}, "0..65535"},
        CasoFormato{"JPEG", jpeg, "jpg", "CuboSinograma", "CorteDouble", 0.1, true, "Numero de Canales: 3\n",
                    QJsonArray{QJsonArray{0, 65535}, QJsonArray{0, 65535}}, "0..255"},
        CasoFormato{"PNG", qt, "png", "Cubo", nullptr, 1, false, nullptr,
                    QJsonArray{QJsonArray{0, 255}, QJsonArray{0, 255}}, "0..255"},
        CasoFormato{"BMP", qt, "bmp", "Cubo", nullptr, 1, false, nullptr,
                    QJsonArray{QJsonArray{0, 255}, QJsonArray{0, 255}}, "0..255"}),
    [](const auto& info) { return std::string(info.param.clave); });

TEST(InfoDeImagenesMalas, ErrorConLaRutaYNadaEnElInforme) {
  QTemporaryDir dir;
  const std::vector<std::pair<std::string, Bytes>> casos = {
      {"t.tif", {'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0}},
      {"j.jpg", {0xFF, 0xD8, 0xFF, 0xD9}},
      {"p.png", {0x89, 'P', 'N', 'G', 0, 0, 0, 0}},
      {"b.bmp", {'B', 'M', 1, 2, 3}},
  };
  for (const auto& [nombre, bytes] : casos) {
    const std::string r = ruta(dir, nombre);
    escribe(r, bytes);
    const Resultado s = ejecuta({QString::fromStdString(r)});
    EXPECT_EQ(s.estado, 1) << nombre;
    EXPECT_THAT(s.error, HasSubstr("osmavu-info: " + r + ": ")) << nombre;
    EXPECT_TRUE(s.salida.isEmpty()) << nombre << ": " << s.salida.toStdString();
  }
}

TEST(InfoDeImagenesMalas, TamanoDistintoEsUnAviso) {
  QTemporaryDir dir;
  const std::string a = ruta(dir, "a.png"), b = ruta(dir, "b.png");
  escribeQt(a, imagenRgb(4, 3, colorDe));
  escribeQt(b, imagenRgb(2, 2, colorDe));
  const Resultado s = ejecuta({QString::fromStdString(a), QString::fromStdString(b)});
  EXPECT_EQ(s.estado, 0);
  EXPECT_THAT(s.error, HasSubstr("osmavu-info: " + b + ": warning: the picture is 2 x 2, not 4 x 3"));
}

}  // namespace
