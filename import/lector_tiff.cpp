#include "lector_tiff.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <iostream>
#include <string>

#include <tiffio.h>

#include "errores.h"
#include "limites_imagen.h"

namespace {

// How many pixels one byte of the file can describe at best: deflate reaches
// about 1000:1, and on a bilevel page (fax coding, or deflate on bits) several
// thousand pixels a byte.
uint64_t pixelesPorByte(TIFF* tif) {
  uint16_t bits = 1;
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  return bits >= 8 ? 1024 : 8192;
}
// libtiff's own buffers (a strip, a tile) beyond this are refused by libtiff.
constexpr tmsize_t kReservaMaxima = tmsize_t{1} << 30;

// One open TIFF file whose errors libtiff reports to us rather than to the
// process's standard error.
class Tiff {
 public:
  explicit Tiff(const std::string& ruta) : ruta_(ruta) {
    TIFFOpenOptions* opciones = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(opciones, &Tiff::error, this);
    TIFFOpenOptionsSetWarningHandlerExtR(opciones, &Tiff::advertencia, this);
    TIFFOpenOptionsSetMaxSingleMemAlloc(opciones, kReservaMaxima);
    tif_ = TIFFOpenExt(ruta.c_str(), "r", opciones);
    TIFFOpenOptionsFree(opciones);
    if (!tif_) throw ErrorLectura(ruta, "libtiff cannot open the file" + motivo());
  }
  ~Tiff() {
    if (tif_) TIFFClose(tif_);
  }
  Tiff(const Tiff&) = delete;
  Tiff& operator=(const Tiff&) = delete;

  TIFF* get() const { return tif_; }
  bool hayErrores() const { return !errores_.empty(); }
  // ": " and libtiff's first message, or nothing.
  std::string motivo() const { return errores_.empty() ? std::string() : ": " + errores_; }

  void extension(uint32_t& ancho, uint32_t& alto) const {
    ancho = alto = 0;
    if (!TIFFGetField(tif_, TIFFTAG_IMAGEWIDTH, &ancho) || !TIFFGetField(tif_, TIFFTAG_IMAGELENGTH, &alto))
      throw ErrorLectura(ruta_, "the picture gives no width or length");
  }

 private:
  static int error(TIFF*, void* propio, const char* modulo, const char* formato, va_list args) {
    auto* t = static_cast<Tiff*>(propio);
    if (t->errores_.empty()) {
      char texto[512];
      std::vsnprintf(texto, sizeof texto, formato, args);
      // libtiff names the file as the module of its open errors; the report
      // names it already.
      const bool conModulo = modulo && *modulo && t->ruta_ != modulo;
      t->errores_ = (conModulo ? std::string(modulo) + ": " : std::string()) + texto;
    }
    return 1;  // handled: nothing reaches the global handler
  }
  // Unknown tags and the like: libtiff reads on, and so do we.
  static int advertencia(TIFF*, void*, const char*, const char*, va_list) { return 1; }

  std::string ruta_;
  TIFF* tif_ = nullptr;
  std::string errores_;
};

}  // namespace

std::unique_ptr<Cubo> leerTiff(const QStringList& ficheros, ObservadorLectura& observador) {
  if (ficheros.isEmpty()) throw ErrorLectura("", "no file was chosen");
  std::cout << "Reading Tiff" << std::endl;
  const int n = static_cast<int>(ficheros.size());
  const std::string primera = rutaLocal(ficheros.first());

  uint32_t anchoT = 0, altoT = 0;
  uint64_t densidad = 0;
  {
    Tiff t(primera);
    t.extension(anchoT, altoT);
    densidad = pixelesPorByte(t.get());
  }
  std::cout << "W H NdC: " << anchoT << " " << altoT << " " << n << std::endl;
  compruebaExtension(primera, anchoT, altoT, bytesFichero(primera), densidad);
  const int ancho = static_cast<int>(anchoT);
  const int alto = static_cast<int>(altoT);

  const AttributeMap atributos = atributosImagen("0.1", primera);
  const Geometria geometria = nuevaGeometria(ancho, alto);
  auto cubo = std::make_unique<CuboSinograma>(geometria, n, 1.0f, 1.0f, atributos);
  ProgresoImagenes progreso(observador, n);

  for (int i = 0; i < n; ++i) {
    const std::string ruta = rutaLocal(ficheros[i]);
    std::cout << ruta << std::endl;
    Tiff t(ruta);
    uint32_t w = 0, h = 0;
    t.extension(w, h);
    compruebaExtension(ruta, w, h, bytesFichero(ruta), pixelesPorByte(t.get()));
    // Each picture is decoded at its own size: libtiff places a raster of
    // another height outside the buffer it is given.
    // A picture of a kind the RGBA interface cannot convert, or whose coding
    // this libtiff lacks, is refused before anything is reserved; with errors
    // not stopping the read it would otherwise come out blank.
    char porque[1024] = "";
    if (!TIFFRGBAImageOK(t.get(), porque))
      throw ErrorLectura(ruta, std::string("libtiff cannot decode the picture: ") + porque);
    uint16_t compresion = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(t.get(), TIFFTAG_COMPRESSION, &compresion);
    if (!TIFFIsCODECConfigured(compresion))
      throw ErrorLectura(ruta, "libtiff cannot decode the picture's compression " + std::to_string(compresion));
    const std::size_t pixeles = std::size_t(w) * h;
    auto raster = std::make_unique<uint32_t[]>(pixeles);  // zeroed: what libtiff skips stays 0
    if (!TIFFReadRGBAImageOriented(t.get(), w, h, raster.get(), ORIENTATION_TOPRIGHT, 0))
      throw ErrorLectura(ruta, "libtiff cannot decode the picture" + t.motivo());
    if (t.hayErrores()) {
      // Read on past errors, libtiff leaves the last good strip's pixels in
      // the strips it could not read. Read again, stopping at the first bad
      // strip: what came before it is the picture, the rest 0.
      std::fill(raster.get(), raster.get() + pixeles, 0u);
      TIFFReadRGBAImageOriented(t.get(), w, h, raster.get(), ORIENTATION_TOPRIGHT, 1);
      observador.aviso(ruta, "the picture is damaged" + t.motivo() +
                                 "; it is read up to the damage, the rest is 0");
    }

    // Row 0 at the top, columns from the right: the element at row y, column
    // w - 1 - x is the picture's pixel (x, y).
    auto muestras = std::make_unique<double[]>(geometria->numMuestras());
    const int anchoComun = std::min<int64_t>(ancho, w);
    const int altoComun = std::min<int64_t>(alto, h);
    for (int x = 0; x < anchoComun; ++x) {
      const uint32_t* columna = raster.get() + (w - 1 - uint32_t(x));
      double* destino = muestras.get() + std::size_t(x) * alto;
      for (int y = 0; y < altoComun; ++y) destino[y] = double(columna[std::size_t(y) * w] & 0xFFFFu);
    }
    if (w != anchoT || h != altoT)
      avisoTamanoDistinto(observador, ruta, int(w), int(h), ancho, alto);
    cubo->ponCorte(std::make_unique<CorteDouble>(std::move(muestras), 0.0, 65535.0, geometria), i);
    progreso.valor(i + 1);
  }
  return cubo;
}
