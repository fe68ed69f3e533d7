#include "resumen.h"

#include <cstdlib>
#include <stdexcept>

#include <QDebug>

namespace {

double atributo(const Cubo& v, const char* clave) {
  return std::atof(v.atributosRef().at(clave).c_str());
}

}  // namespace

QString resumenAdquisicion(const Cubo& volumen) {
  const auto* sino = dynamic_cast<const CuboSinograma*>(&volumen);
  if (!sino) throw std::invalid_argument("an acquisition summary needs an acquisition volume");
  const Geometria& g = volumen.geometria();
  const QString texto =
      QStringLiteral("Numero de Canales: %1").arg(g->alto()) +
      QStringLiteral("\nNumero de Proyecciones: %1").arg(g->ancho()) +
      QStringLiteral("\nCortes Seleccionados: %1").arg(volumen.numCortes()) +
      QStringLiteral("\nPixel x (mm): %1").arg(atributo(volumen, "PixelDimx")) +
      QStringLiteral("\nPixel y (mm): %1").arg(atributo(volumen, "PixelDimy")) +
      QStringLiteral("\nSlice Thickness (mm): %1").arg(atributo(volumen, "ST")) +
      QStringLiteral("\nDistancia foco-objeto: %1").arg(double(sino->distanciaFocoObjeto())) +
      QStringLiteral("\nDistancia foco-detector: %1").arg(double(sino->distanciaFocoDetector()));
  qDebug().noquote() << QStringLiteral("Información Cabecera");
  qDebug().noquote() << texto;
  return texto;
}

QString resumenVolumen(const Cubo& volumen) {
  const Geometria& g = volumen.geometria();
  return QStringLiteral("Ancho del Corte: %1").arg(atributo(volumen, "ST")) +
         QStringLiteral("\nNumero de Cortes: %1").arg(double(volumen.numCortes())) +
         QStringLiteral("\nAncho de la Imagen: %1").arg(g->ancho()) +
         QStringLiteral("\nAlto de la Imagen: %1").arg(g->alto()) +
         QStringLiteral("\nPixel x (mm): %1").arg(atributo(volumen, "PixelDimx")) +
         QStringLiteral("\nPixel y (mm): %1").arg(atributo(volumen, "PixelDimy"));
}

QString resumenHis(const Cubo& volumen) {
  // Read although not shown: a His volume always carries it.
  atributo(volumen, "ST");
  const Geometria& g = volumen.geometria();
  return QStringLiteral("\nAncho de la Imagen: %1").arg(g->ancho()) +
         QStringLiteral("\nAlto de la Imagen: %1").arg(g->alto()) +
         QStringLiteral("\nPixel x (mm): %1").arg(atributo(volumen, "PixelDimx")) +
         QStringLiteral("\nPixel y (mm): %1").arg(atributo(volumen, "PixelDimy"));
}
