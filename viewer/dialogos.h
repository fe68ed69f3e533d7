#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

// Every modal question the window asks goes through here, so that tests can
// answer them from a script while the program shows the real dialogs.
class Dialogos {
 public:
  enum class Modo { automatico, manual, cancelar };

  virtual ~Dialogos() = default;

  // Multi-file open dialog; an empty list when cancelled.
  virtual QStringList eligeFicheros(QWidget* padre, const QString& titulo, const QString& inicio,
                                    const QString& filtro) = 0;
  // Directory dialog (directories only); empty when cancelled.
  virtual QString eligeCarpeta(QWidget* padre, const QString& titulo, const QString& inicio) = 0;
  // Save dialog; empty when cancelled.
  virtual QString nombreGuardar(QWidget* padre, const QString& titulo, const QString& inicio,
                                const QString& filtro) = 0;
  // The mixed-format warning with "Si" and "No"; true for "Si".
  virtual bool avisoFormatos(const QString& texto) = 0;
  // Automatic / Manual / Cancel.
  virtual Modo eligeModo(const QString& texto) = 0;
  // The box with one "Continue" button.
  virtual void continuar(const QString& texto) = 0;
  // An information box (the header summary).
  virtual void informacion(const QString& titulo, const QString& texto) = 0;
  // The data-type dialog; the code of the chosen type ('c', 'u', 's', 'f').
  virtual char tipoDato() = 0;
  // The print dialog on the printer; true when the user accepts.
  virtual bool imprime(QPrinter& impresora, QWidget* padre) = 0;
  // A file that could not be opened, or another failure the user must know.
  virtual void error(const QString& titulo, const QString& texto) = 0;
  // Something the user must know although the work went on.
  virtual void aviso(const QString& titulo, const QString& texto) = 0;
};

// The real Qt dialogs.
class DialogosQt : public Dialogos {
 public:
  QStringList eligeFicheros(QWidget* padre, const QString& titulo, const QString& inicio,
                            const QString& filtro) override;
  QString eligeCarpeta(QWidget* padre, const QString& titulo, const QString& inicio) override;
  QString nombreGuardar(QWidget* padre, const QString& titulo, const QString& inicio,
                        const QString& filtro) override;
  bool avisoFormatos(const QString& texto) override;
  Modo eligeModo(const QString& texto) override;
  void continuar(const QString& texto) override;
  void informacion(const QString& titulo, const QString& texto) override;
  char tipoDato() override;
  bool imprime(QPrinter& impresora, QWidget* padre) override;
  void error(const QString& titulo, const QString& texto) override;
  void aviso(const QString& titulo, const QString& texto) override;
};
