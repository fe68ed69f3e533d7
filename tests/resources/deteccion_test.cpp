#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <numeric>
#include <fstream>
#include <set>
#include <vector>

#include "pipeline.h"

namespace fs = std::filesystem;

namespace {

// The sample volume is there to show the line detector at work: its default
// run on the first slice must find the vessels as a handful of straight
// segments, along more than one direction.
TEST(RecursosFantomaDeteccion, DefaultRunFindsTheVesselsOfTheFirstSlice) {
  constexpr int kAncho = 256, kAlto = 256;
  std::ifstream img(fs::path(OSMAVU_RUN_DIR) / "sample" / "phantom.img", std::ios::binary);
  std::vector<uint16_t> corte(static_cast<std::size_t>(kAncho) * kAlto);
  for (uint16_t& v : corte) {
    unsigned char b[2];
    img.read(reinterpret_cast<char*>(b), 2);
    v = static_cast<uint16_t>(b[0] | b[1] << 8);
  }
  ASSERT_TRUE(img);
  const std::vector<uint16_t> original = corte;

  // The parameters of the filter dialog as it opens.
  const MapaParametros parametros = {
      {"nAng", "128"},   {"lLine", "75"},        {"lMinLine", "40"}, {"speed", "2"},
      {"minSize", "50"}, {"maxSize", "100000"},  {"nBins", "10"},    {"tipoOutput", "n"},
      {"nIts", "25"},    {"s", "1"},             {"w", "2"},         {"th", "150"},
      {"dl", "t"}};
  QTemporaryDir datos;
  ASSERT_TRUE(datos.isValid());
  Dimensiones dims{kAncho, kAlto};
  procesaImagen(corte.data(), &dims, parametros, datos.path().toStdString());

  std::ifstream longitudes(fs::path(datos.path().toStdString()) / "dataLen.dat");
  int n = -1;
  ASSERT_TRUE(longitudes >> n);
  EXPECT_GE(n, 4);
  EXPECT_LE(n, 400);
  for (int k = 0; k < n; ++k) {
    double l = 0;
    ASSERT_TRUE(longitudes >> l);
    EXPECT_GT(l, 40.0);
  }

  std::ifstream angulos(fs::path(datos.path().toStdString()) / "dataAng.dat");
  int m = -1;
  ASSERT_TRUE(angulos >> m);
  EXPECT_EQ(m, n);
  std::set<int> direcciones;
  for (int k = 0; k < m; ++k) {
    double a = 0;
    ASSERT_TRUE(angulos >> a);
    direcciones.insert(static_cast<int>(a / 30.0));
  }
  EXPECT_GE(direcciones.size(), 3u);

  // The segments are painted over the unprocessed slice.
  const auto pintados = std::inner_product(corte.begin(), corte.end(), original.begin(), 0L,
                                           std::plus<>(), std::not_equal_to<>());
  EXPECT_GT(pintados, 4 * 40);
}

}  // namespace
