// The save commands: the picture on display, the working volume as an
// Analyze pair, or every slice as a numbered picture.
#include <iostream>
#include <vector>

#include <QDebug>

#include "escritor_analyze.h"
#include "guardado_imagenes.h"
#include "observador_visor.h"
#include "visualizador.h"

namespace {

const QString kTitulo = QStringLiteral("Dravoni");

QString textoFallo(const ErrorEscritura& e) {
  return QString::fromLocal8Bit(e.ruta().c_str()) + QStringLiteral(": ") + QString::fromStdString(e.motivo());
}

}  // namespace

void Visualizador::guardar() {
  const QString nombre = dialogos_->nombreGuardar(this, tr(kTituloGuardar), QStringLiteral("."), tr(kFiltroGuardar));
  if (nombre.isEmpty()) {
    qDebug().noquote().nospace() << "No guarda: " << nombre;
    return;
  }
  if (!cuboProcesado_) {
    dialogos_->error(kTitulo, tr("Cannot save %1:\nthere is no volume to save.").arg(nombre));
    return;
  }
  try {
    if (esNombreAnalyze(nombre))
      guardarVolumenAnalyze(*cuboProcesado_, nombre, dialogos_->tipoDato());
    else
      guardarImagen(imagen_, nombre);
  } catch (const ErrorEscritura& e) {
    std::cerr << "osmavu: " << e.what() << std::endl;
    dialogos_->error(kTitulo, tr("Cannot save %1:\n%2").arg(nombre, textoFallo(e)));
  } catch (const std::exception& e) {
    // Running out of memory for the sample buffer, for one.
    std::cerr << "osmavu: " << nombre.toLocal8Bit().constData() << ": " << e.what() << std::endl;
    dialogos_->error(kTitulo, tr("Cannot save %1:\n%2").arg(nombre, QString::fromLocal8Bit(e.what())));
  }
}

void Visualizador::guardarTodas() {
  const QString nombre = dialogos_->nombreGuardar(this, tr(kTituloGuardar), nombreBase(vista_.nombre()),
                                                  tr(kFiltroGuardarTodas));
  if (nombre.isEmpty()) {
    std::cout << "Error Salvando" << std::endl;
    return;
  }
  if (!cuboProcesado_) {
    dialogos_->error(kTitulo, tr("Cannot save %1:\nthere is no volume to save.").arg(nombre));
    return;
  }
  // A slice that cannot be written does not stop the others; the user hears
  // of all of them once the series is done.
  std::vector<ErrorEscritura> fallos;
  try {
    const EstadoVista vista = vista_;
    ObservadorVisor progreso(this, *dialogos_);
    fallos = guardarCortes(*cuboProcesado_, vista, nombre, progreso);
  } catch (const std::exception& e) {
    std::cerr << "osmavu: " << nombre.toLocal8Bit().constData() << ": " << e.what() << std::endl;
    dialogos_->error(kTitulo, tr("Cannot save %1:\n%2").arg(nombre, QString::fromLocal8Bit(e.what())));
    return;
  }
  if (fallos.empty()) return;
  QStringList lineas;
  for (const ErrorEscritura& e : fallos) {
    std::cerr << "osmavu: " << e.what() << std::endl;
    lineas << textoFallo(e);
  }
  dialogos_->error(kTitulo, tr("%n of the %1 slices could not be saved:\n%2", nullptr, int(fallos.size()))
                                .arg(cuboProcesado_->numCortes())
                                .arg(lineas.join(QLatin1Char('\n'))));
}
