#include "difusion.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <iostream>
#include <limits>
#include <stdexcept>

#include "paralelo.h"

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

// exp(-q) rounded to float without the library where that is provably the
// same float. On 0 <= q <= 1/16 the Taylor polynomial of degree 8 is within
// 2^-54 of exp(-q) (alternating series: the first dropped term bounds it),
// Horner's rounding adds less than 2^-49 and the library's own result is
// within 2^-52 of the true value; so both lie within 2^-40 of `e`, and where
// the two ends of that interval round to the same float, so do they. `fiable`
// is false otherwise (near a rounding boundary, q outside the range, NaN).
template <bool kFma>
[[gnu::always_inline]] inline float expNegativaRapida(float q, bool& fiable) {
  const double x = q;
  const auto paso = [x](double e, double c) { return kFma ? std::fma(e, x, c) : e * x + c; };
  double e = paso(1.0 / 40320, -1.0 / 5040);
  e = paso(e, 1.0 / 720);
  e = paso(e, -1.0 / 120);
  e = paso(e, 1.0 / 24);
  e = paso(e, -1.0 / 6);
  e = paso(e, 1.0 / 2);
  e = paso(e, -1.0);
  e = paso(e, 1.0);
  const double margen = e * 0x1p-40;
  const float bajo = static_cast<float>(e - margen), alto = static_cast<float>(e + margen);
  fiable = x <= 0.0625 && bajo == alto;
  return bajo;
}

// The conductions of n differences, the library taken only where the fast
// reading cannot vouch for its float. A doubtful one is marked NaN in the
// vector pass and taken again after it (so is a NaN difference, whose
// conduction the library gives as NaN again).
template <bool kFma>
[[gnu::always_inline]] inline void conduccionesDe(const float* g, float* c, std::size_t n, float kappaF,
                                                   int opcion) {
  if (opcion == 1) {
    int dudosas = 0;
#pragma GCC ivdep
    for (std::size_t j = 0; j < n; ++j) {
      const float t = g[j] / kappaF;
      bool fiable;
      const float e = expNegativaRapida<kFma>(t * t, fiable);
      c[j] = fiable ? e : std::numeric_limits<float>::quiet_NaN();
      dudosas += !fiable;
    }
    if (dudosas == 0) return;
    for (std::size_t j = 0; j < n; ++j)
      if (std::isnan(c[j])) c[j] = conduccion(g[j], kappaF, opcion);
    return;
  }
#pragma GCC ivdep
  for (std::size_t j = 0; j < n; ++j) c[j] = conduccion(g[j], kappaF, opcion);
}

inline float positivo(float v) { return v > 0.0f ? v : 0.0f; }

// What one iteration needs besides the two framed images (frames of -1, rows
// of ancho = n1 + 2 samples; it reads p and writes the interior of q).
struct PasoDifusion {
  const float* p;
  float* q;
  std::size_t ancho, n1;
  float kappaF;
  int opcion;
  float wy, wx, wd;
  double delta_t;
};

// A row of values with one spare element either side, so that j - 1 and
// j + 1 may be read at the ends.
class FilaAmplia {
 public:
  explicit FilaAmplia(std::size_t n, float aparte = 0.0f) : v_(n + 2, aparte) {}
  float* operator*() { return v_.data() + 1; }

 private:
  std::vector<float> v_;
};

// Rows [desde, hasta) of one iteration, row by row in passes simple enough
// for the compiler to vectorise.
//
// The eight masked differences of a sample share their window, so its count
// of positive samples is taken once. Of the kernel's weights only the centre
// (-1) and the neighbour (+1) are not 0, and adding v * 0 = +0 never changes
// the running sum, so the masked sum is positivo(neighbour) - positivo(centre)
// exactly. The sum toward a neighbour is the exact negation of the
// neighbour's sum back toward the sample, so where both windows count alike
// the two conductions are equal: the backward directions N, W, NE and NW
// reuse the forward ones S, E, SW and SE of their neighbours, and only where
// the counts differ (at the border, beside zeros) is the conduction taken
// again.
template <bool kFma>
class BandaDifusion {
 public:
  BandaDifusion(const PasoDifusion& paso)
      : d_(paso), anterior_(paso.n1), actual_(paso.n1), gN_(paso.n1), gW_(paso.n1), gNE_(paso.n1),
        gNW_(paso.n1), cN_(paso.n1), cW_(paso.n1), cNE_(paso.n1), cNW_(paso.n1) {}

  [[gnu::always_inline]] void itera(std::size_t desde, std::size_t hasta) {
    if (desde > 0) adelante(desde - 1, anterior_);
    for (std::size_t i = desde; i < hasta; ++i) {
      adelante(i, actual_);
      atras(i, i > 0);
      flujos(i);
      std::swap(anterior_, actual_);
    }
  }

 private:
  // What a row's samples hand on: their counts, and their forward
  // differences and conductions.
  struct Adelante {
    explicit Adelante(std::size_t n) : cuenta(n, -1.0f), gS(n), gE(n), gSE(n), gSW(n), cS(n), cE(n), cSE(n), cSW(n) {}
    FilaAmplia cuenta, gS, gE, gSE, gSW, cS, cE, cSE, cSW;
  };

  const float* fila(std::size_t i) const { return d_.p + (i + 1) * d_.ancho + 1; }

  [[gnu::always_inline]] void adelante(std::size_t i, Adelante& f) const {
    const std::size_t n1 = d_.n1, a = d_.ancho;
    const float* m = fila(i);
    const float* arriba = m - a;
    const float* abajo = m + a;
    float* cuenta = *f.cuenta;
    float* gS = *f.gS;
    float* gE = *f.gE;
    float* gSE = *f.gSE;
    float* gSW = *f.gSW;
#pragma GCC ivdep
    for (std::size_t j = 0; j < n1; ++j) {
      const int n = (arriba[j - 1] > 0.0f) + (arriba[j] > 0.0f) + (arriba[j + 1] > 0.0f) + (m[j - 1] > 0.0f) +
                    (m[j] > 0.0f) + (m[j + 1] > 0.0f) + (abajo[j - 1] > 0.0f) + (abajo[j] > 0.0f) +
                    (abajo[j + 1] > 0.0f);
      const float nf = static_cast<float>(n);
      const float c = positivo(m[j]);
      cuenta[j] = nf;
      gS[j] = (positivo(abajo[j]) - c) / nf;
      gE[j] = (positivo(m[j + 1]) - c) / nf;
      gSE[j] = (positivo(abajo[j + 1]) - c) / nf;
      gSW[j] = (positivo(abajo[j - 1]) - c) / nf;
    }
    conduccionesDe<kFma>(*f.gS, *f.cS, n1, d_.kappaF, d_.opcion);
    conduccionesDe<kFma>(*f.gE, *f.cE, n1, d_.kappaF, d_.opcion);
    conduccionesDe<kFma>(*f.gSE, *f.cSE, n1, d_.kappaF, d_.opcion);
    conduccionesDe<kFma>(*f.gSW, *f.cSW, n1, d_.kappaF, d_.opcion);
  }

  [[gnu::always_inline]] void atras(std::size_t i, bool hayAnterior) {
    const std::size_t n1 = d_.n1, a = d_.ancho;
    const float* m = fila(i);
    const float* arriba = m - a;
    const float* cuenta = *actual_.cuenta;
    float* gN = *gN_;
    float* gW = *gW_;
    float* gNE = *gNE_;
    float* gNW = *gNW_;
#pragma GCC ivdep
    for (std::size_t j = 0; j < n1; ++j) {
      const float c = positivo(m[j]);
      gN[j] = (positivo(arriba[j]) - c) / cuenta[j];
      gW[j] = (positivo(m[j - 1]) - c) / cuenta[j];
      gNE[j] = (positivo(arriba[j + 1]) - c) / cuenta[j];
      gNW[j] = (positivo(arriba[j - 1]) - c) / cuenta[j];
    }
    if (!hayAnterior) {
      conduccionesDe<kFma>(gN, *cN_, n1, d_.kappaF, d_.opcion);
      conduccionesDe<kFma>(gNE, *cNE_, n1, d_.kappaF, d_.opcion);
      conduccionesDe<kFma>(gNW, *cNW_, n1, d_.kappaF, d_.opcion);
    } else {
      std::copy_n(*anterior_.cS, n1, *cN_);
      std::copy_n(*anterior_.cSW + 1, n1, *cNE_);
      std::copy_n(*anterior_.cSE - 1, n1, *cNW_);
    }
    std::copy_n(*actual_.cE - 1, n1, *cW_);
    // Where the neighbour's window counts otherwise, or there is none (the
    // spare counts beyond the row's ends match no count), looked for in
    // blocks so that the usual block without one costs a vector pass.
    const float* cuentaArriba = *anterior_.cuenta;
    constexpr std::size_t kBloque = 64;
    for (std::size_t b = 0; b < n1; b += kBloque) {
      const std::size_t fin = std::min(n1, b + kBloque);
      int distintas = 0;
      for (std::size_t j = b; j < fin; ++j) {
        const float n = cuenta[j];
        distintas |= (cuenta[j - 1] != n) | (cuentaArriba[j] != n) | (cuentaArriba[j + 1] != n) | (cuentaArriba[j - 1] != n);
      }
      if (!distintas) continue;
      for (std::size_t j = b; j < fin; ++j) {
        const float n = cuenta[j];
        if (cuenta[j - 1] != n) (*cW_)[j] = conduccion(gW[j], d_.kappaF, d_.opcion);
        if (!hayAnterior) continue;
        if (cuentaArriba[j] != n) (*cN_)[j] = conduccion(gN[j], d_.kappaF, d_.opcion);
        if (cuentaArriba[j + 1] != n) (*cNE_)[j] = conduccion(gNE[j], d_.kappaF, d_.opcion);
        if (cuentaArriba[j - 1] != n) (*cNW_)[j] = conduccion(gNW[j], d_.kappaF, d_.opcion);
      }
    }
  }

  [[gnu::always_inline]] void flujos(std::size_t i) {
    const std::size_t n1 = d_.n1;
    const float* m = fila(i);
    float* salida = d_.q + (i + 1) * d_.ancho + 1;
    const float *gN = *gN_, *gW = *gW_, *gNE = *gNE_, *gNW = *gNW_;
    const float *cN = *cN_, *cW = *cW_, *cNE = *cNE_, *cNW = *cNW_;
    const float *gS = *actual_.gS, *gE = *actual_.gE, *gSE = *actual_.gSE,
                *gSW = *actual_.gSW;
    const float *cS = *actual_.cS, *cE = *actual_.cE, *cSE = *actual_.cSE,
                *cSW = *actual_.cSW;
    const float wy = d_.wy, wx = d_.wx, wd = d_.wd;
    const double dt = d_.delta_t;
#pragma GCC ivdep
    for (std::size_t j = 0; j < n1; ++j) {
      const float s = wy * (cN[j] * gN[j]) + wy * (cS[j] * gS[j]) + wx * (cW[j] * gW[j]) + wx * (cE[j] * gE[j]) +
                      wd * (cNE[j] * gNE[j]) + wd * (cSE[j] * gSE[j]) + wd * (cSW[j] * gSW[j]) +
                      wd * (cNW[j] * gNW[j]);
      salida[j] = static_cast<float>(static_cast<double>(m[j]) + static_cast<double>(s) * dt);
    }
  }

  PasoDifusion d_;
  Adelante anterior_, actual_;
  FilaAmplia gN_, gW_, gNE_, gNW_, cN_, cW_, cNE_, cNW_;
};

[[gnu::target("avx2,fma")]] void iteraFilasAvx2(const PasoDifusion& paso, std::size_t desde, std::size_t hasta) {
  BandaDifusion<true>(paso).itera(desde, hasta);
}

void iteraFilasBase(const PasoDifusion& paso, std::size_t desde, std::size_t hasta) {
  BandaDifusion<false>(paso).itera(desde, hasta);
}

[[gnu::target("avx2,fma")]] void conduccionesAvx2(const float* g, float* c, std::size_t n, float kappaF,
                                                   int opcion) {
  conduccionesDe<true>(g, c, n, kappaF, opcion);
}

void conduccionesBase(const float* g, float* c, std::size_t n, float kappaF, int opcion) {
  conduccionesDe<false>(g, c, n, kappaF, opcion);
}

std::atomic<bool> soloBasico{false};

bool usaAvx2() {
  static const bool hay = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return hay && !soloBasico.load(std::memory_order_relaxed);
}

void iteraFilas(const PasoDifusion& paso, std::size_t desde, std::size_t hasta) {
  if (usaAvx2())
    iteraFilasAvx2(paso, desde, hasta);
  else
    iteraFilasBase(paso, desde, hasta);
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
  for (int it = 0; it < iteraciones; ++it) {
    const PasoDifusion paso{p.data(), q.data(), ancho, n1, kappaF, opcion, wy, wx, wd, delta_t};
    enBandas(n0, n1, [&paso](std::size_t desde, std::size_t hasta) { iteraFilas(paso, desde, hasta); });
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

bool juegoDifusion(JuegoDifusion juego) {
  soloBasico.store(juego == JuegoDifusion::basico, std::memory_order_relaxed);
  return usaAvx2();
}

std::vector<float> conducciones(const std::vector<float>& gradientes, int kappa, int opcion) {
  std::vector<float> c(gradientes.size());
  const float kappaF = static_cast<float>(kappa);
  if (usaAvx2())
    conduccionesAvx2(gradientes.data(), c.data(), c.size(), kappaF, opcion);
  else
    conduccionesBase(gradientes.data(), c.data(), c.size(), kappaF, opcion);
  return c;
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
