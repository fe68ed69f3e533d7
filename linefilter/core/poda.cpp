#include "poda.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iostream>
#include <vector>

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

namespace {

constexpr int kBloque = 8;

// The walk's positions along one axis for samples k ... k + kBloque - 1, each
// (b - a) k / d + a as the walk computes it. The divisions, the slow part of
// a sample, run side by side, and no sample waits for the last one's pixel.
[[gnu::target_clones("avx2", "default")]] void posicionesBloque(double a, double b, double d, int k, double* v) {
  for (int l = 0; l < kBloque; ++l) v[l] = (b - a) * (static_cast<double>(k) + l) / d + a;
}

}  // namespace

bool cruzaFondo(const uint16_t* imagen, const Dimensiones* dims, PuntoReal p, PuntoReal q, int tol,
                const uint16_t* profundidad) {
  const double d = std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y));
  const int lim = truncaEntero32(std::floor(kFraccionFondo * d));
  const int pasos = truncaEntero32(std::floor(d));
  if (!(pasos > 0)) return false;
  const int columnas = dims->dim0;
  const int filas = dims->dim1;
  int aciertos = 0;
  double xs[kBloque], ys[kBloque];
  for (int k = 0; k < pasos;) {
    posicionesBloque(p.x, q.x, d, k, xs);
    posicionesBloque(p.y, q.y, d, k, ys);
    const int n = std::min(kBloque, pasos - k);
    int siguiente = k + n;
    for (int l = 0; l < n; ++l) {
      const int x = pisoEntero32(xs[l]);
      const int y = pisoEntero32(ys[l]);
      if (x > 0 && x < columnas && y > 0 && y < filas && esFondo(imagen, dims, x, y)) {
        ++aciertos;
        if (aciertos > tol && aciertos > lim) return true;
      } else if (profundidad && x >= 0 && x < columnas && y >= 0 && y < filas) {
        // Deep inside a region the next samples are region too: skip them.
        const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(columnas) +
                              static_cast<std::size_t>(x);
        const int salto = imagen[i] > 255 ? std::max(0, profundidad[i] - 2) : 0;
        if (salto > 0) {
          siguiente = static_cast<int>(std::min<long long>(static_cast<long long>(k) + l + 1 + salto, pasos));
          break;
        }
      }
    }
    k = siguiente;
  }
  return false;
}

bool redundantes(const uint16_t* imagen, const Dimensiones* dims, const Segmento& a,
                 const Segmento& b, int tol, const uint16_t* profundidad) {
  const bool inicios = cruzaFondo(imagen, dims, {a.x1, a.y1}, {b.x1, b.y1}, tol, profundidad);
  const bool finales = inicios && cruzaFondo(imagen, dims, {a.x2, a.y2}, {b.x2, b.y2}, tol, profundidad);
  return !(inicios && finales);
}

namespace {

// The plain reading of a pruning pass: pairs i < j by position in the list,
// erasing from the list itself.
template <typename Redundante>
std::deque<Segmento> podaPorPosiciones(std::deque<Segmento> lista, Redundante redundante) {
  for (int i = 0; i < static_cast<int>(lista.size()); ++i) {
    for (int j = i + 1; j < static_cast<int>(lista.size());) {
      if (redundante(lista[i], lista[j])) {
        if (borraRedundante(lista, i, j)) break;
        continue;
      }
      ++j;
    }
  }
  return lista;
}

// The same pass over a linked list of the segments: an erasure unlinks one
// element instead of moving every later one, and each position rule of the
// plain reading becomes a step along the links. After the earlier segment of
// a pair is erased the pass goes on from the element that moved into its
// place, or, when the later one was the last, from the one after that.
template <typename Redundante>
std::deque<Segmento> podaEnlazada(std::deque<Segmento> lista, Redundante redundante) {
  const int n = static_cast<int>(lista.size());
  const int fin = n;
  std::vector<int> siguiente(static_cast<std::size_t>(n)), anterior(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) {
    siguiente[k] = k + 1;
    anterior[k] = k - 1;
  }
  int primero = n > 0 ? 0 : fin;
  std::vector<bool> vivo(static_cast<std::size_t>(n), true);
  auto borra = [&](int k) {
    if (anterior[k] >= 0) siguiente[anterior[k]] = siguiente[k];
    else primero = siguiente[k];
    if (siguiente[k] != fin) anterior[siguiente[k]] = anterior[k];
    vivo[k] = false;
  };
  for (int i = primero; i != fin;) {
    int proximo = -1;
    for (int j = siguiente[i]; j != fin;) {
      if (!redundante(lista[i], lista[j])) {
        j = siguiente[j];
        continue;
      }
      if (lista[j].longitud > lista[i].longitud) {
        const bool ultimo = siguiente[j] == fin;
        const int sucesor = siguiente[i];
        borra(i);
        proximo = ultimo ? siguiente[sucesor] : sucesor;
        break;
      }
      const int despues = siguiente[j];
      borra(j);
      j = despues;
    }
    i = proximo >= 0 ? proximo : siguiente[i];
  }
  std::deque<Segmento> quedan;
  for (int k = 0; k < n; ++k)
    if (vivo[k]) quedan.push_back(std::move(lista[k]));
  return quedan;
}

auto criterio0(const uint16_t* imagen, const Dimensiones* dims, const uint16_t* profundidad = nullptr) {
  return [=](const Segmento& si, const Segmento& sj) {
    return claseSigno(si) * claseSigno(sj) >= 0 && redundantes(imagen, dims, si, sj, kTolerancia, profundidad);
  };
}

auto criterio1(const uint16_t* imagen, const Dimensiones* dims, double paso,
               const uint16_t* profundidad = nullptr) {
  return [=](const Segmento& si, const Segmento& sj) {
    const double dTheta = std::fabs(si.angulo - sj.angulo);
    if (!(dTheta <= paso || dTheta >= kPi - paso)) return false;
    const int signo = claseSigno(si) * claseSigno(sj);
    std::cout << "signo: " << signo << '\n';
    const int tol = signo < 0 ? kTolerancia : kToleranciaMismoSigno;
    return redundantes(imagen, dims, si, sj, tol, profundidad);
  };
}

}  // namespace

std::deque<Segmento> optimiza0(const uint16_t* imagen, const Dimensiones* dims,
                               std::deque<Segmento> lista, const uint16_t* profundidad) {
  return podaEnlazada(std::move(lista), criterio0(imagen, dims, profundidad));
}

std::deque<Segmento> optimiza1(const uint16_t* imagen, const Dimensiones* dims,
                               std::deque<Segmento> lista, double paso, const uint16_t* profundidad) {
  return podaEnlazada(std::move(lista), criterio1(imagen, dims, paso, profundidad));
}

std::deque<Segmento> optimiza0Referencia(const uint16_t* imagen, const Dimensiones* dims,
                                         std::deque<Segmento> lista) {
  return podaPorPosiciones(std::move(lista), criterio0(imagen, dims));
}

std::deque<Segmento> optimiza1Referencia(const uint16_t* imagen, const Dimensiones* dims,
                                         std::deque<Segmento> lista, double paso) {
  return podaPorPosiciones(std::move(lista), criterio1(imagen, dims, paso));
}
