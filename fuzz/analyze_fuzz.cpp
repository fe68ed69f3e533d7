// fuzz-libs: osmavu_import
// An Analyze pair through the open path users take: the first 348 bytes of
// the input are the header, the rest the sample file.
#include <cstring>
#include <fstream>

#include <QStringList>

#include "apertura.h"
#include "errores.h"
#include "objetivo.h"

namespace {
std::string cabecera(int16_t ancho, int16_t alto, int16_t cortes, int16_t tipo, int16_t bits) {
  std::string h(348, '\0');
  auto pon32 = [&](int pos, int32_t v) { std::memcpy(&h[pos], &v, 4); };
  auto pon16 = [&](int pos, int16_t v) { std::memcpy(&h[pos], &v, 2); };
  auto ponF = [&](int pos, float v) { std::memcpy(&h[pos], &v, 4); };
  pon32(0, 348);
  pon16(40, 4);
  pon16(42, ancho);
  pon16(44, alto);
  pon16(46, cortes);
  pon16(48, 1);
  pon16(70, tipo);
  pon16(72, bits);
  for (int i = 0; i < 3; ++i) ponF(80 + 4 * i, 0.5f + i);
  return h;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  silencia();
  const size_t enCabecera = tamano < 348 ? tamano : 348;
  const std::string hdr = ficheroDeEntrada(datos, enCabecera, ".hdr");
  const std::string img = hdr.substr(0, hdr.size() - 4) + ".img";
  {
    std::ofstream f(img, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(datos) + enCabecera, static_cast<std::streamsize>(tamano - enCabecera));
  }
  try {
    abreLista(QStringList{QString::fromStdString(hdr)}, observadorMudo());
  } catch (const ErrorLectura&) {
  }
  return 0;
}

void escribeSemillas(const std::string& carpeta) {
  escribeFichero(carpeta, "u8", cabecera(4, 3, 2, 2, 8) + std::string(24, '\x40'));
  escribeFichero(carpeta, "s16", cabecera(3, 3, 1, 4, 16) + std::string(18, '\x11'));
  escribeFichero(carpeta, "u16", cabecera(2, 2, 2, 512, 16) + std::string(16, '\xF0'));
  escribeFichero(carpeta, "f32", cabecera(2, 1, 1, 16, 32) + std::string(8, '\x3F'));
  escribeFichero(carpeta, "corto", cabecera(8, 8, 4, 4, 16) + std::string(10, '\x01'));
}
