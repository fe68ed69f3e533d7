// The diffusion that shares its windows and its rows among the cores must give
// exactly the plain reading's floats, on any image.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "captura.h"
#include "difusion.h"

namespace {

// Same bits, or both not a number (which payload a NaN carries is not a result).
bool mismoValor(float a, float b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Each test runs on both compiled readings of the fast diffusion: the vector
// one (where the processor has it) and the plain one.
class DifusionRapida : public ::testing::TestWithParam<JuegoDifusion> {
 protected:
  void SetUp() override { juegoDifusion(GetParam()); }
  void TearDown() override { juegoDifusion(JuegoDifusion::automatico); }
};

INSTANTIATE_TEST_SUITE_P(Juegos, DifusionRapida,
                         ::testing::Values(JuegoDifusion::automatico, JuegoDifusion::basico),
                         [](const auto& info) {
                           return std::string(info.param == JuegoDifusion::basico ? "Plain" : "Native");
                         });

float conduccionPlana(float g, int kappa, int opcion) {
  const float t = g / static_cast<float>(kappa);
  const float q = t * t;
  return opcion == 1 ? static_cast<float>(std::exp(-static_cast<double>(q)))
                     : static_cast<float>(1.0 / static_cast<double>(q + 1.0f));
}

// The exponential without the library must give the library's float for every
// difference: tiny ones, those at the end of the fast range (q = 1/16 is a
// difference of kappa/4), big ones, consecutive floats, zeros, infinities, NaN.
TEST_P(DifusionRapida, ConductionsAreTheLibrarysFloats) {
  std::vector<float> g = {0.0f, -0.0f, 1e-30f, -1e-30f, 1.0f, 499.99997f, 500.0f, 500.00003f, 65535.0f,
                          -65535.0f, 1e30f, INFINITY, -INFINITY, NAN};
  std::mt19937 azar(2026);
  std::uniform_real_distribution<float> pequeno(-600.0f, 600.0f), grande(-70000.0f, 70000.0f);
  for (int k = 0; k < 1 << 21; ++k) g.push_back(pequeno(azar));
  for (int k = 0; k < 1 << 16; ++k) g.push_back(grande(azar));
  for (float desde : {0.0f, 1.0f, 12.5f, 333.0f, 499.0f}) {
    float v = desde;
    for (int k = 0; k < 1 << 16; ++k) g.push_back(v = std::nextafter(v, INFINITY));
  }
  for (int opcion : {1, 2}) {
    for (int kappa : {2000, 300, 1}) {
      const std::vector<float> c = conducciones(g, kappa, opcion);
      ASSERT_EQ(c.size(), g.size());
      for (std::size_t k = 0; k < g.size(); ++k)
        ASSERT_TRUE(mismoValor(c[k], conduccionPlana(g[k], kappa, opcion)))
            << "g " << g[k] << " kappa " << kappa << " option " << opcion;
    }
  }
}

TEST_P(DifusionRapida, GivesThePlainReadingsFloatsOnRandomImagesOfOddSizes) {
  struct Caso {
    int dim0, dim1;
  };
  const Caso tamanos[] = {{1, 1}, {1, 29}, {29, 1}, {2, 2}, {3, 3}, {7, 13}, {13, 7}, {31, 37}, {130, 67}};
  std::mt19937 azar(61210);
  for (const Caso& t : tamanos) {
    for (int opcion : {1, 2}) {
      const std::size_t n = static_cast<std::size_t>(t.dim0) * t.dim1;
      std::vector<uint16_t> imagen(n);
      // Zero patches make windows without a positive sample, hence NaN.
      for (auto& v : imagen) v = azar() % 4 == 0 ? 0 : static_cast<uint16_t>(azar());
      const Dimensiones d{t.dim0, t.dim1};
      const int kappa = opcion == 1 ? 2000 : 300;
      std::vector<float> rapida, plana;
      {
        Captura silencio;
        rapida = difusionAnisotropica(imagen.data(), d, 6, opcion, kappa, 0.14);
        plana = difusionAnisotropicaReferencia(imagen.data(), d, 6, opcion, kappa, 0.14);
      }
      ASSERT_EQ(rapida.size(), plana.size());
      for (std::size_t i = 0; i < n; ++i)
        ASSERT_TRUE(mismoValor(rapida[i], plana[i]))
            << t.dim0 << "x" << t.dim1 << " option " << opcion << " sample " << i << ": " << rapida[i]
            << " vs " << plana[i];
    }
  }
}

// Large enough to be split among threads: the bands must meet seamlessly.
TEST_P(DifusionRapida, BandsOfRowsMeetWithoutASeam) {
  const Dimensiones d{523, 301};
  std::vector<uint16_t> imagen(static_cast<std::size_t>(d.dim0) * d.dim1);
  std::mt19937 azar(7);
  for (auto& v : imagen) v = static_cast<uint16_t>(1000 + azar() % 3000);
  Captura silencio;
  const std::vector<float> rapida = difusionAnisotropica(imagen.data(), d, 3, 1, 2000, 0.14);
  const std::vector<float> plana = difusionAnisotropicaReferencia(imagen.data(), d, 3, 1, 2000, 0.14);
  EXPECT_EQ(0, std::memcmp(rapida.data(), plana.data(), rapida.size() * sizeof(float)));
}

TEST_P(DifusionRapida, WritesTheSameLinesAsThePlainReading) {
  const Dimensiones d{4, 5};
  const std::vector<uint16_t> imagen(20, 100);
  std::string una, otra;
  {
    Captura c;
    difusionAnisotropica(imagen.data(), d, 2, 1, 2000, 0.14);
    una = c.texto();
  }
  {
    Captura c;
    difusionAnisotropicaReferencia(imagen.data(), d, 2, 1, 2000, 0.14);
    otra = c.texto();
  }
  EXPECT_EQ(una, otra);
}

}  // namespace
