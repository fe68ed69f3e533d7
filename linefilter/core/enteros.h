#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Truncation toward zero of a real to a 32-bit int, with the result x86 gives
// where C++ leaves the conversion undefined: a value that does not fit, or is
// not a number, gives INT32_MIN. Every real that becomes a position or an
// index in the detector goes through here.
inline int32_t truncaEntero32(double v) {
  // Written so that a NaN fails the range test.
  if (!(v > -2147483649.0 && v < 2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// truncaEntero32(std::floor(v)), without the library call where v is in
// range: truncation, one less for a negative value with a fraction.
inline int32_t pisoEntero32(double v) {
  if (v >= -2147483648.0 && v < 2147483648.0) {
    const int32_t t = static_cast<int32_t>(v);
    return t - (static_cast<double>(t) > v ? 1 : 0);
  }
  return truncaEntero32(std::floor(v));
}
