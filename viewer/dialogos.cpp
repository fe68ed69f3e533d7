#include "dialogos.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "dialog.h"
#include "render.h"

namespace {

QString tr(const char* texto) { return QCoreApplication::translate("Visualizador", texto); }

// The boxes of the viewer have no parent and carry the program's icon.
void prepara(QMessageBox& caja, const QString& titulo) {
  caja.setWindowTitle(titulo);
  const QString icono = rutaRecurso(QStringLiteral("./images/orv.svg"));
  if (QFileInfo::exists(icono)) caja.setWindowIcon(QIcon(icono));
}

}  // namespace

QStringList DialogosQt::eligeFicheros(QWidget* padre, const QString& titulo, const QString& inicio,
                                      const QString& filtro) {
  return QFileDialog::getOpenFileNames(padre, titulo, inicio, filtro);
}

QString DialogosQt::eligeCarpeta(QWidget* padre, const QString& titulo, const QString& inicio) {
  return QFileDialog::getExistingDirectory(padre, titulo, inicio, QFileDialog::ShowDirsOnly);
}

QString DialogosQt::nombreGuardar(QWidget* padre, const QString& titulo, const QString& inicio,
                                  const QString& filtro) {
  return QFileDialog::getSaveFileName(padre, titulo, inicio, filtro);
}

bool DialogosQt::avisoFormatos(const QString& texto) {
  QMessageBox caja;
  prepara(caja, QStringLiteral("Dravoni"));
  caja.setIcon(QMessageBox::Warning);
  caja.setText(texto);
  QPushButton* si = caja.addButton(QStringLiteral("Si"), QMessageBox::YesRole);
  caja.addButton(QStringLiteral("No"), QMessageBox::NoRole);
  caja.exec();
  return caja.clickedButton() == si;
}

Dialogos::Modo DialogosQt::eligeModo(const QString& texto) {
  QMessageBox caja;
  prepara(caja, QStringLiteral("Dravoni"));
  caja.setInformativeText(texto);
  QPushButton* automatico = caja.addButton(tr("Automatic"), QMessageBox::AcceptRole);
  QPushButton* manual = caja.addButton(tr("Manual"), QMessageBox::AcceptRole);
  caja.addButton(tr("Cancel"), QMessageBox::RejectRole);
  caja.exec();
  if (caja.clickedButton() == automatico) return Modo::automatico;
  if (caja.clickedButton() == manual) return Modo::manual;
  return Modo::cancelar;
}

void DialogosQt::continuar(const QString& texto) {
  QMessageBox caja;
  prepara(caja, QStringLiteral("Dravoni"));
  caja.setInformativeText(texto);
  caja.addButton(tr("Continue"), QMessageBox::AcceptRole);
  caja.exec();
}

void DialogosQt::informacion(const QString& titulo, const QString& texto) {
  QMessageBox caja;
  prepara(caja, titulo);
  caja.setIcon(QMessageBox::Information);
  caja.setText(texto);
  caja.exec();
}

char DialogosQt::tipoDato() {
  Dialog dialogo;
  dialogo.exec();
  return dialogo.tipo();
}

bool DialogosQt::imprime(QPrinter& impresora, QWidget* padre) {
  QPrintDialog dialogo(&impresora, padre);
  return dialogo.exec() == QDialog::Accepted;
}

void DialogosQt::error(const QString& titulo, const QString& texto) {
  QMessageBox caja;
  prepara(caja, titulo);
  caja.setIcon(QMessageBox::Critical);
  caja.setText(texto);
  caja.exec();
}

void DialogosQt::aviso(const QString& titulo, const QString& texto) {
  QMessageBox caja;
  prepara(caja, titulo);
  caja.setIcon(QMessageBox::Warning);
  caja.setText(texto);
  caja.exec();
}
