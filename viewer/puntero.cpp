#include "puntero.h"

#include <algorithm>
#include <ostream>

#include <QCoreApplication>
#include <QPainter>
#include <QPen>
#include <QPixmap>

#include "corte.h"

namespace {

QString tr(const char* texto) { return QCoreApplication::translate("Visualizador", texto); }

const QRgb kRojo = qRgba(255, 0, 0, 255);

}  // namespace

QPoint posicionEnImagen(double ex, double ey, int scrollH, int scrollV, int alturaMenu,
                        int alturaBarra, double zoom) {
  const double x = (ex + scrollH) / zoom;
  const double y = (ey - alturaMenu - alturaBarra + scrollV) / zoom;
  return QPoint(truncaA32(x), truncaA32(y));
}

bool dentroDeImagen(int x, int y, int ancho, int alto) { return x > 0 && x < ancho && y > 0 && y < alto; }

QString textoLectura(int corteActual, int x, int y, uint16_t valor, const std::string& modalidad) {
  const QString etiquetaValor = modalidad == "CT" ? tr("          HU=") : tr("          Gray Level=");
  return tr("Slice=") + QString::number(corteActual + 1) + tr("    x=") + QString::number(x) +
         tr("   y=") + QString::number(y) + etiquetaValor + QString::number(valor);
}

QString textoRadio(int radio, int x, int y) {
  return tr("Radio=") + QString::number(radio) + tr("    x=") + QString::number(x) + tr("   y=") +
         QString::number(y);
}

void dibujaCruz(QImage& imagen, int x, int y) {
  if (imagen.isNull()) return;
  if (y >= 0 && y < imagen.height())
    for (int c = 0; c < imagen.width(); ++c) imagen.setPixel(c, y, kRojo);
  if (x >= 0 && x < imagen.width())
    for (int f = 0; f < imagen.height(); ++f) imagen.setPixel(x, f, kRojo);
}

void dibujaMarca(QImage& imagen, int x, int y) {
  for (int c = x - 2; c <= x + 1; ++c)
    for (int f = y - 2; f <= y + 1; ++f)
      if (imagen.valid(c, f)) imagen.setPixel(c, f, kRojo);
}

void dibujaRectangulo(QImage& imagen, int x0, int y0, int x1, int y1) {
  if (imagen.isNull()) return;
  QPainter pintor(&imagen);
  pintor.setPen(QPen(Qt::blue, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  // A one-pixel pen strokes a rectangle one pixel wider and higher than its
  // size, so this outline passes through both corners.
  const int izquierda = std::min(x0, x1);
  const int arriba = std::min(y0, y1);
  pintor.drawRect(izquierda, arriba, std::max(x0, x1) - izquierda, std::max(y0, y1) - arriba);
}

int ladoCursorCirculo(double zoom, int radio) {
  // Clamped before the conversion: a product beyond the int range would
  // otherwise truncate to the most negative int and give no cursor at all.
  const double lado = zoom * radio;
  if (!(lado > 0)) return 0;
  return truncaA32(std::min(lado, double(kLadoMaximoCursor)));
}

QCursor cursorCirculo(int s) {
  QPixmap p(2 * s + 1, 2 * s + 1);
  p.fill(Qt::transparent);
  {
    QPainter pintor(&p);
    pintor.setRenderHint(QPainter::Antialiasing);
    pintor.setPen(Qt::white);
    pintor.drawEllipse(0, 0, 2 * s, 2 * s);
  }
  return QCursor(p, s, s);
}

bool PuntosManuales::anade(int x, int y, int corte) {
  if (n_ >= kMaximo) return false;
  valores_[static_cast<std::size_t>(4 * n_)] = x;
  valores_[static_cast<std::size_t>(4 * n_ + 1)] = y;
  valores_[static_cast<std::size_t>(4 * n_ + 2)] = corte;
  ++n_;
  return true;
}

Punto PuntosManuales::punto(int i) const {
  const auto base = static_cast<std::size_t>(4 * i);
  return Punto{valores_[base], valores_[base + 1], valores_[base + 2]};
}

void PuntosManuales::vacia() {
  std::fill(valores_.begin(), valores_.end(), 0);
  n_ = 0;
}

std::shared_ptr<Borde> PuntosManuales::borde() const {
  std::vector<Punto> puntos;
  puntos.reserve(static_cast<std::size_t>(n_));
  for (int i = 0; i < n_; ++i) puntos.push_back(punto(i));
  auto b = std::make_shared<Borde>();
  b->setPuntos(std::move(puntos));
  b->setNumPuntos(n_);
  b->calculaMaximos();
  return b;
}

void PuntosManuales::escribe(std::ostream& salida) const {
  salida << "N PUNTOS: " << 2 * n_ << std::endl;
  for (int i = 0; i < n_; ++i) {
    const Punto p = punto(i);
    salida << "COORDENADA Z   " << p.z << std::endl;
    salida << "Coordenadas set  " << p.x << "    " << p.y << "   " << p.z << std::endl;
  }
}
