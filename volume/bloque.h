#pragma once

#include <cstddef>
#include <memory>
#include <new>

// The samples of many slices of one size in one allocation. Opening a large
// volume is dominated by the first touch of its pages, not by reading them; a
// single large block can be faulted in as huge pages where the kernel allows,
// which many per-slice arrays cannot. Each slice handed out keeps the block
// alive, so slices can be replaced or dropped one by one as before.
template <class T>
class BloqueCortes {
 public:
  // Throws std::bad_alloc when the block cannot be had, as new would.
  BloqueCortes(std::size_t muestrasCorte, std::size_t cortes);

  // Slice i's samples, uninitialised until the caller writes them.
  T* corte(std::size_t i) const { return base_ + i * muestrasCorte_; }
  // Slice i's samples as an array that shares ownership of the block.
  std::shared_ptr<T[]> comparte(std::size_t i) const { return std::shared_ptr<T[]>(bloque_, corte(i)); }

 private:
  std::shared_ptr<void> bloque_;
  T* base_;
  std::size_t muestrasCorte_;
};

// bytes of uninitialised memory aligned for any sample type, advised for huge
// pages when it is large enough to hold one.
std::shared_ptr<void> reservaBloque(std::size_t bytes);

template <class T>
BloqueCortes<T>::BloqueCortes(std::size_t muestrasCorte, std::size_t cortes)
    : muestrasCorte_(muestrasCorte) {
  if (muestrasCorte != 0 && cortes > static_cast<std::size_t>(-1) / sizeof(T) / muestrasCorte)
    throw std::bad_alloc();
  bloque_ = reservaBloque(muestrasCorte * cortes * sizeof(T));
  base_ = static_cast<T*>(bloque_.get());
}
