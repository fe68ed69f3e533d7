// osmavu-info on the raw acquisition formats: what it reports of each.
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "ejecuta_info.h"
#include "ficheros_crudos.h"

using ::testing::HasSubstr;

namespace {

struct CasoFormato {
  const char* nombre;
  std::function<Bytes()> fichero;
  const char* clave;
  // The volume the reader returns ("read"; "display" when it is shown as read).
  const char* volumen;
  const char* clase;
  const char* tipoCorte;
  int ancho, alto;
  QJsonArray limites;
  std::map<QString, QString> atributos;  // an empty value: the key must be absent
  QJsonArray distancias;                 // empty for a plain Cubo
  QJsonArray desplazamientos;
  const char* resumen;  // start of the summary
};
void PrintTo(const CasoFormato& c, std::ostream* os) { *os << c.nombre; }

class InfoCrudos : public ::testing::TestWithParam<CasoFormato> {};

TEST_P(InfoCrudos, InformaDeCadaFormato) {
  const CasoFormato& c = GetParam();
  QTemporaryDir dir;
  const std::string f = escribeEn(dir, std::string(c.nombre) + ".bin", c.fichero());
  const Resultado r = ejecuta({"--json", QString::fromStdString(f)});
  ASSERT_EQ(r.estado, 0) << r.error;
  const QJsonObject o = QJsonDocument::fromJson(r.salida).object();
  EXPECT_EQ(o["key"].toString(), c.clave);
  EXPECT_TRUE(o["summary"].toString().startsWith(c.resumen)) << o["summary"].toString().toStdString();
  const QJsonObject v = o[c.volumen].toObject();
  EXPECT_EQ(v["class"].toString(), c.clase);
  EXPECT_EQ(v["sliceType"].toString(), c.tipoCorte);
  EXPECT_EQ(v["width"].toInt(), c.ancho);
  EXPECT_EQ(v["height"].toInt(), c.alto);
  EXPECT_EQ(v["slices"].toInt(), 1);
  EXPECT_EQ(v["limits"].toArray(), QJsonArray{c.limites});
  const QJsonObject a = v["attributes"].toObject();
  EXPECT_FALSE(a.contains("modality"));
  for (const auto& [clave, valor] : c.atributos) {
    if (valor.isEmpty())
      EXPECT_FALSE(a.contains(clave)) << clave.toStdString();
    else
      EXPECT_EQ(a[clave].toString(), valor) << clave.toStdString();
  }
  if (c.distancias.isEmpty()) {
    EXPECT_FALSE(v.contains("distances"));
  } else {
    EXPECT_EQ(v["distances"].toArray(), c.distancias);
    EXPECT_EQ(v["offsets"].toArray(), c.desplazamientos);
  }
  const QJsonObject d = o["display"].toObject();
  EXPECT_EQ(d["sliceType"].toString(), "CorteUnsignedShort");
  EXPECT_EQ(d["header"].toString(), o["summary"].toString());
}

Bytes pelixOld() {
  std::vector<double> m;
  for (int i = 0; i < 6; ++i) m.push_back(1.5 + i);
  for (double h : {2.0, 0.0, 0.0, 0.2, 0.5, 300.0, 600.0}) m.push_back(h);
  return dobles(m);
}

INSTANTIATE_TEST_SUITE_P(
    Formatos, InfoCrudos,
    ::testing::Values(
        CasoFormato{"sino", [] { return ficheroXDAS({100, 300, 200, 150, 120, 110}, Trailer(32001, 3, 2)); },
                    "sinoXDAS", "read", "CuboSinograma", "CorteDouble", 2, 3, QJsonArray{100, 300},
                    {{"PixelDimx", "0.2"}, {"PixelDimy", "0.2"}, {"PixelDimz", "1"}, {"ST", "0.5"}, {"FileName", ""}},
                    QJsonArray{300, 600}, QJsonArray{0, 0}, "Numero de Canales: 3\nNumero de Proyecciones: 2\n"},
        CasoFormato{"rad", [] { return ficheroXDAS({1000, 3000, 2000, 1000}, Trailer(32000, 2, 2)); }, "radXDAS",
                    "display", "Cubo", "CorteUnsignedShort", 2, 2, QJsonArray{0, 65535},
                    {{"PixelDimx", "0.2"}, {"PixelDimy", "0.5"}, {"PixelDimz", "0.5"}, {"ST", "0.5"}},
                    QJsonArray{}, QJsonArray{}, "Numero de Canales: 2\nNumero de Proyecciones: 2\n"},
        CasoFormato{"fp", [] { return ficheroFP({1000, 2000, 3000, 4000}, Trailer(32002, 2, 0).con(8, 7.5)); },
                    "radFP", "read", "CuboSinograma", "CorteUnsignedShort", 2, 2, QJsonArray{1000, 4000},
                    {{"PixelDimx", "0.2"}, {"PixelDimy", "0.2"}, {"PixelDimz", "1"}, {"ST", "0.5"}},
                    QJsonArray{300, 600}, QJsonArray{7, 500}, "Numero de Canales: 2\n"},
        CasoFormato{"pelix", pelixOld, "PelixOld", "read", "CuboSinograma", "CorteDouble", 3, 2,
                    QJsonArray{1.5, 6.5},
                    {{"PixelDimx", "0.5"}, {"PixelDimy", "0.2"}, {"PixelDimz", "1"}, {"ST", "1"}},
                    QJsonArray{300, 600}, QJsonArray{0, 0},
                    "Numero de Canales: 2\nNumero de Proyecciones: 3\nCortes Seleccionados: 1\n"},
        CasoFormato{"his", [] { return ficheroHis(3, 2, muestras16({5, 9, 3, 40000, 7, 8})); }, "His", "display",
                    "Cubo", "CorteUnsignedShort", 3, 2, QJsonArray{3, 40000},
                    {{"PixelDimx", "1"}, {"PixelDimy", "1"}, {"PixelDimz", "1"}, {"ST", "1"}, {"FileName", ""}},
                    QJsonArray{}, QJsonArray{}, "\nAncho de la Imagen: 3\nAlto de la Imagen: 2\n"}),
    [](const auto& i) { return std::string(i.param.nombre); });

TEST(InfoCrudosFallos, FicherosMalosYCortos) {
  QTemporaryDir dir;
  const std::string malo = escribeEn(dir, "m.bin", ficheroXDAS({1}, Trailer(32000, 1e12, 1)));
  Resultado r = ejecuta({QString::fromStdString(malo)});
  EXPECT_EQ(r.estado, 1);
  EXPECT_THAT(r.error, HasSubstr("osmavu-info: " + malo + ": the acquisition trailer gives 1e+12 channels"));
  EXPECT_TRUE(r.salida.isEmpty());

  const std::string his = escribeEn(dir, "h.his", ficheroHis(65535, 65535, Bytes(1948, 1)));
  r = ejecuta({QString::fromStdString(his)});
  EXPECT_EQ(r.estado, 1);
  EXPECT_THAT(r.error, HasSubstr("h.his: the header's 65535 x 65535 samples would take"));

  const std::string corto = escribeEn(dir, "c.his", ficheroHis(4, 4, Bytes(10, 1)));
  r = ejecuta({QString::fromStdString(corto)});
  EXPECT_EQ(r.estado, 0) << r.error;
  EXPECT_THAT(r.error, HasSubstr("c.his: warning: the file is short: it holds 10 of the 32 bytes"));
  EXPECT_THAT(r.salida.toStdString(), HasSubstr("key: His"));
  EXPECT_THAT(r.salida.toStdString(), HasSubstr("display: Cubo of CorteUnsignedShort, 4 x 4 x 1"));
}

TEST(InfoCrudosCarpeta, SinogramasDeUnaCarpeta) {
  QTemporaryDir dir;
  escribeEn(dir, "a.dat", ficheroXDAS({1, 2, 3, 4}, Trailer(32001, 2, 2)));
  escribeEn(dir, "b.dat", ficheroXDAS({4, 3, 2, 1}, Trailer(32001, 2, 2)));
  const Resultado r = ejecuta({"--json", "--folder", dir.path()});
  ASSERT_EQ(r.estado, 0) << r.error;
  const QJsonObject o = QJsonDocument::fromJson(r.salida).object();
  EXPECT_EQ(o["key"].toString(), "sinoXDAS");
  EXPECT_EQ(o["read"].toObject()["slices"].toInt(), 2);
  EXPECT_TRUE(o["summary"].toString().startsWith("Numero de Canales: 2"));
}

}  // namespace
