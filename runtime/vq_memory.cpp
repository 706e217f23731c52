#include "vq_memory.h"

#include <atomic>
#include <cstdlib>

namespace {
std::atomic<long long> g_live{0};
std::atomic<long long> g_allocations{0};
std::atomic<long long> g_frees{0};
std::atomic<long long> g_refused{0};
std::atomic<int> g_refuseNext{0};
}  // namespace

void* MyAllocate(std::size_t bytes) {
  int pending = g_refuseNext.load();
  while (pending > 0) {
    if (g_refuseNext.compare_exchange_weak(pending, pending - 1)) {
      ++g_refused;
      return nullptr;
    }
  }
  // A zero-byte request still gets a block of its own.
  void* block = std::malloc(bytes == 0 ? 1 : bytes);
  if (block == nullptr) {
    ++g_refused;
    return nullptr;
  }
  ++g_live;
  ++g_allocations;
  return block;
}

void MyFree(void* block) {
  if (block == nullptr) return;
  --g_live;
  ++g_frees;
  std::free(block);
}

namespace vq_rt {

HeapStats GetHeapStats() {
  return HeapStats{g_live.load(), g_allocations.load(), g_frees.load(), g_refused.load()};
}

void RefuseAllocations(int count) { g_refuseNext.store(count < 0 ? 0 : count); }

}  // namespace vq_rt
