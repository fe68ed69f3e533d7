#pragma once

#include <functional>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

// Drives the modal windows a run opens: the parameter dialog gets `accion`
// (by default a click on "Run"), and every message box is noted and closed.
// Polls instead of sleeping, because a modal window appears only once its
// own event loop runs.
class Guion : public QObject {
 public:
  using Accion = std::function<void(QDialog&)>;

  explicit Guion(Accion accion = pulsaRun) : accion_(std::move(accion)) {
    connect(&reloj_, &QTimer::timeout, this, &Guion::mira);
    reloj_.start(10);
  }

  static void pulsaRun(QDialog& d) { d.findChild<QPushButton*>(QStringLiteral("botonRun"))->click(); }
  static void cierra(QDialog& d) { d.close(); }

  int dialogos = 0;
  QStringList mensajes;
  QList<QWidget*> padresMensajes;

 private:
  void mira() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (auto* caja = qobject_cast<QMessageBox*>(modal)) {
      mensajes << caja->text();
      padresMensajes << caja->parentWidget();
      caja->accept();
      return;
    }
    if (auto* d = qobject_cast<QDialog*>(modal)) {
      if (d->windowTitle() != QLatin1String("Skeletonization")) return;
      ++dialogos;
      accion_(*d);
    }
  }

  Accion accion_;
  QTimer reloj_;
};
