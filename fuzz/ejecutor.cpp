// Replays inputs through a target without libFuzzer:
//   target FILE_OR_FOLDER...   runs every file given or held by a folder
//   target --semillas FOLDER   writes the target's seeds there
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "objetivo.h"

namespace fs = std::filesystem;

namespace {
int ejecuta(const fs::path& ruta) {
  std::ifstream f(ruta, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::cerr << "replaying " << ruta.string() << " (" << bytes.size() << " bytes)\n";
  return LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--semillas") {
    escribeSemillas(argv[2]);
    return 0;
  }
  int vistos = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path ruta(argv[i]);
    if (!fs::is_directory(ruta)) {
      ejecuta(ruta);
      ++vistos;
      continue;
    }
    std::vector<fs::path> ficheros;
    for (const auto& e : fs::directory_iterator(ruta))
      if (e.is_regular_file()) ficheros.push_back(e.path());
    std::sort(ficheros.begin(), ficheros.end());
    for (const auto& f : ficheros) ejecuta(f), ++vistos;
  }
  std::cerr << vistos << " inputs replayed\n";
  return 0;
}
