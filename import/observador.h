#pragma once

#include <string>

#include <QString>

// What a reader tells while it works: progress over a long read, and warnings
// the user must see although a volume still results (a file shorter than its
// header says). The viewer shows a progress dialog and a message box, the tools
// a bar and lines on stderr; tests pass the silent default.
class ObservadorLectura {
 public:
  virtual ~ObservadorLectura() = default;
  virtual void progresoInicio(const QString& /*etiqueta*/, const QString& /*cancelar*/,
                              int /*minimo*/, int /*maximo*/) {}
  virtual void progresoValor(int /*valor*/) {}
  virtual void progresoFin() {}
  virtual void aviso(const std::string& /*ruta*/, const std::string& /*texto*/) {}
};

// The observer that says nothing.
ObservadorLectura& observadorMudo();
