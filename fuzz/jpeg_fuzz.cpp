// fuzz-libs: osmavu_import jpeg Qt6::Core
// A JPEG the user picks, straight into its reader: libjpeg's decoding through
// the reader's own error manager, and the reader's size checks.
#include <cstdio>
#include <filesystem>
#include <vector>

#include <jpeglib.h>

#include <QStringList>

#include "errores.h"
#include "lector_jpeg.h"
#include "objetivo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  silencia();
  const std::string ruta = ficheroDeEntrada(datos, tamano, ".jpg");
  try {
    leerJpeg(QStringList{QString::fromStdString(ruta)}, observadorMudo());
  } catch (const ErrorLectura&) {
  }
  return 0;
}

namespace {
void semilla(const std::string& ruta, int ancho, int alto, int componentes, bool progresivo) {
  std::FILE* f = std::fopen(ruta.c_str(), "wb");
  if (!f) return;
  jpeg_compress_struct c;
  jpeg_error_mgr e;
  c.err = jpeg_std_error(&e);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = JDIMENSION(ancho);
  c.image_height = JDIMENSION(alto);
  c.input_components = componentes;
  c.in_color_space = componentes == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 75, TRUE);
  if (progresivo) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> fila(std::size_t(ancho) * componentes);
  while (c.next_scanline < c.image_height) {
    for (std::size_t i = 0; i < fila.size(); ++i) fila[i] = JSAMPLE(i * 5 + c.next_scanline * 3);
    JSAMPROW p = fila.data();
    jpeg_write_scanlines(&c, &p, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
}
}  // namespace

void escribeSemillas(const std::string& carpeta) {
  std::filesystem::create_directories(carpeta);
  semilla(carpeta + "/gris.jpg", 16, 12, 1, false);
  semilla(carpeta + "/color.jpg", 20, 9, 3, false);
  semilla(carpeta + "/progresivo.jpg", 17, 15, 3, true);
}
