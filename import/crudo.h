#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

#include "observador.h"

// What the raw acquisition readers (XDAS, flat panel, PelixOld, His) share:
// little-endian numbers, file sizes, the progress of a list of files, and the
// rule that keeps a corrupt header from claiming memory the files could never
// fill.

double dobleLE(const unsigned char* b);
uint16_t palabraLE(const unsigned char* b);

// The path as the readers open it: the local 8-bit form.
std::string ruta8(const QString& ruta);

// Size of a regular file in bytes; -1 when it does not exist, is a folder or
// cannot be opened for reading.
int64_t tamanoFichero(const std::string& ruta);

// a * b, or UINT64_MAX when the product does not fit.
uint64_t productoSaturado(uint64_t a, uint64_t b);

// Refuses (ErrorLectura on `ruta`) a volume whose samples would take
// `bytesMemoria` while the files hold only `bytesFicheros`: a short file is
// read as far as it goes with the rest 0, but a claim far beyond the files
// (more than 16 times what they hold, and more than 16 MiB) is a corrupt
// header. `que` names the claim in the message.
void compruebaReserva(const std::string& ruta, uint64_t bytesMemoria, uint64_t bytesFicheros,
                      const std::string& que, const std::string& conclusion = "the header is corrupt");

// An open file, closed however the read ends.
using FicheroAbierto = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
// Opens a regular file for reading and gives its size; null when it cannot.
FicheroAbierto abreBinario(const std::string& ruta, int64_t& tamano);

// Reads up to `bytes` bytes at the current position; returns how many came.
uint64_t leeHasta(std::FILE* f, char* destino, uint64_t bytes);

// Opens the progress of a read and closes it however the read ends.
class ProgresoLectura {
 public:
  ProgresoLectura(ObservadorLectura& o, const QString& etiqueta, int maximo) : o_(o) {
    o_.progresoInicio(etiqueta, QStringLiteral("Cancelar"), 0, maximo);
  }
  ~ProgresoLectura() { o_.progresoFin(); }
  ProgresoLectura(const ProgresoLectura&) = delete;
  ProgresoLectura& operator=(const ProgresoLectura&) = delete;
  void valor(int v) { o_.progresoValor(v); }

 private:
  ObservadorLectura& o_;
};

// The warnings of a read of many files, given to the observer when the read
// is done: the first few one by one, the rest as one line, so that a list of
// a hundred short files does not raise a hundred message boxes.
class AvisosLectura {
 public:
  explicit AvisosLectura(ObservadorLectura& o) : o_(o) {}
  void anade(const std::string& ruta, const std::string& texto) { avisos_.emplace_back(ruta, texto); }
  void entrega();

 private:
  ObservadorLectura& o_;
  std::vector<std::pair<std::string, std::string>> avisos_;
};
