#pragma once

#include <cstdint>
#include <vector>

#include "gradiente.h"
#include "tipos.h"

// Perona-Malik diffusion over the eight neighbours. Differences are taken
// over the positive samples of each 3x3 window only, which also decides the
// border and zero regions. opcion 1 is the exponential conduction, 2 the
// rational one; any other option leaves the image as it is (and says so on
// stderr). The input is not changed. Rows are shared among the cores; the
// result is the same for any number of them.
std::vector<float> difusionAnisotropica(const uint16_t* imagen, const Dimensiones& dims,
                                        int iteraciones, int opcion, int kappa, double delta_t);
// The same computed plainly, one full-size array per difference, flux and sum
// as the scheme reads: the check the fast one is held to.
std::vector<float> difusionAnisotropicaReferencia(const uint16_t* imagen, const Dimensiones& dims,
                                                  int iteraciones, int opcion, int kappa, double delta_t);

// The conduction of each difference as the fast diffusion takes it: for
// opcion 1 exp(-q), q = (g/kappa)^2 in single precision, the exponential in
// double precision rounded to float, as the library gives it.
std::vector<float> conducciones(const std::vector<float>& gradientes, int kappa, int opcion);

// The fast diffusion has a vector reading for processors with AVX2 and FMA
// and a plain one for the rest; `basico` forces the plain one (so tests on
// any machine can hold both to the oracle). Returns whether AVX2 is in use.
enum class JuegoDifusion { automatico, basico };
bool juegoDifusion(JuegoDifusion juego);

// Correlation with a k x k kernel over the positive window elements only,
// divided by how many there are; outside the image counts as not positive.
// A window without positive elements gives NaN. The kernel must have k rows
// of at least k weights (std::invalid_argument otherwise).
std::vector<float> correlacionEnmascarada(const float* imagen, const Dimensiones& dims,
                                          const Filas<float>& nucleo, int k);

// Weighted sum of the eight fluxes: 1/(dy*dy) on N and S, 1/(dx*dx) on W and
// E (integer quotients, so a step above 1 weighs 0 and a step of 0 weighs 0
// too), 1/(dd*dd) on the diagonals.
std::vector<float> sumaPonderada8(int dx, int dy, double dd, const Dimensiones& dims,
                                  const float* fN, const float* fS, const float* fW,
                                  const float* fE, const float* fNE, const float* fSE,
                                  const float* fSW, const float* fNW);

// A value truncated toward zero to 64 bits, keeping the low 16: negative
// values wrap, NaN and values beyond the 64-bit range give 0.
uint16_t dobleAU16(double v);

// dobleAU16 of each of the first cuenta values.
std::vector<uint16_t> flotanteAU16(const float* valores, int cuenta);
