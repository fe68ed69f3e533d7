// fuzz-libs: osmavu_import
// A PelixOld file through its reader, its display conversion and its summary,
// alone and as a list of two files.
#include <cstring>

#include <QStringList>

#include "conversion.h"
#include "errores.h"
#include "objetivo.h"
#include "pelix.h"
#include "resumen.h"

namespace {

std::string dobles(const std::vector<double>& v) {
  std::string s(v.size() * 8, '\0');
  if (!v.empty()) std::memcpy(s.data(), v.data(), s.size());
  return s;
}

std::string fichero(int alto, int ancho, double modo, bool ceroAlFinal) {
  std::vector<double> v;
  for (int i = 0; i < alto * ancho; ++i) v.push_back(i * 0.5);
  for (double h : {double(alto), 0.0, modo, 0.2, 0.5, 300.0, 600.0}) v.push_back(h);
  if (ceroAlFinal) v.insert(v.end(), 6, 0.0);
  return dobles(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  silencia();
  const QString ruta = QString::fromStdString(ficheroDeEntrada(datos, tamano));
  for (const QStringList& l : {QStringList{ruta}, QStringList{ruta, ruta}}) {
    try {
      auto v = leerPelixOld(l, observadorMudo());
      escalarA16Bits(*v);
      resumenAdquisicion(*v);
    } catch (const ErrorLectura&) {
    }
  }
  return 0;
}

void escribeSemillas(const std::string& carpeta) {
  escribeFichero(carpeta, "modo5", fichero(4, 3, 5, false));
  escribeFichero(carpeta, "modo0", fichero(2, 2, 0, false));
  escribeFichero(carpeta, "cerosDetras", fichero(3, 2, 1, true));
  escribeFichero(carpeta, "modoNegativo", fichero(2, 2, -1, false));
}
