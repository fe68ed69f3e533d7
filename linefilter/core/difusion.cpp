#include "difusion.h"

std::vector<float> difusionAnisotropica(const uint16_t*, const Dimensiones&, int, int, int, double) {
  return {};
}
std::vector<float> correlacionEnmascarada(const float*, const Dimensiones&, const Filas<float>&, int) {
  return {};
}
std::vector<float> sumaPonderada8(int, int, double, const Dimensiones&, const float*, const float*,
                                  const float*, const float*, const float*, const float*,
                                  const float*, const float*) {
  return {};
}
uint16_t dobleAU16(double) { return 0; }
std::vector<uint16_t> flotanteAU16(const float*, int) { return {}; }
