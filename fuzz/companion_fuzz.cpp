// fuzz-libs: osmavu_import
// The point file beside a chosen picture is plain text of anyone's making.
#include "companion.h"
#include "objetivo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  silencia();
  leerFicheroDatos(QString::fromStdString(ficheroDeEntrada(datos, tamano, ".txt")), observadorMudo());
  return 0;
}

void escribeSemillas(const std::string& carpeta) {
  escribeFichero(carpeta, "tres", "3\n10 20 0\n11 21 0\n12 22 1\n");
  escribeFichero(carpeta, "corto", "5\n1 2 3\n");
  escribeFichero(carpeta, "negativo", "-4\n");
}
