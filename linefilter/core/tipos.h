#pragma once

#include <string>
#include <unordered_map>

// Extents of the one 2-D image every filter works on: the sample at outer
// index i (< dim0) and inner index j (< dim1) lies at i*dim1 + j.
struct Dimensiones {
  int dim0 = 0;
  int dim1 = 0;
};

// The run's parameters. A key's presence switches a stage on; inserting a key
// that is present keeps the present value.
using MapaParametros = std::unordered_map<std::string, std::string>;

// A parameter as the standard text-to-int conversion reads it (base 10,
// leading blanks and sign, trailing text ignored). Throws std::invalid_argument
// "invalid stoi argument" or std::out_of_range "stoi argument out of range".
int aEntero(const std::string& texto);

// The value under a key; an absent key reads as the empty text.
std::string parametro(const MapaParametros& mapa, const std::string& clave);

#include <vector>

// Counts per bin: the image histograms of the stretch, and the length and
// angle histograms of the result files.
struct Histograma {
  int nBins = 0;
  std::vector<int> valores;
  std::vector<int> cuentas;
};
