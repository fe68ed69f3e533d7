#include "ejecucion.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

#include "pipeline.h"

namespace {

// The detector's entry takes the results folder as a fourth argument; a build
// whose entry does not yet take one writes to its own fixed ./data.
template <class Carpeta>
void llamaPipeline(uint16_t* muestras, Dimensiones* dims, MapaParametros parametros,
                   const Carpeta& carpeta) {
  if constexpr (requires { procesaImagen(muestras, dims, std::move(parametros), carpeta); })
    procesaImagen(muestras, dims, std::move(parametros), carpeta);
  else
    procesaImagen(muestras, dims, std::move(parametros));
}

}  // namespace

void ejecutaPipeline(uint16_t* muestras, Dimensiones* dims, const MapaParametros& parametros,
                     const std::string& carpetaDatos) {
  if (dims->dim0 < 0 || dims->dim1 < 0) throw std::length_error("the slice has negative extents");
  const long long n = static_cast<long long>(dims->dim0) * dims->dim1;
  if (n > std::numeric_limits<int>::max())
    throw std::length_error("the slice has more samples than the filter can count");
  std::vector<uint16_t> copia(muestras, muestras + n);
  Dimensiones d = *dims;
  llamaPipeline(copia.data(), &d, parametros, carpetaDatos);
  std::copy(copia.begin(), copia.end(), muestras);
  *dims = d;
}
