#include "tipos.h"

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <stdexcept>

int aEntero(const std::string& texto) {
  const char* inicio = texto.c_str();
  char* fin = nullptr;
  errno = 0;
  const long v = std::strtol(inicio, &fin, 10);
  if (fin == inicio) throw std::invalid_argument("invalid stoi argument");
  if (errno == ERANGE || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    throw std::out_of_range("stoi argument out of range");
  return static_cast<int>(v);
}

std::string parametro(const MapaParametros& mapa, const std::string& clave) {
  auto it = mapa.find(clave);
  return it == mapa.end() ? std::string() : it->second;
}
