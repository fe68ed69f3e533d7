#include "normalizacion.h"

#include <cstddef>
#include <cstdint>
#include <iostream>

namespace {

std::size_t numMuestras(const Dimensiones& d) {
  if (d.dim0 <= 0 || d.dim1 <= 0) return 0;
  return static_cast<std::size_t>(d.dim0) * static_cast<std::size_t>(d.dim1);
}

// Truncation toward zero to 32 bits; NaN and values out of range give
// INT32_MIN, whose low 16 bits are 0 (so a stretch of a uniform image, 0 times
// an infinite scale, gives 0).
int32_t truncaA32(float v) {
  const double d = v;
  if (!(d > -2147483649.0 && d < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(d);
}

uint16_t bajos16(int64_t v) { return static_cast<uint16_t>(static_cast<uint64_t>(v)); }

}  // namespace

void minMaxImagen(const uint16_t* imagen, const Dimensiones& dims, int& maximo, int& minimo) {
  maximo = 0;
  minimo = 65535;
  const std::size_t n = numMuestras(dims);
  for (std::size_t i = 0; i < n; ++i) {
    if (imagen[i] > maximo) maximo = imagen[i];
    if (imagen[i] < minimo) minimo = imagen[i];
  }
}

Histograma histograma(const uint16_t* imagen, const Dimensiones& dims) {
  int maximo = 0;
  int minimo = 0;
  minMaxImagen(imagen, dims, maximo, minimo);
  Histograma h;
  h.nBins = maximo + 1;
  h.valores.resize(h.nBins);
  h.cuentas.assign(h.nBins, 0);
  for (int b = 0; b < h.nBins; ++b) h.valores[b] = b;
  const std::size_t n = numMuestras(dims);
  for (std::size_t i = 0; i < n; ++i) ++h.cuentas[imagen[i]];
  return h;
}

void normalizaCDF(uint16_t* imagen, const Dimensiones& dims, int salidaMin, int salidaMax,
                  int porcentaje) {
  const std::size_t n = numMuestras(dims);
  const Histograma h = histograma(imagen, dims);
  // 64-bit so that a large image times the percentage cannot overflow.
  const int64_t umbral = static_cast<int64_t>(n) * porcentaje / 100;

  int bajo = salidaMax;
  int64_t suma = 0;
  for (int b = 0; b < h.nBins; ++b) {
    suma += h.cuentas[b];
    if (suma > umbral) {
      bajo = h.valores[b];
      break;
    }
  }
  std::cout << "MIN CDF: " << bajo << std::endl;

  // Bin 0 stays out of the upper cut: a mostly black image keeps its scale.
  int alto = salidaMax;
  suma = 0;
  for (int b = h.nBins - 1; b >= 1; --b) {
    suma += h.cuentas[b];
    if (suma > umbral) {
      alto = h.valores[b];
      break;
    }
  }
  std::cout << "MAX CDF: " << alto << std::endl;

  const float escala = static_cast<float>(int64_t{salidaMax} - salidaMin) /
                       static_cast<float>(int64_t{alto} - bajo);
  const float base = static_cast<float>(salidaMin);
  for (std::size_t i = 0; i < n; ++i) {
    const int v = imagen[i];
    if (v < bajo)
      imagen[i] = bajos16(salidaMin);
    else if (v <= alto)
      imagen[i] = bajos16(truncaA32(static_cast<float>(v - bajo) * escala + base));
    else
      imagen[i] = bajos16(salidaMax);
  }
}

void umbralizacion(uint16_t* imagen, const Dimensiones& dims, int th) {
  int maximo = 0;
  int minimo = 0;
  minMaxImagen(imagen, dims, maximo, minimo);
  std::cout << "MAX MIN " << maximo << " " << minimo << std::endl;
  const std::size_t n = numMuestras(dims);
  for (std::size_t i = 0; i < n; ++i)
    imagen[i] = static_cast<uint16_t>(imagen[i] > th ? maximo : minimo);
}
