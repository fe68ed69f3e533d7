#include "dialog.h"

#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

Dialog::Dialog(QWidget* parent) : QDialog(parent) {
  uchar_ = new QRadioButton(QStringLiteral("UCHAR"));
  ushort_ = new QRadioButton(QStringLiteral("USHORT"));
  short_ = new QRadioButton(QStringLiteral("SHORT"));
  float_ = new QRadioButton(QStringLiteral("FLOAT"));
  uchar_->setObjectName(QStringLiteral("botonUCHAR"));
  ushort_->setObjectName(QStringLiteral("botonUSHORT"));
  short_->setObjectName(QStringLiteral("botonSHORT"));
  float_->setObjectName(QStringLiteral("botonFLOAT"));
  short_->setChecked(true);

  auto* aceptar = new QPushButton(tr("Aceptar"));
  aceptar->setObjectName(QStringLiteral("botonAceptar"));

  auto* rejilla = new QGridLayout(this);
  rejilla->addWidget(uchar_, 0, 0);
  rejilla->addWidget(ushort_, 1, 0);
  rejilla->addWidget(short_, 2, 0);
  rejilla->addWidget(float_, 3, 0);
  rejilla->addWidget(aceptar, 4, 0);

  connect(aceptar, &QPushButton::clicked, this, &Dialog::aceptarTipo);
  setWindowTitle(tr("Tipo Format"));
}

char Dialog::codigoMarcado() const {
  if (uchar_->isChecked()) return 'c';
  if (ushort_->isChecked()) return 'u';
  if (short_->isChecked()) return 's';
  return 'f';
}

void Dialog::aceptarTipo() {
  tipo_ = codigoMarcado();
  accept();
}

// Closing through the frame (or Escape) still leaves the type the user sees
// checked, rather than a code nobody chose.
void Dialog::done(int resultado) {
  tipo_ = codigoMarcado();
  QDialog::done(resultado);
}
