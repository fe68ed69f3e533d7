#include "imagen_qt.h"

#include <algorithm>
#include <iostream>

#include <QDebug>
#include <QImage>
#include <QImageReader>

#include "errores.h"
#include "limites_imagen.h"

namespace {

// Deflate on 1-bit rows: about 1000:1 on bytes of eight pixels.
constexpr uint64_t kPixelesPorByte = 8192;

QImage cargaImagen(const QString& ruta) {
  const std::string ruta8 = rutaLocal(ruta);
  QImageReader lector(ruta);
  // The size is known from the header: refuse an absurd claim before the
  // toolkit reserves the picture.
  const QSize declarado = lector.size();
  if (declarado.isValid())
    compruebaExtension(ruta8, declarado.width(), declarado.height(), bytesFichero(ruta8), kPixelesPorByte);
  QImage imagen = lector.read();
  if (imagen.isNull())
    throw ErrorLectura(ruta8, "the picture cannot be loaded: " + lector.errorString().toStdString());
  compruebaExtension(ruta8, imagen.width(), imagen.height(), bytesFichero(ruta8), kPixelesPorByte);
  return imagen;
}

}  // namespace

std::unique_ptr<Cubo> leerImagenQt(const QStringList& ficheros, ObservadorLectura& observador) {
  if (ficheros.isEmpty()) throw ErrorLectura("", "no file was chosen");
  qDebug().noquote() << "Leyendo QT";
  const int n = static_cast<int>(ficheros.size());
  QImage imagen = cargaImagen(ficheros.first());
  std::cout << "Número de Bits: " << imagen.depth() << "\n"
            << "allGray: " << (imagen.allGray() ? 1 : 0) << "\n"
            << "Bit Plane Count: " << imagen.bitPlaneCount() << std::endl;

  const AttributeMap atributos = atributosImagen("1", std::string());
  const int ancho = imagen.width();
  const int alto = imagen.height();
  const Geometria geometria = nuevaGeometria(ancho, alto);
  auto cubo = std::make_unique<Cubo>(geometria, n, atributos);
  ProgresoImagenes progreso(observador, n);

  for (int i = 0; i < n; ++i) {
    qDebug().noquote() << ficheros[i];
    if (i > 0) imagen = cargaImagen(ficheros[i]);
    // Straight (not premultiplied) colour, as the toolkit reports a pixel.
    const QImage argb = imagen.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull()) throw ErrorLectura(rutaLocal(ficheros[i]), "not enough memory to convert the picture");
    auto muestras = std::make_unique<uint16_t[]>(geometria->numMuestras());  // zeroed
    const int anchoComun = std::min(ancho, argb.width());
    const int altoComun = std::min(alto, argb.height());
    for (int y = 0; y < altoComun; ++y) {
      const auto* fila = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
      for (int x = 0; x < anchoComun; ++x) {
        const QRgb c = fila[x];
        muestras[std::size_t(x) * alto + y] =
            static_cast<uint16_t>((qRed(c) * 11 + qGreen(c) * 16 + qBlue(c) * 5) / 32);
      }
    }
    if (argb.width() != ancho || argb.height() != alto)
      avisoTamanoDistinto(observador, rutaLocal(ficheros[i]), argb.width(), argb.height(), ancho, alto);
    cubo->ponCorte(std::make_unique<CorteUnsignedShort>(std::move(muestras), 0, 255, geometria), i);
    progreso.valor(i + 1);
  }
  return cubo;
}
