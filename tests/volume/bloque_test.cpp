#include "bloque.h"

#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "corte.h"
#include "cubo.h"

namespace {

// Below and above the size the block is advised for huge pages at: both
// paths must hand out disjoint slices that outlive the block object.
class BloqueDeCortes : public ::testing::TestWithParam<std::size_t> {};

TEST_P(BloqueDeCortes, CortesDisjuntosQueSobrevivenAlBloqueYASusVecinos) {
  const std::size_t n = GetParam();
  constexpr std::size_t kCortes = 3;
  std::vector<std::shared_ptr<int16_t[]>> cortes;
  {
    const BloqueCortes<int16_t> bloque(n, kCortes);
    for (std::size_t c = 0; c < kCortes; ++c) {
      int16_t* d = bloque.corte(c);
      for (std::size_t k = 0; k < n; ++k) d[k] = static_cast<int16_t>(c * 1000 + k % 997);
    }
    for (std::size_t c = 0; c < kCortes; ++c) cortes.push_back(bloque.comparte(c));
  }
  // The first and last slices go; the middle one must still read back whole.
  cortes.front().reset();
  cortes.back().reset();
  const int16_t* medio = cortes[1].get();
  for (std::size_t k = 0; k < n; ++k) ASSERT_EQ(medio[k], static_cast<int16_t>(1000 + k % 997)) << k;
}

INSTANTIATE_TEST_SUITE_P(Tamanos, BloqueDeCortes, ::testing::Values(std::size_t{1}, std::size_t{4096},
                                                                  std::size_t{3} << 20));

TEST(BloqueCortes, TamanoQueNoCabeEsFaltaDeMemoria) {
  const std::size_t enorme = std::numeric_limits<std::size_t>::max() / 2;
  EXPECT_THROW(BloqueCortes<int16_t>(enorme, 3), std::bad_alloc);
}

TEST(BloqueCortes, CubosCuyosCortesSeReemplazanUnoAUno) {
  // A viewer replaces slices of an opened volume one at a time (rotation,
  // adding); the block must live on while any of its slices does.
  Geometria g = nuevaGeometria(2, 2);
  auto cubo = std::make_unique<Cubo>(g, 2, AttributeMap{});
  {
    const BloqueCortes<int16_t> bloque(4, 2);
    for (std::size_t c = 0; c < 2; ++c)
      for (std::size_t k = 0; k < 4; ++k) bloque.corte(c)[k] = static_cast<int16_t>(10 * c + k);
    for (int c = 0; c < 2; ++c)
      cubo->ponCorte(std::make_unique<CorteShort>(bloque.comparte(std::size_t(c)), 0, 13, g), c);
  }
  cubo->ponCorte(std::make_unique<CorteShort>(std::make_unique<int16_t[]>(4), 0, 0, g), 0);
  const auto muestras = cubo->corte(1)->comoShort();
  EXPECT_EQ(std::vector<int16_t>(muestras.begin(), muestras.end()), (std::vector<int16_t>{10, 11, 12, 13}));
}

}  // namespace
