#include "ejecucion.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <vector>

#include "pipeline.h"

void ejecutaPipeline(uint16_t* muestras, Dimensiones* dims, const MapaParametros& parametros,
                     const std::string& carpetaDatos) {
  if (dims->dim0 < 0 || dims->dim1 < 0) throw std::length_error("the slice has negative extents");
  const long long n = static_cast<long long>(dims->dim0) * dims->dim1;
  if (n > std::numeric_limits<int>::max())
    throw std::length_error("the slice has more samples than the filter can count");
  std::vector<uint16_t> copia(muestras, muestras + n);
  Dimensiones d = *dims;
  procesaImagen(copia.data(), &d, parametros, carpetaDatos);
  std::copy(copia.begin(), copia.end(), muestras);
  *dims = d;
}
