#include "bloque.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t kPaginaGrande = std::size_t{2} << 20;

}  // namespace

std::shared_ptr<void> reservaBloque(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  void* p = nullptr;
  if (bytes >= kPaginaGrande) {
    // aligned_alloc wants a multiple of the alignment.
    const std::size_t redondeado = (bytes + kPaginaGrande - 1) / kPaginaGrande * kPaginaGrande;
    if (redondeado >= bytes) p = std::aligned_alloc(kPaginaGrande, redondeado);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Only advice: where the kernel has no huge pages the block is ordinary memory.
    if (p) madvise(p, redondeado, MADV_HUGEPAGE);
#endif
  } else {
    p = std::malloc(bytes);
  }
  if (!p) throw std::bad_alloc();
  return std::shared_ptr<void>(p, [](void* q) { std::free(q); });
}
