#pragma once
// Memory blocks of the system's and the C runtime's allocators, freed on every way out.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

// The deleter of a std::unique_ptr that holds a LocalAlloc block, such as a text that
// FormatMessage allocated.
struct LocalFreeDeleter {
  void operator()(void* block) const { LocalFree(block); }
};
template <typename T>
using LocalBlock = std::unique_ptr<T, LocalFreeDeleter>;

// A zero-filled LocalAlloc block; bytes is null when the allocation failed.
struct LocalBuffer {
  explicit LocalBuffer(size_t size) : bytes(static_cast<uint8_t*>(LocalAlloc(LPTR, size))) {}
  ~LocalBuffer() {
    if (bytes != nullptr) LocalFree(bytes);
  }
  LocalBuffer(const LocalBuffer&) = delete;
  LocalBuffer& operator=(const LocalBuffer&) = delete;
  uint8_t* bytes;
};

// The deleter of a std::unique_ptr that holds a malloc block.
struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};
