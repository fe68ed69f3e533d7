// osmavu-info on DICOM series, as a file choice and as a folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "ejecuta_info.h"
#include "dicom_prueba.h"
#include "ficheros_prueba.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// Three CT slices of 2 x 3 (Rows x Columns), written out of order.
class InfoDicom : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QStringList rutas;
  void SetUp() override {
    const int numeros[] = {2, 3, 1};
    for (int k = 0; k < 3; ++k) {
      ImagenDicom im;
      im.representacion = 1;
      im.pixeles = {-1000, 0, 10 * numeros[k], 40, 50, 60};
      im.instancia = std::to_string(numeros[k]);
      im.posicion = std::to_string(-10.0 + 1.25 * numeros[k]);
      im.grosor = "3";
      im.espaciadoPixel = "0.703125\\0.703125";
      im.intercepto = "-24";
      im.modalidad = "CT";
      im.posicionPaciente = "HFS";
      const std::string r = ruta(dir, "ct" + std::to_string(k) + ".dcm");
      ASSERT_TRUE(escribeDicom(r, im));
      rutas << QString::fromStdString(r);
    }
  }
};

TEST_F(InfoDicom, JsonDeUnaSerie) {
  const Resultado r = ejecuta(QStringList{"--json"} + rutas);
  ASSERT_EQ(r.estado, 0) << r.error;
  const QJsonObject o = QJsonDocument::fromJson(r.salida).object();
  EXPECT_EQ(o["key"].toString(), "Dicom");
  EXPECT_EQ(o["summary"].toString(),
            "Ancho del Corte: 1.25\nNumero de Cortes: 3\nAncho de la Imagen: 3\nAlto de la Imagen: 2\n"
            "Pixel x (mm): 0.703125\nPixel y (mm): 0.703125");
  EXPECT_TRUE(o["read"].isNull());
  const QJsonObject d = o["display"].toObject();
  EXPECT_EQ(d["class"].toString(), "Cubo");
  EXPECT_EQ(d["sliceType"].toString(), "CorteShort");
  EXPECT_EQ(d["width"].toInt(), 3);
  EXPECT_EQ(d["height"].toInt(), 2);
  EXPECT_EQ(d["slices"].toInt(), 3);
  // Slice k holds -1024, -24, 10k - 24, 16, 26, 36: ordered 1, 2, 3.
  EXPECT_EQ(d["limits"].toArray(),
            QJsonArray({QJsonArray{-1024, 36}, QJsonArray{-1024, 36}, QJsonArray{-1024, 36}}));
  const QJsonObject a = d["attributes"].toObject();
  EXPECT_EQ(a["ST"].toString(), "1.25");
  EXPECT_EQ(a["PixelDimz"].toString(), "1.25");
  EXPECT_EQ(a["PixelDimx"].toString(), "0.703125");
  EXPECT_EQ(a["PixelDimy"].toString(), "0.703125");
  EXPECT_EQ(a["PitchFactor"].toString(), "0");
  EXPECT_EQ(a["iValue"].toString(), "-24");
  EXPECT_EQ(a["modality"].toString(), "CT");
  EXPECT_EQ(a["FileName"].toString(), dir.path());
  EXPECT_EQ(d["header"].toString(), o["summary"].toString());
  EXPECT_THAT(r.error, HasSubstr("Patient Position HFS"));
  EXPECT_THAT(r.error, HasSubstr("Leyendo Dicom"));
}

TEST_F(InfoDicom, VentanaDeLosLimitesDelLectorYCarpeta) {
  // The lowest minimum and highest maximum as unsigned 16-bit numbers:
  // -1024 reads 64512, 36 stays 36.
  Resultado r = ejecuta(rutas);
  ASSERT_EQ(r.estado, 0) << r.error;
  EXPECT_THAT(r.salida.toStdString(), HasSubstr("key: Dicom\nwindow: 64512..36\n"));

  r = ejecuta({"--json", "--folder", dir.path()});
  ASSERT_EQ(r.estado, 0) << r.error;
  const QJsonObject d = QJsonDocument::fromJson(r.salida).object()["display"].toObject();
  EXPECT_EQ(d["sliceType"].toString(), "CorteUnsignedShort");
  EXPECT_EQ(d["slices"].toInt(), 3);
  // Stored + 32768, no intercept.
  EXPECT_EQ(d["limits"].toArray(),
            QJsonArray({QJsonArray{31768, 32828}, QJsonArray{31768, 32828}, QJsonArray{31768, 32828}}));
  EXPECT_FALSE(d["attributes"].toObject().contains("iValue"));
  EXPECT_FALSE(d["attributes"].toObject().contains("modality"));
  EXPECT_THAT(r.error, Not(HasSubstr("Patient Position")));

  r = ejecuta({"--folder", dir.path()});
  EXPECT_THAT(r.salida.toStdString(), HasSubstr("window: 0..65535\n"));
}

TEST_F(InfoDicom, FicheroSinImagenEnLaSerieSeAvisa) {
  escribeTexto(ruta(dir, "leeme.txt"), "not an image");
  const Resultado r = ejecuta(rutas + QStringList{dir.filePath("leeme.txt")});
  ASSERT_EQ(r.estado, 0) << r.error;
  EXPECT_THAT(r.error, HasSubstr("Error reading " + ruta(dir, "leeme.txt")));
  EXPECT_THAT(r.error, HasSubstr("warning: 1 of 4 files gave no slice"));
  EXPECT_THAT(r.salida.toStdString(), HasSubstr("x 3\n"));
}

TEST(InfoDicomMalo, UnFicheroSinImagenEsUnError) {
  QTemporaryDir dir;
  ImagenDicom im;
  im.sinPixeles = true;
  ASSERT_TRUE(escribeDicom(ruta(dir, "v.dcm"), im));
  const Resultado r = ejecuta({ dir.filePath("v.dcm") });
  EXPECT_EQ(r.estado, 1);
  EXPECT_THAT(r.error, HasSubstr("osmavu-info: " + ruta(dir, "v.dcm") + ": the file holds no Pixel Data"));
  EXPECT_TRUE(r.salida.isEmpty());
}

}  // namespace
