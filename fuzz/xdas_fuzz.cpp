// fuzz-libs: osmavu_import
// One input through each trailer reader (XDAS radiograph, XDAS sinogram, flat
// panel) and its display conversion, alone and as a list of two files.
#include <cstring>

#include <QStringList>

#include "adquisicion.h"
#include "conversion.h"
#include "errores.h"
#include "objetivo.h"

namespace {

std::string trailer(double codigo, double canales, double proyecciones, double offset) {
  double v[16] = {codigo, canales, proyecciones, 0, 1, 0.2, 0.5, 0, offset, 80, 1, 300, 600, 1, 10, 0};
  std::string t(128, '\0');
  std::memcpy(t.data(), v, 128);
  return t;
}

std::string dobles(std::size_t n, double primero) {
  std::string s(n * 8, '\0');
  for (std::size_t i = 0; i < n; ++i) {
    const double v = primero + double(i);
    std::memcpy(&s[8 * i], &v, 8);
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  silencia();
  const QString ruta = QString::fromStdString(ficheroDeEntrada(datos, tamano));
  for (const QStringList& l : {QStringList{ruta}, QStringList{ruta, ruta}}) {
    try {
      escalarA16Bits(*leerSinogramaXDAS(l, observadorMudo()));
    } catch (const ErrorLectura&) {
    }
    try {
      leerRadiografiaXDAS(l, observadorMudo());
    } catch (const ErrorLectura&) {
    }
    try {
      invertir16Bits(*leerRadiografiaFP(l, observadorMudo()));
    } catch (const ErrorLectura&) {
    }
  }
  return 0;
}

void escribeSemillas(const std::string& carpeta) {
  escribeFichero(carpeta, "sino", dobles(12, -3.0) + trailer(32001, 4, 3, 1.5));
  escribeFichero(carpeta, "rad", dobles(6, 1000.0) + trailer(32000, 2, 3, 0));
  escribeFichero(carpeta, "fp", std::string("\x01\x00\x02\x00\x03\x00\x04\x00", 8) + trailer(32002, 2, 0, 7.5));
  escribeFichero(carpeta, "corto", dobles(3, 5.0) + trailer(32001, 4, 4, 0));
}
