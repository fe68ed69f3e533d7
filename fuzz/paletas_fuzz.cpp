// fuzz-libs: osmavu_viewer
// The palette file is read at every start; a damaged copy must not stop the viewer.
#include <sstream>

#include "objetivo.h"
#include "render.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  silencia();
  std::istringstream entrada(std::string(reinterpret_cast<const char*>(datos), tamano));
  parseaPaletas(entrada);
  return 0;
}

void escribeSemillas(const std::string& carpeta) {
  std::string una = "2000\n";
  for (int i = 0; i < 256; ++i) una += std::to_string(i) + " " + std::to_string(255 - i) + " 7\n";
  escribeFichero(carpeta, "una", una);
  escribeFichero(carpeta, "corta", "1500 1 2 3 1200 4\n");
}
