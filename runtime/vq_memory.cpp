#include "vq_memory.h"

#include "vq_error.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>
#include <unordered_map>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#include <sys/resource.h>
#endif

namespace {
std::atomic<long long> g_live{0};
std::atomic<long long> g_allocations{0};
std::atomic<long long> g_frees{0};
std::atomic<long long> g_refused{0};
std::atomic<long long> g_mappedBytes{0};
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

// Small blocks come from slabs: 2 MiB, aligned to their size, each cut into
// blocks of one size class and given a page of pattern columns, one per
// block. Blocks made one after another lie one after another, and the slab
// and block index of an address give its column without reading the block.
// The sanitizer builds keep the plain heap, so every block stays checked;
// so do 32-bit and Windows builds, which lack the address layout and the
// aligned allocation the slabs rest on.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRANTEL_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(BRANTEL_ADDRESS_SANITIZER) || defined(_WIN32)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = sizeof(void*) == 8;
#endif
constexpr int kSlabBits = 21;
constexpr std::size_t kSlabBytes = std::size_t{1} << kSlabBits;
constexpr std::size_t kGrain = 16;  // what operator new promises
// Runtime objects need no more than 8: an element of 40 bytes takes 40.
constexpr std::size_t kObjectGrain = 8;
constexpr std::size_t kSmallestBlock = 16;
constexpr std::size_t kLargestPooled = 256;
constexpr int kClasses = static_cast<int>(kLargestPooled / kObjectGrain);
static_assert(kLargestPooled <= 256 && kSlabBits == 21, "a column from one product needs blocks of at most 256 bytes in slabs of 2^21");

struct Slab {
  char* base;
  std::uint32_t blockBytes;
  std::uint64_t reciprocal;  // 2^32 / blockBytes, rounded up: block index by multiplication
  std::uint32_t capacity;
  std::uint32_t handedOut = 0;  // blocks taken from the untouched end so far
  std::uint32_t live = 0;
  void* freeList = nullptr;
  int page = -1;  // of pattern columns
  std::size_t index = 0;  // in the arena
  int sizeClass;
  bool listed = false;  // in its class's list of slabs with room
};

struct SizeClass {
  Slab* current = nullptr;
  std::vector<Slab*> withRoom;
};

// Pattern columns come in pages of 2^17, no two live variables sharing one:
// a slab takes a page for its blocks (it has no more than that), and
// objects that live elsewhere share pages that remember each object. So a
// column gives back its object without a search.
constexpr int kPageBits = 17;
constexpr int kPageColumns = 1 << kPageBits;
constexpr int kPages = 1 << (31 - kPageBits);  // every non-negative int
static_assert(kSlabBytes / kSmallestBlock <= kPageColumns, "a slab's blocks number no more than a page of columns");
struct ColumnPage {
  Slab* slab = nullptr;            // whose blocks the columns number
  const void** objects = nullptr;  // or the objects NewColumn was given
};
std::mutex g_columnLock;
ColumnPage g_pages[kPages];
int g_nextPage = 0;
std::vector<int> g_sparePages;  // of released slabs
int g_singlesPage = -1;
int g_singlesUsed = kPageColumns;

// Under g_columnLock; -1 when every page is taken.
int TakePage() {
  if (!g_sparePages.empty()) {
    const int page = g_sparePages.back();
    g_sparePages.pop_back();
    return page;
  }
  return g_nextPage < kPages ? g_nextPage++ : -1;
}

// The heap's lock. Held for a few dozen instructions and, in practice, by
// one thread at a time: a spin costs two plain instructions where a mutex
// takes two calls and two locked operations, and a grid makes millions of
// blocks.
class PoolLock {
 public:
  void lock() {
    while (m_Held.exchange(true, std::memory_order_acquire))
      while (m_Held.load(std::memory_order_relaxed)) std::this_thread::yield();
  }
  void unlock() { m_Held.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> m_Held{false};
};
PoolLock g_poolLock;
// Pooled blocks handed out and given back, counted under g_poolLock.
long long g_pooledAllocations = 0;
long long g_pooledFrees = 0;
// Never destroyed: blocks may come back while other modules' statics go.
SizeClass* Classes() {
  static SizeClass* const classes = new SizeClass[kClasses];
  return classes;
}

// The slabs lie side by side in one reserved range, so an address gives its
// slab by subtraction and a shift, and its column by one more read: the
// shape of that slab, in a table indexed like the range.
constexpr std::size_t kArenaSlabs = vq_rt::SlabArena::kSlabs;
static_assert(vq_rt::SlabArena::kSlabBits == kSlabBits, "the arena's slabs are the heap's");
using vq_rt::SlabShape;
char*& g_arena = vq_rt::g_slabArena.base;
std::size_t g_arenaSlabs = 0;  // slabs the reserved range holds
std::atomic<std::uint64_t>& g_arenaBytes = vq_rt::g_slabArena.bytes;  // reserved bytes handed to slabs so far
Slab* g_slabAt[kArenaSlabs];
SlabShape (&g_shapes)[kArenaSlabs] = vq_rt::g_slabArena.shapes;
std::size_t g_nextSlab = 0;
std::vector<std::size_t> g_spareSlabs;  // of released slabs, their memory given back

std::size_t SlabIndex(const void* block, bool& inside) {
  std::uint64_t offset = 0;
  inside = vq_rt::g_slabArena.Holds(block, offset);
  return static_cast<std::size_t>(offset >> kSlabBits);
}

Slab* SlabOf(const void* block) {
  bool inside = false;
  const std::size_t index = SlabIndex(block, inside);
  return inside ? g_slabAt[index] : nullptr;
}

// Under g_poolLock: a slab's worth of the range made usable; null when the
// range cannot be had or is used up.
char* SlabMemory(std::size_t& index) {
#if defined(_WIN32)
  (void)index;
  return nullptr;
#else
  if (g_arena == nullptr && g_arenaSlabs == 0) {
    // A process limited in address space keeps most of it for other uses.
    std::size_t slabs = kArenaSlabs;
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
      while (slabs > 16 && slabs * kSlabBytes > limit.rlim_cur / 4) slabs /= 2;
    for (; slabs >= 16 && g_arena == nullptr; slabs /= 2) {
      // Writable from the start: a page costs memory only once touched. On
      // huge pages, as the blocks of a slab are handed out front to back.
      void* range = mmap(nullptr, (slabs + 1) * kSlabBytes, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
      if (range == MAP_FAILED) continue;
      const auto start = reinterpret_cast<std::uintptr_t>(range);
      g_arena = reinterpret_cast<char*>((start + kSlabBytes - 1) & ~(std::uintptr_t{kSlabBytes} - 1));
      g_arenaSlabs = slabs;
      madvise(g_arena, slabs * kSlabBytes, MADV_HUGEPAGE);
    }
    if (g_arena == nullptr) g_arenaSlabs = 1;  // tried once; the ordinary heap serves
  }
  if (g_arena == nullptr) return nullptr;
  if (!g_spareSlabs.empty()) {
    index = g_spareSlabs.back();
  } else {
    if (g_nextSlab == g_arenaSlabs) return nullptr;
    index = g_nextSlab;
  }
  char* base = g_arena + index * kSlabBytes;
  if (!g_spareSlabs.empty()) g_spareSlabs.pop_back();
  else g_arenaBytes.store(++g_nextSlab * kSlabBytes, std::memory_order_relaxed);
  return base;
#endif
}

// Under g_poolLock: the memory goes back to the system, the addresses stay
// reserved for the next slab.
void ReleaseSlabMemory(char* base, std::size_t index) {
#if !defined(_WIN32)
  madvise(base, kSlabBytes, MADV_DONTNEED);
  g_spareSlabs.push_back(index);
#else
  (void)base;
  (void)index;
#endif
}

bool HasRoom(const Slab* slab) { return slab->freeList != nullptr || slab->handedOut < slab->capacity; }

// Under g_poolLock.
Slab* NewSlab(int sizeClass) {
  std::size_t index = 0;
  char* base = SlabMemory(index);
  if (base == nullptr) return nullptr;
  Slab* slab = new (std::nothrow) Slab;
  if (slab != nullptr) {
    slab->base = base;
    slab->index = index;
    slab->blockBytes = static_cast<std::uint32_t>((sizeClass + 1) * kObjectGrain);
    slab->reciprocal = ((std::uint64_t{1} << 32) + slab->blockBytes - 1) / slab->blockBytes;
    slab->capacity = static_cast<std::uint32_t>(kSlabBytes / slab->blockBytes);
    slab->sizeClass = sizeClass;
    std::lock_guard<std::mutex> lock(g_columnLock);
    slab->page = TakePage();
    if (slab->page >= 0) g_pages[slab->page].slab = slab;
  }
  if (slab == nullptr || slab->page < 0) {
    delete slab;
    ReleaseSlabMemory(base, index);
    return nullptr;
  }
  g_shapes[index] = SlabShape{slab->reciprocal, slab->blockBytes, slab->page << kPageBits};
  g_mappedBytes += static_cast<long long>(kSlabBytes);
  g_slabAt[index] = slab;
  return slab;
}

void* TakeBlock(std::size_t bytes) {
  // Blocks of a multiple of 8 bytes: a multiple of 16 keeps 16 apart, as the slab starts on a huge page.
  const int sizeClass = static_cast<int>((bytes + kObjectGrain - 1) / kObjectGrain) - 1;
  std::lock_guard<PoolLock> lock(g_poolLock);
  SizeClass& owner = Classes()[sizeClass];
  Slab* slab = owner.current;
  if (slab == nullptr || !HasRoom(slab)) {
    slab = nullptr;
    while (!owner.withRoom.empty() && slab == nullptr) {
      Slab* candidate = owner.withRoom.back();
      owner.withRoom.pop_back();
      candidate->listed = false;
      if (HasRoom(candidate)) slab = candidate;
    }
    if (slab == nullptr) slab = NewSlab(sizeClass);
    if (slab == nullptr) return nullptr;
    owner.current = slab;
  }
  void* block;
  if (slab->freeList != nullptr) {
    block = slab->freeList;
    slab->freeList = *static_cast<void**>(block);
  } else {
    block = slab->base + static_cast<std::size_t>(slab->handedOut++) * slab->blockBytes;
  }
  ++slab->live;
  ++g_pooledAllocations;
  return block;
}

void ReturnBlock(Slab* slab, void* block) {
  std::lock_guard<PoolLock> lock(g_poolLock);
  SizeClass& owner = Classes()[slab->sizeClass];
  *static_cast<void**>(block) = slab->freeList;
  slab->freeList = block;
  --slab->live;
  ++g_pooledFrees;
  if (slab == owner.current) return;
  if (slab->live == 0) {
    // An empty slab goes back to the system; its columns wait for the next.
    if (slab->listed) owner.withRoom.erase(std::find(owner.withRoom.begin(), owner.withRoom.end(), slab));
    g_slabAt[slab->index] = nullptr;
    g_shapes[slab->index] = SlabShape{};
    {
      std::lock_guard<std::mutex> columns(g_columnLock);
      g_pages[slab->page].slab = nullptr;
      g_sparePages.push_back(slab->page);
    }
    ReleaseSlabMemory(slab->base, slab->index);
    g_mappedBytes -= static_cast<long long>(kSlabBytes);
    delete slab;
    return;
  }
  if (!slab->listed) {
    slab->listed = true;
    owner.withRoom.push_back(slab);
  }
}

// A request of up to kLargestPooled bytes takes a pooled block of its size
// rounded up to `grain`, kSmallestBlock at least (a zero-byte one too).
void* Allocate(std::size_t bytes, std::size_t grain) {
  if (g_armed.load(std::memory_order_relaxed) && RefuseThisOne()) {
    ++g_refused;
    return nullptr;
  }
  if (kPooled && bytes <= kLargestPooled)
    if (void* block = TakeBlock(std::max((bytes + grain - 1) / grain * grain, kSmallestBlock)))
      return block;  // counted by the pool
  void* block = std::malloc(bytes == 0 ? 1 : bytes);
  if (block == nullptr) {
    ++g_refused;
    return nullptr;
  }
  ++g_live;
  ++g_allocations;
  return block;
}
}  // namespace

void* MyAllocate(std::size_t bytes) { return Allocate(bytes, kGrain); }

namespace vq_rt {
void* AllocateObject(std::size_t bytes) { return Allocate(bytes, kObjectGrain); }
}  // namespace vq_rt

void MyFree(void* block) {
  if (block == nullptr) return;
  if (Slab* slab = kPooled ? SlabOf(block) : nullptr) return ReturnBlock(slab, block);
  --g_live;
  ++g_frees;
  std::free(block);
}

namespace vq_rt {

// Zero until the heap reserves its range: no slab, no pooled column.
constinit SlabArena g_slabArena;

namespace {
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__) && !defined(BRANTEL_ADDRESS_SANITIZER)
constexpr bool kHugePages = true;
#else
constexpr bool kHugePages = false;  // the sanitizers check the ordinary heap
#endif
constexpr std::size_t kHugePage = std::size_t{2} << 20;
static_assert(kSlabBytes == kHugePage, "a slab given back drops whole huge pages");
std::size_t HugeRounded(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }
}  // namespace

void* AllocateScattered(std::size_t bytes) {
#if defined(__linux__)
  if (kHugePages && bytes >= kHugePage) {
    // Aligned to a huge page: mapped with one page to spare, the ends cut off.
    const std::size_t size = HugeRounded(bytes);
    void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const std::uintptr_t end = start + size + kHugePage;
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    g_mappedBytes += static_cast<long long>(size);
    return reinterpret_cast<void*>(aligned);
  }
#endif
  return ::operator new(bytes);
}

void FreeScattered(void* block, std::size_t bytes) {
  if (block == nullptr) return;
#if defined(__linux__)
  if (kHugePages && bytes >= kHugePage) {
    munmap(block, HugeRounded(bytes));
    g_mappedBytes -= static_cast<long long>(HugeRounded(bytes));
    return;
  }
#endif
  ::operator delete(block);
}

HeapStats GetHeapStats() {
  long long pooledAllocations = 0, pooledFrees = 0;
  {
    std::lock_guard<PoolLock> lock(g_poolLock);
    pooledAllocations = g_pooledAllocations;
    pooledFrees = g_pooledFrees;
  }
  return HeapStats{g_live.load() + pooledAllocations - pooledFrees, g_allocations.load() + pooledAllocations,
                   g_frees.load() + pooledFrees, g_refused.load(), g_mappedBytes.load()};
}

void RefuseAllocations(int count, long long after) {
  std::lock_guard<std::mutex> lock(g_refusalLock);
  g_refuseNext = count < 0 ? 0 : count;
  g_serveFirst = after < 0 ? 0 : after;
  g_armed.store(g_refuseNext > 0);
}

std::atomic<std::uint32_t> g_singleColumnsForgotten{0};

namespace {
// Under g_columnLock. Never destroyed: objects may outlive the runtime's
// static data at exit.
std::unordered_map<const void*, int>& SingleColumns() {
  static auto* const columns = new std::unordered_map<const void*, int>;
  return *columns;
}
}  // namespace

int NewColumn(const void* object) {
  std::lock_guard<std::mutex> lock(g_columnLock);
  if (g_singlesUsed == kPageColumns) {
    const int page = TakePage();
    auto* objects = page < 0 ? nullptr : static_cast<const void**>(std::calloc(kPageColumns, sizeof(void*)));
    if (objects == nullptr) {
      if (page >= 0) g_sparePages.push_back(page);
      Raise("the equation pattern has no column left for another variable");
    }
    g_pages[page].objects = objects;
    g_singlesPage = page;
    g_singlesUsed = 0;
  }
  const int column = (g_singlesPage << kPageBits) + g_singlesUsed;
  SingleColumns()[object] = column;  // first: should it fail, the column stays free
  g_pages[g_singlesPage].objects[g_singlesUsed++] = object;
  return column;
}

void ForgetColumn(const void* object) {
  std::lock_guard<std::mutex> lock(g_columnLock);
  auto& columns = SingleColumns();
  const auto found = columns.find(object);
  if (found == columns.end()) return;
  ColumnPage& page = g_pages[found->second >> kPageBits];
  if (page.objects != nullptr) page.objects[found->second & (kPageColumns - 1)] = nullptr;
  columns.erase(found);
  g_singleColumnsForgotten.fetch_add(1, std::memory_order_relaxed);
}

int SingleColumn(const void* object) {
  std::lock_guard<std::mutex> lock(g_columnLock);
  const auto& columns = SingleColumns();
  const auto found = columns.find(object);
  return found == columns.end() ? -1 : found->second;
}

void* ObjectAtColumn(int column) {
  if (column < 0) return nullptr;
  const ColumnPage& page = g_pages[column >> kPageBits];
  const auto index = static_cast<std::uint32_t>(column & (kPageColumns - 1));
  if (page.slab != nullptr)
    return index < page.slab->capacity ? page.slab->base + std::size_t{index} * page.slab->blockBytes : nullptr;
  return page.objects != nullptr ? const_cast<void*>(page.objects[index]) : nullptr;
}

}  // namespace vq_rt
