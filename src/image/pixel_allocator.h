#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace tessarin {

// Sheets and layers are megabytes each, and a composition touches every byte of a dozen
// fresh ones; faulting them in 4 KiB at a time costs more than composing them. Large
// buffers therefore come straight from the system, aligned for and asking for huge pages
// where the system has them; small ones come from the heap. Either way the bytes start at
// 0, which spares writing the zeros a second time, and spares it entirely for a decoder
// that fills the buffer itself.
void* AllocatePixels(std::size_t bytes);  // zeroed; throws std::bad_alloc
void FreePixels(void* pixels, std::size_t bytes) noexcept;

template <typename T>
struct PixelAllocator {
  using value_type = T;
  PixelAllocator() = default;
  template <typename U>
  PixelAllocator(const PixelAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) { return static_cast<T*>(AllocatePixels(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { FreePixels(p, n * sizeof(T)); }
  // Value-initialisation leaves the allocator's zeros; copies construct as usual.
  template <typename U>
  void construct(U*) noexcept {}
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

template <typename T, typename U>
bool operator==(const PixelAllocator<T>&, const PixelAllocator<U>&) {
  return true;
}
template <typename T, typename U>
bool operator!=(const PixelAllocator<T>&, const PixelAllocator<U>&) {
  return false;
}

}  // namespace tessarin
