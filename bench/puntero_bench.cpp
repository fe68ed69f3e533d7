// What one pointer event costs on a picture of a given side: the overlay
// copy and the crosshair of a drag step, and the squares of a full manual
// edge.
#include <benchmark/benchmark.h>

#include <QImage>

#include "puntero.h"

namespace {

QImage gris(int lado) {
  QImage im(lado, lado, QImage::Format_RGB32);
  im.fill(qRgb(90, 90, 90));
  return im;
}

void BM_PasoDeArrastre(benchmark::State& estado) {
  const int lado = int(estado.range(0));
  const QImage imagen = gris(lado);
  int x = 1;
  for (auto _ : estado) {
    QImage superpuesta = imagen.copy();
    dibujaCruz(superpuesta, x, lado / 2);
    const QString texto = textoLectura(0, x, lado / 2, 1234, "CT");
    benchmark::DoNotOptimize(superpuesta.constBits());
    benchmark::DoNotOptimize(texto.constData());
    x = x % (lado - 1) + 1;
  }
  estado.SetItemsProcessed(estado.iterations());
}
BENCHMARK(BM_PasoDeArrastre)->Arg(512)->Arg(2048)->Unit(benchmark::kMicrosecond);

void BM_MarcasDeVeinticincoPuntos(benchmark::State& estado) {
  const int lado = int(estado.range(0));
  const QImage imagen = gris(lado);
  for (auto _ : estado) {
    QImage superpuesta = imagen.copy();
    for (int i = 0; i < PuntosManuales::kMaximo; ++i) dibujaMarca(superpuesta, 10 + 7 * i, 20 + 3 * i);
    benchmark::DoNotOptimize(superpuesta.constBits());
  }
}
BENCHMARK(BM_MarcasDeVeinticincoPuntos)->Arg(512)->Arg(2048)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
