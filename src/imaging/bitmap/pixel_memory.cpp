#include "imaging/bitmap/pixel_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

// The sanitizers watch heap blocks only: keep big pictures on the heap under them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VYR_PIXELS_ON_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define VYR_PIXELS_ON_HEAP 1
#endif
#endif

namespace vyr {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t PageRounded(size_t bytes) {
  const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  return (bytes + page - 1) / page * page;
}

bool Huge(size_t bytes) {
#ifdef VYR_PIXELS_ON_HEAP
  (void)bytes;
  return false;
#else
  return bytes >= kHugePixelBlock;
#endif
}

}  // namespace

uint8_t* AllocatePixels(size_t bytes) {
  if (!Huge(bytes)) return static_cast<uint8_t*>(std::calloc(bytes, 1));
  // Over-allocate by one huge page, then give back the unaligned head and the tail.
  const size_t size = PageRounded(bytes);
  if (size > SIZE_MAX - kHugePage) return nullptr;
  void* mapped =
      ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  auto* start = static_cast<uint8_t*>(mapped);
  auto* aligned = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(start) + kHugePage - 1) &
                                             ~(uintptr_t{kHugePage} - 1));
  if (aligned > start) ::munmap(start, static_cast<size_t>(aligned - start));
  const size_t tail = static_cast<size_t>(start + size + kHugePage - (aligned + size));
  if (tail > 0) ::munmap(aligned + size, tail);
  // A hint: where the kernel finds no huge page at hand it falls back to small ones (with
  // its defrag setting deciding how hard it tries first).
  ::madvise(aligned, size, MADV_HUGEPAGE);
  return aligned;
}

void FreePixels(uint8_t* pixels, size_t bytes) {
  if (!pixels) return;
  if (!Huge(bytes)) {
    std::free(pixels);
    return;
  }
  ::munmap(pixels, PageRounded(bytes));
}

}  // namespace vyr
