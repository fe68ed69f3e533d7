#include "guardado_imagenes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <tiffio.h>

#include "ayuda.h"

using ::testing::HasSubstr;

namespace {

Muestras<uint16_t> muestras(const std::vector<uint16_t>& v) {
  return Muestras<uint16_t>::prestadas(v.data(), v.size());
}

int gris(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)); }

struct CasoGris {
  int inferior, superior;
  uint16_t muestra;
  int gris;
};

std::ostream& operator<<(std::ostream& o, const CasoGris& c) {
  return o << "ventana " << c.inferior << ".." << c.superior << ", muestra " << c.muestra;
}

class GrisVentana : public ::testing::TestWithParam<CasoGris> {};

TEST_P(GrisVentana, MapsThroughTheWindow) {
  const CasoGris c = GetParam();
  const std::vector<uint16_t> v = {c.muestra};
  const QImage img = imagenCorte(muestras(v), 1, 1, c.inferior, c.superior);
  ASSERT_EQ(img.format(), QImage::Format_RGB32);
  const QRgb p = img.pixel(0, 0);
  EXPECT_EQ(qRed(p), c.gris);
  EXPECT_EQ(qGreen(p), c.gris);
  EXPECT_EQ(qBlue(p), c.gris);
  EXPECT_EQ(qAlpha(p), 255);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, GrisVentana,
    ::testing::Values(CasoGris{100, 355, 100, 0}, CasoGris{100, 355, 228, 128}, CasoGris{100, 355, 355, 255},
                      CasoGris{100, 355, 99, 0}, CasoGris{100, 355, 356, 255},
                      // a scale of 85 exactly: no rounding in the way
                      CasoGris{0, 3, 1, 85}, CasoGris{0, 3, 2, 170},
                      // 255/2 = 127.5: the product is truncated, not rounded
                      CasoGris{10, 12, 11, 127},
                      // a window of zero width: its one value is black
                      CasoGris{500, 500, 500, 0}, CasoGris{500, 500, 499, 0}, CasoGris{500, 500, 501, 255},
                      CasoGris{0, 65535, 0, 0}, CasoGris{0, 65535, 65535, 255},
                      // limits the wrong way round: at or above the lower one white, below it black
                      CasoGris{300, 200, 300, 255}, CasoGris{300, 200, 250, 0}));

// Column x, row y is sample x * alto + y: the row index runs fastest.
TEST(ImagenCorte, ColumnMajorLayout) {
  const std::vector<uint16_t> v = {0, 1, 2, 3, 4, 5};  // 3 columns, 2 rows
  const QImage img = imagenCorte(muestras(v), 3, 2, 0, 5);
  ASSERT_EQ(img.width(), 3);
  ASSERT_EQ(img.height(), 2);
  EXPECT_EQ(gris(img, 0, 0), 0);
  EXPECT_EQ(gris(img, 0, 1), 51);
  EXPECT_EQ(gris(img, 1, 0), 102);
  EXPECT_EQ(gris(img, 2, 1), 255);
}

TEST(ImagenCorte, FromASliceAndTheViewWindow) {
  const std::vector<uint16_t> v = {100, 228, 355, 356};
  auto cubo = cuboUShort(2, 2, {v}, tamanos("1", "1", "1"));
  EstadoVista vista;
  vista.setInferior(100);
  vista.setSuperior(355);
  const QImage img = imagenCorte(*cubo->corte(0), vista);
  EXPECT_EQ(gris(img, 0, 0), 0);
  EXPECT_EQ(gris(img, 0, 1), 128);
  EXPECT_EQ(gris(img, 1, 0), 255);
  EXPECT_EQ(gris(img, 1, 1), 255);
}

TEST(NombreNumerado, CutsFourCharactersAndNumbers) {
  struct {
    const char* ruta;
    int n;
    const char* nombre;
    const char* extension;
  } casos[] = {{"/d/cortes.png", 1, "/d/cortes_0001", ".png"},
               {"/d/cortes.png", 42, "/d/cortes_0042", ".png"},
               {"/d/cortes.png", 12345, "/d/cortes_12345", ".png"},  // more digits, never cut
               {"/d/cortes", 1, "/d/co_0001", ".tes"},               // no extension: cut all the same
               {"a.png", 3, "a_0003", ".png"},
               {"ab", 1, "_0001", ".ab"}};
  for (const auto& c : casos) {
    EXPECT_EQ(nombreNumerado(c.ruta, c.n), c.nombre) << c.ruta << " " << c.n;
    EXPECT_EQ(extensionNumerada(c.ruta), c.extension) << c.ruta;
  }
}

TEST(Filtros, TextsAsTheDialogsShowThem) {
  EXPECT_STREQ(kTituloGuardar, "Choose a file name");
  EXPECT_STREQ(kFiltroGuardar,
               "Imagen PNG(*.png);;Imagen BMP de Windows(*.bmp);;Imagen TIFF(*.tiff , *.tif;;Imagen PPM(*.ppm);;"
               "Imagen X BitMap(*.xbm);;Imagen X PixMap(*.xpm);;Imagen Analyze (*.hdr)");
  EXPECT_STREQ(kFiltroGuardarTodas,
               "Imagen PNG(*.png);;Imagen BMP de Windows(*.bmp);;Imagen TIFF(*.tif);;Imagen PPM(*.ppm);;"
               "Imagen X BitMap(*.xbm);;Imagen X PixMap(*.xpm)");
}

// A TIFF as libtiff reads it back: width, height and the grey of each pixel.
QImage leeTiff(const QString& ruta) {
  TIFF* t = TIFFOpen(ruta.toLocal8Bit().constData(), "r");
  if (!t) return QImage();
  uint32_t w = 0, h = 0;
  TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
  TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
  std::vector<uint32_t> rgba(std::size_t(w) * h);
  const bool bien = TIFFReadRGBAImageOriented(t, w, h, rgba.data(), ORIENTATION_TOPLEFT, 0) == 1;
  TIFFClose(t);
  if (!bien) return QImage();
  QImage img(int(w), int(h), QImage::Format_RGB32);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const uint32_t p = rgba[y * w + x];
      img.setPixel(int(x), int(y), qRgb(TIFFGetR(p), TIFFGetG(p), TIFFGetB(p)));
    }
  return img;
}

class GuardarImagenFormato : public ::testing::TestWithParam<const char*> {};

// Every listed format is written and reads back with the greys intact (XBM
// holds one bit a pixel, so only black and white go through it).
TEST_P(GuardarImagenFormato, WritesByExtension) {
  QTemporaryDir dir;
  const QString nombre = dir.filePath(QString("p.") + GetParam());
  const std::vector<uint16_t> v = {0, 255, 255, 0, 0, 255};
  const QImage img = imagenCorte(muestras(v), 3, 2, 0, 255);
  guardarImagen(img, nombre);

  const bool tiff = QString(GetParam()).startsWith("tif", Qt::CaseInsensitive);
  const QImage leida = tiff ? leeTiff(nombre) : QImage(nombre);
  ASSERT_FALSE(leida.isNull());
  ASSERT_EQ(leida.size(), img.size());
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(gris(leida, x, y), gris(img, x, y)) << x << "," << y;
  EXPECT_EQ(contenido(dir.path()), QStringList{QFileInfo(nombre).fileName()});
}

INSTANTIATE_TEST_SUITE_P(Formatos, GuardarImagenFormato,
                         ::testing::Values("png", "bmp", "tif", "tiff", "ppm", "xbm", "xpm", "PNG"));

TEST(GuardarImagen, GreysSurviveALosslessFormat) {
  QTemporaryDir dir;
  std::vector<uint16_t> v(256);
  for (int i = 0; i < 256; ++i) v[std::size_t(i)] = uint16_t(i);
  const QImage img = imagenCorte(muestras(v), 16, 16, 0, 255);
  for (const char* ext : {"png", "tif"}) {
    const QString nombre = dir.filePath(QString("g.") + ext);
    guardarImagen(img, nombre);
    const QImage leida = QString(ext) == "tif" ? leeTiff(nombre) : QImage(nombre);
    for (int x = 0; x < 16; ++x)
      for (int y = 0; y < 16; ++y) ASSERT_EQ(gris(leida, x, y), x * 16 + y) << ext << " " << x << "," << y;
  }
}

TEST(GuardarImagen, FailuresAreReportedAndLeaveNoFile) {
  const std::vector<uint16_t> v(4096, 9);
  const QImage img = imagenCorte(muestras(v), 64, 64, 0, 255);
  struct {
    const char* nombre;
    bool lleno;  // the name leads to a device that refuses every byte
    const char* motivo;
  } casos[] = {{"p.foo", false, "no picture format is known for the extension \"foo\""},
               {"sinextension", false, "no picture format is known"},
               {"no/existe/p.png", false, "cannot be created"},
               {"no/existe/p.tif", false, "cannot be created"},
               {"p.png", true, "cannot be written"},
               {"p.bmp", true, "cannot be written"},
               {"p.tif", true, "cannot be written"}};
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    QTemporaryDir dir;
    const QString nombre = dir.filePath(c.nombre);
    if (c.lleno) enlazaADispositivoLleno(nombre);
    try {
      guardarImagen(img, nombre);
      ADD_FAILURE() << "no error";
    } catch (const ErrorEscritura& e) {
      EXPECT_EQ(e.ruta(), nombre.toStdString());
      EXPECT_THAT(e.motivo(), HasSubstr(c.motivo));
    }
    EXPECT_TRUE(contenido(dir.path()).isEmpty());
  }
}

TEST(GuardarImagen, AnEmptyPictureIsRefused) {
  QTemporaryDir dir;
  EXPECT_THROW(guardarImagen(QImage(), dir.filePath("p.png")), ErrorEscritura);
  EXPECT_TRUE(contenido(dir.path()).isEmpty());
}

class GuardarCortesPrueba : public ::testing::Test {
 protected:
  // Three 2 x 2 slices, each with its own greys through the window 100…355.
  void SetUp() override {
    cubo = cuboUShort(2, 2, {{100, 228, 355, 356}, {99, 100, 228, 355}, {228, 228, 228, 228}},
                      tamanos("1", "1", "1"));
    vista.setInferior(100);
    vista.setSuperior(355);
  }
  QTemporaryDir dir;
  std::unique_ptr<Cubo> cubo;
  EstadoVista vista;
};

TEST_F(GuardarCortesPrueba, EverySliceNumberedThroughTheWindow) {
  testing::internal::CaptureStdout();
  const auto fallos = guardarCortes(*cubo, vista, dir.filePath("a.png"));
  const std::string salida = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(fallos.empty());
  EXPECT_EQ(contenido(dir.path()), (QStringList{"a_0001.png", "a_0002.png", "a_0003.png"}));
  EXPECT_EQ(salida, "Salvando " + dir.filePath("a_0001.png").toStdString() + " \n" + "Salvando " +
                        dir.filePath("a_0002.png").toStdString() + " \n" + "Salvando " +
                        dir.filePath("a_0003.png").toStdString() + " \n");

  const int esperado[3][4] = {{0, 128, 255, 255}, {0, 0, 128, 255}, {128, 128, 128, 128}};
  for (int k = 0; k < 3; ++k) {
    const QImage img(dir.filePath(QString::asprintf("a_%04d.png", k + 1)));
    ASSERT_EQ(img.size(), QSize(2, 2));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(gris(img, i / 2, i % 2), esperado[k][i]) << "corte " << k << " " << i;
  }
}

TEST_F(GuardarCortesPrueba, AFailedSliceDoesNotStopTheOthers) {
  QDir(dir.path()).mkdir("a_0002.png");  // a folder where the second picture goes
  testing::internal::CaptureStdout();
  const auto fallos = guardarCortes(*cubo, vista, dir.filePath("a.png"));
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(fallos.size(), 1u);
  EXPECT_EQ(fallos[0].ruta(), dir.filePath("a_0002.png").toStdString());
  EXPECT_TRUE(QFileInfo(dir.filePath("a_0001.png")).isFile());
  EXPECT_TRUE(QFileInfo(dir.filePath("a_0003.png")).isFile());
}

TEST_F(GuardarCortesPrueba, UnwritableFolderFailsEverySliceAndWritesNothing) {
  testing::internal::CaptureStdout();
  const auto fallos = guardarCortes(*cubo, vista, dir.filePath("no/a.tif"));
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(fallos.size(), 3u);
  EXPECT_EQ(fallos[2].ruta(), dir.filePath("no/a_0003.tif").toStdString());
  EXPECT_TRUE(contenido(dir.path()).isEmpty());
}

TEST_F(GuardarCortesPrueba, NameWithoutExtensionIsCutAllTheSame) {
  testing::internal::CaptureStdout();
  const auto fallos = guardarCortes(*cubo, vista, dir.filePath("cortes"));
  testing::internal::GetCapturedStdout();
  // …/co_0001.tes has no format the writer knows: each slice is reported.
  ASSERT_EQ(fallos.size(), 3u);
  EXPECT_EQ(fallos[0].ruta(), dir.filePath("co_0001.tes").toStdString());
  EXPECT_TRUE(contenido(dir.path()).isEmpty());
}

// Notes every progress call as text.
class ObservadorNota : public ObservadorLectura {
 public:
  std::string notas;
  void progresoInicio(const QString&, const QString& cancelar, int minimo, int maximo) override {
    notas += "inicio " + std::to_string(minimo) + "-" + std::to_string(maximo) +
             (cancelar.isEmpty() ? "" : " cancelable") + ";";
  }
  void progresoValor(int valor) override { notas += std::to_string(valor) + ";"; }
  void progresoFin() override { notas += "fin"; }
};

TEST_F(GuardarCortesPrueba, ProgressGoesOneStepASliceFailuresIncluded) {
  QDir(dir.path()).mkdir("a_0002.png");
  ObservadorNota observador;
  testing::internal::CaptureStdout();
  const auto fallos = guardarCortes(*cubo, vista, dir.filePath("a.png"), observador);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(fallos.size(), 1u);
  EXPECT_EQ(observador.notas, "inicio 0-3;1;2;3;fin");
}

}  // namespace
