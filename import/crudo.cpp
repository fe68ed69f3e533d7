#include "crudo.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>

#include "errores.h"

namespace {

// A detector file is written whole; one cut short still holds a fair part of
// what its header claims. Zero-filling up to 16 times what the files hold, or
// 16 MiB for files of a few bytes, keeps a truncated copy readable without
// letting a few corrupt bytes claim gigabytes.
constexpr uint64_t kFactorRelleno = 16;
constexpr uint64_t kRellenoMaximo = uint64_t{16} << 20;

}  // namespace

double dobleLE(const unsigned char* b) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | b[i];
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

uint16_t palabraLE(const unsigned char* b) { return static_cast<uint16_t>(b[0] | (b[1] << 8)); }

std::string ruta8(const QString& ruta) { return ruta.toLocal8Bit().toStdString(); }

int64_t tamanoFichero(const std::string& ruta) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(ruta, ec)) return -1;
  const auto n = std::filesystem::file_size(ruta, ec);
  if (ec || n > static_cast<uintmax_t>(std::numeric_limits<int64_t>::max())) return -1;
  return static_cast<int64_t>(n);
}

uint64_t productoSaturado(uint64_t a, uint64_t b) {
  if (a != 0 && b > std::numeric_limits<uint64_t>::max() / a) return std::numeric_limits<uint64_t>::max();
  return a * b;
}

void compruebaReserva(const std::string& ruta, uint64_t bytesMemoria, uint64_t bytesFicheros,
                      const std::string& que, const std::string& conclusion) {
  const uint64_t limite = std::max(productoSaturado(kFactorRelleno, bytesFicheros), kRellenoMaximo);
  if (bytesMemoria > limite)
    throw ErrorLectura(ruta, que + " would take " +
                                 (bytesMemoria == std::numeric_limits<uint64_t>::max()
                                      ? std::string("more bytes than can be counted")
                                      : std::to_string(bytesMemoria) + " bytes") +
                                 " but the files hold only " + std::to_string(bytesFicheros) +
                                 " bytes: " + conclusion);
}

uint64_t leeHasta(std::FILE* f, char* destino, uint64_t bytes) {
  uint64_t total = 0;
  while (total < bytes) {
    const std::size_t pedido = static_cast<std::size_t>(std::min<uint64_t>(bytes - total, uint64_t{1} << 30));
    const std::size_t n = std::fread(destino + total, 1, pedido, f);
    total += n;
    if (n < pedido) break;
  }
  return total;
}

FicheroAbierto abreBinario(const std::string& ruta, int64_t& tamano) {
  tamano = tamanoFichero(ruta);
  return FicheroAbierto(tamano < 0 ? nullptr : std::fopen(ruta.c_str(), "rb"), &std::fclose);
}

void AvisosLectura::entrega() {
  constexpr std::size_t kUnoAUno = 3;
  const std::size_t n = avisos_.size();
  const std::size_t sueltos = n > kUnoAUno + 1 ? kUnoAUno : n;
  for (std::size_t i = 0; i < sueltos; ++i) o_.aviso(avisos_[i].first, avisos_[i].second);
  if (sueltos < n)
    o_.aviso(avisos_[sueltos].first,
             "and " + std::to_string(n - sueltos) +
                 " more files of the list were not read whole (this one the first of them: " +
                 avisos_[sueltos].second + ")");
  avisos_.clear();
}
