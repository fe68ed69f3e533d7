// fuzz-libs: osmavu_import tiff Qt6::Core
// A TIFF the user picks, straight into its reader: libtiff's parsing and
// decoding, and the reader's size checks.
#include <cstdint>
#include <filesystem>
#include <vector>

#include <tiffio.h>

#include <QStringList>

#include "errores.h"
#include "lector_tiff.h"
#include "objetivo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  silencia();
  const std::string ruta = ficheroDeEntrada(datos, tamano, ".tif");
  try {
    leerTiff(QStringList{QString::fromStdString(ruta)}, observadorMudo());
  } catch (const ErrorLectura&) {
  }
  return 0;
}

namespace {
void semilla(const std::string& ruta, uint32_t ancho, uint32_t alto, uint16_t componentes, uint16_t bits,
             uint16_t compresion, uint32_t filasPorTira) {
  TIFF* t = TIFFOpen(ruta.c_str(), "wl");
  if (!t) return;
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, ancho);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, alto);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, componentes);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, componentes >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_COMPRESSION, compresion);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, filasPorTira);
  std::vector<uint8_t> fila(std::size_t(ancho) * componentes * bits / 8 + 1);
  for (uint32_t y = 0; y < alto; ++y) {
    for (std::size_t i = 0; i < fila.size(); ++i) fila[i] = uint8_t(i * 7 + y * 13);
    TIFFWriteScanline(t, fila.data(), y, 0);
  }
  TIFFClose(t);
}
}  // namespace

void escribeSemillas(const std::string& carpeta) {
  std::filesystem::create_directories(carpeta);
  semilla(carpeta + "/gris8.tif", 8, 6, 1, 8, COMPRESSION_NONE, 6);
  semilla(carpeta + "/rgb_tiras.tif", 5, 4, 3, 8, COMPRESSION_NONE, 1);
  semilla(carpeta + "/gris16_lzw.tif", 6, 5, 1, 16, COMPRESSION_LZW, 2);
  semilla(carpeta + "/rgb_deflate.tif", 7, 3, 3, 8, COMPRESSION_ADOBE_DEFLATE, 3);
  semilla(carpeta + "/bits_packbits.tif", 16, 4, 1, 1, COMPRESSION_PACKBITS, 4);
}
