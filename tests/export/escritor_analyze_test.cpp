#include "escritor_analyze.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "analyze.h"
#include "ayuda.h"
#include "errores_escritura.h"
#include "observador.h"

using ::testing::HasSubstr;

namespace {

struct CasoTipo {
  char letra;
  int datatype;
  int bitpix;
  int bytesMuestra;
};

std::ostream& operator<<(std::ostream& o, const CasoTipo& c) { return o << "tipo '" << c.letra << "'"; }

class HeaderPorTipo : public ::testing::TestWithParam<CasoTipo> {};

// The header a 256 x 256 x 10 save writes, byte for byte: every listed field,
// and 0 everywhere else.
TEST_P(HeaderPorTipo, EveryFieldAndZeroElsewhere) {
  const CasoTipo c = GetParam();
  QTemporaryDir dir;
  auto cubo = cuboUShort(256, 256, std::vector<std::vector<uint16_t>>(10), tamanos("0.5", "0.8", "2"));
  testing::internal::CaptureStdout();
  guardarVolumenAnalyze(*cubo, dir.filePath("scan.hdr"), c.letra);
  testing::internal::GetCapturedStdout();

  const Bytes h = leeBytes(dir.filePath("scan.hdr"));
  ASSERT_EQ(h.size(), 348u);
  Bytes esperado(348, 0);
  auto pon16 = [&](std::size_t o, uint16_t v) { esperado[o] = v & 0xFF, esperado[o + 1] = v >> 8; };
  auto ponF = [&](std::size_t o, float v) {
    uint32_t b;
    std::memcpy(&b, &v, 4);
    for (int i = 0; i < 4; ++i) esperado[o + i] = (b >> (8 * i)) & 0xFF;
  };
  pon16(0, 348);
  esperado[38] = 'r';
  pon16(40, 4);
  pon16(42, 256);
  pon16(44, 256);
  pon16(46, 10);
  pon16(48, 1);
  pon16(70, uint16_t(c.datatype));
  pon16(72, uint16_t(c.bitpix));
  ponF(80, 0.5f);  // "PixelDimx", where the reader looks for it
  ponF(84, 0.8f);
  ponF(88, 2.0f);
  ponF(112, 1.0f);
  for (std::size_t i = 0; i < 348; ++i) EXPECT_EQ(h[i], esperado[i]) << "byte " << i;

  EXPECT_EQ(QFileInfo(dir.filePath("scan.img")).size(), qint64(256) * 256 * 10 * c.bytesMuestra);
}

INSTANTIATE_TEST_SUITE_P(Letras, HeaderPorTipo,
                         ::testing::Values(CasoTipo{'c', 2, 8, 1}, CasoTipo{'u', 512, 16, 2},
                                           CasoTipo{'s', 4, 16, 2}, CasoTipo{'f', 16, 32, 4},
                                           CasoTipo{'x', 512, 16, 2}));

TEST(CabeceraAnalyze, ExtentsOrderAndOrientationLine) {
  testing::internal::CaptureStdout();
  const auto h = cabeceraAnalyze(300, 200, 7, TamanoPixel(1, 2, 3), "s");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("CREA HDR CON ORIENT: \0\n", 23));
  const Bytes b(h.begin(), h.end());
  EXPECT_EQ(lee16(b, 42), 200);  // rows first: the slice height
  EXPECT_EQ(lee16(b, 44), 300);
  EXPECT_EQ(lee16(b, 46), 7);
  EXPECT_EQ(leeFloat(b, 80), 1.0f);
  EXPECT_EQ(leeFloat(b, 84), 2.0f);
  EXPECT_EQ(leeFloat(b, 88), 3.0f);
  EXPECT_THROW(cabeceraAnalyze(32768, 1, 1, TamanoPixel(), "s"), std::invalid_argument);
}

// Each letter's conversion of the unsigned 16-bit working samples.
TEST(GuardarAnalyze, SamplesAsEachTypeWritesThem) {
  QTemporaryDir dir;
  auto cubo = cuboUShort(2, 2, {{300, 0, 40000, 65535}}, tamanos("1", "1", "1"));
  testing::internal::CaptureStdout();

  guardarVolumenAnalyze(*cubo, dir.filePath("c.hdr"), 'c');
  EXPECT_EQ(leeBytes(dir.filePath("c.img")), (Bytes{44, 0, 0x40, 0xFF}));  // 300 keeps its low byte

  guardarVolumenAnalyze(*cubo, dir.filePath("u.hdr"), 'u');
  EXPECT_EQ(leeBytes(dir.filePath("u.img")), (Bytes{0x2C, 0x01, 0, 0, 0x40, 0x9C, 0xFF, 0xFF}));

  // Signed: the same bit patterns, 40000 read back as -25536.
  guardarVolumenAnalyze(*cubo, dir.filePath("s.hdr"), 's');
  EXPECT_EQ(leeBytes(dir.filePath("s.img")), (Bytes{0x2C, 0x01, 0, 0, 0x40, 0x9C, 0xFF, 0xFF}));

  guardarVolumenAnalyze(*cubo, dir.filePath("f.hdr"), 'f');
  const Bytes f = leeBytes(dir.filePath("f.img"));
  ASSERT_EQ(f.size(), 16u);
  EXPECT_EQ(leeFloat(f, 0), 300.0f);
  EXPECT_EQ(leeFloat(f, 4), 0.0f);
  EXPECT_EQ(leeFloat(f, 8), 40000.0f);
  EXPECT_EQ(leeFloat(f, 12), 65535.0f);
  testing::internal::GetCapturedStdout();
}

TEST(GuardarAnalyze, LogLinesInOrder) {
  QTemporaryDir dir;
  // Slice 0's largest sample is 900; slice 1's larger one does not count.
  auto cubo = cuboUShort(3, 2, {{1, 900, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 60000}}, tamanos("1", "1", "1"));
  const QString base = dir.filePath("vol");

  testing::internal::CaptureStdout();
  guardarVolumenAnalyze(*cubo, base + ".hdr", 's');
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "EL NOMBRE ES: " + base.toStdString() +
                "\n3, 2, 2\nDATA TYPE: s\nMAX= 900\n" + std::string("CREA HDR CON ORIENT: \0\n", 23) +
                "NITEMS SHORT: 12 DATA TYPE: 4\n");

  testing::internal::CaptureStdout();
  guardarVolumenAnalyze(*cubo, base + ".hdr", 'c');
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "EL NOMBRE ES: " + base.toStdString() + "\n3, 2, 2\nDATA TYPE: c\nMAX= 900\n" +
                std::string("CREA HDR CON ORIENT: \0\n", 23));
}

// What the reader gives back for each written type: extents and pixel sizes
// always; the samples as far as the type holds them.
TEST(GuardarAnalyze, ReadsBackThroughTheReader) {
  const std::vector<uint16_t> corte0 = {0, 255, 256, 1000, 32767, 40000};
  const std::vector<uint16_t> corte1 = {65535, 7, 8, 9, 10, 11};
  for (char letra : {'c', 'u', 's', 'f'}) {
    SCOPED_TRACE(std::string("tipo ") + letra);
    QTemporaryDir dir;
    auto cubo = cuboUShort(3, 2, {corte0, corte1}, tamanos("0.5", "0.8", "2.5"));
    testing::internal::CaptureStdout();
    guardarVolumenAnalyze(*cubo, dir.filePath("rt.hdr"), letra);
    auto leido = leerAnalyze({dir.filePath("rt.hdr")}, observadorMudo());
    testing::internal::GetCapturedStdout();

    ASSERT_TRUE(leido);
    EXPECT_EQ(leido->geometria()->ancho(), 3);
    EXPECT_EQ(leido->geometria()->alto(), 2);
    ASSERT_EQ(leido->numCortes(), 2);
    // The in-plane sizes come back where they were, not exchanged.
    EXPECT_EQ(leido->atributosRef().at("PixelDimx"), "0.5");
    EXPECT_EQ(leido->atributosRef().at("PixelDimy"), "0.8");
    EXPECT_EQ(leido->atributosRef().at("ST"), "2.5");

    for (int k = 0; k < 2; ++k) {
      const std::vector<uint16_t>& original = k == 0 ? corte0 : corte1;
      const Muestras<uint16_t> m = leido->corte(k)->comoUShort();
      for (std::size_t i = 0; i < original.size(); ++i) {
        const uint16_t v = original[i];
        switch (letra) {
          case 'c': EXPECT_EQ(m[i], v & 0xFF) << "corte " << k << " muestra " << i; break;
          case 'f': break;  // rescaled by the reader; checked below
          default: EXPECT_EQ(m[i], v) << "corte " << k << " muestra " << i; break;
        }
      }
    }
    if (letra == 'f') {
      // Floats are stretched over the whole volume: the lowest sample to 0,
      // the highest to 32767, the order kept (255 and 256 fall together).
      EXPECT_EQ(leido->corte(0)->comoUShort()[0], 0);
      EXPECT_EQ(leido->corte(1)->comoUShort()[0], 32767);
      const Muestras<uint16_t> m = leido->corte(0)->comoUShort();
      for (std::size_t i = 1; i < corte0.size(); ++i) EXPECT_LE(m[i - 1], m[i]);
      EXPECT_LT(m[0], m[1]);
      EXPECT_LT(m[4], m[5]);
    }
    EXPECT_FALSE(cubo->atributosRef().contains("dataType"));
  }
}

TEST(GuardarAnalyze, TwoSavesInARowUseEachTheirOwnType) {
  QTemporaryDir dir;
  auto cubo = cuboUShort(4, 3, {std::vector<uint16_t>(12, 300), std::vector<uint16_t>(12, 5)},
                         tamanos("1", "1", "1"));
  testing::internal::CaptureStdout();
  guardarVolumenAnalyze(*cubo, dir.filePath("uno.hdr"), 'c');
  EXPECT_FALSE(cubo->atributosRef().contains("dataType"));
  guardarVolumenAnalyze(*cubo, dir.filePath("dos.hdr"), 'f');
  EXPECT_FALSE(cubo->atributosRef().contains("dataType"));
  testing::internal::GetCapturedStdout();

  EXPECT_EQ(QFileInfo(dir.filePath("uno.img")).size(), 24);
  EXPECT_EQ(lee16(leeBytes(dir.filePath("uno.hdr")), 70), 2);
  EXPECT_EQ(QFileInfo(dir.filePath("dos.img")).size(), 96);
  EXPECT_EQ(lee16(leeBytes(dir.filePath("dos.hdr")), 70), 16);
  EXPECT_EQ(leeFloat(leeBytes(dir.filePath("dos.img")), 0), 300.0f);
}

TEST(GuardarAnalyze, LetterComesOnlyFromTheAttribute) {
  QTemporaryDir dir;
  auto cubo = cuboUShort(1, 1, {{1}}, tamanos("1", "1", "1"));
  AttributeMap m = cubo->atributos();
  m.set("dataType", "cu");  // the first character decides
  cubo->ponAtributos(m);
  testing::internal::CaptureStdout();
  guardarAnalyze(*cubo, dir.filePath("a.hdr"));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(lee16(leeBytes(dir.filePath("a.hdr")), 70), 2);
  EXPECT_EQ(cubo->atributosRef().at("dataType"), "cu");  // only the save command removes it
}

struct CasoNombre {
  const char* ruta;
  const char* base;
};

std::ostream& operator<<(std::ostream& o, const CasoNombre& c) { return o << c.ruta; }

class NombreBase : public ::testing::TestWithParam<CasoNombre> {};

TEST_P(NombreBase, FromThePath) { EXPECT_EQ(nombreBase(GetParam().ruta), GetParam().base); }

INSTANTIATE_TEST_SUITE_P(
    Casos, NombreBase,
    ::testing::Values(CasoNombre{"/d/out/scan.hdr", "/d/out/scan"},
                      CasoNombre{"/d/series1/im001.png", "/d/series1/series1"},
                      CasoNombre{"/d/out/scan.hdr.old", "/d/out/out"},  // contains .hdr, does not end in it
                      CasoNombre{"/d/out/SCAN.HDR", "/d/out/out"},      // the ending is case-sensitive
                      CasoNombre{"rel/x.hdr", "rel/x"},
                      CasoNombre{"scan.hdr", "scan"},
                      CasoNombre{"/d/out/xhdr", "/d/out/"},       // four characters go, dot or not
                      CasoNombre{"im001.png", "im001"},           // no folder to name it after
                      CasoNombre{"/im001.png", "/im001"},         // nor at the root
                      CasoNombre{"cortes", "cortes"}));

TEST(GuardarAnalyze, NameWithHdrInsideTakesTheFolderName) {
  QTemporaryDir dir;
  QDir(dir.path()).mkdir("serie");
  auto cubo = cuboUShort(1, 1, {{1}}, tamanos("1", "1", "1"));
  testing::internal::CaptureStdout();
  guardarVolumenAnalyze(*cubo, dir.filePath("serie/a.hdr.bak"), 's');
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(contenido(dir.filePath("serie")), (QStringList{"serie.hdr", "serie.img"}));
}

TEST(EsNombreAnalyze, ContainsHdrCaseSensitive) {
  EXPECT_TRUE(esNombreAnalyze("a/b.hdr"));
  EXPECT_TRUE(esNombreAnalyze("a/b.hdr.png"));
  EXPECT_FALSE(esNombreAnalyze("a/b.HDR"));
  EXPECT_FALSE(esNombreAnalyze("a/bhdr.png"));
}

// A refused save writes nothing at all, and says why with the file named.
class SaveRefused : public ::testing::Test {
 protected:
  void esperaRechazo(Cubo& cubo, const std::string& motivo) {
    testing::internal::CaptureStdout();
    try {
      guardarVolumenAnalyze(cubo, dir.filePath("v.hdr"), 's');
      ADD_FAILURE() << "the save was not refused";
    } catch (const ErrorEscritura& e) {
      EXPECT_EQ(e.ruta(), dir.filePath("v.hdr").toStdString());
      EXPECT_THAT(e.motivo(), HasSubstr(motivo));
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(contenido(dir.path()).isEmpty());
    EXPECT_FALSE(cubo.atributosRef().contains("dataType"));
  }
  QTemporaryDir dir;
};

TEST_F(SaveRefused, ExtentsThatDoNotFitTheHeader) {
  struct {
    int ancho, alto, cortes;
  } casos[] = {{32768, 1, 1}, {1, 32768, 1}, {1, 1, 32768}, {2, 2, 0}};
  for (const auto& c : casos) {
    SCOPED_TRACE(std::to_string(c.ancho) + " x " + std::to_string(c.alto) + " x " + std::to_string(c.cortes));
    auto cubo = cuboUShort(c.ancho, c.alto, std::vector<std::vector<uint16_t>>(std::size_t(c.cortes)),
                           tamanos("1", "1", "1"));
    esperaRechazo(*cubo, "does not fit the Analyze header");
  }
}

TEST_F(SaveRefused, LargestExtentsThatFitAreWritten) {
  auto cubo = cuboUShort(32767, 1, {{}}, tamanos("1", "1", "1"));
  testing::internal::CaptureStdout();
  guardarVolumenAnalyze(*cubo, dir.filePath("v.hdr"), 'c');
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(lee16(leeBytes(dir.filePath("v.hdr")), 44), 32767);
  EXPECT_EQ(QFileInfo(dir.filePath("v.img")).size(), 32767);
}

TEST_F(SaveRefused, MissingOrNonNumericPixelSizes) {
  struct {
    const char* clave;
    const char* valor;  // nullptr: the key is absent
    const char* motivo;
  } casos[] = {{"PixelDimx", nullptr, "no attribute PixelDimx"},
               {"PixelDimy", nullptr, "no attribute PixelDimy"},
               {"ST", nullptr, "no attribute ST"},
               {"ST", "abc", "ST is not a number"},
               {"PixelDimx", "", "PixelDimx is not a number"}};
  for (const auto& c : casos) {
    SCOPED_TRACE(c.clave);
    AttributeMap m = tamanos("1", "1", "1");
    if (c.valor) m.set(c.clave, c.valor); else m.erase(c.clave);
    auto cubo = cuboUShort(2, 2, {{1, 2, 3, 4}}, m);
    esperaRechazo(*cubo, c.motivo);
  }
}

TEST(GuardarAnalyze, NumbersParsedAsStoredWhateverTheirForm) {
  QTemporaryDir dir;
  auto cubo = cuboUShort(1, 1, {{1}}, tamanos(" 0.25", "+1e-1", "2.5mm"));
  testing::internal::CaptureStdout();
  guardarVolumenAnalyze(*cubo, dir.filePath("n.hdr"), 's');
  testing::internal::GetCapturedStdout();
  const Bytes h = leeBytes(dir.filePath("n.hdr"));
  EXPECT_EQ(leeFloat(h, 80), 0.25f);
  EXPECT_EQ(leeFloat(h, 84), 0.1f);
  EXPECT_EQ(leeFloat(h, 88), 2.5f);
}

// Files that cannot be created or written: reported with the file and the
// reason, and no file of the pair left behind.
TEST(GuardarAnalyzeFallos, SampleFileCannotBeCreated) {
  QTemporaryDir dir;
  auto cubo = cuboUShort(2, 2, {{1, 2, 3, 4}}, tamanos("1", "1", "1"));
  const QString ruta = dir.filePath("no/existe/v.hdr");
  testing::internal::CaptureStdout();
  try {
    guardarVolumenAnalyze(*cubo, ruta, 's');
    ADD_FAILURE() << "no error";
  } catch (const ErrorEscritura& e) {
    EXPECT_EQ(e.ruta(), dir.filePath("no/existe/v.img").toStdString());
    EXPECT_THAT(e.motivo(), HasSubstr("No such file or directory"));
  }
  EXPECT_THAT(testing::internal::GetCapturedStdout(), HasSubstr("Error opening file \n"));
  EXPECT_TRUE(contenido(dir.path()).isEmpty());
  EXPECT_FALSE(cubo->atributosRef().contains("dataType"));
}

TEST(GuardarAnalyzeFallos, HeaderThatCannotBeCreatedTakesTheSampleFileWithIt) {
  QTemporaryDir dir;
  QDir(dir.path()).mkdir("v.hdr");  // a folder in the header's place
  auto cubo = cuboUShort(2, 2, {{1, 2, 3, 4}}, tamanos("1", "1", "1"));
  testing::internal::CaptureStdout();
  try {
    guardarVolumenAnalyze(*cubo, dir.filePath("v.hdr"), 's');
    ADD_FAILURE() << "no error";
  } catch (const ErrorEscritura& e) {
    EXPECT_EQ(e.ruta(), dir.filePath("v.hdr").toStdString());
    EXPECT_THAT(e.motivo(), HasSubstr("cannot be created"));
  }
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(contenido(dir.path()), QStringList{"v.hdr"});
}

TEST(GuardarAnalyzeFallos, FullDiskLeavesNothingBehind) {
  for (const char* lleno : {"v.img", "v.hdr"}) {
    SCOPED_TRACE(lleno);
    QTemporaryDir dir;
    enlazaADispositivoLleno(dir.filePath(lleno));
    auto cubo = cuboUShort(64, 64, {std::vector<uint16_t>(4096, 7)}, tamanos("1", "1", "1"));
    testing::internal::CaptureStdout();
    try {
      guardarVolumenAnalyze(*cubo, dir.filePath("v.hdr"), 's');
      ADD_FAILURE() << "no error";
    } catch (const ErrorEscritura& e) {
      EXPECT_EQ(e.ruta(), dir.filePath(lleno).toStdString());
      EXPECT_THAT(e.motivo(), HasSubstr("No space left on device"));
    }
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(contenido(dir.path()).isEmpty());
  }
}

}  // namespace
