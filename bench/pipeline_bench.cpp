// The line detector's default run (the parameters of an untouched dialog) on
// synthetic slices of bright bars over a noisy background, whole and stage by
// stage. The detector's log lines are formatted but sent nowhere, so the
// terminal does not take part in the timing.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <streambuf>
#include <string>
#include <vector>

#include "difusion.h"
#include "escenas.h"
#include "etiquetado.h"
#include "estadisticas.h"
#include "gradiente.h"
#include "normalizacion.h"
#include "pipeline.h"
#include "segmentos.h"

namespace {

class Descarte : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

class SinSalida {
 public:
  SinSalida() : anterior_(std::cout.rdbuf(&descarte_)) {}
  ~SinSalida() { std::cout.rdbuf(anterior_); }

 private:
  Descarte descarte_;
  std::streambuf* anterior_;
};

MapaParametros parametrosPorDefecto() {
  return {{"nIts", "25"},     {"s", "1"},         {"w", "2"},           {"th", "150"},
          {"dl", ""},         {"nAng", "128"},    {"lLine", "75"},      {"lMinLine", "40"},
          {"speed", "2"},     {"minSize", "50"},  {"maxSize", "100000"}, {"nBins", "10"},
          {"tipoOutput", "n"}};
}

// The slice before each stage, computed once per size.
struct Etapas {
  Dimensiones dims;
  std::vector<uint16_t> original, suavizada, gradiente, estirada, umbralizada, etiquetada;
  MapaSegmentos segmentos;
};

const Etapas& etapas(int lado) {
  static std::map<int, Etapas> cache;
  auto it = cache.find(lado);
  if (it != cache.end()) return it->second;
  SinSalida silencio;
  Etapas& e = cache[lado];
  e.dims = {lado, lado};
  e.original = barrasConRuido(lado);
  const std::vector<float> f = difusionAnisotropica(e.original.data(), e.dims, 25, 1, 2000, 0.14);
  e.suavizada = flotanteAU16(f.data(), static_cast<int>(f.size()));
  const Filas<double> g = filtroGradiente(aFilas(e.suavizada.data(), e.dims), e.dims, 2, 1);
  for (const auto& fila : g)
    for (double x : fila) e.gradiente.push_back(dobleAU16(x));
  e.estirada = e.gradiente;
  normalizaCDF(e.estirada.data(), e.dims, 0, 255, 5);
  e.umbralizada = e.estirada;
  umbralizacion(e.umbralizada.data(), e.dims, 150);
  e.etiquetada = e.umbralizada;
  Dimensiones d = e.dims;
  e.segmentos = hallaSegmentos(e.etiquetada.data(), &d, 2, 128, 40, 50, 100000);
  return e;
}

std::string carpetaDatos() {
  const auto ruta = std::filesystem::temp_directory_path() / "trelkin_bench_data";
  std::filesystem::create_directories(ruta);
  return ruta.string();
}

void Completo(benchmark::State& state) {
  const Etapas& e = etapas(static_cast<int>(state.range(0)));
  const MapaParametros p = parametrosPorDefecto();
  const std::string datos = carpetaDatos();
  SinSalida silencio;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<uint16_t> v = e.original;
    Dimensiones d = e.dims;
    state.ResumeTiming();
    procesaImagen(v.data(), &d, p, datos);
    benchmark::DoNotOptimize(v.data());
  }
}

void Difusion(benchmark::State& state) {
  const Etapas& e = etapas(static_cast<int>(state.range(0)));
  SinSalida silencio;
  for (auto _ : state) {
    const std::vector<float> f = difusionAnisotropica(e.original.data(), e.dims, 25, 1, 2000, 0.14);
    benchmark::DoNotOptimize(flotanteAU16(f.data(), static_cast<int>(f.size())));
  }
}

void Gradiente(benchmark::State& state) {
  const Etapas& e = etapas(static_cast<int>(state.range(0)));
  std::vector<uint16_t> salida(e.suavizada.size());
  for (auto _ : state) {
    gradienteAU16(e.suavizada.data(), e.dims, 2, 1, salida.data());
    benchmark::DoNotOptimize(salida.data());
  }
}

void EstiramientoYUmbral(benchmark::State& state) {
  const Etapas& e = etapas(static_cast<int>(state.range(0)));
  SinSalida silencio;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<uint16_t> v = e.gradiente;
    state.ResumeTiming();
    normalizaCDF(v.data(), e.dims, 0, 255, 5);
    umbralizacion(v.data(), e.dims, 150);
    benchmark::DoNotOptimize(v.data());
  }
}

void Deteccion(benchmark::State& state) {
  const Etapas& e = etapas(static_cast<int>(state.range(0)));
  SinSalida silencio;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<uint16_t> v = e.umbralizada;
    Dimensiones d = e.dims;
    state.ResumeTiming();
    benchmark::DoNotOptimize(hallaSegmentos(v.data(), &d, 2, 128, 40, 50, 100000));
  }
  state.counters["segmentos"] = [&] {
    double n = 0;
    for (const auto& [k, g] : e.segmentos) n += static_cast<double>(g.size());
    return n;
  }();
}

void Etiquetado(benchmark::State& state) {
  const Etapas& e = etapas(static_cast<int>(state.range(0)));
  SinSalida silencio;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<uint16_t> v = e.umbralizada;
    Dimensiones d{e.dims.dim1, e.dims.dim0};
    state.ResumeTiming();
    const ListaRegiones lista = etiquetaRegiones(v.data(), &d, 255);
    benchmark::DoNotOptimize(filtraTamano(lista, 100000, 50));
  }
}

// Few large solid regions and a comb of many parallel bars: the rays and the
// pruning, not the filters, take the time.
void DeteccionDificil(benchmark::State& state) {
  const int lado = static_cast<int>(state.range(0));
  const std::vector<uint16_t> escena = escenaDificil(lado);
  SinSalida silencio;
  double segmentos = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<uint16_t> v = escena;
    Dimensiones d{lado, lado};
    state.ResumeTiming();
    const MapaSegmentos m = hallaSegmentos(v.data(), &d, 2, 128, 40, 50, 100000);
    segmentos = 0;
    for (const auto& [k, g] : m) segmentos += static_cast<double>(g.size());
  }
  state.counters["segmentos"] = segmentos;
}

void PinturaYFicheros(benchmark::State& state) {
  const Etapas& e = etapas(static_cast<int>(state.range(0)));
  const std::string datos = carpetaDatos();
  SinSalida silencio;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<uint16_t> v = e.original;
    state.ResumeTiming();
    pintaSegmentos(v.data(), &e.dims, e.segmentos, 'n');
    escribeLongitudes(e.segmentos, datos + "/dataLen.dat");
    escribeAngulos(e.segmentos, datos + "/dataAng.dat");
    escribeHistograma(histogramaLongitudes(e.segmentos, 10), datos + "/histoLen.dat");
    escribeHistograma(histogramaAngulos(e.segmentos, 10), datos + "/histoAng.dat");
    benchmark::DoNotOptimize(v.data());
  }
}

}  // namespace

// 256 is the size of the bundled sample; the rest the sizes a user meets.
void Tamanos(benchmark::internal::Benchmark* b) {
  for (int lado : {256, 512, 1024, 2048, 4096}) b->Arg(lado);
  b->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(Completo)->Apply(Tamanos);
BENCHMARK(Difusion)->Apply(Tamanos);
BENCHMARK(Gradiente)->Apply(Tamanos);
BENCHMARK(EstiramientoYUmbral)->Apply(Tamanos);
BENCHMARK(Etiquetado)->Apply(Tamanos);
BENCHMARK(Deteccion)->Apply(Tamanos);
BENCHMARK(PinturaYFicheros)->Apply(Tamanos);
BENCHMARK(DeteccionDificil)->Arg(256)->Arg(512)->Arg(2048)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
