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

// Bars of 60 ... 200 samples, 3 ... 6 thick, at any angle, value about 3000,
// one per 64 x 64 block on average, over uniform noise 0 ... 999. A fixed
// linear congruential generator keeps every run on the same slice.
std::vector<uint16_t> barrasConRuido(int lado) {
  uint32_t estado = 12345;
  const auto azar = [&estado](uint32_t n) {
    estado = estado * 1664525u + 1013904223u;
    return (estado >> 8) % n;
  };
  std::vector<uint16_t> v(static_cast<std::size_t>(lado) * lado);
  for (uint16_t& m : v) m = static_cast<uint16_t>(azar(1000));
  const int barras = (lado / 64) * (lado / 64);
  for (int b = 0; b < barras; ++b) {
    const double cx = azar(lado), cy = azar(lado);
    const double largo = 60 + azar(141), grueso = 3 + azar(4);
    const double ang = azar(3600) * 3.141592653589793 / 3600;
    const double ux = std::cos(ang), uy = std::sin(ang);
    for (double t = -largo / 2; t <= largo / 2; t += 0.5)
      for (double u = -grueso / 2; u <= grueso / 2; u += 0.5) {
        const int x = static_cast<int>(std::lround(cx + t * ux - u * uy));
        const int y = static_cast<int>(std::lround(cy + t * uy + u * ux));
        if (x >= 0 && x < lado && y >= 0 && y < lado)
          v[static_cast<std::size_t>(y) * lado + x] = static_cast<uint16_t>(2800 + azar(400));
      }
  }
  return v;
}

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
  for (auto _ : state) benchmark::DoNotOptimize(filtroGradiente(aFilas(e.suavizada.data(), e.dims), e.dims, 2, 1));
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

BENCHMARK(Completo)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Difusion)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Gradiente)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(EstiramientoYUmbral)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Deteccion)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PinturaYFicheros)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
