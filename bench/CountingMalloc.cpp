// Replaces glibc's malloc family in this program (glibc allows that) by thin wrappers around
// glibc's own entry points, so that blocks taken by zlib and libstdc++ are counted as well.
// Sizes are the usable sizes glibc reports, which are what a block really occupies.
#include "CountingMalloc.h"

#include <malloc.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {

// The benchmarks are single-threaded; nothing else allocates while counting is on.
bool counting = false;
bench::HeapCount count;

void Took(void* block) {
  if (!counting || block == nullptr) return;
  count.live += static_cast<std::int64_t>(malloc_usable_size(block));
  count.peak = std::max(count.peak, count.live);
}

void Gives(void* block) {
  if (!counting || block == nullptr) return;
  count.live -= static_cast<std::int64_t>(malloc_usable_size(block));
}

}  // namespace

namespace bench {

void StartCounting() {
  count = {};
  counting = true;
}

HeapCount StopCounting() {
  counting = false;
  return count;
}

}  // namespace bench

extern "C" {

void* malloc(std::size_t size) {
  void* block = __libc_malloc(size);
  Took(block);
  return block;
}

void* calloc(std::size_t countOf, std::size_t size) {
  void* block = __libc_calloc(countOf, size);
  Took(block);
  return block;
}

void* realloc(void* block, std::size_t size) {
  const std::int64_t before =
      counting && block != nullptr ? static_cast<std::int64_t>(malloc_usable_size(block)) : 0;
  void* moved = __libc_realloc(block, size);
  if (counting && moved != nullptr) {
    const auto after = static_cast<std::int64_t>(malloc_usable_size(moved));
    // A block that moves exists twice while its bytes are copied.
    if (moved != block) count.peak = std::max(count.peak, count.live + after);
    count.live += after - before;
    count.peak = std::max(count.peak, count.live);
  } else if (counting && size == 0) {
    count.live -= before;
  }
  return moved;
}

void free(void* block) {
  Gives(block);
  __libc_free(block);
}

void* memalign(std::size_t alignment, std::size_t size) {
  void* block = __libc_memalign(alignment, size);
  Took(block);
  return block;
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
  return memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
  if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* block = memalign(alignment, size);
  if (block == nullptr) return ENOMEM;
  *result = block;
  return 0;
}

void* valloc(std::size_t size) {
  return memalign(4096, size);
}

void* pvalloc(std::size_t size) {
  return memalign(4096, (size + 4095) & ~std::size_t{4095});
}

}  // extern "C"
