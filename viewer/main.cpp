#include <QApplication>
#include <QStringList>

#include "visualizador.h"

int main(int argc, char* argv[]) {
  QApplication aplicacion(argc, argv);

  // What is left after the toolkit took its own options: files to open as if
  // chosen in the first file dialog.
  OpcionesVisualizador opciones;
  for (int i = 1; i < argc; ++i) opciones.ficherosIniciales << QString::fromLocal8Bit(argv[i]);

  auto* ventana = new Visualizador(nullptr, std::move(opciones));
  ventana->show();
  const int estado = aplicacion.exec();
  delete ventana;
  return estado;
}
