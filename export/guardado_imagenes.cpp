#include "guardado_imagenes.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QObject>

#include <fcntl.h>
#include <tiffio.h>
#include <unistd.h>

namespace {

int grisVentana(int v, int inferior, int superior, float escala) {
  if (v < inferior) return 0;
  if (v > superior) return 255;
  // Single precision on purpose: the scale is rounded to float and the
  // product taken in float, as the display does, so that a saved picture
  // matches the screen to the bit. A window of zero width maps its one
  // value to black (0 times an infinite scale is not a number).
  const int64_t desde = int64_t(v) - int64_t(inferior);
  if (desde == 0) return 0;
  return truncaA32(static_cast<float>(desde) * escala);
}

int recogeErrorTiff(TIFF*, void* datos, const char* modulo, const char* formato, va_list args) {
  auto* mensaje = static_cast<std::string*>(datos);
  if (mensaje->empty()) {
    char texto[512];
    std::vsnprintf(texto, sizeof texto, formato, args);
    *mensaje = modulo ? std::string(modulo) + ": " + texto : std::string(texto);
  }
  return 1;
}

int callaAvisoTiff(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// The toolkit here has no TIFF writer of its own, so TIFF goes through
// libtiff: 8-bit RGB, top row first, one strip of rows at a time.
void guardarTiff(const QImage& imagen, const std::string& ruta) {
  const QImage rgb = imagen.convertToFormat(QImage::Format_RGB888);
  std::string mensaje;
  TIFFOpenOptions* opciones = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(opciones, recogeErrorTiff, &mensaje);
  TIFFOpenOptionsSetWarningHandlerExtR(opciones, callaAvisoTiff, nullptr);
  // The file is created here rather than by libtiff, so that a name that
  // cannot be created is told apart from one created and then not written,
  // which must not be left behind.
  const int fd = ::open(ruta.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0666);
  if (fd < 0) {
    const int error = errno;
    TIFFOpenOptionsFree(opciones);
    throw ErrorEscritura(ruta, "cannot be created: " + std::string(std::strerror(error)));
  }
  TIFF* tif = TIFFFdOpenExt(fd, ruta.c_str(), "w", opciones);
  TIFFOpenOptionsFree(opciones);
  if (!tif) {
    ::close(fd);
    std::remove(ruta.c_str());
    throw ErrorEscritura(ruta, "cannot be written: " + (mensaje.empty() ? std::string("TIFF error") : mensaje));
  }
  const uint32_t ancho = static_cast<uint32_t>(rgb.width());
  const uint32_t alto = static_cast<uint32_t>(rgb.height());
  bool bien = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, ancho) && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, alto) &&
              TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8) && TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3) &&
              TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
              TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
              TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE) &&
              TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  for (uint32_t y = 0; bien && y < alto; ++y) {
    // libtiff takes a non-const row; it does not alter it.
    void* fila = const_cast<uchar*>(rgb.constScanLine(int(y)));
    bien = TIFFWriteScanline(tif, fila, y, 0) == 1;
  }
  TIFFClose(tif);
  if (!bien || !mensaje.empty()) {
    std::remove(ruta.c_str());
    throw ErrorEscritura(ruta, "cannot be written: " + (mensaje.empty() ? std::string("TIFF error") : mensaje));
  }
}

}  // namespace

QImage imagenCorte(const Muestras<uint16_t>& muestras, int ancho, int alto, int inferior, int superior) {
  if (ancho <= 0 || alto <= 0) return QImage();
  QImage imagen(ancho, alto, QImage::Format_RGB32);
  const float escala = static_cast<float>(255.0 / (double(superior) - double(inferior)));
  const std::size_t n = muestras.size();
  for (int y = 0; y < alto; ++y) {
    QRgb* fila = reinterpret_cast<QRgb*>(imagen.scanLine(y));
    for (int x = 0; x < ancho; ++x) {
      const std::size_t i = std::size_t(x) * std::size_t(alto) + std::size_t(y);
      const int g = grisVentana(i < n ? muestras[i] : 0, inferior, superior, escala);
      fila[x] = qRgb(g, g, g);
    }
  }
  return imagen;
}

QImage imagenCorte(const Corte& corte, const EstadoVista& vista) {
  const Geometria& g = corte.geometria();
  return imagenCorte(corte.comoUShort(), g ? g->ancho() : 0, g ? g->alto() : 0, vista.inferior(),
                     vista.superior());
}

QString nombreNumerado(const QString& ruta, int n) {
  return ruta.left(std::max<qsizetype>(0, ruta.size() - 4)) + QLatin1Char('_') + QString::asprintf("%04d", n);
}

QString extensionNumerada(const QString& ruta) { return QLatin1Char('.') + ruta.right(3); }

void guardarImagen(const QImage& imagen, const QString& nombre) {
  const std::string ruta = nombre.toLocal8Bit().toStdString();
  if (imagen.isNull()) throw ErrorEscritura(ruta, "there is no picture to write");
  const QByteArray formato = QFileInfo(nombre).suffix().toLower().toLatin1();
  if (formato == "tif" || formato == "tiff") {
    guardarTiff(imagen, ruta);
    return;
  }
  if (formato.isEmpty() || !QImageWriter::supportedImageFormats().contains(formato))
    throw ErrorEscritura(ruta, "no picture format is known for the extension \"" + formato.toStdString() + "\"");

  QFile fichero(nombre);
  if (!fichero.open(QIODevice::WriteOnly))
    throw ErrorEscritura(ruta, "cannot be created: " + fichero.errorString().toStdString());
  QImageWriter escritor(&fichero, formato);
  const bool escrito = escritor.write(imagen);
  const bool volcado = escrito && fichero.flush();
  fichero.close();
  if (!escrito || !volcado) {
    const std::string motivo =
        escrito ? fichero.errorString().toStdString() : escritor.errorString().toStdString();
    fichero.remove();
    throw ErrorEscritura(ruta, "cannot be written: " + motivo);
  }
}

std::vector<ErrorEscritura> guardarCortes(const Cubo& cubo, int inferior, int superior, const QString& ruta,
                                          ObservadorLectura& observador) {
  std::vector<ErrorEscritura> fallos;
  observador.progresoInicio(QObject::tr("Saving the slices..."), QString(), 0, cubo.numCortes());
  const int ancho = cubo.geometria() ? cubo.geometria()->ancho() : 0;
  const int alto = cubo.geometria() ? cubo.geometria()->alto() : 0;
  const QString extension = extensionNumerada(ruta);
  for (int i = 0; i < cubo.numCortes(); ++i) {
    const Corte* corte = i < cubo.cortesPresentes() ? cubo.corte(i) : nullptr;
    const QImage imagen = corte ? imagenCorte(corte->comoUShort(), ancho, alto, inferior, superior)
                                : imagenCorte(Muestras<uint16_t>(), ancho, alto, inferior, superior);
    const QString nombre = nombreNumerado(ruta, i + 1) + extension;
    std::cout << "Salvando " << nombre.toLocal8Bit().constData() << " " << std::endl;
    try {
      guardarImagen(imagen, nombre);
    } catch (const ErrorEscritura& e) {
      fallos.push_back(e);
    }
    observador.progresoValor(i + 1);
  }
  observador.progresoFin();
  return fallos;
}

std::vector<ErrorEscritura> guardarCortes(const Cubo& cubo, const EstadoVista& vista, const QString& ruta,
                                          ObservadorLectura& observador) {
  return guardarCortes(cubo, vista.inferior(), vista.superior(), ruta, observador);
}
