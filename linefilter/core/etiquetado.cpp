#include "etiquetado.h"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <iostream>
#include <utility>

namespace {

std::size_t numMuestras(const Dimensiones* dims) {
  if (dims->dim0 <= 0 || dims->dim1 <= 0) return 0;
  return static_cast<std::size_t>(dims->dim0) * static_cast<std::size_t>(dims->dim1);
}

}  // namespace

int creceRegion(uint16_t* imagen, const Dimensiones* dims, int fila, int columna, int etiqueta,
                int valor) {
  const int filas = dims->dim0;
  const int columnas = dims->dim1;
  const auto muestra = [&](int r, int c) -> uint16_t& {
    return imagen[static_cast<std::size_t>(r) * static_cast<std::size_t>(columnas) +
                  static_cast<std::size_t>(c)];
  };

  muestra(fila, columna) = static_cast<uint16_t>(etiqueta);
  int tamano = 0;
  std::deque<std::pair<int, int>> cola;
  std::pair<int, int> actual{fila, columna};
  for (;;) {
    const auto [r, c] = actual;
    const int r0 = std::max(r - 1, 0), r1 = std::min(r + 1, filas - 1);
    const int c0 = std::max(c - 1, 0), c1 = std::min(c + 1, columnas - 1);
    for (int rr = r0; rr <= r1; ++rr) {
      for (int cc = c0; cc <= c1; ++cc) {
        uint16_t& m = muestra(rr, cc);
        if (m == valor) {
          m = static_cast<uint16_t>(etiqueta);
          cola.emplace_back(rr, cc);
          ++tamano;
        }
      }
    }
    // The growth ends here by design: whatever is still unmarked is picked up
    // again by the caller's scan as further regions.
    if (r == filas - 2 && c == columnas - 2) {
      std::cout << "entro lim\n";
      break;
    }
    if (cola.empty()) break;
    actual = cola.front();
    cola.pop_front();
  }
  return tamano;
}

ListaRegiones etiquetaRegiones(uint16_t* imagen, const Dimensiones* dims, int valor) {
  // Labels are written straight into the image: a sample once labelled no
  // longer equals the value, so the scan grows each region exactly once, from
  // its first sample in storage order.
  const std::size_t n = numMuestras(dims);
  ListaRegiones lista;
  const int columnas = dims->dim1;
  int etiqueta = valor + 1;
  for (std::size_t i = 0; i < n; ++i) {
    if (imagen[i] != valor) continue;
    if (etiqueta > 65535) {
      std::cerr << "Region labelling stopped: no 16-bit label is left after "
                << lista.numRegiones << " regions; the remaining samples of value " << valor
                << " stay unlabelled\n";
      break;
    }
    const int fila = static_cast<int>(i / static_cast<std::size_t>(columnas));
    const int columna = static_cast<int>(i % static_cast<std::size_t>(columnas));
    const int tamano = creceRegion(imagen, dims, fila, columna, etiqueta, valor);
    lista.etiquetas.push_back(etiqueta);
    lista.tamanos.push_back(tamano);
    ++lista.numRegiones;
    ++etiqueta;
  }
  return lista;
}

ListaRegiones filtraTamano(const ListaRegiones& lista, int maxSize, int minSize) {
  ListaRegiones filtrada;
  for (int k = 0; k < lista.numRegiones; ++k) {
    const int tamano = lista.tamanos[k];
    if (tamano > minSize && tamano < maxSize) {
      filtrada.etiquetas.push_back(lista.etiquetas[k]);
      filtrada.tamanos.push_back(tamano);
      ++filtrada.numRegiones;
    }
  }
  std::cout << "N lista= " << filtrada.numRegiones << '\n';
  return filtrada;
}
