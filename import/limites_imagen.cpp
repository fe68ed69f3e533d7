#include "limites_imagen.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "errores.h"

namespace {
// Pictures up to this many pixels are never refused for their file size
// (4096 x 4096: 128 MB of double samples).
constexpr uint64_t kPixelesLibres = uint64_t{1} << 24;
// Beyond this no picture is read at all: 1 GB of double samples a slice.
constexpr uint64_t kPixelesMaximos = uint64_t{1} << 27;
}  // namespace

AttributeMap atributosImagen(const std::string& tamanoPixel, const std::string& nombreFichero) {
  AttributeMap atributos;
  atributos.set("ST", "1");
  atributos.set("PixelDimx", tamanoPixel);
  atributos.set("PixelDimy", tamanoPixel);
  atributos.set("PixelDimz", "1");
  if (!nombreFichero.empty()) atributos.set("FileName", nombreFichero);
  return atributos;
}

uint64_t bytesFichero(const std::string& ruta) {
  std::error_code e;
  const auto n = std::filesystem::file_size(ruta, e);
  return e ? 0 : static_cast<uint64_t>(n);
}

void compruebaExtension(const std::string& ruta, int64_t ancho, int64_t alto, uint64_t bytes,
                        uint64_t pixelesPorByte) {
  const std::string extension = std::to_string(ancho) + " x " + std::to_string(alto);
  if (ancho <= 0 || alto <= 0)
    throw ErrorLectura(ruta, "the picture's size " + extension + " is not usable");
  const uint64_t pixeles = uint64_t(ancho) * uint64_t(alto);
  if (pixeles > kPixelesMaximos)
    throw ErrorLectura(ruta, "the picture's size " + extension + " is too large to read");
  if (pixeles > kPixelesLibres && pixeles / pixelesPorByte > bytes)
    throw ErrorLectura(ruta, "the picture claims " + extension + " pixels, far more than a file of " +
                                 std::to_string(bytes) + " bytes can hold");
}

void avisoTamanoDistinto(ObservadorLectura& observador, const std::string& ruta, int ancho, int alto,
                         int anchoPrimero, int altoPrimero) {
  observador.aviso(ruta, "the picture is " + std::to_string(ancho) + " x " + std::to_string(alto) +
                             ", not " + std::to_string(anchoPrimero) + " x " +
                             std::to_string(altoPrimero) +
                             " as the first file; its slice is cut or padded with 0 to that size");
}

ProgresoImagenes::ProgresoImagenes(ObservadorLectura& o, int n) : o_(o) {
  o_.progresoInicio(QStringLiteral("Leyendo imagenes ..."), QStringLiteral("Cancelar"), 0, n);
}

ProgresoImagenes::~ProgresoImagenes() { o_.progresoFin(); }
