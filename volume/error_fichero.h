#pragma once

#include <stdexcept>
#include <string>

// A file the system could not use: which file, and why. The viewer shows it
// in one message box, the tools print "tool: PATH: reason".
class ErrorFichero : public std::runtime_error {
 public:
  ErrorFichero(std::string ruta, std::string motivo)
      : std::runtime_error(ruta + ": " + motivo), ruta_(std::move(ruta)), motivo_(std::move(motivo)) {}
  const std::string& ruta() const { return ruta_; }
  const std::string& motivo() const { return motivo_; }

 private:
  std::string ruta_;
  std::string motivo_;
};
