// Depths in a region must be the chessboard distance to the nearest other
// value or to outside the grid: the walks trust them to skip samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "profundidad.h"

namespace {

int profundidadPlana(const std::vector<uint16_t>& v, int c, int r, int x, int y) {
  int mejor = std::min({x + 1, y + 1, c - x, r - y});  // the first step outside the grid
  for (int yy = 0; yy < r; ++yy)
    for (int xx = 0; xx < c; ++xx)
      if (v[yy * c + xx] != v[y * c + x]) mejor = std::min(mejor, std::max(std::abs(xx - x), std::abs(yy - y)));
  return mejor;
}

TEST(Profundidades, AreTheDistanceToAnotherValueOrTheEdge) {
  struct Forma {
    int c, r;
  };
  std::mt19937 azar(11);
  for (const Forma f : {Forma{1, 1}, Forma{1, 9}, Forma{9, 1}, Forma{2, 2}, Forma{23, 17}, Forma{40, 31}}) {
    for (int densidad : {1, 20, 400}) {
      std::vector<uint16_t> v(static_cast<std::size_t>(f.c) * f.r, 300);
      for (auto& m : v)
        if (static_cast<int>(azar() % 1000) < densidad) m = static_cast<uint16_t>(azar() % 3);
      const std::vector<uint16_t> d = profundidades(v.data(), f.c, f.r);
      ASSERT_EQ(d.size(), v.size());
      for (int y = 0; y < f.r; ++y)
        for (int x = 0; x < f.c; ++x)
          ASSERT_EQ(d[y * f.c + x], profundidadPlana(v, f.c, f.r, x, y))
              << f.c << "x" << f.r << " density " << densidad << " at " << x << "," << y;
    }
  }
}

TEST(Profundidades, AnEmptySliceHasNone) { EXPECT_TRUE(profundidades(nullptr, 0, 5).empty()); }

}  // namespace
