#include "poda.h"

#include <cmath>
#include <cstddef>
#include <iostream>

#include "enteros.h"

namespace {

constexpr double kPi = 3.1415926536;
constexpr double kFraccionFondo = 0.2;
constexpr int kTolerancia = 5;
constexpr int kToleranciaMismoSigno = 20;

// -1 from the vertical on (its tangent is huge, and a floor that does not fit
// 32 bits counts as negative), +1 for directions below it.
int claseSigno(const Segmento& s) {
  const double f = std::floor(s.pendiente);
  if (!(f >= -2147483648.0 && f <= 2147483647.0)) return -1;
  return f < 0 ? -1 : 1;
}

// The erase rule shared by both passes, for a redundant pair i < j. Returns
// true when the inner loop ends; otherwise it goes on at the same j.
bool borraRedundante(std::deque<Segmento>& lista, int& i, int j) {
  if (lista[j].longitud > lista[i].longitud) {
    lista.erase(lista.begin() + i);
    // The element that moved into position i is compared as an earlier
    // segment again only when j was not the last one.
    if (j < static_cast<int>(lista.size())) --i;
    return true;
  }
  lista.erase(lista.begin() + j);
  return false;
}

}  // namespace

bool esFondo(const uint16_t* imagen, const Dimensiones* dims, int x, int y) {
  const int columnas = dims->dim0;
  const int filas = dims->dim1;
  if (!(x > 0 && x < columnas && y > 0 && y < filas)) return false;
  return imagen[static_cast<std::size_t>(y) * static_cast<std::size_t>(columnas) + static_cast<std::size_t>(x)] <=
         255;
}

bool cruzaFondo(const uint16_t* imagen, const Dimensiones* dims, PuntoReal p, PuntoReal q, int tol) {
  const double d = std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y));
  const int lim = truncaEntero32(std::floor(kFraccionFondo * d));
  const int pasos = truncaEntero32(std::floor(d));
  if (!(pasos > 0)) return false;
  const int columnas = dims->dim0;
  const int filas = dims->dim1;
  int aciertos = 0;
  for (int k = 0; k < pasos; ++k) {
    const int x = truncaEntero32(std::floor((q.x - p.x) * k / d + p.x));
    const int y = truncaEntero32(std::floor((q.y - p.y) * k / d + p.y));
    if (x > 0 && x < columnas && y > 0 && y < filas && esFondo(imagen, dims, x, y)) {
      ++aciertos;
      if (aciertos > tol && aciertos > lim) return true;
    }
  }
  return false;
}

bool redundantes(const uint16_t* imagen, const Dimensiones* dims, const Segmento& a,
                 const Segmento& b, int tol) {
  const bool inicios = cruzaFondo(imagen, dims, {a.x1, a.y1}, {b.x1, b.y1}, tol);
  const bool finales = inicios && cruzaFondo(imagen, dims, {a.x2, a.y2}, {b.x2, b.y2}, tol);
  return !(inicios && finales);
}

std::deque<Segmento> optimiza0(const uint16_t* imagen, const Dimensiones* dims,
                               std::deque<Segmento> lista) {
  for (int i = 0; i < static_cast<int>(lista.size()); ++i) {
    for (int j = i + 1; j < static_cast<int>(lista.size());) {
      const Segmento& si = lista[i];
      const Segmento& sj = lista[j];
      if (claseSigno(si) * claseSigno(sj) >= 0 && redundantes(imagen, dims, si, sj, kTolerancia)) {
        if (borraRedundante(lista, i, j)) break;
        continue;
      }
      ++j;
    }
  }
  return lista;
}

std::deque<Segmento> optimiza1(const uint16_t* imagen, const Dimensiones* dims,
                               std::deque<Segmento> lista, double paso) {
  for (int i = 0; i < static_cast<int>(lista.size()); ++i) {
    for (int j = i + 1; j < static_cast<int>(lista.size());) {
      const Segmento& si = lista[i];
      const Segmento& sj = lista[j];
      const double dTheta = std::fabs(si.angulo - sj.angulo);
      if (dTheta <= paso || dTheta >= kPi - paso) {
        const int signo = claseSigno(si) * claseSigno(sj);
        std::cout << "signo: " << signo << '\n';
        const int tol = signo < 0 ? kTolerancia : kToleranciaMismoSigno;
        if (redundantes(imagen, dims, si, sj, tol)) {
          if (borraRedundante(lista, i, j)) break;
          continue;
        }
      }
      ++j;
    }
  }
  return lista;
}
