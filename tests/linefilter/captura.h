#pragma once

#include <iostream>
#include <sstream>
#include <string>

// Collects what a stream receives while it is alive, so tests can compare the
// detector's log lines byte for byte.
class Captura {
 public:
  explicit Captura(std::ostream& flujo = std::cout) : flujo_(flujo), anterior_(flujo.rdbuf(buffer_.rdbuf())) {}
  ~Captura() { flujo_.rdbuf(anterior_); }
  Captura(const Captura&) = delete;
  Captura& operator=(const Captura&) = delete;

  std::string texto() const { return buffer_.str(); }

 private:
  std::ostream& flujo_;
  std::ostringstream buffer_;
  std::streambuf* anterior_;
};
