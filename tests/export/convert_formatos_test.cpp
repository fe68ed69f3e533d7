// Acquisitions of other formats, made here with their own writers, converted
// by the built osmavu-convert into Analyze pairs of every sample type: the
// header and the samples must be what the writer gives for the working
// volume the viewer would have made, and our own reader must read the pair
// back with the same extents, samples and pixel sizes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "analyze.h"
#include "apertura.h"
#include "ayuda.h"
#include "dicom_prueba.h"
#include "ficheros_crudos.h"
#include "observador.h"

namespace {

// A DICOM series of three files, numbered out of order, 2 rows of 3.
QStringList serieDicom(const QTemporaryDir& dir) {
  QStringList rutas;
  const std::vector<std::pair<const char*, const char*>> cortes = {{"3", "15"}, {"1", "10"}, {"2", "12.5"}};
  int n = 0;
  for (const auto& [instancia, posicion] : cortes) {
    ImagenDicom im;
    im.instancia = instancia;
    im.posicion = posicion;
    im.espaciadoPixel = "0.703125\\0.703125";
    im.modalidad = "CT";
    im.pixeles = {n, 100 + n, 2000, 40 * n, 7, 30000};
    const std::string r = ruta(dir, "im" + std::to_string(++n) + ".dcm");
    EXPECT_TRUE(escribeDicom(r, im));
    rutas << QString::fromStdString(r);
  }
  return rutas;
}

// Two XDAS sinograms of 3 channels and 2 projections.
QStringList sinogramaXDAS(const QTemporaryDir& dir) {
  return lista({escribeEn(dir, "s1.bin", ficheroXDAS({1, 2, 3, 40, 50, 60}, Trailer(32001, 3, 2))),
                escribeEn(dir, "s2.bin", ficheroXDAS({9, 8, 7, 6, 5, 4.5}, Trailer(32001, 3, 2)))});
}

// A His frame of 4 x 3.
QStringList marcoHis(const QTemporaryDir& dir) {
  return lista({escribeEn(dir, "f.his", ficheroHis(4, 3, muestras16({0, 1, 2, 3, 300, 1000, 65535, 7, 8, 9, 10, 11})))});
}

struct Formato {
  const char* clave;
  std::function<QStringList(const QTemporaryDir&)> escribe;
};

class ConvertFormatos : public ::testing::TestWithParam<Formato> {};

TEST_P(ConvertFormatos, GiveAnalyzePairsOfEachTypeThatReadBack) {
  QTemporaryDir dir;
  const QStringList entradas = GetParam().escribe(dir);
  testing::internal::CaptureStdout();
  VolumenAbierto abierto = abreLista(entradas, observadorMudo());
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(abierto.clave, GetParam().clave);
  const std::unique_ptr<Cubo> trabajo = abierto.display->clona();
  const int ancho = trabajo->geometria()->ancho(), alto = trabajo->geometria()->alto();
  const int cortes = trabajo->numCortes();
  const AttributeMap& atributos = trabajo->atributosRef();

  struct Tipo {
    const char* letra;
    int datatype, bitpix;
  };
  for (const Tipo& t : {Tipo{"c", 2, 8}, Tipo{"u", 512, 16}, Tipo{"s", 4, 16}, Tipo{"f", 16, 32}}) {
    SCOPED_TRACE(t.letra);
    const QString salida = dir.filePath(QString("v_") + t.letra + ".hdr");
    const Ejecucion e = ejecuta(QStringList{"--type", t.letra} + entradas + QStringList{salida});
    ASSERT_EQ(e.estado, 0) << e.errores;

    const Bytes h = leeBytes(salida);
    ASSERT_EQ(h.size(), 348u);
    EXPECT_EQ(lee16(h, 42), alto);
    EXPECT_EQ(lee16(h, 44), ancho);
    EXPECT_EQ(lee16(h, 46), cortes);
    EXPECT_EQ(lee16(h, 70), t.datatype);
    EXPECT_EQ(lee16(h, 72), t.bitpix);
    // The sizes go where the reader looks for them.
    EXPECT_EQ(leeFloat(h, 80), std::stof(atributos.at("PixelDimx")));
    EXPECT_EQ(leeFloat(h, 84), std::stof(atributos.at("PixelDimy")));
    EXPECT_EQ(leeFloat(h, 88), std::stof(atributos.at("ST")));

    const Bytes img = leeBytes(dir.filePath(QString("v_") + t.letra + ".img"));
    const std::size_t porCorte = static_cast<std::size_t>(ancho) * alto;
    ASSERT_EQ(img.size(), porCorte * cortes * (t.bitpix / 8));
    for (int k = 0; k < cortes; ++k) {
      const Muestras<uint16_t> m = trabajo->corte(k)->comoUShort();
      for (std::size_t i = 0; i < porCorte; ++i) {
        const std::size_t j = k * porCorte + i;
        const uint16_t v = m[i];
        switch (t.bitpix) {
          case 8: ASSERT_EQ(img[j], v & 0xFF) << k << "/" << i; break;
          case 16: ASSERT_EQ(lee16(img, 2 * j), v) << k << "/" << i; break;
          default: ASSERT_EQ(leeFloat(img, 4 * j), static_cast<float>(v)) << k << "/" << i;
        }
      }
    }

    testing::internal::CaptureStdout();
    auto leido = leerAnalyze({salida}, observadorMudo());
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(leido->numCortes(), cortes);
    EXPECT_EQ(leido->geometria()->ancho(), ancho);
    EXPECT_EQ(leido->geometria()->alto(), alto);
    for (const char* clave : {"PixelDimx", "PixelDimy", "ST"})
      EXPECT_EQ(std::stof(leido->atributosRef().at(clave)), std::stof(atributos.at(clave))) << clave;
    if (t.bitpix == 32) continue;  // float pairs come back stretched to 0..32767
    for (int k = 0; k < cortes; ++k) {
      const Muestras<uint16_t> a = leido->corte(k)->comoUShort(), b = trabajo->corte(k)->comoUShort();
      for (std::size_t i = 0; i < porCorte; ++i) ASSERT_EQ(a[i], t.bitpix == 8 ? b[i] & 0xFF : b[i]) << k << "/" << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Acquisitions, ConvertFormatos,
                         ::testing::Values(Formato{"Dicom", serieDicom}, Formato{"sinoXDAS", sinogramaXDAS},
                                           Formato{"His", marcoHis}),
                         [](const auto& info) { return std::string(info.param.clave); });

}  // namespace
