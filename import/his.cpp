#include "his.h"

#include <algorithm>
#include <bit>
#include <cstdio>

#include "crudo.h"
#include "errores.h"

namespace {

constexpr int64_t kTamanoCabecera = 100;
static_assert(std::endian::native == std::endian::little, "the readers assume a little-endian host");

}  // namespace

std::unique_ptr<Cubo> leerHis(const QStringList& ficheros, ObservadorLectura& observador) {
  if (ficheros.isEmpty()) throw ErrorLectura("", "no file was chosen");
  const std::string ruta = ruta8(ficheros.first());
  int64_t tamano = 0;
  const FicheroAbierto f = abreBinario(ruta, tamano);
  if (!f) throw ErrorLectura(ruta, "the file cannot be opened");
  unsigned char cabecera[kTamanoCabecera];
  const uint64_t enCabecera = leeHasta(f.get(), reinterpret_cast<char*>(cabecera), kTamanoCabecera);
  if (enCabecera < uint64_t(kTamanoCabecera))
    throw ErrorLectura(ruta, "the file holds " + std::to_string(enCabecera) +
                                 " bytes, fewer than the 100 of a His header");
  const int ancho = palabraLE(cabecera + 16);
  const int alto = palabraLE(cabecera + 18);
  if (ancho == 0 || alto == 0)
    throw ErrorLectura(ruta, "the header gives an image of " + std::to_string(ancho) + " x " +
                                 std::to_string(alto) + " samples; each extent must be positive");
  const uint64_t n = uint64_t(ancho) * uint64_t(alto);
  const uint64_t esperados = 2 * n;
  const uint64_t hay = tamano > kTamanoCabecera ? static_cast<uint64_t>(tamano - kTamanoCabecera) : 0;
  compruebaReserva(ruta, esperados, hay,
                   "the header's " + std::to_string(ancho) + " x " + std::to_string(alto) + " samples");

  auto datos = std::make_unique<uint16_t[]>(n);
  uint64_t leidos = leeHasta(f.get(), reinterpret_cast<char*>(datos.get()), esperados);
  // A lone byte at the end is half a sample, not a value.
  if (leidos % 2) reinterpret_cast<char*>(datos.get())[--leidos] = 0;
  if (leidos < esperados)
    observador.aviso(ruta, "the file is short: it holds " + std::to_string(leidos) + " of the " +
                               std::to_string(esperados) +
                               " bytes of samples the header gives; the missing samples are 0");

  uint16_t inferior = 65535, superior = 1;
  for (uint64_t k = 0; k < n; ++k) {
    inferior = std::min(inferior, datos[k]);
    superior = std::max(superior, datos[k]);
  }

  AttributeMap atributos;
  for (const char* clave : {"ST", "PixelDimx", "PixelDimy", "PixelDimz"}) atributos.set(clave, "1");
  Geometria g = nuevaGeometria(ancho, alto);
  auto cubo = std::make_unique<Cubo>(g, 1, atributos);
  cubo->ponCorte(std::make_unique<CorteUnsignedShort>(std::move(datos), inferior, superior, g), 0);
  return cubo;
}
