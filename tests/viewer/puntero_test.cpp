#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <QImage>

#include "puntero.h"

namespace {

struct CasoPosicion {
  const char* nombre;
  double ex, ey;
  int hs, vs, mh, th;
  double zoom;
  int x, y;
};

const CasoPosicion kPosiciones[] = {
    {"plain", 10, 80, 0, 0, 25, 35, 1.0, 10, 20},
    {"scrolled", 10, 80, 7, 3, 25, 35, 1.0, 17, 23},
    {"zoomed in truncates", 21, 103, 0, 0, 25, 35, 2.0, 10, 21},
    {"zoomed out", 10, 70, 0, 0, 25, 35, 0.8, 12, 12},
    // Above the picture: the row is negative, and truncation goes toward
    // zero, so -0.5 reads row 0 rather than -1.
    {"toward zero", 3, 59, 0, 0, 25, 35, 2.0, 1, 0},
    {"above the picture", 3, 40, 0, 0, 25, 35, 1.0, 3, -20},
};

void PrintTo(const CasoPosicion& c, std::ostream* os) { *os << c.nombre; }

class Posicion : public testing::TestWithParam<CasoPosicion> {};

TEST_P(Posicion, ScrollBarsMenuAndToolBarAndZoom) {
  const CasoPosicion& c = GetParam();
  const QPoint p = posicionEnImagen(c.ex, c.ey, c.hs, c.vs, c.mh, c.th, c.zoom);
  EXPECT_EQ(p.x(), c.x) << c.nombre;
  EXPECT_EQ(p.y(), c.y) << c.nombre;
}

INSTANTIATE_TEST_SUITE_P(Casos, Posicion, testing::ValuesIn(kPosiciones),
                         [](const auto& info) {
                           std::string n = info.param.nombre;
                           for (char& ch : n)
                             if (ch == ' ') ch = '_';
                           return n;
                         });

TEST(Puntero, InsideIsStrictOnBothSides) {
  EXPECT_TRUE(dentroDeImagen(1, 1, 4, 3));
  EXPECT_TRUE(dentroDeImagen(3, 2, 4, 3));
  EXPECT_FALSE(dentroDeImagen(0, 1, 4, 3));
  EXPECT_FALSE(dentroDeImagen(1, 0, 4, 3));
  EXPECT_FALSE(dentroDeImagen(4, 1, 4, 3));
  EXPECT_FALSE(dentroDeImagen(1, 3, 4, 3));
  EXPECT_FALSE(dentroDeImagen(-1, 1, 4, 3));
  EXPECT_FALSE(dentroDeImagen(1, 1, 0, 0));
}

TEST(Puntero, ReadOutTextsWithTheirBlanks) {
  EXPECT_EQ(textoLectura(2, 10, 20, 1234, "CT").toStdString(),
            "Slice=3    x=10   y=20          HU=1234");
  EXPECT_EQ(textoLectura(2, 10, 20, 1234, "MR").toStdString(),
            "Slice=3    x=10   y=20          Gray Level=1234");
  // Only exactly "CT" reads in Hounsfield units; the sample is shown as the
  // unsigned number it is, never rescaled or signed.
  EXPECT_EQ(textoLectura(0, 1, 1, 65535, "ct").toStdString(),
            "Slice=1    x=1   y=1          Gray Level=65535");
  EXPECT_EQ(textoLectura(0, 1, 1, 64536, "CT ").toStdString(),
            "Slice=1    x=1   y=1          Gray Level=64536");
  EXPECT_EQ(textoLectura(0, 1, 1, 0, "").toStdString(), "Slice=1    x=1   y=1          Gray Level=0");
  EXPECT_EQ(textoRadio(9, 4, 5).toStdString(), "Radio=9    x=4   y=5");
}

QImage gris(int ancho, int alto) {
  QImage im(ancho, alto, QImage::Format_RGB32);
  im.fill(qRgb(7, 7, 7));
  return im;
}

// The picture as text, 'R' for opaque red and '.' for anything else.
std::string mapa(const QImage& im) {
  std::string s;
  for (int y = 0; y < im.height(); ++y) {
    for (int x = 0; x < im.width(); ++x) s += im.pixel(x, y) == qRgba(255, 0, 0, 255) ? 'R' : '.';
    s += '\n';
  }
  return s;
}

TEST(Puntero, CrosshairColoursOneRowAndOneColumn) {
  QImage im = gris(5, 4);
  dibujaCruz(im, 1, 2);
  EXPECT_EQ(mapa(im),
            ".R...\n"
            ".R...\n"
            "RRRRR\n"
            ".R...\n");
}

TEST(Puntero, MarkIsFourByFourAndClippedAtTheBorder) {
  QImage im = gris(6, 5);
  dibujaMarca(im, 3, 2);
  EXPECT_EQ(mapa(im),
            ".RRRR.\n"
            ".RRRR.\n"
            ".RRRR.\n"
            ".RRRR.\n"
            "......\n");
  QImage esquina = gris(4, 3);
  dibujaMarca(esquina, 1, 1);
  EXPECT_EQ(mapa(esquina),
            "RRR.\n"
            "RRR.\n"
            "RRR.\n");
  QImage lejos = gris(3, 3);
  dibujaMarca(lejos, 40, -40);
  EXPECT_EQ(mapa(lejos), "...\n...\n...\n");
}

TEST(Puntero, RectangleOutlineIsBlue) {
  QImage im = gris(6, 6);
  dibujaRectangulo(im, 4, 4, 1, 1);  // corners in either order
  EXPECT_EQ(im.pixel(1, 1), qRgb(0, 0, 255));
  EXPECT_EQ(im.pixel(4, 4), qRgb(0, 0, 255));
  EXPECT_EQ(im.pixel(1, 3), qRgb(0, 0, 255));
  EXPECT_EQ(im.pixel(2, 2), qRgb(7, 7, 7));  // inside stays
  EXPECT_EQ(im.pixel(0, 0), qRgb(7, 7, 7));
  EXPECT_EQ(im.pixel(5, 5), qRgb(7, 7, 7));
}

TEST(Puntero, CircleCursorSideIsTruncatedAndCapped) {
  EXPECT_EQ(ladoCursorCirculo(1.0, 8), 8);
  EXPECT_EQ(ladoCursorCirculo(1.25, 9), 11);  // 11.25
  EXPECT_EQ(ladoCursorCirculo(30.0, 500), kLadoMaximoCursor);
  EXPECT_EQ(ladoCursorCirculo(0.00333, 8), 0);
  EXPECT_EQ(ladoCursorCirculo(1e300, 500), kLadoMaximoCursor);
  EXPECT_EQ(ladoCursorCirculo(-2.0, 8), 0);
}

TEST(PuntosManualesTest, KeepsTwentyFivePointsAndIgnoresTheRest) {
  PuntosManuales p;
  for (int i = 0; i < PuntosManuales::kMaximo; ++i) EXPECT_TRUE(p.anade(i, 2 * i, 3));
  EXPECT_FALSE(p.anade(999, 999, 9));
  EXPECT_EQ(p.cuantos(), 25);
  EXPECT_EQ(p.punto(24).x, 24);
  EXPECT_EQ(p.punto(24).y, 48);
  const auto borde = p.borde();
  ASSERT_EQ(borde->numPuntos(), 25);
  ASSERT_EQ(borde->puntos().size(), 25u);
  EXPECT_EQ(borde->puntos().back().x, 24);
  EXPECT_EQ(borde->maxY(), 48);

  p.vacia();
  EXPECT_EQ(p.cuantos(), 0);
  EXPECT_TRUE(p.anade(5, 6, 7));
  EXPECT_EQ(p.punto(0).z, 7);
}

TEST(PuntosManualesTest, HandOverLinesAndEdgeInClickOrder) {
  PuntosManuales p;
  p.anade(10, 20, 0);
  p.anade(3, 4, 2);
  std::ostringstream salida;
  p.escribe(salida);
  EXPECT_EQ(salida.str(),
            "N PUNTOS: 4\n"
            "COORDENADA Z   0\n"
            "Coordenadas set  10    20   0\n"
            "COORDENADA Z   2\n"
            "Coordenadas set  3    4   2\n");
  const auto borde = p.borde();
  ASSERT_EQ(borde->numPuntos(), 2);
  EXPECT_EQ(borde->puntos()[0].x, 10);
  EXPECT_EQ(borde->puntos()[0].y, 20);
  EXPECT_EQ(borde->puntos()[1].z, 2);

  std::ostringstream vacia;
  PuntosManuales().escribe(vacia);
  EXPECT_EQ(vacia.str(), "N PUNTOS: 0\n");
}

}  // namespace
