#include "difusion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <iostream>
#include <limits>
#include <stdexcept>
#include <thread>

namespace {

std::size_t numMuestras(const Dimensiones& d) {
  if (d.dim0 <= 0 || d.dim1 <= 0) return 0;
  return static_cast<std::size_t>(d.dim0) * static_cast<std::size_t>(d.dim1);
}

constexpr int kDirecciones = 8;

// Difference kernels in the order N, S, W, E, NE, SE, SW, NW: -1 at the
// centre, +1 at the neighbour ([a][b], a along the outer index).
const std::array<Filas<float>, kDirecciones>& nucleosDiferencia() {
  static const std::array<Filas<float>, kDirecciones> nucleos = [] {
    constexpr int vecino[kDirecciones][2] = {{0, 1}, {2, 1}, {1, 0}, {1, 2},
                                             {0, 2}, {2, 2}, {2, 0}, {0, 0}};
    std::array<Filas<float>, kDirecciones> k;
    for (int d = 0; d < kDirecciones; ++d) {
      k[d] = nuevasFilas<float>(3, 3);
      k[d][1][1] = -1.0f;
      k[d][vecino[d][0]][vecino[d][1]] = 1.0f;
    }
    return k;
  }();
  return nucleos;
}

// 1/(paso*paso) as an integer quotient; a step of 0 has no meaning as a grid
// spacing and weighs nothing instead of dividing by zero.
float pesoEje(int paso) {
  const int64_t cuadrado = int64_t{paso} * paso;
  return cuadrado == 0 ? 0.0f : static_cast<float>(1 / cuadrado);
}

}  // namespace

std::vector<float> correlacionEnmascarada(const float* imagen, const Dimensiones& dims,
                                          const Filas<float>& nucleo, int k) {
  if (k < 0 || nucleo.size() < static_cast<std::size_t>(k))
    throw std::invalid_argument("kernel smaller than its size");
  for (int a = 0; a < k; ++a)
    if (nucleo[a].size() < static_cast<std::size_t>(k))
      throw std::invalid_argument("kernel smaller than its size");

  const std::size_t n = numMuestras(dims);
  std::vector<float> salida(n);
  if (n == 0) return salida;

  const std::size_t n0 = static_cast<std::size_t>(dims.dim0);
  const std::size_t n1 = static_cast<std::size_t>(dims.dim1);
  const std::size_t r = static_cast<std::size_t>(k / 2);
  const std::size_t ancho = n1 + 2 * r;
  // The frame of -1 is never counted, so a window at the border averages over
  // the samples inside the image only.
  std::vector<float> p((n0 + 2 * r) * ancho, -1.0f);
  for (std::size_t i = 0; i < n0; ++i)
    for (std::size_t j = 0; j < n1; ++j) p[(i + r) * ancho + j + r] = imagen[i * n1 + j];

  for (std::size_t i = 0; i < n0; ++i) {
    for (std::size_t j = 0; j < n1; ++j) {
      float suma = 0.0f;
      int cuenta = 0;
      for (int a = 0; a < k; ++a) {
        const float* fila = &p[(i + a) * ancho + j];
        for (int b = 0; b < k; ++b) {
          const float v = fila[b];
          // Zero, the frame and NaN all fail this test.
          if (v > 0.0f) {
            suma += v * nucleo[a][b];
            ++cuenta;
          }
        }
      }
      salida[i * n1 + j] = suma / static_cast<float>(cuenta);
    }
  }
  return salida;
}

std::vector<float> sumaPonderada8(int dx, int dy, double dd, const Dimensiones& dims,
                                  const float* fN, const float* fS, const float* fW,
                                  const float* fE, const float* fNE, const float* fSE,
                                  const float* fSW, const float* fNW) {
  const float wy = pesoEje(dy);
  const float wx = pesoEje(dx);
  const float wd = static_cast<float>(1.0 / (dd * dd));
  const std::size_t n = numMuestras(dims);
  std::vector<float> s(n);
  for (std::size_t i = 0; i < n; ++i)
    s[i] = wy * fN[i] + wy * fS[i] + wx * fW[i] + wx * fE[i] + wd * fNE[i] + wd * fSE[i] +
           wd * fSW[i] + wd * fNW[i];
  return s;
}

namespace {

// The run's opening lines; false for an option without a conduction, which
// leaves the image as it is.
bool anunciaDifusion(int iteraciones, int opcion, int kappa, double delta_t) {
  std::cout << "Anisotropico devuelve float" << std::endl;
  std::cout << "iteraciones " << iteraciones << std::endl;
  std::cout << "opcion " << opcion << std::endl;
  std::cout << "kappa " << kappa << std::endl;
  std::cout << "delta_t " << delta_t << std::endl;
  if (opcion == 1 || opcion == 2) return true;
  std::cerr << "difusionAnisotropica: conduction option " << opcion
            << " unknown, image left unsmoothed" << std::endl;
  return false;
}

// The conduction of one difference, as both readings compute it.
inline float conduccion(float gradiente, float kappaF, int opcion) {
  const float t = gradiente / kappaF;
  const float q = t * t;
  return opcion == 1 ? static_cast<float>(std::exp(-static_cast<double>(q)))
                     : static_cast<float>(1.0 / static_cast<double>(q + 1.0f));
}

// Rows [desde, hasta) of one iteration, from the framed image `p` into the
// framed image `q` (frames of -1, rows of ancho = n1 + 2 samples).
//
// The eight masked differences of a sample share their window, so its count
// of positive samples is taken once. Of the kernel's weights only the centre
// (-1) and the neighbour (+1) are not 0, and adding v * 0 = +0 never changes
// the running sum, so the masked sum reduces to the exact cases of `suma`:
// neighbour - centre, -centre, neighbour or +0. The sum toward a neighbour is
// the exact negation of the neighbour's sum back toward the sample, so where
// both windows count alike the two conductions are equal: the backward
// directions N, W, NE and NW reuse the forward ones S, E, SW and SE of their
// neighbours, and only where the counts differ (at the border, beside zeros)
// is the exponential taken again.
class FilasDifusion {
 public:
  FilasDifusion(const float* p, float* q, std::size_t ancho, std::size_t n1, float kappaF, int opcion,
                float wy, float wx, float wd, double delta_t)
      : p_(p), q_(q), ancho_(ancho), n1_(n1), kappaF_(kappaF), opcion_(opcion), wy_(wy), wx_(wx), wd_(wd),
        delta_t_(delta_t), anterior_(n1), actual_(n1) {}

  void itera(std::size_t desde, std::size_t hasta) {
    if (desde > 0) adelante(desde - 1, anterior_);
    for (std::size_t i = desde; i < hasta; ++i) {
      adelante(i, actual_);
      fila(i);
      std::swap(anterior_, actual_);
    }
  }

 private:
  // What a row's samples hand on: their counts and their forward conductions.
  struct Adelante {
    explicit Adelante(std::size_t n) : cuenta(n), cS(n), cE(n), cSE(n), cSW(n) {}
    std::vector<int> cuenta;
    std::vector<float> cS, cE, cSE, cSW;
  };

  static float suma(float c, float v) {
    return c > 0.0f ? (v > 0.0f ? v - c : -c) : (v > 0.0f ? v : 0.0f);
  }
  const float* centro(std::size_t i, std::size_t j) const { return p_ + (i + 1) * ancho_ + 1 + j; }
  static int cuentaVentana(const float* c, std::ptrdiff_t a) {
    int n = 0;
    for (std::ptrdiff_t da = -a; da <= a; da += a)
      for (int db = -1; db <= 1; ++db) n += c[da + db] > 0.0f;
    return n;
  }
  float conduce(float c, float v, int cuenta) const {
    return conduccion(suma(c, v) / static_cast<float>(cuenta), kappaF_, opcion_);
  }

  void adelante(std::size_t i, Adelante& f) const {
    const std::ptrdiff_t a = static_cast<std::ptrdiff_t>(ancho_);
    for (std::size_t j = 0; j < n1_; ++j) {
      const float* c = centro(i, j);
      const int n = cuentaVentana(c, a);
      f.cuenta[j] = n;
      f.cS[j] = conduce(*c, c[a], n);
      f.cE[j] = conduce(*c, c[1], n);
      f.cSE[j] = conduce(*c, c[a + 1], n);
      f.cSW[j] = conduce(*c, c[a - 1], n);
    }
  }

  void fila(std::size_t i) {
    const std::ptrdiff_t a = static_cast<std::ptrdiff_t>(ancho_);
    float* salida = q_ + (i + 1) * ancho_ + 1;
    const bool arriba = i > 0;
    for (std::size_t j = 0; j < n1_; ++j) {
      const float* pc = centro(i, j);
      const float c = *pc;
      const int n = actual_.cuenta[j];
      const float nf = static_cast<float>(n);
      // A backward conduction: the neighbour's forward one where both
      // windows count alike, else its own.
      auto atras = [&](float v, bool hay, const std::vector<int>& cuentas, const std::vector<float>& cond,
                       std::size_t jv) {
        return hay && cuentas[jv] == n ? cond[jv] : conduce(c, v, n);
      };
      const float vN = pc[-a], vS = pc[a], vW = pc[-1], vE = pc[1];
      const float vNE = pc[-a + 1], vSE = pc[a + 1], vSW = pc[a - 1], vNW = pc[-a - 1];
      const float cN = atras(vN, arriba, anterior_.cuenta, anterior_.cS, j);
      const float cW = atras(vW, j > 0, actual_.cuenta, actual_.cE, j - 1);
      const float cNE = atras(vNE, arriba && j + 1 < n1_, anterior_.cuenta, anterior_.cSW, j + 1);
      const float cNW = atras(vNW, arriba && j > 0, anterior_.cuenta, anterior_.cSE, j - 1);
      const float fN = cN * (suma(c, vN) / nf);
      const float fS = actual_.cS[j] * (suma(c, vS) / nf);
      const float fW = cW * (suma(c, vW) / nf);
      const float fE = actual_.cE[j] * (suma(c, vE) / nf);
      const float fNE = cNE * (suma(c, vNE) / nf);
      const float fSE = actual_.cSE[j] * (suma(c, vSE) / nf);
      const float fSW = actual_.cSW[j] * (suma(c, vSW) / nf);
      const float fNW = cNW * (suma(c, vNW) / nf);
      const float s = wy_ * fN + wy_ * fS + wx_ * fW + wx_ * fE + wd_ * fNE + wd_ * fSE + wd_ * fSW + wd_ * fNW;
      salida[j] = static_cast<float>(static_cast<double>(c) + static_cast<double>(s) * delta_t_);
    }
  }

  const float* p_;
  float* q_;
  std::size_t ancho_, n1_;
  float kappaF_;
  int opcion_;
  float wy_, wx_, wd_;
  double delta_t_;
  Adelante anterior_, actual_;
};

void iteraFilas(const float* p, float* q, std::size_t ancho, std::size_t desde, std::size_t hasta,
                std::size_t n1, float kappaF, int opcion, float wy, float wx, float wd, double delta_t) {
  FilasDifusion(p, q, ancho, n1, kappaF, opcion, wy, wx, wd, delta_t).itera(desde, hasta);
}

// Threads for n0 rows: one band of at least 64 rows a core. Every sample is
// computed on its own, so the result does not depend on how many there are.
unsigned hilosPara(std::size_t n0, std::size_t n1) {
  const unsigned nucleos = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
  const std::size_t porMuestras = n0 * n1 / (64 * 1024) + 1;
  return static_cast<unsigned>(std::min<std::size_t>({nucleos, n0 / 64 + 1, porMuestras}));
}

}  // namespace

std::vector<float> difusionAnisotropica(const uint16_t* imagen, const Dimensiones& dims,
                                        int iteraciones, int opcion, int kappa, double delta_t) {
  const std::size_t n = numMuestras(dims);
  std::vector<float> img(imagen, imagen + n);
  if (!anunciaDifusion(iteraciones, opcion, kappa, delta_t) || n == 0 || iteraciones <= 0) return img;

  const std::size_t n0 = static_cast<std::size_t>(dims.dim0);
  const std::size_t n1 = static_cast<std::size_t>(dims.dim1);
  const std::size_t ancho = n1 + 2;
  // Two framed images, allocated once: each iteration reads one and writes
  // the other's interior; the frames of -1 are never written.
  std::vector<float> p((n0 + 2) * ancho, -1.0f), q((n0 + 2) * ancho, -1.0f);
  for (std::size_t i = 0; i < n0; ++i) std::copy_n(&img[i * n1], n1, &p[(i + 1) * ancho + 1]);

  const float kappaF = static_cast<float>(kappa);
  const float wy = pesoEje(1), wx = pesoEje(1);
  const float wd = static_cast<float>(1.0 / (std::sqrt(2.0) * std::sqrt(2.0)));
  const unsigned hilos = hilosPara(n0, n1);
  for (int it = 0; it < iteraciones; ++it) {
    if (hilos == 1) {
      iteraFilas(p.data(), q.data(), ancho, 0, n0, n1, kappaF, opcion, wy, wx, wd, delta_t);
    } else {
      std::vector<std::thread> banda;
      for (unsigned h = 0; h < hilos; ++h) {
        const std::size_t desde = n0 * h / hilos, hasta = n0 * (h + 1) / hilos;
        banda.emplace_back(iteraFilas, p.data(), q.data(), ancho, desde, hasta, n1, kappaF, opcion, wy, wx,
                           wd, delta_t);
      }
      for (std::thread& t : banda) t.join();
    }
    std::swap(p, q);
  }
  for (std::size_t i = 0; i < n0; ++i) std::copy_n(&p[(i + 1) * ancho + 1], n1, &img[i * n1]);
  return img;
}

std::vector<float> difusionAnisotropicaReferencia(const uint16_t* imagen, const Dimensiones& dims,
                                                  int iteraciones, int opcion, int kappa, double delta_t) {
  const std::size_t n = numMuestras(dims);
  std::vector<float> img(imagen, imagen + n);
  if (!anunciaDifusion(iteraciones, opcion, kappa, delta_t)) return img;
  const float kappaF = static_cast<float>(kappa);
  const auto& nucleos = nucleosDiferencia();

  std::array<std::vector<float>, kDirecciones> coeficiente;
  std::array<std::vector<float>, kDirecciones> flujo;
  for (int d = 0; d < kDirecciones; ++d) {
    coeficiente[d].resize(n);
    flujo[d].resize(n);
  }
  const double dd = std::sqrt(2.0);

  for (int it = 0; it < iteraciones; ++it) {
    std::array<std::vector<float>, kDirecciones> gradiente;
    for (int d = 0; d < kDirecciones; ++d)
      gradiente[d] = correlacionEnmascarada(img.data(), dims, nucleos[d], 3);

    for (int d = 0; d < kDirecciones; ++d) {
      for (std::size_t i = 0; i < n; ++i) {
        coeficiente[d][i] = conduccion(gradiente[d][i], kappaF, opcion);
        flujo[d][i] = coeficiente[d][i] * gradiente[d][i];
      }
    }

    const std::vector<float> s =
        sumaPonderada8(1, 1, dd, dims, flujo[0].data(), flujo[1].data(), flujo[2].data(),
                       flujo[3].data(), flujo[4].data(), flujo[5].data(), flujo[6].data(),
                       flujo[7].data());
    for (std::size_t i = 0; i < n; ++i)
      img[i] = static_cast<float>(static_cast<double>(img[i]) + static_cast<double>(s[i]) * delta_t);
  }
  return img;
}

uint16_t dobleAU16(double v) {
  // NaN and values beyond the 64-bit range would be undefined to convert;
  // they give what the hardware gives, 0 in the low bits.
  if (!(v > -9223372036854775808.0 && v < 9223372036854775808.0)) return 0;
  return static_cast<uint16_t>(static_cast<uint64_t>(static_cast<int64_t>(v)));
}

std::vector<uint16_t> flotanteAU16(const float* valores, int cuenta) {
  const std::size_t n = cuenta > 0 ? static_cast<std::size_t>(cuenta) : 0;
  std::vector<uint16_t> salida(n);
  for (std::size_t i = 0; i < n; ++i) salida[i] = dobleAU16(valores[i]);
  return salida;
}
