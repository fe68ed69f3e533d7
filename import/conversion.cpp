#include "conversion.h"

#include <QDebug>

namespace {

// The limits as the slice stores them: signed for a CorteShort, so that its
// samples (which comoDouble gives signed) fall between them.
void limites(const Corte& c, double& inferior, double& superior) {
  if (const auto* d = dynamic_cast<const CorteDouble*>(&c)) {
    inferior = d->minimoDouble();
    superior = d->maximoDouble();
  } else if (const auto* s = dynamic_cast<const CorteShort*>(&c)) {
    inferior = s->inferior();
    superior = s->superior();
  } else {
    inferior = c.minimo();
    superior = c.maximo();
  }
}

// A slot a reader left empty holds no samples; it becomes a black slice.
const Corte* corteOVacio(const Cubo& v, int i) {
  return i < v.cortesPresentes() ? v.corte(i) : nullptr;
}

}  // namespace

std::unique_ptr<Cubo> escalarA16Bits(const Cubo& volumen) {
  const AttributeMap& a = volumen.atributosRef();
  const std::string x = a.at("PixelDimx"), y = a.at("PixelDimy"), z = a.at("PixelDimz");
  qDebug().noquote() << QStringLiteral("valores del tamaño del pixel") + QStringLiteral("     ") +
                            QString::fromStdString(x) + QStringLiteral("  ") +
                            QString::fromStdString(y) + QStringLiteral("  ") +
                            QString::fromStdString(z);

  const Geometria& g = volumen.geometria();
  const std::size_t n = g->numMuestras();
  auto salida = std::make_unique<Cubo>(g, volumen.numCortes(), volumen.atributos());
  for (int i = 0; i < volumen.numCortes(); ++i) {
    auto datos = std::make_unique<uint16_t[]>(n);
    if (const Corte* fuente = corteOVacio(volumen, i)) {
      double lo = 0, hi = 0;
      limites(*fuente, lo, hi);
      const Muestras<double> m = fuente->comoDouble();
      // The scale is rounded to single precision, the product is not: 300 in a
      // slice spanning 100…300 gives 65534.
      const double escala = static_cast<float>(65535.0 / (hi - lo));
      if (hi != lo)
        for (std::size_t k = 0; k < n && k < m.size(); ++k)
          datos[k] = static_cast<uint16_t>(static_cast<uint32_t>(truncaA32((m[k] - lo) * escala)));
    }
    salida->ponCorte(std::make_unique<CorteUnsignedShort>(std::move(datos), 0, 65535, g), i);
  }
  return salida;
}

std::unique_ptr<Cubo> invertir16Bits(const Cubo& volumen) {
  const AttributeMap& a = volumen.atributosRef();
  a.at("PixelDimx");
  a.at("PixelDimy");
  a.at("PixelDimz");
  a.at("ST");

  const Geometria& g = volumen.geometria();
  const std::size_t n = g->numMuestras();
  auto salida = std::make_unique<Cubo>(g, volumen.numCortes(), volumen.atributos());
  for (int i = 0; i < volumen.numCortes(); ++i) {
    auto datos = std::make_unique<uint16_t[]>(n);
    uint16_t inferior = 0, superior = 0;
    if (const Corte* fuente = corteOVacio(volumen, i)) {
      const Muestras<uint16_t> m = fuente->comoUShort();
      for (std::size_t k = 0; k < n && k < m.size(); ++k) datos[k] = uint16_t(65535u - m[k]);
      inferior = uint16_t(fuente->minimo());
      superior = uint16_t(fuente->maximo());
    }
    salida->ponCorte(std::make_unique<CorteUnsignedShort>(std::move(datos), inferior, superior, g), i);
  }
  return salida;
}
