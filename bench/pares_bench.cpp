// The tools a user would pick instead, on the very scenes of pipeline_bench:
// OpenCV's line segment detector (LSD) and its anisotropic diffusion, built
// only where OpenCV is installed (scripts/bench installs it; the viewer never
// links it). LSD takes 8-bit pictures, the diffusion 8-bit colour ones: the
// scenes are scaled into 8 bits once, outside the timing.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include <opencv2/imgproc.hpp>
#include <opencv2/ximgproc.hpp>

#include "escenas.h"

namespace {

cv::Mat escena8(int lado) {
  const std::vector<uint16_t> v = barrasConRuido(lado);
  cv::Mat m(lado, lado, CV_8UC1);
  for (int y = 0; y < lado; ++y)
    for (int x = 0; x < lado; ++x)
      m.at<uint8_t>(y, x) = static_cast<uint8_t>(std::min(255, v[static_cast<std::size_t>(y) * lado + x] / 16));
  return m;
}

void LSD(benchmark::State& state) {
  const cv::Mat m = escena8(static_cast<int>(state.range(0)));
  cv::Ptr<cv::LineSegmentDetector> lsd = cv::createLineSegmentDetector();
  std::vector<cv::Vec4f> lineas;
  for (auto _ : state) {
    lsd->detect(m, lineas);
    benchmark::DoNotOptimize(lineas.data());
  }
  state.counters["segmentos"] = static_cast<double>(lineas.size());
}

void DifusionOpenCV(benchmark::State& state) {
  cv::Mat color;
  cv::cvtColor(escena8(static_cast<int>(state.range(0))), color, cv::COLOR_GRAY2BGR);
  cv::Mat salida;
  for (auto _ : state) {
    cv::ximgproc::anisotropicDiffusion(color, salida, 0.14f, 20.0f, 25);
    benchmark::DoNotOptimize(salida.data);
  }
}

void Tamanos(benchmark::internal::Benchmark* b) {
  for (int lado : {256, 512, 1024, 2048, 4096}) b->Arg(lado);
  b->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

BENCHMARK(LSD)->Apply(Tamanos);
BENCHMARK(DifusionOpenCV)->Apply(Tamanos);

BENCHMARK_MAIN();
