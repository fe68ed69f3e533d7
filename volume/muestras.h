#pragma once

#include <cstddef>
#include <memory>

// The result of a slice conversion. When the slice already holds the requested
// type, the conversion lends the slice's own array (no copy; it must not be
// altered and lives as long as the slice); otherwise it owns a fresh array.
template <class T>
class Muestras {
 public:
  Muestras() = default;
  static Muestras prestadas(const T* datos, std::size_t n) {
    Muestras m;
    m.datos_ = datos;
    m.n_ = n;
    return m;
  }
  static Muestras propias(std::unique_ptr<T[]> datos, std::size_t n) {
    Muestras m;
    m.datos_ = datos.get();
    m.propio_ = std::move(datos);
    m.n_ = n;
    return m;
  }

  const T* data() const { return datos_; }
  std::size_t size() const { return n_; }
  const T& operator[](std::size_t i) const { return datos_[i]; }
  const T* begin() const { return datos_; }
  const T* end() const { return datos_ + n_; }
  // True when the array belongs to this result rather than to the slice.
  bool esPropia() const { return propio_ != nullptr; }

 private:
  const T* datos_ = nullptr;
  std::unique_ptr<T[]> propio_;
  std::size_t n_ = 0;
};
