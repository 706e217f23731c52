#include "vq_memory.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace {
std::atomic<long long> g_live{0};
std::atomic<long long> g_allocations{0};
std::atomic<long long> g_frees{0};
std::atomic<long long> g_refused{0};
// Refusals a test asked for: `g_serveFirst` calls are served, then
// `g_refuseNext` refused. The flag keeps the lock off the usual path.
std::atomic<bool> g_armed{false};
std::mutex g_refusalLock;
long long g_serveFirst = 0;
int g_refuseNext = 0;

bool RefuseThisOne() {
  std::lock_guard<std::mutex> lock(g_refusalLock);
  if (g_refuseNext <= 0) return false;
  if (g_serveFirst > 0) {
    --g_serveFirst;
    return false;
  }
  if (--g_refuseNext == 0) g_armed.store(false);
  return true;
}
}  // namespace

void* MyAllocate(std::size_t bytes) {
  if (g_armed.load(std::memory_order_relaxed) && RefuseThisOne()) {
    ++g_refused;
    return nullptr;
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

void RefuseAllocations(int count, long long after) {
  std::lock_guard<std::mutex> lock(g_refusalLock);
  g_refuseNext = count < 0 ? 0 : count;
  g_serveFirst = after < 0 ? 0 : after;
  g_armed.store(g_refuseNext > 0);
}

}  // namespace vq_rt
