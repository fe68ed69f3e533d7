#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "render.h"

namespace {

Imagen16 columna(std::vector<uint16_t> muestras) {
  Imagen16 im;
  im.ancho = 1;
  im.alto = static_cast<int>(muestras.size());
  im.muestras = std::move(muestras);
  return im;
}

struct CasoVentana {
  int inferior, superior;
  uint16_t muestra;
  int gris;  // the expected red = green = blue
};

std::ostream& operator<<(std::ostream& os, const CasoVentana& c) {
  return os << "L=" << c.inferior << " U=" << c.superior << " v=" << c.muestra << " -> " << c.gris;
}

class Ventana : public ::testing::TestWithParam<CasoVentana> {};

TEST_P(Ventana, MapsTheSampleThroughTheWindow) {
  const CasoVentana c = GetParam();
  const QImage im = renderizaVentana(columna({c.muestra}), c.inferior, c.superior);
  ASSERT_EQ(im.size(), QSize(1, 1));
  EXPECT_EQ(im.pixel(0, 0), qRgb(c.gris, c.gris, c.gris));
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Ventana,
    ::testing::Values(CasoVentana{100, 355, 100, 0}, CasoVentana{100, 355, 355, 255},
                      CasoVentana{100, 355, 227, 127}, CasoVentana{100, 355, 99, 0},
                      CasoVentana{100, 355, 356, 255},
                      // The factor is single precision: 7 * float(255/7) = 254.99998.
                      CasoVentana{0, 7, 7, 254}, CasoVentana{0, 65535, 65535, 255},
                      CasoVentana{0, 65535, 32767, 127},
                      // An empty window: the one sample inside it is black, not NaN.
                      CasoVentana{500, 500, 500, 0}, CasoVentana{500, 500, 501, 255},
                      CasoVentana{500, 500, 499, 0},
                      // A reversed window shows only black and white.
                      CasoVentana{300, 200, 250, 0}, CasoVentana{300, 200, 100, 0},
                      CasoVentana{300, 200, 300, 255}));

TEST(Render, ColumnsTakeConsecutiveSamplesAndEveryPixelIsOpaque) {
  Imagen16 im;
  im.ancho = 3;
  im.alto = 2;
  im.muestras = {1, 2, 3, 4, 5, 6};
  const QImage r = renderizaVentana(im, 0, 255);
  ASSERT_EQ(r.size(), QSize(3, 2));
  EXPECT_EQ(qRed(r.pixel(0, 0)), 1);
  EXPECT_EQ(qRed(r.pixel(0, 1)), 2);
  EXPECT_EQ(qRed(r.pixel(1, 0)), 3);
  EXPECT_EQ(qRed(r.pixel(1, 1)), 4);
  EXPECT_EQ(qRed(r.pixel(2, 0)), 5);
  EXPECT_EQ(qRed(r.pixel(2, 1)), 6);
  for (int x = 0; x < 3; ++x)
    for (int y = 0; y < 2; ++y) EXPECT_EQ(qAlpha(r.pixel(x, y)), 255);
}

// The picture pixel by pixel as the window defines it: the check the
// table-driven, banded render is held to.
QRgb pixelPlano(const Imagen16& b, int x, int y, int inferior, int superior) {
  const std::size_t i = static_cast<std::size_t>(x) * b.alto + y;
  const int v = i < b.muestras.size() ? b.muestras[i] : 0;
  if (v < inferior) return qRgb(0, 0, 0);
  if (v > superior) return qRgb(255, 255, 255);
  const float f = static_cast<float>(255.0 / static_cast<double>(superior - inferior));
  const float p = static_cast<float>(v - inferior) * f;
  const int g = std::isfinite(p) ? static_cast<int>(p) : 0;
  return qRgb(g, g, g);
}

TEST(Render, EveryPixelIsTheWindowsGreyOfItsSampleOnOddShapes) {
  struct Forma {
    int ancho, alto;
  };
  std::mt19937 azar(42);
  for (const Forma f : {Forma{1, 1}, Forma{1, 50}, Forma{50, 1}, Forma{17, 33}, Forma{33, 17}, Forma{300, 7}}) {
    Imagen16 b;
    b.ancho = f.ancho;
    b.alto = f.alto;
    for (int i = 0; i < f.ancho * f.alto; ++i) b.muestras.push_back(static_cast<uint16_t>(azar()));
    for (auto [l, u] : {std::pair{0, 65535}, {1000, 1000}, {300, 40000}, {0, 7}, {50000, 100}}) {
      const QImage im = renderizaVentana(b, l, u);
      for (int x = 0; x < f.ancho; ++x)
        for (int y = 0; y < f.alto; ++y)
          ASSERT_EQ(im.pixel(x, y), pixelPlano(b, x, y, l, u))
              << f.ancho << "x" << f.alto << " L=" << l << " U=" << u << " at " << x << "," << y;
    }
  }
}

// A palette or the inversion laid into the window's table gives the picture
// the grey one recoloured afterwards would be, pixel for pixel.
TEST(Render, ATintInTheTableIsTheGreyPictureRecoloured) {
  std::mt19937 azar(7);
  Paleta paleta;
  for (auto& e : paleta.entradas)
    e = {static_cast<uint16_t>(azar()), static_cast<uint16_t>(azar()), static_cast<uint16_t>(azar())};
  Imagen16 b;
  b.ancho = 37;
  b.alto = 23;
  for (int i = 0; i < b.ancho * b.alto; ++i) b.muestras.push_back(static_cast<uint16_t>(azar()));
  for (auto [l, u] : {std::pair{0, 65535}, {1000, 1000}, {300, 40000}, {0, 7}, {50000, 100}}) {
    QImage conPaleta = renderizaVentana(b, l, u);
    coloreaConPaleta(conPaleta, paleta);
    QImage invertida = renderizaVentana(b, l, u);
    invierteImagen(invertida);
    EXPECT_EQ(renderizaVentana(b, l, u, Tinte{&paleta}), conPaleta) << "L=" << l << " U=" << u;
    EXPECT_EQ(renderizaVentana(b, l, u, Tinte{nullptr, true}), invertida) << "L=" << l << " U=" << u;
  }
}

TEST(Render, ABufferShorterThanItsShapeIsNeverReadPast) {
  Imagen16 im;
  im.ancho = 2;
  im.alto = 2;
  im.muestras = {200};
  const QImage r = renderizaVentana(im, 0, 255);
  EXPECT_EQ(qRed(r.pixel(0, 0)), 200);
  EXPECT_EQ(qRed(r.pixel(1, 1)), 0);
}

// ---- palettes ----

std::string paletaTexto(int marcador, int primero) {
  std::ostringstream s;
  s << marcador;
  for (int k = 0; k < 768; ++k) s << ' ' << (primero + k) % 1000;
  s << '\n';
  return s.str();
}

TEST(Paletas, OneMarkerGivesOnePaletteOfTriples) {
  std::istringstream entrada(paletaTexto(2000, 0));
  LecturaPaletas estado{};
  const TablaPaletas t = parseaPaletas(entrada, &estado);
  EXPECT_EQ(estado, LecturaPaletas::completa);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].entradas[0], (std::array<uint16_t, 3>{0, 1, 2}));
  EXPECT_EQ(t[0].entradas[1], (std::array<uint16_t, 3>{3, 4, 5}));
  EXPECT_EQ(t[0].entradas[255], (std::array<uint16_t, 3>{765, 766, 767}));
}

TEST(Paletas, TenMarkersGiveNinePalettes) {
  std::string texto;
  for (int i = 0; i < 10; ++i) texto += paletaTexto(1101 + i, i);
  std::istringstream entrada(texto);
  const TablaPaletas t = parseaPaletas(entrada);
  ASSERT_EQ(t.size(), 9u);
  EXPECT_EQ(t[8].entradas[0][0], 8);
}

TEST(Paletas, AMarkerInsideAPaletteStartsAnotherOne) {
  // 1100 itself is not a marker; 1101 is, also among the first palette's values.
  std::ostringstream s;
  s << "2000 1100 7 1101 9";
  for (int k = 0; k < 800; ++k) s << " 3";
  std::istringstream entrada(s.str());
  const TablaPaletas t = parseaPaletas(entrada);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].entradas[0], (std::array<uint16_t, 3>{1100, 7, 1101}));
  EXPECT_EQ(t[1].entradas[0], (std::array<uint16_t, 3>{9, 3, 3}));
}

TEST(Paletas, OnlyTheFirst9252NumbersCount) {
  std::ostringstream s;
  for (int i = 0; i < 9250; ++i) s << "0 ";
  s << "5000 7 8 9 10";  // the marker is number 9251; 7 is the last one read
  std::istringstream entrada(s.str());
  const TablaPaletas t = parseaPaletas(entrada);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].entradas[0], (std::array<uint16_t, 3>{7, 0, 0}));
}

TEST(Paletas, ReadingStopsAtTheFirstValueThatIsNotA16BitNumber) {
  struct Caso {
    const char* texto;
    uint16_t rojo, verde;
  };
  const Caso casos[] = {{"2000 1 2 x 3 4", 1, 2}, {"2000 1 2 70000 3 4", 1, 2}, {"2000 1 2 -3 4", 1, 2}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.texto);
    std::istringstream entrada(c.texto);
    LecturaPaletas estado{};
    const TablaPaletas t = parseaPaletas(entrada, &estado);
    EXPECT_EQ(estado, LecturaPaletas::malFormada);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].entradas[0], (std::array<uint16_t, 3>{c.rojo, c.verde, 0}));
    EXPECT_EQ(t[0].entradas[1], (std::array<uint16_t, 3>{0, 0, 0}));
  }
}

TEST(Paletas, AMissingFileGivesNoPalettesAndSaysSo) {
  LecturaPaletas estado{};
  EXPECT_TRUE(leePaletasDe(QStringLiteral("/nonexistent/fichero_datos"), &estado).empty());
  EXPECT_EQ(estado, LecturaPaletas::sinFichero);
}

TEST(Paletas, AFileWithoutMarkersGivesNoPalettes) {
  std::istringstream entrada("1 2 3 1100 4");
  EXPECT_TRUE(parseaPaletas(entrada).empty());
}

TEST(Paletas, RecolouringLooksUpTheGreyLevelAndTakesComponentsModulo256) {
  Paleta p;
  // (11*10 + 16*20 + 5*30) / 32 = 18
  p.entradas[18] = {300, 256, 7};
  QImage im(1, 1, QImage::Format_RGB32);
  im.setPixel(0, 0, qRgb(10, 20, 30));
  coloreaConPaleta(im, p);
  EXPECT_EQ(im.pixel(0, 0), qRgb(44, 0, 7));
  EXPECT_EQ(qAlpha(im.pixel(0, 0)), 255);
}

TEST(Paletas, InversionComplementsEachComponent) {
  QImage im(2, 1, QImage::Format_RGB32);
  im.setPixel(0, 0, qRgb(0, 100, 255));
  im.setPixel(1, 0, qRgb(1, 2, 3));
  invierteImagen(im);
  EXPECT_EQ(im.pixel(0, 0), qRgb(255, 155, 0));
  EXPECT_EQ(im.pixel(1, 0), qRgb(254, 253, 252));
}

// ---- the tool bar's name form ----

TEST(NombreFichero, DropsTheExtensionAndTheFolders) {
  const std::pair<QString, QString> casos[] = {
      {QStringLiteral("/data/ct/img0042.dcm"), QStringLiteral("img0042")},
      {QStringLiteral("scan.hdr"), QStringLiteral("scan")},
      {QStringLiteral("/data/ct/cortes.tiff"), QStringLiteral("cortes.")},
      {QStringLiteral("/a/b/c"), QStringLiteral("a")},
      {QStringLiteral("abc"), QString()},
      {QString::fromUtf8("/tmp/imágenes/corte_ñ.hdr"), QString::fromUtf8("corte_ñ")},
  };
  for (const auto& [ruta, esperado] : casos) EXPECT_EQ(formaNombreFichero(ruta), esperado) << ruta.toStdString();
  EXPECT_EQ(formaNombreFichero(QString::fromUtf8("/tmp/x/corte_ñ.hdr")).toUpper(), QString::fromUtf8("CORTE_Ñ"));
}

}  // namespace
