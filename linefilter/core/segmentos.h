#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <map>

#include "tipos.h"

// One straight segment in the detection frame (x along the columns, y along
// the rows; angles in radians from +x toward +y).
struct Segmento {
  double cx = 0, cy = 0;
  double x1 = 0, y1 = 0;
  double x2 = 0, y2 = 0;
  double longitud = 0;
  double angulo = 0;
  double pendiente = 0;
  int etiqueta = 0;
  bool valido = false;

  // A record without a segment.
  Segmento() = default;
  // A found segment: valid, with the slope of its angle; start, end and label
  // are set afterwards.
  Segmento(double cx, double cy, double longitud, double angulo);
};

// Segments grouped by region, keys 0, 1, ... without gaps.
using MapaSegmentos = std::map<int, std::deque<Segmento>>;

// How the search runs: `porCajas` finds each region's pixels and outline once,
// stops a ray where it leaves its region's outline and prunes over linked
// lists; `completo` scans the whole slice for every region, walks every ray to
// the grid's edge and erases from the lists in place, the plain reading kept
// to check the other against. Both give the same result.
enum class Recorrido { porCajas, completo };

// The inclusive box of a region's pixels.
struct CajaRegion {
  int x0 = std::numeric_limits<int>::max(), y0 = std::numeric_limits<int>::max();
  int x1 = -1, y1 = -1;
};

// Where a region lies: the box of its pixels and, for eight directions u
// (angles 0, pi/8, ..., 7pi/8), the least and greatest u.p over the corners
// of its pixel squares: a convex outline holding every pixel of the region.
struct ContornoRegion {
  static constexpr std::size_t kDirecciones = 8;
  static const std::array<double, 2>& direccion(std::size_t m);

  ContornoRegion();
  void incluye(int x, int y);

  CajaRegion caja;
  std::array<double, kDirecciones> minimo, maximo;
};

// Finds the straight segments inside the 255-valued regions of the slice.
// dims reads {C, R}: R rows of C samples, sample (x, y) at y*C + x. On return
// the slice holds region labels and dims reads {C, R} again. A speed of 0 or
// less is taken as 1 (said on stderr).
MapaSegmentos hallaSegmentos(uint16_t* imagen, Dimensiones* dims, int speed, int nAng,
                             int lMinLine, int minSize, int maxSize,
                             Recorrido recorrido = Recorrido::porCajas);

// Casts the ray from pixel (x0, y0) in direction theta through the region
// `etiqueta`; the record is valid only when the ray met more than minRun
// matching samples (one more than each run's length) before leaving the grid.
Segmento trazaSegmento(const uint16_t* imagen, const Dimensiones* dims, int x0, int y0,
                       double theta, int minRun, int etiqueta);

// The widest vector lanes the detection may use where the machine has them:
// 16, 8 or 0 for none. Every width gives the same results; this lets the
// narrower ones be checked on a machine with wider ones.
void limitaCarriles(int carriles);

// Groups the segments by label: key g holds, in input order, the segments of
// label lo + g, lo being the smallest label present; unused labels in between
// give empty groups.
MapaSegmentos agrupaPorEtiqueta(std::deque<Segmento> segmentos);
