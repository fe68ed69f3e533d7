#pragma once

#include <stdexcept>
#include <string>

// A file that could not be written: which file, and why. The writers throw it
// (or hand a list of them back, for a series) instead of failing silently; the
// viewer shows it in one message box, the tools print "tool: PATH: reason".
class ErrorEscritura : public std::runtime_error {
 public:
  ErrorEscritura(std::string ruta, std::string motivo)
      : std::runtime_error(ruta + ": " + motivo), ruta_(std::move(ruta)), motivo_(std::move(motivo)) {}
  const std::string& ruta() const { return ruta_; }
  const std::string& motivo() const { return motivo_; }

 private:
  std::string ruta_;
  std::string motivo_;
};
