// fuzz-libs: osmavu_import
// A His frame through the open path users take.
#include <QStringList>

#include "apertura.h"
#include "errores.h"
#include "his.h"
#include "objetivo.h"

namespace {

std::string cabecera(uint16_t ancho, uint16_t alto) {
  std::string h(100, '\0');
  h[1] = '\x70';
  h[16] = static_cast<char>(ancho & 0xFF);
  h[17] = static_cast<char>(ancho >> 8);
  h[18] = static_cast<char>(alto & 0xFF);
  h[19] = static_cast<char>(alto >> 8);
  return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  silencia();
  const QString ruta = QString::fromStdString(ficheroDeEntrada(datos, tamano));
  try {
    leerHis({ruta}, observadorMudo());
  } catch (const ErrorLectura&) {
  }
  try {
    abreLista({ruta}, observadorMudo());
  } catch (const ErrorLectura&) {
  }
  return 0;
}

void escribeSemillas(const std::string& carpeta) {
  escribeFichero(carpeta, "2x3", cabecera(2, 3) + std::string("\x01\x00\x02\x00\x03\x00\xFF\xFF\x00\x10\x07\x00", 12));
  escribeFichero(carpeta, "1x1", cabecera(1, 1) + std::string("\x05\x00", 2));
  escribeFichero(carpeta, "corto", cabecera(4, 4) + std::string(6, '\x22'));
}
