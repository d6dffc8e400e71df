#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace tessarin {

// Pixel buffers start at 0: the allocator's zeros spare writing them a second time, and spare
// it entirely for a decoder that fills the buffer itself. They come from the heap, which takes
// large ones straight from the system (zeroed by it) and hands freed ones on within a batch.
// Huge pages were tried and dropped: on a virtual machine that returns free memory to its host,
// a process that starts after a pause waits for the host to bring every fresh 2 MiB page back.
// A one-character run of 16 noisy 1024 x 1024 layers then took 330 to 460 ms against 280 to
// 320 with small pages, which come back warm.
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
