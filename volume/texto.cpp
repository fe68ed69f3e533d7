#include "texto.h"

#include <sstream>

std::string textoNumero(double v) {
  std::ostringstream s;
  s << v;
  return s.str();
}
