// The window's pointer handlers: the crosshair read-out, the manual edge
// points and the hidden measuring tools.
#include <iostream>

#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "visualizador.h"

namespace {

const char* const kTextoPocosPuntos =
    "<p>Select, at least <b>5 points</b> on the edge of the vessel, by clicking the <b>left</b> "
    "mouse button. Then, click on the <b>right</b> button to continue.</p>";

// The filter needs this many points to start from.
constexpr int kMinimoPuntos = 5;

}  // namespace

QPoint Visualizador::posicionEvento(const QMouseEvent* evento) const {
  const auto* barra = findChild<QToolBar*>(QStringLiteral("barraFile"));
  return posicionEnImagen(evento->position().x(), evento->position().y(),
                          areaScroll_->horizontalScrollBar()->value(),
                          areaScroll_->verticalScrollBar()->value(), menuBar()->height(),
                          barra ? barra->height() : 0, vista_.zoom());
}

// The display buffer holds the picture on display column after column.
uint16_t Visualizador::valorEn(int x, int y) const {
  const std::size_t i = std::size_t(x) * std::size_t(imagen_.height()) + std::size_t(y);
  return i < buffer_.muestras.size() ? buffer_.muestras[i] : 0;
}

bool Visualizador::circuloMarcado() const { return botonCircle_->isChecked() || botonCircleS_->isChecked(); }

bool Visualizador::herramientaMarcada() const {
  return checkMedir_->isChecked() || checkRoi_->isChecked() || circuloMarcado() ||
         botonIrregular_->isChecked();
}

void Visualizador::ponPunto(int x, int y) {
  if (!punto_) punto_ = std::make_shared<Punto>();
  punto_->x = x;
  punto_->y = y;
  vista_.setPunto(punto_);
}

void Visualizador::nuevaSuperpuesta() {
  superpuesta_ = imagen_.copy();
  origenSuperpuesta_ = imagen_.cacheKey();
}

// An overlay copied from a picture no longer on display (another slice, a
// changed window) would bring the old picture back; the current one is
// shown instead.
void Visualizador::muestraSuperpuesta() {
  const bool vigente = !superpuesta_.isNull() && origenSuperpuesta_ == imagen_.cacheKey();
  muestraImagen(vigente ? superpuesta_ : imagen_);
}

void Visualizador::mousePressEvent(QMouseEvent* evento) {
  const QPoint p = posicionEvento(evento);
  const int x = p.x();
  const int y = p.y();
  ponPunto(x, y);

  if (dentroDeImagen(x, y, imagen_.width(), imagen_.height())) {
    nuevaSuperpuesta();
    const uint16_t valor = valorEn(x, y);
    const bool manual = modoApertura_ == "m";
    if (manual && !checkMedir_->isChecked() && !checkRoi_->isChecked() && !circuloMarcado()) {
      recogePuntoManual(evento, x, y, valor);
    } else if (!herramientaMarcada()) {
      setCursor(Qt::ArrowCursor);
      if (evento->button() == Qt::LeftButton) {
        dibujaCruz(superpuesta_, x, y);
        statusBar()->showMessage(textoLectura(cuboProcesado_ ? cuboProcesado_->corteActual() : 0, x, y,
                                              valor, modalidad_));
      }
    } else if (checkMedir_->isChecked() || checkRoi_->isChecked()) {
      // Their press only marks where the measure starts: punto, set above.
    } else if (circuloMarcado()) {
      pulsaCirculo(evento, x, y);
    }
  }

  muestraSuperpuesta();
  if (evento->button() == Qt::RightButton) muestraImagen(imagen_);
  evento->accept();
}

void Visualizador::recogePuntoManual(const QMouseEvent* evento, int x, int y, uint16_t valor) {
  const int corte = cuboProcesado_ ? cuboProcesado_->corteActual() : 0;
  if (evento->button() == Qt::LeftButton) {
    if (!puntosManuales_.anade(x, y, corte))
      std::cerr << "osmavu: the edge holds at most " << PuntosManuales::kMaximo
                << " points; the point (" << x << ", " << y << ") is ignored" << std::endl;
    for (int i = 0; i < puntosManuales_.cuantos(); ++i) {
      const Punto q = puntosManuales_.punto(i);
      dibujaMarca(superpuesta_, q.x, q.y);
    }
    statusBar()->showMessage(textoLectura(corte, x, y, valor, modalidad_));
    return;
  }
  if (evento->button() != Qt::RightButton) return;

  if (puntosManuales_.cuantos() < kMinimoPuntos) {
    dialogos_->continuar(QString::fromLatin1(kTextoPocosPuntos));
    return;
  }
  puntosManuales_.escribe(std::cout);
  vista_.setBorde(puntosManuales_.borde());
  puntosManuales_.vacia();
  checkMedir_->setEnabled(true);
  checkRoi_->setEnabled(true);
  applyFilterBasicoUS();
}

void Visualizador::pulsaCirculo(const QMouseEvent* evento, int x, int y) {
  setCursor(cursorCirculo(ladoCursorCirculo(vista_.zoom(), radio_)));
  const Qt::MouseButtons botones = evento->buttons();
  if (botones == Qt::RightButton) {
    if (radio_ < 500) ++radio_;
    statusBar()->showMessage(textoRadio(radio_, x, y));
  } else if (botones == Qt::MiddleButton) {
    if (radio_ > 1) --radio_;
    statusBar()->showMessage(textoRadio(radio_, x, y));
  } else if (botones == Qt::LeftButton) {
    setCursor(Qt::ArrowCursor);
    ponPunto(x, y);
    botonCircle_->setChecked(false);
  }
}

void Visualizador::mouseMoveEvent(QMouseEvent* evento) {
  const int px = punto_ ? punto_->x : 0;
  const int py = punto_ ? punto_->y : 0;
  const QPoint p = posicionEvento(evento);
  const int x = p.x();
  const int y = p.y();
  evento->accept();
  if (x < 1) return;
  if (!(x < imagen_.width() && y > 0 && y < imagen_.height())) return;

  nuevaSuperpuesta();
  const uint16_t valor = valorEn(x, y);
  const Qt::MouseButtons botones = evento->buttons();
  if (!herramientaMarcada()) {
    if (botones == Qt::LeftButton) {
      dibujaCruz(superpuesta_, x, y);
      statusBar()->showMessage(
          textoLectura(cuboProcesado_ ? cuboProcesado_->corteActual() : 0, x, y, valor, modalidad_));
      ponPunto(x, y);
    }
  } else if (!checkMedir_->isChecked() && checkRoi_->isChecked()) {
    if (!region_) region_ = std::make_shared<Region>();
    if (botones == Qt::LeftButton) {
      dibujaRectangulo(superpuesta_, px, py, x, y);
      region_->x0 = px;
      region_->x1 = x;
      region_->y0 = py;
      region_->y1 = y;
    } else {
      region_->x0 = px;
      region_->x1 = 0;
      region_->y0 = py;
      region_->y1 = 0;
    }
    region_->z0 = 0;
    region_->z1 = vista_.numCortes();
    vista_.setRegion(region_);
  }
  muestraSuperpuesta();
}
