#include "observador_visor.h"

#include <QProgressDialog>

#include "dialogos.h"

ObservadorVisor::ObservadorVisor(QWidget* padre, Dialogos& dialogos)
    : padre_(padre), dialogos_(dialogos) {}

ObservadorVisor::~ObservadorVisor() = default;

void ObservadorVisor::progresoInicio(const QString& etiqueta, const QString& cancelar, int minimo,
                                     int maximo) {
  progreso_ = std::make_unique<QProgressDialog>(etiqueta, cancelar, minimo, maximo, padre_);
  progreso_->setWindowModality(Qt::WindowModal);
}

void ObservadorVisor::progresoValor(int valor) {
  if (progreso_) progreso_->setValue(valor);
}

void ObservadorVisor::progresoFin() { progreso_.reset(); }

void ObservadorVisor::aviso(const std::string& ruta, const std::string& texto) {
  dialogos_.aviso(QStringLiteral("Dravoni"),
                  QString::fromUtf8(ruta) + QStringLiteral(": ") + QString::fromUtf8(texto));
}
