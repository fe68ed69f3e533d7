#include "enteros.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

// The shortcut must agree with the library floor everywhere, the edges of the
// 32-bit range, negative fractions and what is not a number included.
TEST(PisoEntero32, IsTheTruncatedFloorEverywhere) {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> valores = {0.0, -0.0, 0.5, -0.5, 1.0, -1.0, -1.0000001, 2.9999999, -3.5,
                                 2147483647.0, 2147483647.9, 2147483648.0, 2147483648.5,
                                 -2147483648.0, -2147483648.5, -2147483649.0, -2147483647.5,
                                 1e300, -1e300, inf, -inf, std::nan(""), 4.9e-324, -4.9e-324};
  std::mt19937_64 azar(5);
  std::uniform_real_distribution<double> cerca(-5000, 5000);
  for (int i = 0; i < 10000; ++i) valores.push_back(cerca(azar));
  for (double v : valores) EXPECT_EQ(pisoEntero32(v), truncaEntero32(std::floor(v))) << v;
}

}  // namespace
