#include "tests/memory/allocation_counter.h"

#include <malloc.h>
#include <sys/resource.h>

#include <atomic>
#include <cstddef>

// The C library's own allocator under its internal names; the definitions
// below take the public names, so every caller in the process comes here.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<long> allocations{0};

}  // namespace

extern "C" void* malloc(size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(block, size);
}

extern "C" void free(void* block) {
  __libc_free(block);
}

namespace memory_test {

long allocationCount() {
  return allocations.load(std::memory_order_relaxed);
}

size_t heapBytesInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

long peakResidentKiB() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace memory_test
