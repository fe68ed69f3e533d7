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

// The observer of the command-line tools: a progress bar on stderr when it is
// a terminal (a log file gets no carriage returns), and each warning as the
// line "TOOL: PATH: warning: TEXT".
class ObservadorTerminal : public ObservadorLectura {
 public:
  explicit ObservadorTerminal(std::string herramienta);
  void progresoInicio(const QString& etiqueta, const QString& cancelar, int minimo, int maximo) override;
  void progresoValor(int valor) override;
  void progresoFin() override;
  void aviso(const std::string& ruta, const std::string& texto) override;

 private:
  std::string herramienta_;
  std::string etiqueta_;
  bool terminal_;
  bool dibujada_ = false;
  int minimo_ = 0;
  int maximo_ = 0;
  int ultimo_ = -1;
};
