#pragma once

#include <cstddef>
#include <memory>

// The size of every slice of a volume. One record is shared by a volume, the
// volumes derived from it and all their slices, so that a quarter turn of the
// view (which swaps the two values) changes the size all of them report.
class GeometriaCorte {
 public:
  GeometriaCorte() = default;
  GeometriaCorte(int ancho, int alto) : ancho_(ancho), alto_(alto) {}

  int ancho() const { return ancho_; }
  int alto() const { return alto_; }
  void setAncho(int a) { ancho_ = a; }
  void setAlto(int a) { alto_ = a; }
  void intercambia() { std::swap(ancho_, alto_); }

  // Computed in 64 bits: readers check it against the file before allocating.
  std::size_t numMuestras() const {
    if (ancho_ <= 0 || alto_ <= 0) return 0;
    return static_cast<std::size_t>(ancho_) * static_cast<std::size_t>(alto_);
  }

 private:
  int ancho_ = 0;
  int alto_ = 0;
};

using Geometria = std::shared_ptr<GeometriaCorte>;

inline Geometria nuevaGeometria(int ancho, int alto) {
  return std::make_shared<GeometriaCorte>(ancho, alto);
}
