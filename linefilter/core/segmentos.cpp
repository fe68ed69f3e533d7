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
//
// A ray may be given its region's box, the box of every pixel holding the
// label. The positions move monotonically with k (a product by a fixed factor
// and a sum with a fixed term both round monotonically) and sample 0 lies in
// the box, so a sample outside the box has left it for good: no later sample
// can match, and matching needs no test against the grid.
class Rayo {
 public:
  Rayo(const uint16_t* imagen, const Dimensiones* dims, int x0, int y0, double theta, int etiqueta,
       const CajaRegion* caja)
      : imagen_(imagen),
        columnas_(dims->dim0),
        filas_(dims->dim1),
        x0_(x0),
        y0_(y0),
        cos_(std::cos(theta)),
        sin_(std::sin(theta)),
        etiqueta_(etiqueta),
        caja_(caja) {}

  double x(int k) const { return x0_ + k * cos_; }
  double y(int k) const { return y0_ + k * sin_; }

  bool coincide(int k) const {
    if (caja_) {
      std::size_t i;
      return enCaja(k, i) && imagen_[i] == etiqueta_;
    }
    // Bounds are tested on the floored reals, so a far position is never
    // converted to an int that does not fit.
    const double px = std::floor(x(k));
    const double py = std::floor(y(k));
    if (!(px >= 0 && px < columnas_ && py >= 0 && py < filas_)) return false;
    const std::size_t i = static_cast<std::size_t>(py) * static_cast<std::size_t>(columnas_) +
                          static_cast<std::size_t>(px);
    return imagen_[i] == etiqueta_;
  }

  // Whether no sample from k on can match: the ray has left its box.
  bool agotado(int k) const {
    std::size_t i;
    return caja_ && !enCaja(k, i);
  }

  // The first index >= k whose sample does not match. The ray leaves the
  // grid after finitely many unit steps, so this always ends.
  int finDeTramo(int k) const {
    while (coincide(k)) ++k;
    return k;
  }

  bool dentroEstricto(double X, double Y) const { return X > 0 && X < columnas_ && Y > 0 && Y < filas_; }

 private:
  // Whether sample k lies in the box, and then its pixel. For an integer
  // bound a, floor(v) >= a is v >= a and floor(v) <= a is v < a + 1; and
  // inside the box v >= 0, where truncation is the floor.
  bool enCaja(int k, std::size_t& i) const {
    const double px = x(k);
    const double py = y(k);
    if (!(px >= caja_->x0 && px < caja_->x1 + 1.0 && py >= caja_->y0 && py < caja_->y1 + 1.0)) return false;
    i = static_cast<std::size_t>(static_cast<int>(py)) * static_cast<std::size_t>(columnas_) +
        static_cast<std::size_t>(static_cast<int>(px));
    return true;
  }

 private:
  const uint16_t* imagen_;
  int columnas_;
  int filas_;
  int x0_;
  int y0_;
  double cos_;
  double sin_;
  int etiqueta_;
  const CajaRegion* caja_;
};

void escribeLineaSegmento(const Segmento& s) {
  std::cout << s.etiqueta << ", " << s.longitud << ", " << std::sqrt(s.cx * s.cx + s.cy * s.cy)
            << ", " << s.angulo * 180 / kPi << ", " << s.pendiente << '\n';
}

}  // namespace

Segmento::Segmento(double cx_, double cy_, double longitud_, double angulo_)
    : cx(cx_), cy(cy_), longitud(longitud_), angulo(angulo_), pendiente(std::tan(angulo_)), valido(true) {}

namespace {

// The ray walk; with a box, the counting pass ends as soon as the ray has
// left the region's box, where the rest of the walk could only step over
// background to the grid's edge and would count nothing more.
Segmento traza(const uint16_t* imagen, const Dimensiones* dims, int x0, int y0, double theta,
               int minRun, int etiqueta, const CajaRegion* caja) {
  const Rayo rayo(imagen, dims, x0, y0, theta, etiqueta, caja);

  // Counting pass: every run adds its length plus one; gaps of any length
  // are bridged while the last position stays strictly inside the grid.
  double X = 0, Y = 0;
  int cuenta = 0;
  bool largo = false;
  for (int i = 0;; ++i) {
    if (i > 0 && !rayo.dentroEstricto(X, Y)) break;
    if (rayo.agotado(i)) break;
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

// Where the regions to search lie: each kept label's box over the whole
// slice, and its pixels on the search grid in the order of the full scan
// (columns x = 0, speed, ..., and in each the rows y = 0, speed, ...).
struct RegionesABuscar {
  std::vector<int> indice;  // label -> entry, -1 when the label is not searched
  std::vector<CajaRegion> cajas;
  std::vector<std::vector<std::pair<int, int>>> pixeles;
};

RegionesABuscar localizaRegiones(const uint16_t* imagen, int columnas, int filas, int speed,
                                 const ListaRegiones& kept) {
  RegionesABuscar r;
  r.indice.assign(65536, -1);
  for (int k = 0; k < kept.numRegiones; ++k) {
    const int e = kept.etiquetas[k];
    if (e < 0 || e > 65535 || r.indice[e] >= 0) continue;
    r.indice[e] = static_cast<int>(r.cajas.size());
    r.cajas.push_back({columnas, filas, -1, -1});
  }
  r.pixeles.resize(r.cajas.size());
  for (int y = 0; y < filas; ++y) {
    const uint16_t* fila = imagen + static_cast<std::size_t>(y) * static_cast<std::size_t>(columnas);
    for (int x = 0; x < columnas; ++x) {
      const int n = r.indice[fila[x]];
      if (n < 0) continue;
      CajaRegion& c = r.cajas[n];
      c.x0 = std::min(c.x0, x);
      c.x1 = std::max(c.x1, x);
      c.y0 = std::min(c.y0, y);
      c.y1 = std::max(c.y1, y);
    }
  }
  for (int x = 0; x < columnas; x += speed)
    for (int y = 0; y < filas; y += speed) {
      const int n = r.indice[imagen[static_cast<std::size_t>(y) * static_cast<std::size_t>(columnas) +
                                    static_cast<std::size_t>(x)]];
      if (n >= 0) r.pixeles[n].emplace_back(x, y);
    }
  return r;
}

}  // namespace

Segmento trazaSegmento(const uint16_t* imagen, const Dimensiones* dims, int x0, int y0,
                       double theta, int minRun, int etiqueta) {
  return traza(imagen, dims, x0, y0, theta, minRun, etiqueta, nullptr);
}

Segmento trazaSegmento(const uint16_t* imagen, const Dimensiones* dims, int x0, int y0,
                       double theta, int minRun, int etiqueta, const CajaRegion& caja) {
  return traza(imagen, dims, x0, y0, theta, minRun, etiqueta, &caja);
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
                             int lMinLine, int minSize, int maxSize, Recorrido recorrido) {
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
  auto buscaDesde = [&](int x, int y, int etiqueta, const CajaRegion* caja) {
    for (int a = 0; a < mitad; ++a) {
      const double theta = (a * kDosPi) / nAng;
      Segmento s = traza(imagen, dims, x, y, theta, lMinLine, etiqueta, caja);
      if (s.valido && s.longitud > lMinLine) aceptados.push_back(s);
    }
  };
  if (recorrido == Recorrido::completo) {
    for (int k = 0; k < kept.numRegiones; ++k) {
      std::cout << k << '\r' << std::flush;
      const int etiqueta = kept.etiquetas[k];
      for (int x = 0; x < columnas; x += speed) {
        for (int y = 0; y < filas; y += speed) {
          const std::size_t i =
              static_cast<std::size_t>(y) * static_cast<std::size_t>(columnas) + static_cast<std::size_t>(x);
          if (imagen[i] == etiqueta) buscaDesde(x, y, etiqueta, nullptr);
        }
      }
    }
  } else {
    // The slice does not change while the rays are cast, so where each
    // region lies can be found once instead of scanning the slice per region.
    const RegionesABuscar regiones = localizaRegiones(imagen, columnas, filas, speed, kept);
    for (int k = 0; k < kept.numRegiones; ++k) {
      std::cout << k << '\r' << std::flush;
      const int etiqueta = kept.etiquetas[k];
      const int n = etiqueta >= 0 && etiqueta <= 65535 ? regiones.indice[etiqueta] : -1;
      if (n < 0) continue;
      for (const auto& [x, y] : regiones.pixeles[n]) buscaDesde(x, y, etiqueta, &regiones.cajas[n]);
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
