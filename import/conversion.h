#pragma once

#include <memory>

#include "cubo.h"

// The 16-bit display volumes derived from a read volume, which stays as it is.
// Both share the source's geometry and copy its attributes; a missing pixel
// size attribute raises the standard out-of-range error.

// Each slice stretched from its own limits to 0..65535; the new limits are 0
// and 65535. A slice whose limits are equal becomes all 0.
std::unique_ptr<Cubo> escalarA16Bits(const Cubo& volumen);
// Each sample v becomes 65535 - v; the slices keep the source's limits.
std::unique_ptr<Cubo> invertir16Bits(const Cubo& volumen);
