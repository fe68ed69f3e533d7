// fuzz-libs: osmavu_import
// The recognizer reads the first bytes of any file the user picks.
#include "objetivo.h"
#include "reconocedor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  silencia();
  const std::string ruta = ficheroDeEntrada(datos, tamano);
  formatoDeFichero(ruta);
  valorInicial(ruta);
  return 0;
}

void escribeSemillas(const std::string& carpeta) {
  escribeFichero(carpeta, "vacio", "");
  escribeFichero(carpeta, "dicom", std::string(128, '\0') + "DICM" + std::string(16, '\x02'));
  escribeFichero(carpeta, "tiff", std::string("II*\0\x08\0\0\0", 8));
  escribeFichero(carpeta, "jpeg", "\xFF\xD8\xFF\xE0");
  escribeFichero(carpeta, "png", "\x89PNG\r\n\x1A\n");
  escribeFichero(carpeta, "bmp", "BM\0\0\0\0");
}
