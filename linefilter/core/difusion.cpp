#include "difusion.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <iostream>
#include <limits>
#include <stdexcept>

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

std::vector<float> difusionAnisotropica(const uint16_t* imagen, const Dimensiones& dims,
                                        int iteraciones, int opcion, int kappa, double delta_t) {
  std::cout << "Anisotropico devuelve float" << std::endl;
  std::cout << "iteraciones " << iteraciones << std::endl;
  std::cout << "opcion " << opcion << std::endl;
  std::cout << "kappa " << kappa << std::endl;
  std::cout << "delta_t " << delta_t << std::endl;

  const std::size_t n = numMuestras(dims);
  std::vector<float> img(imagen, imagen + n);
  if (opcion != 1 && opcion != 2) {
    std::cerr << "difusionAnisotropica: conduction option " << opcion
              << " unknown, image left unsmoothed" << std::endl;
    return img;
  }
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
        const float t = gradiente[d][i] / kappaF;
        const float q = t * t;
        if (opcion == 1)
          coeficiente[d][i] = static_cast<float>(std::exp(-static_cast<double>(q)));
        else
          coeficiente[d][i] = static_cast<float>(1.0 / static_cast<double>(q + 1.0f));
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
