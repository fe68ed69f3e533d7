// Writes the sample volume the viewer opens out of the box: an Analyze pair
// (phantom.hdr + phantom.img) of a synthetic CT-like body with bright straight
// vessels that the line detector is meant to find.
//
//   genera_fantoma CARPETA
//
// Everything is computed with a seeded generator of our own and fixed
// constants, so every build writes the very same bytes.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kAncho = 256;   // columns of a slice (x)
constexpr int kAlto = 256;    // rows of a slice (y)
constexpr int kCortes = 24;
constexpr float kPixel = 0.5f;       // mm, in x and in y
constexpr float kEspaciado = 1.25f;  // mm between slices

// splitmix64: small, well mixed and the same on every platform, unlike the
// distributions of <random>, whose output the standard leaves to each library.
class Generador {
 public:
  explicit Generador(uint64_t semilla) : estado_(semilla) {}
  uint64_t siguiente() {
    uint64_t z = (estado_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Roughly Gaussian with mean 0 and deviation 1: the sum of twelve uniform
  // 16-bit draws, all in integers so that the noise is exact everywhere.
  double normal() {
    int64_t suma = 0;
    for (int k = 0; k < 12; ++k) suma += static_cast<int64_t>(siguiente() >> 48);
    return static_cast<double>(suma - 6 * 65535) / 65535.0;
  }

 private:
  uint64_t estado_;
};

// A straight vessel: centre, direction in degrees, length and width in
// pixels, peak value. Its centre drifts a little from slice to slice, as a
// vessel that crosses the slab slightly obliquely.
struct Vaso {
  double cx, cy, grados, longitud, ancho, valor, derivaX, derivaY;
};

// Spread over the body at different angles and lengths, none touching
// another, so that each gives its own pair of edge regions to the detector.
constexpr Vaso kVasos[] = {
    {128.0, 70.0, 0.0, 100.0, 4.0, 56000.0, 0.0, 0.2},
    {62.0, 128.0, 90.0, 110.0, 3.0, 52000.0, 0.15, 0.0},
    {156.0, 153.0, 30.0, 100.0, 5.0, 58000.0, -0.15, 0.1},
    {102.0, 174.0, 135.0, 62.0, 6.0, 60000.0, 0.1, -0.1},
    {200.0, 118.0, 62.0, 76.0, 4.0, 54000.0, 0.0, -0.15},
    {112.0, 112.0, 160.0, 60.0, 3.0, 50000.0, 0.1, 0.1},
};

// Soft organs: they vary the tissue without long straight edges.
struct Organo {
  double cx, cy, radio, valor;
};
constexpr Organo kOrganos[] = {
    {160.0, 112.0, 12.0, 13000.0},
    {88.0, 150.0, 12.0, 15000.0},
    {128.0, 196.0, 11.0, 36000.0},  // vertebra-like, denser than tissue
};

constexpr double kAire = 1800.0;     // outside the body
constexpr double kTejido = 21000.0;  // soft tissue
constexpr double kPiel = 26000.0;    // thin denser rim of the body
constexpr double kRuidoTejido = 500.0;
constexpr double kRuidoAire = 150.0;

// Fraction of the pixel (x, y) inside a shape, sampled on a 4 x 4 grid so
// that edges are soft as a scanner's are, not stair-stepped.
template <typename Dentro>
double cobertura(int x, int y, Dentro dentro) {
  int dentroCuenta = 0;
  for (int a = 0; a < 4; ++a)
    for (int b = 0; b < 4; ++b)
      if (dentro(x + (a + 0.5) / 4.0, y + (b + 0.5) / 4.0)) ++dentroCuenta;
  return dentroCuenta / 16.0;
}

std::vector<uint16_t> generaCorte(int z, Generador& gen) {
  const double t = (z - (kCortes - 1) / 2.0) / kCortes;  // -0.5 … 0.5 along the volume
  // The body narrows a little toward both ends of the volume.
  const double semiX = 112.0 - 10.0 * t * t;
  const double semiY = 92.0 - 8.0 * t * t;
  const double centroX = kAncho / 2.0;
  const double centroY = kAlto / 2.0;

  std::vector<double> valor(static_cast<std::size_t>(kAncho) * kAlto);
  for (int x = 0; x < kAncho; ++x) {
    for (int y = 0; y < kAlto; ++y) {
      auto radioElipse = [&](double px, double py) {
        const double u = (px - centroX) / semiX;
        const double v = (py - centroY) / semiY;
        return std::sqrt(u * u + v * v);
      };
      const double cuerpo = cobertura(x, y, [&](double px, double py) { return radioElipse(px, py) <= 1.0; });
      const double piel = cobertura(x, y, [&](double px, double py) {
        const double r = radioElipse(px, py);
        return r <= 1.0 && r > 0.965;
      });
      // Slow variation of the tissue density across the body.
      const double ondulacion = 900.0 * std::sin(x / 23.0 + z / 7.0) * std::cos(y / 31.0);
      double v = kAire + cuerpo * (kTejido + ondulacion - kAire) + piel * (kPiel - kTejido);
      for (const Organo& o : kOrganos) {
        const double c = cobertura(x, y, [&](double px, double py) {
          return std::hypot(px - o.cx, py - o.cy) <= o.radio;
        });
        v += c * (o.valor - kTejido);
      }
      for (const Vaso& w : kVasos) {
        const double rad = w.grados * 3.14159265358979323846 / 180.0;
        const double dx = std::cos(rad);
        const double dy = std::sin(rad);
        const double cx = w.cx + w.derivaX * (z - kCortes / 2.0);
        const double cy = w.cy + w.derivaY * (z - kCortes / 2.0);
        const double c = cobertura(x, y, [&](double px, double py) {
          const double a = (px - cx) * dx + (py - cy) * dy;   // along the vessel
          const double b = -(px - cx) * dy + (py - cy) * dx;  // across it
          return std::abs(a) <= w.longitud / 2.0 && std::abs(b) <= w.ancho / 2.0;
        });
        v += c * (w.valor - v);
      }
      const double ruido = cuerpo > 0.5 ? kRuidoTejido : kRuidoAire;
      valor[static_cast<std::size_t>(x) * kAlto + y] = v + ruido * gen.normal();
    }
  }
  std::vector<uint16_t> corte(valor.size());
  // Clamped to 1…65535: a zero sample would read as "no data" to the
  // smoothing filter, which ignores non-positive neighbours.
  std::transform(valor.begin(), valor.end(), corte.begin(), [](double v) {
    return static_cast<uint16_t>(std::clamp(std::lround(v), 1l, 65535l));
  });
  return corte;
}

void pon16(std::vector<char>& b, int pos, int16_t v) {
  b[pos] = static_cast<char>(v & 0xff);
  b[pos + 1] = static_cast<char>((v >> 8) & 0xff);
}

void pon32(std::vector<char>& b, int pos, uint32_t v) {
  for (int k = 0; k < 4; ++k) b[pos + k] = static_cast<char>((v >> (8 * k)) & 0xff);
}

void ponFloat(std::vector<char>& b, int pos, float v) {
  uint32_t bits;
  static_assert(sizeof bits == sizeof v);
  std::memcpy(&bits, &v, sizeof bits);
  pon32(b, pos, bits);
}

std::vector<char> cabecera() {
  std::vector<char> h(348, 0);
  pon32(h, 0, 348);
  pon16(h, 40, 4);        // dim[0]: number of dimensions
  pon16(h, 42, kAlto);    // dim[1]: rows of a slice
  pon16(h, 44, kAncho);   // dim[2]: columns of a slice
  pon16(h, 46, kCortes);  // dim[3]: slices
  pon16(h, 48, 1);        // dim[4]: one time point
  std::memcpy(h.data() + 60, "HU", 2);  // cal_units
  pon16(h, 70, 512);  // datatype: unsigned 16-bit
  pon16(h, 72, 16);   // bitpix
  ponFloat(h, 80, kPixel);
  ponFloat(h, 84, kPixel);
  ponFloat(h, 88, kEspaciado);
  return h;
}

bool escribe(const std::string& ruta, const char* datos, std::size_t n) {
  std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
  f.write(datos, static_cast<std::streamsize>(n));
  f.close();
  if (!f) {
    std::fprintf(stderr, "genera_fantoma: %s: cannot write\n", ruta.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: genera_fantoma FOLDER\n");
    return 2;
  }
  const std::string carpeta = argv[1];
  Generador gen(0x05A7A0u);
  std::vector<char> muestras;
  muestras.reserve(static_cast<std::size_t>(kAncho) * kAlto * kCortes * 2);
  for (int z = 0; z < kCortes; ++z) {
    // Storage order of a slice: x * height + y, little-endian.
    for (uint16_t v : generaCorte(z, gen)) {
      muestras.push_back(static_cast<char>(v & 0xff));
      muestras.push_back(static_cast<char>(v >> 8));
    }
  }
  const std::vector<char> h = cabecera();
  const bool bien = escribe(carpeta + "/phantom.img", muestras.data(), muestras.size()) &&
                    escribe(carpeta + "/phantom.hdr", h.data(), h.size());
  return bien ? 0 : 1;
}
