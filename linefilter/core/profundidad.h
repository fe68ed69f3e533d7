#pragma once

#include <cstdint>
#include <vector>

// For every pixel of a slice of C columns and R rows (pixel (x, y) at
// y*C + x): the chessboard distance to the nearest pixel holding another
// value or lying outside the grid, at least 1, capped at 65535. A pixel at
// depth D has its own value on every pixel less than D away, so a walk of
// unit steps from it meets only that value for its next D - 2 steps (the
// pixel of a step m further on is at most m + 1 away, one for rounding).
std::vector<uint16_t> profundidades(const uint16_t* imagen, int columnas, int filas);
