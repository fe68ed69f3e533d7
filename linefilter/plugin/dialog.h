#pragma once

#include <memory>

#include <QDialog>

#include "parametros.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The modal parameter dialog of one run. Only the preprocessing switches, the
// detector switch, the number of angles and the minimum segment length are on
// screen; the other spin boxes and the "Label Parameters" and "Output
// Parameters" groups are built but never placed, so their parameters keep
// their initial values. The stored values change only in aceptar.
class Dialog : public QDialog {
  Q_OBJECT

 public:
  Dialog();
  ~Dialog() override;

  const ValoresDialogo& valores() const { return valores_; }
  // True once "Run" was pressed; closing the window otherwise leaves it false.
  bool aceptado() const { return aceptado_; }

  // A widget by objectName, whether placed in the dialog or not.
  QWidget* componente(const QString& nombre) const;

 public slots:
  void aceptar();

 private:
  ValoresDialogo valores_;
  bool aceptado_ = false;

  // Never placed: they have no parent, so the dialog owns them itself.
  std::unique_ptr<QSpinBox> iteraciones_;
  std::unique_ptr<QSpinBox> sigma_;
  std::unique_ptr<QSpinBox> ventana_;
  std::unique_ptr<QSpinBox> longitudLinea_;
  std::unique_ptr<QSpinBox> velocidad_;
  std::unique_ptr<QSpinBox> umbral_;
  std::unique_ptr<QGroupBox> grupoEtiquetas_;
  std::unique_ptr<QGroupBox> grupoSalida_;

  QSpinBox* nAngulos_ = nullptr;
  QSpinBox* longitudMinima_ = nullptr;
  QSpinBox* tamanoMinimo_ = nullptr;
  QSpinBox* tamanoMaximo_ = nullptr;
  QSpinBox* nBins_ = nullptr;
  QCheckBox* suavizado_ = nullptr;
  QCheckBox* gradiente_ = nullptr;
  QCheckBox* umbralizacion_ = nullptr;
  QCheckBox* deteccion_ = nullptr;
  QRadioButton* soloLineas_ = nullptr;
  QRadioButton* lineasFondo_ = nullptr;
  QPushButton* run_ = nullptr;
};
