#pragma once

#include <memory>
#include <string>

#include "observador.h"

class Dialogos;
class QProgressDialog;
class QWidget;

// How a read reports to the user of the window: a progress dialog with the
// reader's texts, and a message box for each warning.
class ObservadorVisor : public ObservadorLectura {
 public:
  ObservadorVisor(QWidget* padre, Dialogos& dialogos);
  ~ObservadorVisor() override;

  void progresoInicio(const QString& etiqueta, const QString& cancelar, int minimo,
                      int maximo) override;
  void progresoValor(int valor) override;
  void progresoFin() override;
  void aviso(const std::string& ruta, const std::string& texto) override;

 private:
  QWidget* padre_;
  Dialogos& dialogos_;
  std::unique_ptr<QProgressDialog> progreso_;
};
