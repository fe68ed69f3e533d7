// Writes the palette file the viewer reads at every volume initialisation:
// nine palettes, each a marker number followed by 256 entries of red, green
// and blue.
//
//   genera_paletas FICHERO
//
// The viewer takes a number above 1100 anywhere in the file as the start of a
// palette and keeps each component mod 256, so the components stay in
// 0…255 and the markers (2001…2009) are the only numbers above 1100.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Color {
  int r, g, b;
};

int canal(double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); }

Color rgb(double r, double g, double b) { return {canal(r), canal(g), canal(b)}; }

// Piecewise-linear colour ramp through (position, colour) stops.
struct Parada {
  double t, r, g, b;
};

Color rampa(const std::vector<Parada>& paradas, double t) {
  for (std::size_t k = 1; k < paradas.size(); ++k) {
    if (t <= paradas[k].t) {
      const Parada& a = paradas[k - 1];
      const Parada& b = paradas[k];
      const double f = (t - a.t) / (b.t - a.t);
      return rgb(a.r + f * (b.r - a.r), a.g + f * (b.g - a.g), a.b + f * (b.b - a.b));
    }
  }
  const Parada& u = paradas.back();
  return rgb(u.r, u.g, u.b);
}

Color hsv(double h, double s, double v) {
  const double c = v * s;
  const double hp = std::fmod(h / 60.0, 6.0);
  const double x = c * (1.0 - std::abs(std::fmod(hp, 2.0) - 1.0));
  double r = 0, g = 0, b = 0;
  if (hp < 1) r = c, g = x;
  else if (hp < 2) r = x, g = c;
  else if (hp < 3) g = c, b = x;
  else if (hp < 4) g = x, b = c;
  else if (hp < 5) r = x, b = c;
  else r = c, b = x;
  const double m = v - c;
  return rgb(r + m, g + m, b + m);
}

using Paleta = std::array<Color, 256>;

template <typename F>
Paleta construye(F color) {
  Paleta p;
  for (int e = 0; e < 256; ++e) p[e] = color(e / 255.0);
  return p;
}

std::vector<Paleta> paletas() {
  std::vector<Paleta> ps;
  // 1 hot: black, red, yellow, white — the classic intensity palette.
  ps.push_back(construye([](double t) {
    return rampa({{0, 0, 0, 0}, {0.375, 1, 0, 0}, {0.75, 1, 1, 0}, {1, 1, 1, 1}}, t);
  }));
  // 2 cool-warm: blue through near-white to red, for values about a midpoint.
  ps.push_back(construye([](double t) {
    return rampa({{0, 0.23, 0.30, 0.75}, {0.5, 0.87, 0.87, 0.87}, {1, 0.71, 0.02, 0.15}}, t);
  }));
  // 3 rainbow: hue from blue (low) to red (high).
  ps.push_back(construye([](double t) { return hsv(240.0 * (1.0 - t), 1.0, 1.0); }));
  // 4 bone: grey with a blue cast in the middle levels.
  ps.push_back(construye([](double t) {
    return rampa({{0, 0, 0, 0}, {0.375, 0.32, 0.32, 0.45}, {0.75, 0.65, 0.78, 0.78}, {1, 1, 1, 1}}, t);
  }));
  // 5 green: black to green to pale green, like a phosphor screen.
  ps.push_back(construye([](double t) {
    return rampa({{0, 0, 0, 0}, {0.7, 0.1, 0.9, 0.2}, {1, 0.8, 1, 0.8}}, t);
  }));
  // 6 inverted grey: dense structures dark, as on a radiograph film.
  ps.push_back(construye([](double t) { return rgb(1 - t, 1 - t, 1 - t); }));
  // 7 copper: black to a warm copper tone.
  ps.push_back(construye([](double t) { return rgb(1.25 * t, 0.78 * t, 0.5 * t); }));
  // 8 ice: black, deep blue, cyan, white.
  ps.push_back(construye([](double t) {
    return rampa({{0, 0, 0, 0}, {0.4, 0.05, 0.1, 0.6}, {0.75, 0.2, 0.8, 0.95}, {1, 1, 1, 1}}, t);
  }));
  // 9 contour bands: grey with every 32nd level band in a distinct colour,
  // so that equal-value lines stand out.
  ps.push_back(construye([](double t) {
    const int e = static_cast<int>(std::lround(t * 255.0));
    if (e % 32 >= 28) return hsv(45.0 * (e / 32), 0.9, 1.0);
    return rgb(t, t, t);
  }));
  return ps;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: genera_paletas FILE\n");
    return 2;
  }
  std::ofstream f(argv[1], std::ios::trunc);
  int marcador = 2001;
  for (const Paleta& p : paletas()) {
    f << marcador++ << '\n';
    for (const Color& c : p) f << c.r << ' ' << c.g << ' ' << c.b << '\n';
  }
  f.close();
  if (!f) {
    std::fprintf(stderr, "genera_paletas: %s: cannot write\n", argv[1]);
    return 1;
  }
  return 0;
}
