#include "reconocedor.h"

#include <cmath>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ficheros_prueba.h"

using ::testing::HasSubstr;

namespace {

Bytes conPalabra(unsigned char b0, unsigned char b1, std::size_t tamano = 256) {
  Bytes b(tamano, 0x11);
  b[0] = b0;
  if (tamano > 1) b[1] = b1;
  return b;
}

// A file of `tamano` bytes whose double 128 bytes before the end is `codigo`.
Bytes conTrailer(double codigo, std::size_t tamano = 300, unsigned char relleno = 0x11) {
  Bytes b(tamano, relleno);
  ponDouble(b, tamano - 128, codigo);
  return b;
}

struct CasoFormato {
  const char* nombre;
  Bytes contenido;
  const char* clave;
};
void PrintTo(const CasoFormato& c, std::ostream* os) { *os << c.nombre; }

class Reconocedor : public ::testing::TestWithParam<CasoFormato> {};

TEST_P(Reconocedor, ClaveDelContenido) {
  QTemporaryDir dir;
  const std::string f = ruta(dir, "fichero.bin");
  escribe(f, GetParam().contenido);
  EXPECT_EQ(formatoDeFichero(f), GetParam().clave);
}

Bytes jpegConTrailer() {
  Bytes b = conTrailer(32001.0);
  b[0] = 0xFF;
  b[1] = 0xD8;
  return b;
}

Bytes analyzeConTrailer() {
  Bytes b = conTrailer(32001.0);
  b[0] = 0x5C;
  b[1] = 0x01;
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Tabla, Reconocedor,
    ::testing::Values(
        CasoFormato{"analyze", conPalabra(0x5C, 0x01), "Analyze"},
        CasoFormato{"his", conPalabra(0x00, 0x70), "His"},
        CasoFormato{"tiffLittle", conPalabra(0x49, 0x49), "TIFF"},
        // Big-endian TIFF is not a TIFF here; nothing else matches.
        CasoFormato{"tiffBig", conPalabra(0x4D, 0x4D), "PelixOld"},
        // Its first word is negative, yet the byte test still holds.
        CasoFormato{"jpeg", conPalabra(0xFF, 0xD8), "JPEG"},
        CasoFormato{"png", conPalabra(0x89, 0x50), "PNG"},
        CasoFormato{"bmp", conPalabra(0x42, 0x4D), "BMP"},
        CasoFormato{"radXDAS", conTrailer(32000.0), "radXDAS"},
        CasoFormato{"sinoXDAS", conTrailer(32001.0), "sinoXDAS"},
        CasoFormato{"radFP", conTrailer(32002.0), "radFP"},
        // The trailer test comes before the zero-lead test.
        CasoFormato{"sinoConCeroDelante", conTrailer(32001.0, 300, 0), "sinoXDAS"},
        CasoFormato{"magiaGanaAlTrailer", analyzeConTrailer(), "Analyze"},
        CasoFormato{"jpegGanaAlTrailer", jpegConTrailer(), "JPEG"},
        // Exactly 128 bytes: the trailer is the lead double.
        CasoFormato{"trailerEnElByte0", conTrailer(32002.0, 128), "radFP"},
        CasoFormato{"dicomPreambulo", Bytes(256, 0), "Dicom"},
        CasoFormato{"otro", conPalabra(0x01, 0x02), "PelixOld"},
        CasoFormato{"primerPalabraNegativa", conPalabra(0xA0, 0xF0), "PelixOld"},
        // Too short for a test: it does not match.
        CasoFormato{"vacio", Bytes{}, "PelixOld"},
        CasoFormato{"unByteAnalyze", Bytes{0x5C}, "PelixOld"},
        CasoFormato{"unByteJpeg", Bytes{0xFF}, "PelixOld"},
        CasoFormato{"dosBytesAnalyze", Bytes{0x5C, 0x01}, "Analyze"},
        CasoFormato{"dosBytesJpeg", Bytes{0xFF, 0xD8}, "JPEG"},
        CasoFormato{"sieteCeros", Bytes(7, 0), "PelixOld"},
        CasoFormato{"ochoCeros", Bytes(8, 0), "Dicom"},
        CasoFormato{"trailerNoCabe", Bytes(127, 0), "Dicom"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST(ReconocedorFicheros, SinFicheroEsNoFileConMensaje) {
  QTemporaryDir dir;
  const std::string falta = ruta(dir, "falta.hdr");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(formatoDeFichero(falta), "noFile");
  EXPECT_EQ(formatoDeFichero(dir.path().toStdString()), "noFile");
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, HasSubstr("Can't open: " + falta + "\n"));
  EXPECT_THAT(err, HasSubstr("Can't open: " + dir.path().toStdString() + "\n"));
}

TEST(ReconocedorFicheros, ValorInicial) {
  QTemporaryDir dir;
  Bytes b(16, 0);
  ponDouble(b, 0, -2.5);
  escribe(ruta(dir, "a"), b);
  escribe(ruta(dir, "corto"), Bytes(7, 0));
  EXPECT_EQ(valorInicial(ruta(dir, "a")), -2.5);
  EXPECT_TRUE(std::isnan(valorInicial(ruta(dir, "corto"))));
  EXPECT_TRUE(std::isnan(valorInicial(ruta(dir, "falta"))));
}

TEST(ReconocedorFicheros, UnaListaSeReconocePorSuPrimerFichero) {
  QTemporaryDir dir;
  escribe(ruta(dir, "a.hdr"), conPalabra(0x5C, 0x01));
  escribe(ruta(dir, "b.tif"), conPalabra(0x49, 0x49));
  const QString a = QString::fromStdString(ruta(dir, "a.hdr"));
  const QString b = QString::fromStdString(ruta(dir, "b.tif"));
  EXPECT_EQ(detectarFormato({a, b}), "Analyze");
  EXPECT_EQ(detectarFormato({b, a}), "TIFF");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(detectarFormato({}), "noFile");
  ::testing::internal::GetCapturedStderr();
}

TEST(ReconocedorCarpetas, DicomSiElPrimerFicheroEmpiezaConOchoCeros) {
  QTemporaryDir dir;
  QDir(dir.path()).mkdir("dicom");
  QDir(dir.path()).mkdir("otra");
  QDir(dir.path()).mkdir("vacia");
  // "A.dcm" sorts first with case ignored, though "B" < "a" by code.
  escribe(ruta(dir, "dicom/a.dcm"), Bytes(200, 0));
  escribe(ruta(dir, "dicom/B.dcm"), Bytes(200, 1));
  escribe(ruta(dir, "otra/a.dcm"), Bytes(200, 1));
  escribe(ruta(dir, "otra/B.dcm"), Bytes(200, 0));
  EXPECT_EQ(formatoDeCarpeta(dir.filePath("dicom")), "Dicom");
  EXPECT_EQ(formatoDeCarpeta(dir.filePath("otra")), "");
  EXPECT_EQ(formatoDeCarpeta(dir.filePath("vacia")), "");
  EXPECT_EQ(formatoDeCarpeta(dir.filePath("no-existe")), "");
}

}  // namespace
