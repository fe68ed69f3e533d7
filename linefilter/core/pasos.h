#pragma once

#include <cstdint>
#include <vector>

// Where the samples of the rays at one angle fall relative to their start
// pixel. A ray from the integer pixel (x0, y0) puts sample k at
// (x0 + k cos t, y0 + k sin t) in doubles, and its pixel is the floor of
// each; x0 + floor(k cos t) is that floor unless the rounded sum reaches the
// next integer, which needs k cos t within a few units of the last place
// below one. Those k are rare (on a 2048-pixel slice the product must lie
// within 2e-12 below an integer) and end the table: from `largo` on a ray
// computes its samples itself. So for k < largo the offsets are exact for
// every start pixel of a slice whose sides are at most `lado`, wherever a
// sample can fall on the slice.
struct PasosAngulo {
  // Entries past largo, of no meaning, for readers that take sixteen at a time.
  static constexpr int kRelleno = 16;

  double cos = 1, sin = 0;
  int largo = 0;
  std::vector<int32_t> dx, dy;  // largo + kRelleno entries
};

// The table of angle theta for samples 0 ... largoMaximo - 1 at most, on
// slices of at most lado columns and rows.
PasosAngulo pasosAngulo(double theta, int largoMaximo, int lado);
