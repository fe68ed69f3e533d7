#include "segmentos.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iostream>
#include <utility>
#include <vector>

#include "enteros.h"
#include "etiquetado.h"
#include "poda.h"

namespace {

constexpr double kDosPi = 6.2831853072;
constexpr double kPi = 3.1415926536;
constexpr int kValorRegion = 255;
constexpr int kMaxRegiones = 300;
constexpr double kFactorRegiones = 0.94;

// Sample k of a ray: (x0 + k cos t, y0 + k sin t). It matches when its pixel
// lies inside the grid and holds the label.
class Rayo {
 public:
  Rayo(const uint16_t* imagen, const Dimensiones* dims, int x0, int y0, double theta, int etiqueta)
      : imagen_(imagen),
        columnas_(dims->dim0),
        filas_(dims->dim1),
        x0_(x0),
        y0_(y0),
        cos_(std::cos(theta)),
        sin_(std::sin(theta)),
        etiqueta_(etiqueta) {}

  double x(int k) const { return x0_ + k * cos_; }
  double y(int k) const { return y0_ + k * sin_; }

  bool coincide(int k) const {
    // Bounds are tested on the floored reals, so a far position is never
    // converted to an int that does not fit.
    const double px = std::floor(x(k));
    const double py = std::floor(y(k));
    if (!(px >= 0 && px < columnas_ && py >= 0 && py < filas_)) return false;
    const std::size_t i = static_cast<std::size_t>(py) * static_cast<std::size_t>(columnas_) +
                          static_cast<std::size_t>(px);
    return imagen_[i] == etiqueta_;
  }

  // The first index >= k whose sample does not match. The ray leaves the
  // grid after finitely many unit steps, so this always ends.
  int finDeTramo(int k) const {
    while (coincide(k)) ++k;
    return k;
  }

  bool dentroEstricto(double X, double Y) const { return X > 0 && X < columnas_ && Y > 0 && Y < filas_; }

 private:
  const uint16_t* imagen_;
  int columnas_;
  int filas_;
  int x0_;
  int y0_;
  double cos_;
  double sin_;
  int etiqueta_;
};

void escribeLineaSegmento(const Segmento& s) {
  std::cout << s.etiqueta << ", " << s.longitud << ", " << std::sqrt(s.cx * s.cx + s.cy * s.cy)
            << ", " << s.angulo * 180 / kPi << ", " << s.pendiente << '\n';
}

}  // namespace

Segmento::Segmento(double cx_, double cy_, double longitud_, double angulo_)
    : cx(cx_), cy(cy_), longitud(longitud_), angulo(angulo_), pendiente(std::tan(angulo_)), valido(true) {}

Segmento trazaSegmento(const uint16_t* imagen, const Dimensiones* dims, int x0, int y0,
                       double theta, int minRun, int etiqueta) {
  const Rayo rayo(imagen, dims, x0, y0, theta, etiqueta);

  // Counting pass: every run adds its length plus one; gaps of any length
  // are bridged while the last position stays strictly inside the grid.
  double X = 0, Y = 0;
  int cuenta = 0;
  bool largo = false;
  for (int i = 0;; ++i) {
    if (i > 0 && !rayo.dentroEstricto(X, Y)) break;
    X = rayo.x(i);
    Y = rayo.y(i);
    if (rayo.coincide(i)) {
      const int j = rayo.finDeTramo(i);
      cuenta += j - i + 1;
      X = rayo.x(j);
      Y = rayo.y(j);
      // The loop's own step then skips sample j + 1 untested.
      i = j + 1;
      if (cuenta > minRun) {
        largo = true;
        break;
      }
    }
  }
  if (!largo) return Segmento();

  // Locating pass: runs are followed only where the sample two past a run's
  // end matches again, and each run visited sets the start anew.
  double sx = rayo.x(0), sy = rayo.y(0);
  for (int j = 0;;) {
    X = rayo.x(j);
    Y = rayo.y(j);
    if (!rayo.coincide(j)) break;
    sx = X;
    sy = Y;
    const int k = rayo.finDeTramo(j);
    X = rayo.x(k);
    Y = rayo.y(k);
    j = k + 2;
    if (!(j < cuenta)) break;
  }

  const double dx = sx - X;
  const double dy = sy - Y;
  Segmento s((sx + X) / 2, (sy + Y) / 2, std::sqrt(dx * dx + dy * dy), theta);
  s.x1 = sx;
  s.y1 = sy;
  s.x2 = X;
  s.y2 = Y;
  s.etiqueta = etiqueta;
  return s;
}

MapaSegmentos agrupaPorEtiqueta(std::deque<Segmento> segmentos) {
  MapaSegmentos grupos;
  if (segmentos.empty()) return grupos;
  const auto [menor, mayor] = std::minmax_element(
      segmentos.begin(), segmentos.end(),
      [](const Segmento& a, const Segmento& b) { return a.etiqueta < b.etiqueta; });
  const int lo = menor->etiqueta;
  const int hi = mayor->etiqueta;
  for (int g = 0; g <= hi - lo; ++g) grupos[g];
  for (Segmento& s : segmentos) grupos[s.etiqueta - lo].push_back(std::move(s));
  return grupos;
}

MapaSegmentos hallaSegmentos(uint16_t* imagen, Dimensiones* dims, int speed, int nAng,
                             int lMinLine, int minSize, int maxSize) {
  if (speed <= 0) {
    std::cerr << "Line detection: speed " << speed << " would never advance; using 1\n";
    speed = 1;
  }

  // Labelling reads the grid as {rows, columns}.
  std::swap(dims->dim0, dims->dim1);
  const ListaRegiones lista = etiquetaRegiones(imagen, dims, kValorRegion);
  ListaRegiones kept = filtraTamano(lista, maxSize, minSize);
  std::swap(dims->dim0, dims->dim1);

  if (kept.numRegiones > kMaxRegiones)
    kept.numRegiones = truncaEntero32(kept.numRegiones * kFactorRegiones);

  const int columnas = dims->dim0;
  const int filas = dims->dim1;
  const int mitad = nAng / 2;

  std::deque<Segmento> aceptados;
  for (int k = 0; k < kept.numRegiones; ++k) {
    std::cout << k << '\r' << std::flush;
    const int etiqueta = kept.etiquetas[k];
    for (int x = 0; x < columnas; x += speed) {
      for (int y = 0; y < filas; y += speed) {
        const std::size_t i =
            static_cast<std::size_t>(y) * static_cast<std::size_t>(columnas) + static_cast<std::size_t>(x);
        if (imagen[i] != etiqueta) continue;
        for (int a = 0; a < mitad; ++a) {
          const double theta = (a * kDosPi) / nAng;
          Segmento s = trazaSegmento(imagen, dims, x, y, theta, lMinLine, etiqueta);
          if (s.valido && s.longitud > lMinLine) aceptados.push_back(s);
        }
      }
    }
  }
  std::cout << "N Antes Optimiza: " << aceptados.size() << '\n';

  MapaSegmentos grupos = agrupaPorEtiqueta(std::move(aceptados));
  std::cout << "Tamanho Mapa: " << grupos.size() << '\n';

  MapaSegmentos resultado;
  for (auto& [g, grupo] : grupos) {
    if (grupo.size() <= 1) {
      resultado[g];
      continue;
    }
    std::deque<Segmento> o0 = optimiza0(imagen, dims, std::move(grupo));
    std::cout << "Nueva N Despues Optimiza 0: " << o0.size() << '\n';
    for (const Segmento& s : o0) escribeLineaSegmento(s);
    std::deque<Segmento> o1 = optimiza1(imagen, dims, std::move(o0), kDosPi / nAng);
    std::cout << "Nueva N Despues Optimiza 1: " << o1.size() << '\n';
    for (const Segmento& s : o1) escribeLineaSegmento(s);
    resultado[g] = std::move(o1);
  }
  return resultado;
}
