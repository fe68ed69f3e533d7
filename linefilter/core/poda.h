#pragma once

#include <cstdint>
#include <deque>

#include "segmentos.h"
#include "tipos.h"

// Pruning of one region's segments against the labelled slice (labels >= 256
// on region samples), dims reading {C, R}. Of a redundant pair the shorter is
// erased; of two equally long ones, the later. The linked passes may be
// given the slice's depths (profundidades) to step over region interiors;
// the result is the same with or without them.

// Compares every pair whose slopes lean the same way, tolerance 5.
std::deque<Segmento> optimiza0(const uint16_t* imagen, const Dimensiones* dims,
                               std::deque<Segmento> segmentos, const uint16_t* profundidad = nullptr);

// Compares every pair whose directions differ by at most `paso` (or are that
// close to opposite), printing "signo: " for each; tolerance 5 across the
// vertical, 20 otherwise.
std::deque<Segmento> optimiza1(const uint16_t* imagen, const Dimensiones* dims,
                               std::deque<Segmento> segmentos, double paso,
                               const uint16_t* profundidad = nullptr);

// The same passes erasing from the list itself, position by position, as the
// rules read: the check the linked passes above are held to.
std::deque<Segmento> optimiza0Referencia(const uint16_t* imagen, const Dimensiones* dims,
                                         std::deque<Segmento> segmentos);
std::deque<Segmento> optimiza1Referencia(const uint16_t* imagen, const Dimensiones* dims,
                                         std::deque<Segmento> segmentos, double paso);

// Two segments are distinct only when both the path between their starts and
// the path between their ends cross background.
bool redundantes(const uint16_t* imagen, const Dimensiones* dims, const Segmento& a,
                 const Segmento& b, int tol, const uint16_t* profundidad = nullptr);

struct PuntoReal {
  double x = 0;
  double y = 0;
};

// True when more than max(tol, floor(0.2 d)) of the floor(d) samples of the
// path from p toward q are background. With the slice's depths, samples
// that cannot be background are stepped over.
bool cruzaFondo(const uint16_t* imagen, const Dimensiones* dims, PuntoReal p, PuntoReal q, int tol,
                const uint16_t* profundidad = nullptr);

// Inside the grid, off column 0 and row 0, and holding no region label.
bool esFondo(const uint16_t* imagen, const Dimensiones* dims, int x, int y);
