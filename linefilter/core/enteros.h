#pragma once

#include <cstdint>
#include <limits>

// Truncation toward zero of a real to an integer, with the results x86 gives
// where C++ leaves the conversion undefined: a value that does not fit, or is
// not a number, gives INT32_MIN (32-bit) or INT64_MIN, whose low 16 bits are 0
// (64-bit). Every real that becomes a position, an index or a sample goes
// through here, so a stray value can never be undefined behaviour.
inline int32_t truncaEntero32(double v) {
  // Written so that a NaN fails the range test.
  if (!(v > -2147483649.0 && v < 2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

inline int64_t truncaEntero64(double v) {
  if (!(v > -9223372036854775808.0 && v < 9223372036854775808.0))
    return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(v);
}

// The low 16 bits of the truncated value: how reals become samples.
inline uint16_t truncaMuestra(double v) { return static_cast<uint16_t>(static_cast<uint64_t>(truncaEntero64(v))); }
