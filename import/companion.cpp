#include "companion.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <optional>

#include <QFile>
#include <QFileInfo>

namespace {

bool seAbre(const QString& nombre) {
  if (!QFileInfo(nombre).isFile()) return false;
  QFile f(nombre);
  return f.open(QIODevice::ReadOnly);
}

// A field as a base-10 string-to-int conversion takes it: leading white
// space, an optional sign, digits; anything after the digits is ignored.
// Empty when there are no digits or the value does not fit 32 bits.
std::optional<int> entero(const std::string& campo) {
  const char* p = campo.c_str();
  while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
  const char* q = p;
  if (*q == '+' || *q == '-') ++q;
  if (!std::isdigit(static_cast<unsigned char>(*q))) return std::nullopt;
  errno = 0;
  char* fin = nullptr;
  const long long v = std::strtoll(p, &fin, 10);
  if (errno == ERANGE || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(v);
}

bool soloBlancos(const std::string& s) {
  for (unsigned char c : s)
    if (!std::isspace(c)) return false;
  return true;
}

}  // namespace

QString nombreFicheroDatos(const QStringList& ficheros) {
  if (ficheros.size() != 1) return QStringLiteral(" ");
  const QString ruta = QString::fromLocal8Bit(ficheros.first().toLocal8Bit());
  QString base = ruta;
  base.chop(4);
  // The chosen file itself is never its own point file: a chosen X.dat would
  // otherwise be parsed as text.
  for (const char* extension : {".txt", ".dat"}) {
    const QString nombre = base + QLatin1String(extension);
    if (nombre != ruta && seAbre(nombre)) return nombre;
  }
  return QStringLiteral(" ");
}

std::shared_ptr<Borde> leerFicheroDatos(const QString& nombre, ObservadorLectura& observador) {
  const std::string ruta = nombre.toLocal8Bit().toStdString();
  std::ifstream f(ruta);
  if (!f.is_open()) {
    observador.aviso(ruta, "the point file cannot be opened; no edge points are used");
    return nullptr;
  }
  f.seekg(0, std::ios::end);
  const long long tamano = static_cast<long long>(f.tellg());
  f.seekg(0);

  std::string linea1;
  std::getline(f, linea1);
  const std::optional<int> n = entero(linea1);
  if (!n) {
    observador.aviso(ruta, "the point count on line 1 is not a number; no edge points are used");
    return nullptr;
  }
  if (*n < 0) {
    observador.aviso(ruta, "the point count " + std::to_string(*n) +
                               " is negative; no edge points are used");
    return nullptr;
  }
  // Every point line takes at least "d d d" and a line end between lines, so a
  // count the rest of the file could never hold is a damaged file, not a short one.
  const long long resto = tamano - static_cast<long long>(linea1.size()) - 1;
  if (*n > 0 && 6LL * *n - 1 > resto) {
    observador.aviso(ruta, "the point count " + std::to_string(*n) +
                               " is larger than the file could hold; no edge points are used");
    return nullptr;
  }

  std::string linea2;
  std::getline(f, linea2);
  int blancos = 0, tabuladores = 0;
  for (char c : linea2) {
    if (c == ' ') ++blancos;
    if (c == '\t') ++tabuladores;
  }
  f.clear();
  f.seekg(0);
  std::getline(f, linea1);

  std::vector<Punto> puntos(static_cast<std::size_t>(*n));
  const char separador = blancos > 0 ? ' ' : tabuladores > 0 ? '\t' : '\0';
  if (separador != '\0') {
    // Points the file does not reach stay (0, 0, 0).
    bool quedan = true;
    for (Punto& p : puntos) {
      int* campos[3] = {&p.x, &p.y, &p.z};
      for (int k = 0; k < 3 && quedan; ++k) {
        std::string campo;
        if (!std::getline(f, campo, k < 2 ? separador : '\n')) {
          quedan = false;
          break;
        }
        if (f.eof() && soloBlancos(campo)) {
          quedan = false;
          break;
        }
        const std::optional<int> v = entero(campo);
        if (!v) {
          observador.aviso(ruta, "the point field \"" + campo +
                                     "\" is not a number; no edge points are used");
          return nullptr;
        }
        *campos[k] = *v;
      }
      if (!quedan) break;
    }
  }

  auto borde = std::make_shared<Borde>();
  borde->setNumPuntos(*n);
  borde->setPuntos(std::move(puntos));
  borde->calculaMaximos();
  return borde;
}
