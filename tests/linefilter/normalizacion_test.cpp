#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "normalizacion.h"

namespace {

// The pipeline's stretch; returns what it logged.
std::string estira(std::vector<uint16_t>& img, Dimensiones d) {
  testing::internal::CaptureStdout();
  normalizaCDF(img.data(), d, 0, 255, 5);
  return testing::internal::GetCapturedStdout();
}

std::string umbraliza(std::vector<uint16_t>& img, Dimensiones d, int th) {
  testing::internal::CaptureStdout();
  umbralizacion(img.data(), d, th);
  return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(MinMaxImagen, FindsTheExtremesAndStartsFromTheFullRange) {
  const std::vector<uint16_t> img = {400, 3, 65535, 17};
  int maximo = -1, minimo = -1;
  minMaxImagen(img.data(), {2, 2}, maximo, minimo);
  EXPECT_EQ(maximo, 65535);
  EXPECT_EQ(minimo, 3);
  minMaxImagen(nullptr, {0, 7}, maximo, minimo);
  EXPECT_EQ(maximo, 0);
  EXPECT_EQ(minimo, 65535);
}

TEST(Histograma, OneBinPerValueUpToTheLargest) {
  const std::vector<uint16_t> img = {3, 0, 3, 5, 3, 1};
  const Histograma h = histograma(img.data(), {2, 3});
  EXPECT_EQ(h.nBins, 6);
  EXPECT_EQ(h.valores, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(h.cuentas, (std::vector<int>{1, 1, 0, 3, 0, 1}));
  const Histograma vacio = histograma(nullptr, {0, 0});
  EXPECT_EQ(vacio.nBins, 1);
  EXPECT_EQ(vacio.cuentas, std::vector<int>{0});
}

TEST(NormalizaCDF, CutsFivePercentOffEachEnd) {
  std::vector<uint16_t> img(100);
  for (int v = 0; v < 100; ++v) img[v] = static_cast<uint16_t>(v);
  EXPECT_EQ(estira(img, {10, 10}), "MIN CDF: 5\nMAX CDF: 94\n");
  struct Caso {
    int de;
    int a;
  } casos[] = {{0, 0}, {4, 0}, {5, 0}, {6, 2}, {50, 128}, {93, 252}, {94, 255}, {95, 255}, {99, 255}};
  for (const Caso& c : casos) EXPECT_EQ(img[c.de], c.a) << "sample " << c.de;
}

TEST(NormalizaCDF, MostlyZeroImageKeepsItsScale) {
  // 96 of 100 samples are 0: the upper cut is never reached and falls back
  // to 255, the lower one is 0, so the scale is 1.
  std::vector<uint16_t> img(100, 0);
  img[10] = 10;
  img[20] = 200;
  img[30] = 255;
  img[40] = 3000;
  EXPECT_EQ(estira(img, {4, 25}), "MIN CDF: 0\nMAX CDF: 255\n");
  EXPECT_EQ(img[10], 10);
  EXPECT_EQ(img[20], 200);
  EXPECT_EQ(img[30], 255);
  EXPECT_EQ(img[40], 255);
  EXPECT_EQ(img[0], 0);
}

TEST(NormalizaCDF, UniformImageBecomesZero) {
  for (uint16_t v : {uint16_t{77}, uint16_t{65535}}) {
    std::vector<uint16_t> img(12, v);
    const std::string texto = std::to_string(v);
    EXPECT_EQ(estira(img, {3, 4}), "MIN CDF: " + texto + "\nMAX CDF: " + texto + "\n");
    EXPECT_EQ(img, std::vector<uint16_t>(12, 0)) << v;
  }
  std::vector<uint16_t> negro(12, 0);
  EXPECT_EQ(estira(negro, {3, 4}), "MIN CDF: 0\nMAX CDF: 255\n");
  EXPECT_EQ(negro, std::vector<uint16_t>(12, 0));
}

TEST(NormalizaCDF, OtherOutputRange) {
  // 20 samples, cut 1: lower cut 1 (after one 0), upper cut 9 (after one 10).
  std::vector<uint16_t> img = {0, 1, 1, 2, 3, 4, 5, 5, 5, 5, 5, 6, 6, 7, 8, 8, 9, 9, 9, 10};
  testing::internal::CaptureStdout();
  normalizaCDF(img.data(), {4, 5}, 100, 1100, 5);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "MIN CDF: 1\nMAX CDF: 9\n");
  EXPECT_EQ(img[0], 100);
  EXPECT_EQ(img[1], 100);
  EXPECT_EQ(img[5], 100 + 375);   // (4-1)*125
  EXPECT_EQ(img[16], 1100);
  EXPECT_EQ(img[19], 1100);
}

TEST(NormalizaCDF, EmptyImage) {
  std::vector<uint16_t> img;
  EXPECT_EQ(estira(img, {0, 0}), "MIN CDF: 255\nMAX CDF: 255\n");
  EXPECT_EQ(estira(img, {-3, 4}), "MIN CDF: 255\nMAX CDF: 255\n");
}

TEST(Umbralizacion, TwoValuesFromTheImageExtremes) {
  std::vector<uint16_t> img = {0, 255, 150, 151, 40, 255};
  EXPECT_EQ(umbraliza(img, {2, 3}, 150), "MAX MIN 255 0\n");
  EXPECT_EQ(img, (std::vector<uint16_t>{0, 255, 0, 255, 0, 255}));

  // The first sample is the unique minimum and still gives the low value.
  std::vector<uint16_t> otra = {3, 200, 100, 160, 150, 90};
  EXPECT_EQ(umbraliza(otra, {3, 2}, 150), "MAX MIN 200 3\n");
  EXPECT_EQ(otra, (std::vector<uint16_t>{3, 200, 3, 200, 3, 3}));
}

TEST(Umbralizacion, UniformImageKeepsItsValue) {
  for (int th : {0, 42, 150, 1000}) {
    std::vector<uint16_t> img(6, 42);
    EXPECT_EQ(umbraliza(img, {2, 3}, th), "MAX MIN 42 42\n");
    EXPECT_EQ(img, std::vector<uint16_t>(6, 42)) << th;
  }
}

TEST(Umbralizacion, EmptyImage) {
  std::vector<uint16_t> img;
  EXPECT_EQ(umbraliza(img, {0, 4}, 150), "MAX MIN 0 65535\n");
}
