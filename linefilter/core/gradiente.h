#pragma once

#include <cstdint>
#include <vector>

#include "tipos.h"

// Rows form of an image: element [i][j] is sample (i, j); the row count is
// dim0 and the row length dim1.
template <class T>
using Filas = std::vector<std::vector<T>>;

// A copy of a flat image in rows form.
Filas<uint16_t> aFilas(const uint16_t* imagen, const Dimensiones& dims);

// A rows form of the given size, every element 0. A negative size counts as 0.
template <class T>
Filas<T> nuevasFilas(int filas, int columnas) {
  const std::size_t nf = filas > 0 ? static_cast<std::size_t>(filas) : 0;
  const std::size_t nc = columnas > 0 ? static_cast<std::size_t>(columnas) : 0;
  return Filas<T>(nf, std::vector<T>(nc));
}

// w x w Gaussian weights of standard deviation sigma, normalised to sum 1.
// The coordinates are a - (w-1)/2, so an even kernel is not centred: with
// w = 2 the largest weight is at [0][0].
Filas<double> nucleoGaussiano(int w, double sigma);

// The image framed by r samples on every side, each repeating the nearest
// edge sample. An image without samples gives a frame of zeros.
Filas<uint16_t> rellenaReplicando(const Filas<uint16_t>& filas, const Dimensiones& dims, int r);

// Central differences inside, one-sided ones at the edges; along an extent of
// 1 the difference is 0.
Filas<double> gradienteMagnitud(const Filas<double>& imagen, const Dimensiones& dims);

// Gaussian smoothing with a w x w kernel of deviation s, then the gradient
// magnitude. The result is not limited to 16 bits.
Filas<double> filtroGradiente(const Filas<uint16_t>& filas, const Dimensiones& dims, int w, int s);

// filtroGradiente of the flat image (dim0 rows of dim1 samples) with every
// value converted by dobleAU16, written to salida, which may be entrada
// itself: the same arithmetic in the same order, a few rows at a time and
// over bands of rows side by side, without the rows forms.
void gradienteAU16(const uint16_t* entrada, const Dimensiones& dims, int w, int s, uint16_t* salida);
