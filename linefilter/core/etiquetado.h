#pragma once

#include <cstdint>
#include <vector>

#include "tipos.h"

// The regions of one labelling, in the order they were found. The size of a
// region counts its samples other than its seed.
struct ListaRegiones {
  int numRegiones = 0;
  std::vector<int> etiquetas;
  std::vector<int> tamanos;
};

// Labels the 8-connected regions of samples equal to `valor` with valor + 1,
// valor + 2, ... in storage order and writes the labels into the image. dims
// reads {rows, columns}. Labelling stops, with a line on stderr, when the
// 16-bit store has no label left; the remaining samples keep `valor`.
ListaRegiones etiquetaRegiones(uint16_t* imagen, const Dimensiones* dims, int valor);

// Grows one region breadth-first from the seed (already equal to `valor`),
// marking its samples with `etiqueta`; returns the number of samples added
// besides the seed. Ends early, printing "entro lim", once the position at
// row R - 2, column C - 2 has been processed.
int creceRegion(uint16_t* imagen, const Dimensiones* dims, int fila, int columna, int etiqueta,
                int valor);

// The regions with minSize < size < maxSize, in list order.
ListaRegiones filtraTamano(const ListaRegiones& lista, int maxSize, int minSize);
