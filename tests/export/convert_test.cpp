// Runs the built osmavu-convert as a user would and looks at what it leaves.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>

#include "analyze.h"
#include "ayuda.h"
#include "observador.h"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

// A signed 16-bit Analyze pair written byte by byte, as another program would.
void escribeAnalyze(const QString& base, int ancho, int alto, const std::vector<std::vector<int16_t>>& cortes,
                    float px, float py, float pz) {
  Bytes h(348, 0);
  auto pon16 = [&](std::size_t o, uint16_t v) { h[o] = v & 0xFF, h[o + 1] = v >> 8; };
  auto ponF = [&](std::size_t o, float v) {
    uint32_t b;
    std::memcpy(&b, &v, 4);
    for (int i = 0; i < 4; ++i) h[o + i] = (b >> (8 * i)) & 0xFF;
  };
  pon16(0, 348);
  pon16(40, 4);
  pon16(42, uint16_t(alto));
  pon16(44, uint16_t(ancho));
  pon16(46, uint16_t(cortes.size()));
  pon16(70, 4);
  pon16(72, 16);
  ponF(80, px);
  ponF(84, py);
  ponF(88, pz);
  std::ofstream(base.toStdString() + ".hdr", std::ios::binary).write(reinterpret_cast<char*>(h.data()), 348);
  std::ofstream img(base.toStdString() + ".img", std::ios::binary);
  for (const auto& c : cortes)
    for (int16_t v : c) {
      const char b[2] = {char(uint16_t(v) & 0xFF), char(uint16_t(v) >> 8)};
      img.write(b, 2);
    }
}

class Convert : public ::testing::Test {
 protected:
  void SetUp() override {
    // 3 x 2 slices, three of them; 40000 as unsigned is -25536 on disk.
    escribeAnalyze(dir.filePath("in"), 3, 2,
                   {{100, 228, 355, 356, 99, 0}, {1, 2, 300, -25536, 5, 6}, {-1, 0, 0, 0, 0, 255}}, 0.5f, 0.8f,
                   2.0f);
    entrada = dir.filePath("in.hdr");
  }
  QString salidas(const QString& nombre) {
    QDir(dir.path()).mkdir("out");
    return dir.filePath("out/" + nombre);
  }
  QStringList deSalida() { return contenido(dir.filePath("out")); }

  QTemporaryDir dir;
  QString entrada;
};

TEST_F(Convert, AnalyzeToAPairOfEachType) {
  const std::vector<std::vector<uint16_t>> original = {
      {100, 228, 355, 356, 99, 0}, {1, 2, 300, 40000, 5, 6}, {65535, 0, 0, 0, 0, 255}};
  struct {
    const char* tipo;  // nullptr: the default
    int datatype;
  } casos[] = {{nullptr, 4}, {"c", 2}, {"u", 512}, {"s", 4}, {"f", 16}};
  for (const auto& c : casos) {
    SCOPED_TRACE(c.tipo ? c.tipo : "default");
    const QString nombre = salidas(QString("v_") + (c.tipo ? c.tipo : "d") + ".hdr");
    QStringList args;
    if (c.tipo) args << "--type" << c.tipo;
    const Ejecucion e = ejecuta(args << entrada << nombre);
    ASSERT_EQ(e.estado, 0) << e.errores;
    // Standard output holds the writer's lines and nothing of the reader's.
    EXPECT_THAT(e.salida, StartsWith("EL NOMBRE ES: " + nombre.left(nombre.size() - 4).toStdString() +
                                     "\n3, 2, 3\n"));
    EXPECT_THAT(e.salida, Not(HasSubstr("Leyendo")));
    EXPECT_THAT(e.errores, HasSubstr("Leyendo SHORT"));

    EXPECT_EQ(lee16(leeBytes(nombre), 70), c.datatype);
    testing::internal::CaptureStdout();
    auto leido = leerAnalyze({nombre}, observadorMudo());
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(leido->numCortes(), 3);
    EXPECT_EQ(leido->geometria()->ancho(), 3);
    EXPECT_EQ(leido->geometria()->alto(), 2);
    EXPECT_EQ(leido->atributosRef().at("PixelDimx"), "0.5");
    EXPECT_EQ(leido->atributosRef().at("PixelDimy"), "0.8");
    EXPECT_EQ(leido->atributosRef().at("ST"), "2");
    if (c.datatype == 16) continue;  // floats come back rescaled; the writer's tests cover them
    for (int k = 0; k < 3; ++k) {
      const Muestras<uint16_t> m = leido->corte(k)->comoUShort();
      for (std::size_t i = 0; i < 6; ++i) {
        const uint16_t v = original[std::size_t(k)][i];
        EXPECT_EQ(m[i], c.datatype == 2 ? v & 0xFF : v) << "corte " << k << " muestra " << i;
      }
    }
  }
}

TEST_F(Convert, SlicesToNumberedPicturesThroughTheWindow) {
  const Ejecucion e = ejecuta({"--window", "100:355", entrada, salidas("a.png")});
  ASSERT_EQ(e.estado, 0) << e.errores;
  EXPECT_EQ(deSalida(), (QStringList{"a_0001.png", "a_0002.png", "a_0003.png"}));
  std::string esperada;
  for (int k = 1; k <= 3; ++k)
    esperada += "Salvando " + salidas(QString::asprintf("a_%04d.png", k)).toStdString() + " \n";
  EXPECT_EQ(e.salida, esperada);

  // Slice 2's -25536 is 40000 to the viewer: above the window, white.
  const int grises[3][6] = {{0, 128, 255, 255, 0, 0}, {0, 0, 200, 255, 0, 0}, {255, 0, 0, 0, 0, 155}};
  for (int k = 0; k < 3; ++k) {
    const QImage img(salidas(QString::asprintf("a_%04d.png", k + 1)));
    ASSERT_EQ(img.size(), QSize(3, 2));
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(qGray(img.pixel(i / 2, i % 2)), grises[k][i]) << "corte " << k << " muestra " << i;
  }
}

TEST_F(Convert, DefaultWindowIsTheOneTheViewerStartsWith) {
  const Ejecucion e = ejecuta({entrada, salidas("b.tif")});
  ASSERT_EQ(e.estado, 0) << e.errores;
  EXPECT_EQ(deSalida(), (QStringList{"b_0001.tif", "b_0002.tif", "b_0003.tif"}));
  // 0…65535: 65535 (the -1 on disk) is 255, small values are black.
  EXPECT_EQ(ejecuta({"--window=0:65535", entrada, salidas("c.bmp")}).estado, 0);
  const QImage img(salidas("c_0003.bmp"));
  EXPECT_EQ(qGray(img.pixel(0, 0)), 255);
  EXPECT_EQ(qGray(img.pixel(2, 1)), 0);
}

TEST_F(Convert, UnwritableOutputFailsAndLeavesNothing) {
  struct {
    QString salida;
    const char* mensaje;
  } casos[] = {{dir.filePath("out/no/v.hdr"), "/out/no/v.img: cannot be created"},
               {dir.filePath("out/no/a.png"), "/out/no/a_0001.png: cannot be created"},
               {dir.filePath("out/v.hdr"), "/out/v.hdr: cannot be created"}};
  for (const auto& c : casos) {
    SCOPED_TRACE(c.salida.toStdString());
    QDir(dir.filePath("out")).removeRecursively();
    salidas("");
    if (c.salida.endsWith("out/v.hdr")) QDir(dir.filePath("out")).mkdir("v.hdr");  // the header's place is taken
    const QStringList antes = deSalida();
    const Ejecucion e = ejecuta({entrada, c.salida});
    EXPECT_EQ(e.estado, 1);
    EXPECT_THAT(e.errores, HasSubstr("osmavu-convert: " + dir.path().toStdString() + c.mensaje));
    EXPECT_EQ(deSalida(), antes);
  }
}

TEST_F(Convert, UnreadableInputFailsBeforeWriting) {
  std::ofstream(dir.filePath("roto.hdr").toStdString(), std::ios::binary).write("\x5c\x01\0\0", 4);
  for (const QString& mala : {dir.filePath("falta.hdr"), dir.filePath("roto.hdr")}) {
    SCOPED_TRACE(mala.toStdString());
    const Ejecucion e = ejecuta({mala, salidas("v.hdr")});
    EXPECT_EQ(e.estado, 1);
    EXPECT_THAT(e.errores, HasSubstr("osmavu-convert: " + mala.toStdString() + ": "));
    EXPECT_TRUE(deSalida().isEmpty());
  }
}

TEST_F(Convert, UsageErrorsExitTwo) {
  const QString png = salidas("a.png");
  const QString hdr = salidas("v.hdr");
  const std::vector<QStringList> casos = {
      {},
      {entrada},
      {"--type", "z", entrada, hdr},
      {"--type", "cu", entrada, hdr},
      {entrada, hdr, "--type"},
      {"--window", "5", entrada, png},
      {"--window", "a:b", entrada, png},
      {"--window", "0:70000", entrada, png},
      {"--window", "-1:5", entrada, png},
      {"--window", "1:2:3", entrada, png},
      {"--window", "1:2", entrada, hdr},
      {"--type", "c", entrada, png},
      {"--bogus", entrada, hdr},
      {entrada, salidas("a.jpg")},
      {entrada, salidas("sin_extension")},
      {"--folder", dir.path(), dir.path(), hdr},
  };
  for (const QStringList& args : casos) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const Ejecucion e = ejecuta(args);
    EXPECT_EQ(e.estado, 2);
    EXPECT_THAT(e.errores, HasSubstr("usage: osmavu-convert"));
    EXPECT_EQ(e.salida, "");
  }
  EXPECT_TRUE(deSalida().isEmpty());
}

TEST_F(Convert, HelpDescribesTheTool) {
  const Ejecucion e = ejecuta({"--help"});
  EXPECT_EQ(e.estado, 0);
  for (const char* texto : {"usage: osmavu-convert", "--type", "--window", "--folder", "Exit status"})
    EXPECT_THAT(e.salida, HasSubstr(texto));
}

}  // namespace
