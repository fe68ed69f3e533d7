// fuzz-libs: osmavu_import Qt6::Gui
// A PNG or BMP the user picks, straight into the toolkit picture reader; the
// file has no extension, so the toolkit tells the format from the content.
#include <QImage>
#include <QStringList>
#include <filesystem>

#include "errores.h"
#include "imagen_qt.h"
#include "objetivo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  silencia();
  const std::string ruta = ficheroDeEntrada(datos, tamano);
  try {
    leerImagenQt(QStringList{QString::fromStdString(ruta)}, observadorMudo());
  } catch (const ErrorLectura&) {
  }
  return 0;
}

void escribeSemillas(const std::string& carpeta) {
  std::filesystem::create_directories(carpeta);
  QImage rgb(6, 5, QImage::Format_RGB32);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) rgb.setPixel(x, y, qRgb(40 * x, 50 * y, 7 * x * y));
  rgb.save(QString::fromStdString(carpeta + "/rgb.png"));
  rgb.save(QString::fromStdString(carpeta + "/rgb.bmp"));
  QImage gris(7, 3, QImage::Format_Grayscale8);
  gris.fill(90);
  gris.save(QString::fromStdString(carpeta + "/gris.png"));
  QImage indexada = rgb.convertToFormat(QImage::Format_Indexed8);
  indexada.save(QString::fromStdString(carpeta + "/indexada.bmp"));
  QImage alfa(4, 4, QImage::Format_ARGB32);
  alfa.fill(qRgba(200, 10, 10, 128));
  alfa.save(QString::fromStdString(carpeta + "/alfa.png"));
}
