#include "gradiente.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>

#include "difusion.h"
#include "paralelo.h"

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

namespace {

// The smoothed rows of a flat image, one at a time: row x of the sums
// filtroGradiente makes, each added up in its order (kernel rows a, and in
// each the columns b) from 0.
class Suavizado {
 public:
  Suavizado(const uint16_t* entrada, std::size_t n0, std::size_t n1, int w, double s)
      : entrada_(entrada), n0_(n0), n1_(n1), w_(static_cast<std::size_t>(w)), r_(w - (w + 1) / 2),
        relleno_(n1 + w_), pesos_(w_ * w_) {
    const Filas<double> k = nucleoGaussiano(w, s);
    for (std::size_t a = 0; a < w_; ++a)
      for (std::size_t b = 0; b < w_; ++b) pesos_[a * w_ + b] = k[a][b];
  }

  void fila(std::size_t x, double* suma) {
    std::fill_n(suma, n1_, 0.0);
    for (std::size_t a = 0; a < w_; ++a) {
      // Row x + a of the framed image: the nearest row and column repeated.
      const long i = std::clamp(static_cast<long>(x + a) - r_, 0L, static_cast<long>(n0_) - 1);
      const uint16_t* origen = entrada_ + static_cast<std::size_t>(i) * n1_;
      for (std::size_t t = 0; t + 1 < w_ + n1_; ++t)
        relleno_[t] = origen[std::clamp(static_cast<long>(t) - r_, 0L, static_cast<long>(n1_) - 1)];
      for (std::size_t b = 0; b < w_; ++b) {
        const double peso = pesos_[a * w_ + b];
        const double* desde = relleno_.data() + b;
        for (std::size_t y = 0; y < n1_; ++y) suma[y] += desde[y] * peso;
      }
    }
  }

 private:
  const uint16_t* entrada_;
  std::size_t n0_, n1_, w_;
  long r_;
  std::vector<double> relleno_;
  std::vector<double> pesos_;
};

}  // namespace

void gradienteAU16(const uint16_t* entrada, const Dimensiones& dims, int w, int s, uint16_t* salida) {
  const std::size_t n0 = extension(dims.dim0);
  const std::size_t n1 = extension(dims.dim1);
  if (n0 == 0 || n1 == 0) return;
  if (w <= 0) {
    // Nothing is smoothed into the sums, so every difference is 0.
    std::fill_n(salida, n0 * n1, dobleAU16(0.0));
    return;
  }
  // Each band reads its rows and the one on either side from the input, so
  // the output may only be written once every band has read what it needs.
  std::vector<uint16_t> resultado(n0 * n1);
  enBandas(n0, n1, [&](std::size_t desde, std::size_t hasta) {
    if (desde >= hasta) return;
    Suavizado suavizado(entrada, n0, n1, w, static_cast<double>(s));
    // The smoothed rows x - 1, x and x + 1 for output row x, where they exist.
    std::vector<double> antes(n1), actual(n1), despues(n1);
    if (desde > 0) suavizado.fila(desde - 1, antes.data());
    suavizado.fila(desde, actual.data());
    for (std::size_t x = desde; x < hasta; ++x) {
      if (x + 1 < n0) suavizado.fila(x + 1, despues.data());
      // One-sided at the two ends; along an extent of 1 the difference is 0.
      const double* mas = x + 1 < n0 ? despues.data() : actual.data();
      const double* menos = x > 0 ? antes.data() : actual.data();
      const bool centrada = x > 0 && x + 1 < n0;
      uint16_t* fila = resultado.data() + x * n1;
      for (std::size_t y = 0; y < n1; ++y) {
        const double gi = n0 < 2 ? 0.0 : centrada ? (mas[y] - menos[y]) * 0.5 : mas[y] - menos[y];
        double gj;
        if (n1 < 2) gj = 0.0;
        else if (y == 0) gj = actual[1] - actual[0];
        else if (y == n1 - 1) gj = actual[n1 - 1] - actual[n1 - 2];
        else gj = (actual[y + 1] - actual[y - 1]) * 0.5;
        fila[y] = dobleAU16(std::sqrt(gj * gj + gi * gi));
      }
      std::swap(antes, actual);
      std::swap(actual, despues);
    }
  });
  std::copy(resultado.begin(), resultado.end(), salida);
}
