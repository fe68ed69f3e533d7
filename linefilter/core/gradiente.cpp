#include "gradiente.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>

namespace {

// Guards against a rows form that does not hold the extents it comes with.
void compruebaFilas(const auto& forma, std::size_t filas, std::size_t columnas) {
  if (forma.size() < filas) throw std::invalid_argument("rows form shorter than its extents");
  for (std::size_t i = 0; i < filas; ++i)
    if (forma[i].size() < columnas) throw std::invalid_argument("row shorter than its extents");
}

std::size_t extension(int d) { return d > 0 ? static_cast<std::size_t>(d) : 0; }

// Added to both divisors so that a deviation of 0 gives a one-hot kernel
// instead of dividing by 0.
constexpr double kEpsilon = 2.2204e-16;

}  // namespace

Filas<uint16_t> aFilas(const uint16_t* imagen, const Dimensiones& dims) {
  const std::size_t n0 = extension(dims.dim0);
  const std::size_t n1 = extension(dims.dim1);
  Filas<uint16_t> filas(n0);
  for (std::size_t i = 0; i < n0; ++i) filas[i].assign(imagen + i * n1, imagen + (i + 1) * n1);
  return filas;
}

Filas<double> nucleoGaussiano(int w, double sigma) {
  Filas<double> g = nuevasFilas<double>(w, w);
  if (w <= 0) return g;
  const int medio = (w - 1) / 2;
  const double denominador = sigma * 2 * sigma + kEpsilon;
  double suma = 0.0;
  for (int a = 0; a < w; ++a) {
    const int ca = a - medio;
    for (int b = 0; b < w; ++b) {
      const int cb = b - medio;
      g[a][b] = std::exp(-static_cast<double>(cb * cb + ca * ca) / denominador);
      suma += g[a][b];
    }
  }
  const double total = suma + kEpsilon;
  for (auto& fila : g)
    for (double& v : fila) v /= total;
  return g;
}

Filas<uint16_t> rellenaReplicando(const Filas<uint16_t>& filas, const Dimensiones& dims, int r) {
  const long p0 = std::max(0L, long{dims.dim0} + 2L * r);
  const long p1 = std::max(0L, long{dims.dim1} + 2L * r);
  Filas<uint16_t> p = nuevasFilas<uint16_t>(static_cast<int>(p0), static_cast<int>(p1));
  if (dims.dim0 <= 0 || dims.dim1 <= 0) return p;
  compruebaFilas(filas, extension(dims.dim0), extension(dims.dim1));
  for (long i = 0; i < p0; ++i) {
    const auto& origen = filas[std::clamp(i - r, 0L, long{dims.dim0} - 1)];
    for (long j = 0; j < p1; ++j) p[i][j] = origen[std::clamp(j - r, 0L, long{dims.dim1} - 1)];
  }
  return p;
}

Filas<double> gradienteMagnitud(const Filas<double>& a, const Dimensiones& dims) {
  const std::size_t n0 = extension(dims.dim0);
  const std::size_t n1 = extension(dims.dim1);
  compruebaFilas(a, n0, n1);
  Filas<double> resultado = nuevasFilas<double>(dims.dim0, dims.dim1);
  // One-sided at the two ends; a single sample along an index has no
  // neighbour to differ from, so its difference is 0.
  auto diferencia = [](std::size_t k, std::size_t n, auto valor) -> double {
    if (n < 2) return 0.0;
    if (k == 0) return valor(1) - valor(0);
    if (k == n - 1) return valor(n - 1) - valor(n - 2);
    return (valor(k + 1) - valor(k - 1)) * 0.5;
  };
  for (std::size_t i = 0; i < n0; ++i) {
    for (std::size_t j = 0; j < n1; ++j) {
      const double gj = diferencia(j, n1, [&](std::size_t q) { return a[i][q]; });
      const double gi = diferencia(i, n0, [&](std::size_t p) { return a[p][j]; });
      resultado[i][j] = std::sqrt(gj * gj + gi * gi);
    }
  }
  return resultado;
}

Filas<double> filtroGradiente(const Filas<uint16_t>& filas, const Dimensiones& dims, int w, int s) {
  const Filas<double> k = nucleoGaussiano(w, static_cast<double>(s));
  const int r = w - (w + 1) / 2;
  const Filas<uint16_t> p = rellenaReplicando(filas, dims, r);

  const std::size_t n0 = extension(dims.dim0);
  const std::size_t n1 = extension(dims.dim1);
  Filas<double> suavizada = nuevasFilas<double>(dims.dim0, dims.dim1);
  if (w > 0) {
    // The window of output (x, y) starts r samples before it, at P[x][y]:
    // centred for odd w, one sample toward the lower indices for even w.
    for (std::size_t x = 0; x < n0; ++x) {
      for (std::size_t y = 0; y < n1; ++y) {
        double acumulado = 0.0;
        for (int a = 0; a < w; ++a) {
          const auto& fila = p[x + a];
          for (int b = 0; b < w; ++b)
            acumulado += static_cast<double>(fila[y + b]) * k[a][b];
        }
        suavizada[x][y] = acumulado;
      }
    }
  }
  return gradienteMagnitud(suavizada, dims);
}
