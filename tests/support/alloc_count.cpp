// alloc_count.cpp - the global operator new and delete replaced, counting.
#include "support/alloc_count.h"

#include <atomic>   // the count
#include <cstdlib>  // malloc, free
#include <new>      // bad_alloc

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

long ALLOCATIONS() { return g_allocations.load(); }

void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
