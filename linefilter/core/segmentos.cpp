#include "segmentos.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <climits>
#include <cmath>
#include <cstddef>
#include <iostream>
#include <immintrin.h>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include "enteros.h"
#include "etiquetado.h"
#include "paralelo.h"
#include "pasos.h"
#include "poda.h"
#include "profundidad.h"

namespace {

constexpr double kDosPi = 6.2831853072;
constexpr double kPi = 3.1415926536;
constexpr int kValorRegion = 255;
constexpr int kMaxRegiones = 300;
constexpr double kFactorRegiones = 0.94;

// The widest lanes the map reads use: 16 where the machine has them, else 8,
// else none; lowered by limitaCarriles.
std::atomic<int> carrilesPermitidos{16};

int carrilesDeLaMaquina() {
  static const int carriles = __builtin_cpu_supports("avx512f") ? 16 : __builtin_cpu_supports("avx2") ? 8 : 0;
  return std::min(carriles, carrilesPermitidos.load(std::memory_order_relaxed));
}

// The pixels of a region's box that hold its label, a bit each, row by row.
// A ray reads these instead of the slice: a few kilobytes for most regions,
// which stay in the cache where the slice's rows they cross would not.
class MapaRegion {
 public:
  void rellena(const uint16_t* imagen, int columnas, const CajaRegion& caja, int etiqueta) {
    caja_ = caja;
    ancho_ = static_cast<std::size_t>(caja.x1 - caja.x0 + 1);
    const std::size_t alto = static_cast<std::size_t>(caja.y1 - caja.y0 + 1);
    bits_.assign((ancho_ * alto + 63) / 64 + 1, 0);
    carriles_ = ancho_ * alto > static_cast<std::size_t>(INT32_MAX) ? 0 : carrilesDeLaMaquina();
    std::size_t j = 0;
    for (int y = caja.y0; y <= caja.y1; ++y) {
      const uint16_t* fila = imagen + static_cast<std::size_t>(y) * static_cast<std::size_t>(columnas);
      for (int x = caja.x0; x <= caja.x1; ++x, ++j)
        bits_[j >> 6] |= static_cast<uint64_t>(fila[x] == etiqueta) << (j & 63);
    }
  }

  // The bit of pixel (x, y) of the box, or of its first pixel when dentro is
  // false: the index is chosen, not branched on.
  bool tiene(bool dentro, int x, int y) const {
    const std::size_t j =
        dentro ? static_cast<std::size_t>(y - caja_.y0) * ancho_ + static_cast<std::size_t>(x - caja_.x0) : 0;
    return (bits_[j >> 6] >> (j & 63)) & 1;
  }

  // Bit b tells whether pixel (x0 + dx[b], y0 + dy[b]) lies in the box and is
  // set, for n <= 64 samples, eight at a time: dx and dy are read up to the
  // next multiple of 8, the lanes from n on count as outside.
  [[gnu::target("avx2")]] uint64_t bitsAvx2(const int32_t* dx, const int32_t* dy, int x0, int y0, int n) const {
    // The sample's place in the box: x - x0 of the box for x, and so for y.
    const __m256i vx0 = _mm256_set1_epi32(x0 - caja_.x0), vy0 = _mm256_set1_epi32(y0 - caja_.y0);
    // 0 <= u < ancho as u > -1 and ancho > u.
    const __m256i menosUno = _mm256_set1_epi32(-1);
    const __m256i ancho = _mm256_set1_epi32(static_cast<int>(ancho_));
    const __m256i alto = _mm256_set1_epi32(caja_.y1 - caja_.y0 + 1);
    const __m256i treintaYUno = _mm256_set1_epi32(31), uno = _mm256_set1_epi32(1);
    const __m256i carril = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const int* palabras = reinterpret_cast<const int*>(bits_.data());
    uint64_t m = 0;
    for (int b = 0; b < n; b += 8) {
      const __m256i u = _mm256_add_epi32(vx0, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dx + b)));
      const __m256i v = _mm256_add_epi32(vy0, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dy + b)));
      const __m256i dentro = _mm256_and_si256(
          _mm256_and_si256(_mm256_and_si256(_mm256_cmpgt_epi32(u, menosUno), _mm256_cmpgt_epi32(ancho, u)),
                           _mm256_and_si256(_mm256_cmpgt_epi32(v, menosUno), _mm256_cmpgt_epi32(alto, v))),
          _mm256_cmpgt_epi32(_mm256_set1_epi32(n - b), carril));
      const __m256i j = _mm256_and_si256(dentro, _mm256_add_epi32(_mm256_mullo_epi32(v, ancho), u));
      const __m256i palabra =
          _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), palabras, _mm256_srli_epi32(j, 5), dentro, 4);
      const __m256i bit = _mm256_and_si256(_mm256_srlv_epi32(palabra, _mm256_and_si256(j, treintaYUno)), uno);
      const __m256i puestos = _mm256_sub_epi32(_mm256_setzero_si256(), bit);
      m |= static_cast<uint64_t>(static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(puestos)))) << b;
    }
    return m;
  }

  // bitsAvx2 sixteen at a time, dx and dy read up to the next multiple of 16.
  [[gnu::target("avx512f")]] uint64_t bitsAvx512(const int32_t* dx, const int32_t* dy, int x0, int y0,
                                                 int n) const {
    const __m512i vx0 = _mm512_set1_epi32(x0 - caja_.x0), vy0 = _mm512_set1_epi32(y0 - caja_.y0);
    const __m512i ancho = _mm512_set1_epi32(static_cast<int>(ancho_));
    const __m512i alto = _mm512_set1_epi32(caja_.y1 - caja_.y0 + 1);
    const __m512i treintaYUno = _mm512_set1_epi32(31), uno = _mm512_set1_epi32(1);
    const __m512i carril = _mm512_set_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    const int* palabras = reinterpret_cast<const int*>(bits_.data());
    uint64_t m = 0;
    for (int b = 0; b < n; b += 16) {
      const __m512i u = _mm512_add_epi32(vx0, _mm512_loadu_si512(dx + b));
      const __m512i v = _mm512_add_epi32(vy0, _mm512_loadu_si512(dy + b));
      // Unsigned, a place before the box is beyond it.
      const __mmask16 dentro = _mm512_cmplt_epu32_mask(u, ancho) & _mm512_cmplt_epu32_mask(v, alto) &
                               _mm512_cmplt_epi32_mask(carril, _mm512_set1_epi32(n - b));
      const __m512i j = _mm512_add_epi32(_mm512_mullo_epi32(v, ancho), u);
      // The shifts are masked too: lanes outside give 0 (and GCC 12 then
      // does not warn of the unmasked forms' undefined fill).
      const __m512i palabra = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), dentro,
                                                          _mm512_maskz_srli_epi32(dentro, j, 5), palabras, 4);
      const __mmask16 puestos = _mm512_mask_test_epi32_mask(
          dentro, _mm512_maskz_srlv_epi32(dentro, palabra, _mm512_and_si512(j, treintaYUno)), uno);
      m |= static_cast<uint64_t>(puestos) << b;
    }
    return m;
  }

  // Whether the lanes run here: the machine has them and every index of the
  // box fits a lane.
  bool vectorial() const { return carriles_ > 0; }
  uint64_t bits(const int32_t* dx, const int32_t* dy, int x0, int y0, int n) const {
    return carriles_ == 16 ? bitsAvx512(dx, dy, x0, y0, n) : bitsAvx2(dx, dy, x0, y0, n);
  }

 private:
  int carriles_ = 0;
  CajaRegion caja_;
  std::size_t ancho_ = 0;
  std::vector<uint64_t> bits_;
};

// Sample k of a ray: (x0 + k cos t, y0 + k sin t). It matches when its pixel
// lies inside the grid and holds the label.
//
// A ray may be given its region's outline (see ContornoRegion) and its map
// (see MapaRegion). Matching then reads the map and needs no test against
// the grid, since the outline's box lies inside it, and the ray knows the
// first sample from which on it lies beyond one of the outline's lines: no
// sample from there on can match. With the outline it may also be given its
// angle's offsets (see PasosAngulo), by which the pixels of its samples are
// found without computing their positions.
class Rayo {
 public:
  Rayo(const uint16_t* imagen, const Dimensiones* dims, int x0, int y0, double theta, int etiqueta,
       const ContornoRegion* contorno = nullptr, const MapaRegion* mapa = nullptr,
       const PasosAngulo* pasos = nullptr)
      : imagen_(imagen),
        columnas_(dims->dim0),
        filas_(dims->dim1),
        x0_(x0),
        y0_(y0),
        cos_(pasos ? pasos->cos : std::cos(theta)),
        sin_(pasos ? pasos->sin : std::sin(theta)),
        etiqueta_(etiqueta),
        caja_(contorno ? &contorno->caja : nullptr),
        mapa_(mapa),
        dx_(contorno && pasos ? pasos->dx.data() : nullptr),
        dy_(contorno && pasos ? pasos->dy.data() : nullptr),
        largo_(contorno && pasos ? pasos->largo : 0),
        fin_(contorno ? primeraFuera(*contorno) : std::numeric_limits<int>::max()) {}

  double x(int k) const { return x0_ + k * cos_; }
  double y(int k) const { return y0_ + k * sin_; }

  // Without an outline; with one, see mascara.
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

  // The first index >= k whose sample does not match, without an outline.
  // The ray leaves the grid after finitely many unit steps, so this always
  // ends.
  int finDeTramo(int k) const {
    while (coincide(k)) ++k;
    return k;
  }

  bool dentroEstricto(double X, double Y) const { return X > 0 && X < columnas_ && Y > 0 && Y < filas_; }
  bool dentroEstricto(int k) const { return dentroEstricto(x(k), y(k)); }

  // With an outline only. Bit b tells whether sample desde + b matches, for
  // the first n <= 64 samples; those from fin_ on cannot and are left 0. No
  // branch depends on the image, so a noisy region costs no mispredictions.
  uint64_t mascara(int desde, int n) const {
    const int cuantas = static_cast<int>(std::clamp<long long>(static_cast<long long>(fin_) - desde, 0, n));
    const int tabuladas = desde >= 0 ? std::clamp(largo_ - desde, 0, cuantas) : 0;
    uint64_t m = 0;
    int b = 0;
    if (mapa_->vectorial()) {
      b = tabuladas;
      m = mapa_->bits(dx_ + desde, dy_ + desde, x0_, y0_, b);
    }
    for (; b < tabuladas; ++b) {
      int px, py;
      const bool dentro = enCajaTabulada(desde + b, px, py);
      m |= static_cast<uint64_t>(dentro & mapa_->tiene(dentro, px, py)) << b;
    }
    // k counts in a double: the same integer values x(k) and y(k) convert.
    // For an integer bound a, floor(v) >= a is v >= a and floor(v) <= a is
    // v < a + 1; and inside the box v >= 0, where truncation is the floor.
    const double bx0 = caja_->x0, bx1 = caja_->x1 + 1.0, by0 = caja_->y0, by1 = caja_->y1 + 1.0;
    double k = static_cast<double>(desde) + b;
    for (; b < cuantas; ++b, k += 1.0) {
      const double px = x0_ + k * cos_, py = y0_ + k * sin_;
      const bool dentro = (px >= bx0) & (px < bx1) & (py >= by0) & (py < by1);
      // Only a position in the box is converted: a far one may not fit an int.
      const int ix = dentro ? static_cast<int>(px) : 0, iy = dentro ? static_cast<int>(py) : 0;
      m |= static_cast<uint64_t>(dentro & mapa_->tiene(dentro, ix, iy)) << b;
    }
    return m;
  }

  // The first k >= 1 whose sample is not strictly inside the grid. From
  // sample 1 on each coordinate moves monotonically and starts inside the
  // closed grid, so the samples strictly inside form a run from 1: an
  // estimate from the line's exit, corrected by testing the computed samples.
  int primeraFueraDeLaMalla() const {
    double limite = 1e9;
    constexpr double kPlano = 1e-12;
    if (cos_ > kPlano) limite = std::min(limite, (columnas_ - x0_) / cos_);
    if (cos_ < -kPlano) limite = std::min(limite, -x0_ / cos_);
    if (sin_ > kPlano) limite = std::min(limite, (filas_ - y0_) / sin_);
    if (sin_ < -kPlano) limite = std::min(limite, -y0_ / sin_);
    int k = static_cast<int>(std::clamp(std::floor(limite), 1.0, 1e9));
    while (k > 1 && !dentroEstricto(k - 1)) --k;
    while (dentroEstricto(k)) ++k;
    return k;
  }

  int fin() const { return fin_; }

 private:
  // Whether sample k, 0 <= k < largo_, lies in the box, and then its pixel.
  bool enCajaTabulada(int k, int& px, int& py) const {
    px = x0_ + dx_[k];
    py = y0_ + dy_[k];
    return (px >= caja_->x0) & (px <= caja_->x1) & (py >= caja_->y0) & (py <= caja_->y1);
  }

  const uint16_t* imagen_;
  int columnas_;
  int filas_;
  int x0_;
  int y0_;
  double cos_;
  double sin_;
  int etiqueta_;
  const CajaRegion* caja_;
  const MapaRegion* mapa_;
  const int32_t* dx_;
  const int32_t* dy_;
  int largo_;
  int fin_;

  // The first k from which on every sample lies beyond one of the outline's
  // lines. For a line u.p <= h the exact position x0 + k d passes h + margin
  // once k > (h + margin - u.x0) / (u.d). The computed samples stray from the
  // exact line by some 1e-12, the outline's bounds err by as little, and the
  // margin of 1e-6 covers both; so a sample past that k lies outside the
  // outline, and so does the pixel square holding it. Lines almost parallel
  // to the ray are skipped: their bound is weak and its rounding large.
  int primeraFuera(const ContornoRegion& c) const {
    constexpr double kMargen = 1e-6;
    constexpr double kMinimaInclinacion = 0.1;
    double limite = std::numeric_limits<double>::infinity();
    for (std::size_t m = 0; m < ContornoRegion::kDirecciones; ++m) {
      const double ux = ContornoRegion::direccion(m)[0], uy = ContornoRegion::direccion(m)[1];
      const double ud = ux * cos_ + uy * sin_;
      const double up = ux * x0_ + uy * y0_;
      if (ud > kMinimaInclinacion)
        limite = std::min(limite, (c.maximo[m] + kMargen - up) / ud);
      else if (ud < -kMinimaInclinacion)
        limite = std::min(limite, (c.minimo[m] - kMargen - up) / ud);
    }
    if (!(limite < 1e9)) return std::numeric_limits<int>::max();
    return static_cast<int>(std::max(-1.0, std::ceil(limite))) + 1;
  }
};

void escribeLineaSegmento(const Segmento& s) {
  std::cout << s.etiqueta << ", " << s.longitud << ", " << std::sqrt(s.cx * s.cx + s.cy * s.cy)
            << ", " << s.angulo * 180 / kPi << ", " << s.pendiente << '\n';
}

}  // namespace

Segmento::Segmento(double cx_, double cy_, double longitud_, double angulo_)
    : cx(cx_), cy(cy_), longitud(longitud_), angulo(angulo_), pendiente(std::tan(angulo_)), valido(true) {}

namespace {

// The match bits of a ray's samples, computed in chunks as a search needs them.
class Muestras {
 public:
  explicit Muestras(const Rayo& rayo) : rayo_(rayo) {}

  // The first k in [desde, hasta) whose sample matches (coincide) or does not,
  // or hasta when there is none. hasta - desde may be large: chunks grow from
  // 16 samples, as most searches end within a few.
  int primera(int desde, int hasta, bool coincide) {
    int ancho = 16;
    for (int k = desde; k < hasta;) {
      if (!tiene(k)) {
        carga(k, ancho, hasta);
        ancho = 64;
      }
      const int hastaAqui = std::min(base_ + n_, hasta);
      uint64_t w = (coincide ? bits_ : ~bits_) >> (k - base_);
      const int tramo = hastaAqui - k;
      if (tramo < 64) w &= (uint64_t{1} << tramo) - 1;
      if (w) return k + std::countr_zero(w);
      k = hastaAqui;
    }
    return hasta;
  }

  // primera(desde, hasta, false), remembered for the last few runs: the
  // locating pass follows the runs the count has just walked, and a long run
  // through a solid region is its whole cost.
  int finDeTramo(int desde, int hasta) {
    for (const Tramo& t : tramos_)
      if (t.desde == desde && t.hasta == hasta) return t.fin;
    const int fin = primera(desde, hasta, false);
    tramos_[siguienteTramo_] = {desde, hasta, fin};
    siguienteTramo_ = (siguienteTramo_ + 1) % kTramos;
    return fin;
  }

  // Whether sample k matches, for k < hasta.
  bool coincide(int k, int hasta) {
    if (!tiene(k)) carga(k, 64, hasta);
    return (bits_ >> (k - base_)) & 1;
  }

 private:
  bool tiene(int k) const { return k >= base_ && k < base_ + n_; }
  void carga(int k, int ancho, int hasta) {
    base_ = k;
    n_ = static_cast<int>(std::min<long long>(ancho, static_cast<long long>(hasta) - k));
    bits_ = rayo_.mascara(base_, n_);
  }

  struct Tramo {
    int desde = -1, hasta = -1, fin = -1;
  };
  static constexpr int kTramos = 4;

  const Rayo& rayo_;
  int base_ = 0, n_ = 0;
  uint64_t bits_ = 0;
  std::array<Tramo, kTramos> tramos_{};
  int siguienteTramo_ = 0;
};

// The counting pass over match bits, for a ray with an outline: the count of
// the sample-by-sample loop in `traza`, found by jumping from run to run.
//
// That loop tests sample u after checking that the position before it (u - 1,
// or the end j of the last run when u = j + 2) lies strictly inside the grid;
// within a stretch of gaps that check can only start failing as u grows, so
// the stretch from s ends at its first match before the first failing u, or
// the walk ends there. Sample 0 may lie on the grid's edge while 1, 2, ... do
// not, so its position is tested on its own. Only the samples before fin_ can
// match; runs of lengths l1, ..., ln among the R = fin_ - u of them from u on
// add l1 + ... + ln + n, and every run but the last is followed by its
// non-matching end and the skipped sample, so the count grows by at most
// R + 1: once count + R + 1 <= minRun the ray cannot become long.
bool cuentaPorMascaras(const Rayo& rayo, Muestras& muestras, int minRun, int& cuenta) {
  const bool dentro0 = rayo.dentroEstricto(0);
  const int fuera = rayo.primeraFueraDeLaMalla();
  const auto dentro = [&](int k) { return k == 0 ? dentro0 : k < fuera; };
  const int tope = std::min(rayo.fin(), 1 << 30);
  int s = 0, antes = -1;
  cuenta = 0;
  for (;;) {
    long long falla;  // the first u of the stretch that would not be tested
    if (s == 0)
      falla = dentro0 ? static_cast<long long>(fuera) + 1 : 1;
    else
      falla = dentro(antes) ? std::max<long long>(s + 1, static_cast<long long>(fuera) + 1) : s;
    // The first u from which the count could no longer pass minRun.
    const long long agotado = static_cast<long long>(rayo.fin()) + std::min(0, 1 + cuenta - minRun);
    falla = std::min(falla, agotado);
    if (falla <= s) return false;
    const int hasta = static_cast<int>(std::min<long long>(falla, tope));
    const int t = muestras.primera(s, hasta, true);
    if (t >= hasta) return false;
    const int j = muestras.finDeTramo(t, tope);
    cuenta += j - t + 1;
    if (cuenta > minRun) return true;
    s = j + 2;
    antes = j;
  }
}

// The ray walk; with an outline, the counting pass ends as soon as what is
// left of the ray inside the outline could no longer make it long: the rest
// of the walk would count too little, or step over background only.
Segmento traza(const uint16_t* imagen, const Dimensiones* dims, int x0, int y0, double theta,
               int minRun, int etiqueta, const ContornoRegion* contorno = nullptr, const MapaRegion* mapa = nullptr,
               const PasosAngulo* pasos = nullptr) {
  const Rayo rayo(imagen, dims, x0, y0, theta, etiqueta, contorno, mapa, pasos);
  // With an outline both passes read the ray's match bits.
  Muestras muestras(rayo);

  // Counting pass: every run adds its length plus one; gaps of any length
  // are bridged while the last position stays strictly inside the grid.
  double X = 0, Y = 0;
  int cuenta = 0;
  bool largo = false;
  if (contorno) {
    largo = cuentaPorMascaras(rayo, muestras, minRun, cuenta);
  } else {
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
  }
  if (!largo) return Segmento();

  // Locating pass: runs are followed only where the sample two past a run's
  // end matches again, and each run visited sets the start anew.
  // With an outline the match bits answer both questions, 64 samples at a
  // time: no sample from fin() on matches.
  const int tope = std::min(rayo.fin(), 1 << 30);
  const auto coincide = [&](int j) {
    return contorno ? j < tope && muestras.coincide(j, tope) : rayo.coincide(j);
  };
  const auto finDeTramo = [&](int j) { return contorno ? muestras.finDeTramo(j, tope) : rayo.finDeTramo(j); };
  double sx = rayo.x(0), sy = rayo.y(0);
  for (int j = 0;;) {
    X = rayo.x(j);
    Y = rayo.y(j);
    if (!coincide(j)) break;
    sx = X;
    sy = Y;
    const int k = finDeTramo(j);
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

// Where the regions to search lie: each kept label's outline over the whole
// slice, and its pixels on the search grid in the order of the full scan
// (columns x = 0, speed, ..., and in each the rows y = 0, speed, ...).
struct RegionesABuscar {
  std::vector<int> indice;  // label -> entry, -1 when the label is not searched
  std::vector<ContornoRegion> contornos;
  std::vector<std::vector<std::pair<int, int>>> pixeles;
};

RegionesABuscar localizaRegiones(const uint16_t* imagen, int columnas, int filas, int speed,
                                 const ListaRegiones& kept) {
  RegionesABuscar r;
  r.indice.assign(65536, -1);
  for (int k = 0; k < kept.numRegiones; ++k) {
    const int e = kept.etiquetas[k];
    if (e < 0 || e > 65535 || r.indice[e] >= 0) continue;
    r.indice[e] = static_cast<int>(r.contornos.size());
    r.contornos.emplace_back();
  }
  r.pixeles.resize(r.contornos.size());
  for (int y = 0; y < filas; ++y) {
    const uint16_t* fila = imagen + static_cast<std::size_t>(y) * static_cast<std::size_t>(columnas);
    for (int x = 0; x < columnas; ++x) {
      const int n = r.indice[fila[x]];
      if (n >= 0) r.contornos[n].incluye(x, y);
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

void limitaCarriles(int carriles) { carrilesPermitidos = carriles; }

Segmento trazaSegmento(const uint16_t* imagen, const Dimensiones* dims, int x0, int y0,
                       double theta, int minRun, int etiqueta) {
  return traza(imagen, dims, x0, y0, theta, minRun, etiqueta);
}

const std::array<double, 2>& ContornoRegion::direccion(std::size_t m) {
  static const std::array<std::array<double, 2>, kDirecciones> u = [] {
    std::array<std::array<double, 2>, kDirecciones> v{};
    for (std::size_t i = 0; i < kDirecciones; ++i) {
      const double a = static_cast<double>(i) * kPi / kDirecciones;
      v[i] = {std::cos(a), std::sin(a)};
    }
    return v;
  }();
  return u[m];
}

ContornoRegion::ContornoRegion() {
  minimo.fill(std::numeric_limits<double>::infinity());
  maximo.fill(-std::numeric_limits<double>::infinity());
}

void ContornoRegion::incluye(int x, int y) {
  caja.x0 = std::min(caja.x0, x);
  caja.x1 = std::max(caja.x1, x);
  caja.y0 = std::min(caja.y0, y);
  caja.y1 = std::max(caja.y1, y);
  for (std::size_t m = 0; m < kDirecciones; ++m) {
    const double ux = direccion(m)[0], uy = direccion(m)[1];
    // The square [x, x+1) x [y, y+1): its corner farthest along u and the one
    // farthest against it.
    const double base = ux * x + uy * y;
    minimo[m] = std::min(minimo[m], base + std::min(0.0, ux) + std::min(0.0, uy));
    maximo[m] = std::max(maximo[m], base + std::max(0.0, ux) + std::max(0.0, uy));
  }
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

namespace {

// agrupaPorEtiqueta of the regions' segments joined in region order, without
// copying them: all of a region's segments carry its label, so each region's
// list becomes its label's group whole, or is appended to it when a label
// was searched twice.
MapaSegmentos agrupaPorRegion(std::vector<std::deque<Segmento>> porRegion) {
  MapaSegmentos grupos;
  int lo = std::numeric_limits<int>::max(), hi = std::numeric_limits<int>::min();
  for (const std::deque<Segmento>& r : porRegion)
    if (!r.empty()) {
      lo = std::min(lo, r.front().etiqueta);
      hi = std::max(hi, r.front().etiqueta);
    }
  if (lo > hi) return grupos;
  for (int g = 0; g <= hi - lo; ++g) grupos[g];
  for (std::deque<Segmento>& r : porRegion) {
    if (r.empty()) continue;
    std::deque<Segmento>& grupo = grupos[r.front().etiqueta - lo];
    if (grupo.empty())
      grupo = std::move(r);
    else
      std::move(r.begin(), r.end(), std::back_inserter(grupo));
  }
  return grupos;
}

// The offsets of the rays at each of the nAng / 2 angles, far enough for a
// ray to cross the slice; 32 MiB in all at most, beyond which rays compute
// their samples themselves.
std::vector<PasosAngulo> tablasDePasos(int nAng, int columnas, int filas) {
  const int mitad = std::max(nAng / 2, 0);
  if (mitad == 0) return {};
  constexpr long long kEntradas = 1 << 22;
  const long long cruce = static_cast<long long>(std::ceil(std::hypot(columnas, filas))) + 3;
  const int largo = static_cast<int>(std::min(cruce, kEntradas / mitad));
  std::vector<PasosAngulo> pasos;
  pasos.reserve(static_cast<std::size_t>(mitad));
  for (int a = 0; a < mitad; ++a) pasos.push_back(pasosAngulo((a * kDosPi) / nAng, largo, std::max(columnas, filas)));
  return pasos;
}

}  // namespace

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

  // How deep each pixel lies in its region, for the pruning's walks between
  // segments to step over interiors.
  const std::vector<uint16_t> profundidad =
      recorrido == Recorrido::porCajas ? profundidades(imagen, columnas, filas) : std::vector<uint16_t>{};
  const uint16_t* prof = profundidad.empty() ? nullptr : profundidad.data();
  const std::vector<PasosAngulo> pasos =
      recorrido == Recorrido::porCajas ? tablasDePasos(nAng, columnas, filas) : std::vector<PasosAngulo>{};

  // The rays of one start pixel, in the order of their angles.
  auto buscaDesde = [&](std::deque<Segmento>& hallados, int x, int y, int etiqueta,
                        const ContornoRegion* contorno, const MapaRegion* mapa) {
    for (int a = 0; a < mitad; ++a) {
      const double theta = (a * kDosPi) / nAng;
      Segmento s = traza(imagen, dims, x, y, theta, lMinLine, etiqueta, contorno, mapa,
                         pasos.empty() ? nullptr : &pasos[static_cast<std::size_t>(a)]);
      if (s.valido && s.longitud > lMinLine) hallados.push_back(s);
    }
  };
  MapaSegmentos grupos;
  if (recorrido == Recorrido::completo) {
    std::deque<Segmento> aceptados;
    for (int k = 0; k < kept.numRegiones; ++k) {
      std::cout << k << '\r' << std::flush;
      const int etiqueta = kept.etiquetas[k];
      for (int x = 0; x < columnas; x += speed) {
        for (int y = 0; y < filas; y += speed) {
          const std::size_t i =
              static_cast<std::size_t>(y) * static_cast<std::size_t>(columnas) + static_cast<std::size_t>(x);
          if (imagen[i] == etiqueta) buscaDesde(aceptados, x, y, etiqueta, nullptr, nullptr);
        }
      }
    }
    std::cout << "N Antes Optimiza: " << aceptados.size() << '\n';
    grupos = agrupaPorEtiqueta(std::move(aceptados));
  } else {
    // The slice does not change while the rays are cast, so where each
    // region lies can be found once instead of scanning the slice per
    // region, and the regions can be searched side by side: each one's
    // segments are kept apart and grouped in region order afterwards, which
    // is the order of the plain walk.
    const RegionesABuscar regiones = localizaRegiones(imagen, columnas, filas, speed, kept);
    std::vector<std::deque<Segmento>> porRegion(static_cast<std::size_t>(std::max(kept.numRegiones, 0)));
    enParalelo(kept.numRegiones, [&] {
      return [&, mapa = MapaRegion()](int k) mutable {
        const int etiqueta = kept.etiquetas[k];
        const int n = etiqueta >= 0 && etiqueta <= 65535 ? regiones.indice[etiqueta] : -1;
        if (n < 0 || regiones.pixeles[n].empty()) return;
        mapa.rellena(imagen, columnas, regiones.contornos[n].caja, etiqueta);
        for (const auto& [x, y] : regiones.pixeles[n])
          buscaDesde(porRegion[k], x, y, etiqueta, &regiones.contornos[n], &mapa);
      };
    });
    std::size_t total = 0;
    for (int k = 0; k < kept.numRegiones; ++k) {
      std::cout << k << '\r' << std::flush;
      total += porRegion[k].size();
    }
    std::cout << "N Antes Optimiza: " << total << '\n';
    grupos = agrupaPorRegion(std::move(porRegion));
  }
  std::cout << "Tamanho Mapa: " << grupos.size() << '\n';

  // The first pruning pass prints nothing and reads only its own group and
  // the slice, so the groups take it side by side, the largest first; the
  // rest follows in group order.
  const bool plano = recorrido == Recorrido::completo;
  // Groups of one segment or none are kept as they are.
  std::map<int, bool> sePoda;
  for (const auto& [g, grupo] : grupos) sePoda[g] = grupo.size() > 1;
  if (!plano) {
    std::vector<std::deque<Segmento>*> porPodar;
    for (auto& [g, grupo] : grupos)
      if (sePoda[g]) porPodar.push_back(&grupo);
    std::stable_sort(porPodar.begin(), porPodar.end(),
                     [](const auto* a, const auto* b) { return a->size() > b->size(); });
    enParalelo(static_cast<int>(porPodar.size()), [&] {
      return [&](int i) { *porPodar[i] = optimiza0(imagen, dims, std::move(*porPodar[i]), prof); };
    });
  }
  MapaSegmentos resultado;
  for (auto& [g, grupo] : grupos) {
    if (!sePoda[g]) {
      resultado[g];
      continue;
    }
    std::deque<Segmento> o0 = plano ? optimiza0Referencia(imagen, dims, std::move(grupo)) : std::move(grupo);
    std::cout << "Nueva N Despues Optimiza 0: " << o0.size() << '\n';
    for (const Segmento& s : o0) escribeLineaSegmento(s);
    std::deque<Segmento> o1 = plano ? optimiza1Referencia(imagen, dims, std::move(o0), kDosPi / nAng)
                                    : optimiza1(imagen, dims, std::move(o0), kDosPi / nAng, prof);
    std::cout << "Nueva N Despues Optimiza 1: " << o1.size() << '\n';
    for (const Segmento& s : o1) escribeLineaSegmento(s);
    resultado[g] = std::move(o1);
  }
  return resultado;
}
