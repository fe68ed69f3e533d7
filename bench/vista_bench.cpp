// A slice change as the window makes it: the slice's samples into the display
// buffer, the picture through the window (the palette, when one is chosen,
// laid into the window's table), and the pixmap the label shows. The window
// itself is not built: the steps it adds (spin boxes, status line) cost
// nothing beside these.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include <QApplication>
#include <QPixmap>

#include "orientacion.h"
#include "render.h"

namespace {

std::vector<uint16_t> cortePrueba(int lado) {
  std::vector<uint16_t> v(static_cast<std::size_t>(lado) * lado);
  std::mt19937 azar(3);
  for (auto& x : v) x = static_cast<uint16_t>(azar());
  return v;
}

Paleta paletaPrueba() {
  Paleta p;
  for (int e = 0; e < 256; ++e) p.entradas[e] = {uint16_t(e), uint16_t(255 - e), uint16_t(e / 2)};
  return p;
}

void CambioDeCorte(benchmark::State& state) {
  const int lado = static_cast<int>(state.range(0));
  const bool conPaleta = state.range(1) != 0;
  const std::vector<uint16_t> corte = cortePrueba(lado);
  const Paleta paleta = paletaPrueba();
  for (auto _ : state) {
    Imagen16 b;
    b.ancho = lado;
    b.alto = lado;
    b.muestras.assign(corte.begin(), corte.end());
    const QImage imagen = renderizaVentana(b, 1000, 40000, conPaleta ? Tinte{&paleta} : Tinte{});
    QPixmap pixmap = QPixmap::fromImage(imagen);
    benchmark::DoNotOptimize(pixmap.cacheKey());
  }
}
BENCHMARK(CambioDeCorte)
    ->ArgsProduct({{512, 2048}, {0, 1}})
    ->ArgNames({"lado", "paleta"})
    ->Unit(benchmark::kMillisecond)
    // Many changes, as a held key makes them: one alone is mostly the first
    // touch of freshly allocated pictures.
    ->MinTime(0.5)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
