#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

// How the detector's stages share the machine's cores (eight at most). No
// result may depend on how many threads there are: each item or row is
// computed on its own.

inline unsigned nucleos() { return std::max(1u, std::min(8u, std::thread::hardware_concurrency())); }

// Runs trabajo(i) for i = 0 ... n - 1, each once. Each thread takes its
// worker from haceTrabajador, so that what a worker keeps between items is
// its own.
template <typename HaceTrabajador>
void enParalelo(int n, HaceTrabajador haceTrabajador) {
  std::atomic<int> siguiente{0};
  auto trabaja = [&] {
    auto trabajo = haceTrabajador();
    for (int i; (i = siguiente.fetch_add(1)) < n;) trabajo(i);
  };
  const unsigned hilos = std::min<unsigned>(nucleos(), static_cast<unsigned>(std::max(n, 1)));
  std::vector<std::thread> ayudantes;
  for (unsigned h = 1; h < hilos; ++h) ayudantes.emplace_back(trabaja);
  trabaja();
  for (std::thread& t : ayudantes) t.join();
}

// Runs banda(desde, hasta) over bands of the n0 rows of n1 samples: one band
// of at least 64 rows and 64 Ki samples a core.
template <typename Banda>
void enBandas(std::size_t n0, std::size_t n1, Banda banda) {
  const std::size_t porMuestras = n0 * n1 / (64 * 1024) + 1;
  const unsigned hilos = static_cast<unsigned>(std::min<std::size_t>({nucleos(), n0 / 64 + 1, porMuestras}));
  if (hilos == 1) {
    banda(std::size_t{0}, n0);
    return;
  }
  std::vector<std::thread> bandas;
  for (unsigned h = 1; h < hilos; ++h) bandas.emplace_back(banda, n0 * h / hilos, n0 * (h + 1) / hilos);
  banda(std::size_t{0}, n0 / hilos);
  for (std::thread& t : bandas) t.join();
}
