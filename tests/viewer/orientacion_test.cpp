#include <vector>

#include <gtest/gtest.h>

#include "orientacion.h"

namespace {

Imagen16 forma(int ancho, int alto) {
  Imagen16 im;
  im.ancho = ancho;
  im.alto = alto;
  for (int i = 0; i < ancho * alto; ++i) im.muestras.push_back(static_cast<uint16_t>(i + 1));
  return im;
}

uint16_t en(const Imagen16& im, int x, int y) { return im.muestras[x * im.alto + y]; }

bool iguales(const Imagen16& a, const Imagen16& b) {
  return a.ancho == b.ancho && a.alto == b.alto && a.muestras == b.muestras;
}

TEST(Orientacion, MirrorsOfA3x2Slice) {
  const Imagen16 im = forma(3, 2);  // 1, 2, 3, 4, 5, 6
  EXPECT_EQ(espejoVertical(im).muestras, (std::vector<uint16_t>{2, 1, 4, 3, 6, 5}));
  EXPECT_EQ(espejoHorizontal(im).muestras, (std::vector<uint16_t>{5, 6, 3, 4, 1, 2}));
  EXPECT_TRUE(iguales(espejoVertical(espejoVertical(im)), im));
  EXPECT_TRUE(iguales(espejoHorizontal(espejoHorizontal(im)), im));
}

TEST(Orientacion, ClockwiseTurnTakesTheTopLeftCornerToTheTopRight) {
  const Imagen16 im = forma(4, 2);
  const Imagen16 g = giraDerecha(im);
  ASSERT_EQ(g.ancho, 2);
  ASSERT_EQ(g.alto, 4);
  EXPECT_EQ(en(g, 1, 0), en(im, 0, 0));  // top-left -> top-right
  EXPECT_EQ(en(g, 1, 3), en(im, 3, 0));  // top-right -> bottom-right
  EXPECT_EQ(en(g, 0, 0), en(im, 0, 1));  // bottom-left -> top-left
  for (int x = 0; x < g.ancho; ++x)
    for (int y = 0; y < g.alto; ++y) EXPECT_EQ(en(g, x, y), en(im, y, im.alto - 1 - x));
}

TEST(Orientacion, CounterClockwiseTurnTakesTheTopLeftCornerToTheBottomLeft) {
  const Imagen16 im = forma(4, 2);
  const Imagen16 g = giraIzquierda(im);
  ASSERT_EQ(g.ancho, 2);
  ASSERT_EQ(g.alto, 4);
  EXPECT_EQ(en(g, 0, 3), en(im, 0, 0));
  for (int x = 0; x < g.ancho; ++x)
    for (int y = 0; y < g.alto; ++y) EXPECT_EQ(en(g, x, y), en(im, im.ancho - 1 - y, x));
}

TEST(Orientacion, FourTurnsGiveTheSliceBackThroughAlternatingShapes) {
  const Imagen16 im = forma(4, 2);
  Imagen16 g = im;
  const int anchos[] = {2, 4, 2, 4};
  for (int i = 0; i < 4; ++i) {
    g = giraDerecha(g);
    EXPECT_EQ(g.ancho, anchos[i]);
    EXPECT_EQ(g.alto, 8 / anchos[i]);
  }
  EXPECT_TRUE(iguales(g, im));
  EXPECT_TRUE(iguales(giraIzquierda(giraDerecha(im)), im));
  EXPECT_TRUE(iguales(giraDerecha(giraDerecha(im)), espejoVertical(espejoHorizontal(im))));
}

TEST(Orientacion, AnEmptyBufferStaysEmpty) {
  Imagen16 vacia;
  EXPECT_TRUE(giraDerecha(vacia).muestras.empty());
  EXPECT_TRUE(espejoHorizontal(vacia).muestras.empty());
}

}  // namespace
