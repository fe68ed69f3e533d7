#pragma once

#include <stdexcept>
#include <string>

// A file that cannot be turned into a volume: which file, and why. Readers
// throw it instead of returning a half-built volume; the viewer shows it in one
// message box, the tools print "tool: PATH: reason".
class ErrorLectura : public std::runtime_error {
 public:
  ErrorLectura(std::string ruta, std::string motivo)
      : std::runtime_error(ruta + ": " + motivo), ruta_(std::move(ruta)), motivo_(std::move(motivo)) {}
  const std::string& ruta() const { return ruta_; }
  const std::string& motivo() const { return motivo_; }

 private:
  std::string ruta_;
  std::string motivo_;
};
