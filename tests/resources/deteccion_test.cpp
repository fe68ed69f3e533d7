#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <numeric>
#include <fstream>
#include <vector>

#include "pipeline.h"

namespace fs = std::filesystem;

namespace {

// The sample volume is there to show the line detector at work: its default
// run on the first slice must find every vessel as a straight segment.
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

  const fs::path carpeta = datos.path().toStdString();
  std::ifstream longitudes(carpeta / "dataLen.dat");
  std::ifstream angulos(carpeta / "dataAng.dat");
  int n = -1, m = -1;
  ASSERT_TRUE(longitudes >> n);
  ASSERT_TRUE(angulos >> m);
  ASSERT_EQ(m, n);
  // A handful: the vessels and a few chords of the body outline, not a
  // region of noise cut into hundreds of pieces.
  EXPECT_GE(n, 6);
  EXPECT_LE(n, 60);
  struct Hallado {
    double longitud, grados;
  };
  std::vector<Hallado> hallados(std::max(n, 0));
  for (Hallado& h : hallados) {
    ASSERT_TRUE(longitudes >> h.longitud);
    ASSERT_TRUE(angulos >> h.grados);
    EXPECT_GT(h.longitud, 40.0);
  }

  // Each vessel of the slice, as drawn: direction in the picture (degrees from
  // +x toward +y) and length. The detector works on the transposed slice, so
  // it reports a vessel at 90 degrees minus its picture direction.
  struct Vaso {
    double grados, longitud;
  } vasos[] = {{0, 100}, {90, 110}, {30, 100}, {135, 62}, {62, 76}, {160, 60}};
  for (const Vaso& v : vasos) {
    const double esperado = std::fmod(90.0 - v.grados + 180.0, 180.0);
    const bool visto = std::any_of(hallados.begin(), hallados.end(), [&](const Hallado& h) {
      const double diferencia = std::abs(h.grados - esperado);
      return std::min(diferencia, 180.0 - diferencia) < 4.0 && std::abs(h.longitud - v.longitud) < 12.0;
    });
    EXPECT_TRUE(visto) << "vessel at " << v.grados << " degrees, " << v.longitud << " long";
  }

  // The segments are painted over the unprocessed slice.
  const auto pintados = std::inner_product(corte.begin(), corte.end(), original.begin(), 0L,
                                           std::plus<>(), std::not_equal_to<>());
  EXPECT_GT(pintados, 4 * 40);
}

}  // namespace
