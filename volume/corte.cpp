#include "corte.h"

#include <cmath>
#include <limits>

int32_t truncaA32(double v) {
  // The range test is written so that a NaN fails it.
  if (!(v > -2147483649.0 && v < 2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

int64_t truncaA64(double v) {
  if (!(v > -9223372036854775808.0 && v < 9223372036854775808.0))
    return std::numeric_limits<int64_t>::min();  // low bits all 0
  return static_cast<int64_t>(v);
}

namespace {

template <class To, class From, class F>
Muestras<To> convierte(const From* datos, std::size_t n, F f) {
  auto salida = std::make_unique_for_overwrite<To[]>(n);
  for (std::size_t i = 0; i < n; ++i) salida[i] = f(datos[i]);
  return Muestras<To>::propias(std::move(salida), n);
}

}  // namespace

// --- CorteUnsignedShort ---------------------------------------------------

CorteUnsignedShort::CorteUnsignedShort(std::shared_ptr<uint16_t[]> muestras, uint16_t inferior,
                                       uint16_t superior, Geometria geometria)
    : Corte(std::move(geometria)),
      muestras_(std::move(muestras)),
      inferior_(inferior),
      superior_(superior) {}

Muestras<uint8_t> CorteUnsignedShort::comoUChar() const {
  return convierte<uint8_t>(datos(), numMuestras(), [](uint16_t v) { return uint8_t(v); });
}
Muestras<uint16_t> CorteUnsignedShort::comoUShort() const {
  return Muestras<uint16_t>::prestadas(datos(), numMuestras());
}
Muestras<int16_t> CorteUnsignedShort::comoShort() const {
  return convierte<int16_t>(datos(), numMuestras(), [](uint16_t v) { return int16_t(v); });
}
Muestras<int32_t> CorteUnsignedShort::comoInt() const {
  return convierte<int32_t>(datos(), numMuestras(), [](uint16_t v) { return int32_t(v); });
}
Muestras<double> CorteUnsignedShort::comoDouble() const {
  return convierte<double>(datos(), numMuestras(), [](uint16_t v) { return double(v); });
}

// --- CorteShort -----------------------------------------------------------

CorteShort::CorteShort(std::shared_ptr<int16_t[]> muestras, int16_t inferior, int16_t superior,
                       Geometria geometria)
    : Corte(std::move(geometria)),
      muestras_(std::move(muestras)),
      inferior_(inferior),
      superior_(superior) {}

Muestras<uint8_t> CorteShort::comoUChar() const {
  return convierte<uint8_t>(datos(), numMuestras(), [](int16_t v) { return uint8_t(v); });
}
Muestras<uint16_t> CorteShort::comoUShort() const {
  return convierte<uint16_t>(datos(), numMuestras(), [](int16_t v) { return uint16_t(v); });
}
Muestras<int16_t> CorteShort::comoShort() const {
  return Muestras<int16_t>::prestadas(datos(), numMuestras());
}
Muestras<int32_t> CorteShort::comoInt() const {
  return convierte<int32_t>(datos(), numMuestras(), [](int16_t v) { return int32_t(v); });
}
Muestras<double> CorteShort::comoDouble() const {
  return convierte<double>(datos(), numMuestras(), [](int16_t v) { return double(v); });
}

// --- CorteDouble ----------------------------------------------------------

CorteDouble::CorteDouble(std::unique_ptr<double[]> muestras, double inferior, double superior,
                         Geometria geometria)
    : Corte(std::move(geometria)),
      muestras_(std::move(muestras)),
      inferior_(inferior),
      superior_(superior) {}

Muestras<uint8_t> CorteDouble::comoUChar() const {
  return convierte<uint8_t>(datos(), numMuestras(),
                            [](double v) { return uint8_t(uint64_t(truncaA64(v))); });
}
Muestras<uint16_t> CorteDouble::comoUShort() const {
  return convierte<uint16_t>(datos(), numMuestras(),
                             [](double v) { return uint16_t(uint64_t(truncaA64(v))); });
}
Muestras<int16_t> CorteDouble::comoShort() const {
  return convierte<int16_t>(datos(), numMuestras(),
                            [](double v) { return int16_t(uint32_t(truncaA32(v))); });
}
Muestras<int32_t> CorteDouble::comoInt() const {
  return convierte<int32_t>(datos(), numMuestras(), [](double v) { return truncaA32(v); });
}
Muestras<double> CorteDouble::comoDouble() const {
  return Muestras<double>::prestadas(datos(), numMuestras());
}
int CorteDouble::minimo() const { return uint16_t(uint64_t(truncaA64(inferior_))); }
int CorteDouble::maximo() const { return uint16_t(uint64_t(truncaA64(superior_))); }
