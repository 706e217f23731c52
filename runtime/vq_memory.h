#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "vq_api.h"

// The runtime's heap. Every object the model library creates lives here.
KYV_API void* MyAllocate(std::size_t bytes);
KYV_API void MyFree(void* block);

namespace vq_rt {
// A block for a runtime object, whose alignment is at most 8: sizes in
// steps of 8, not the 16 of MyAllocate. Freed with MyFree.
KYV_API void* AllocateObject(std::size_t bytes);

struct HeapStats {
  long long liveBlocks;   // allocated and not yet freed
  long long allocations;  // successful MyAllocate calls
  long long frees;        // MyFree calls with a non-null block
  long long refused;      // MyAllocate calls answered with null
  long long mappedBytes;  // held in slabs and large scattered blocks, which the C heap does not count
};

KYV_API HeapStats GetHeapStats();

// Where the heap's slabs lie, side by side in one reserved range, and the
// shape of each. Written by the heap alone; read here so that a column comes
// from an address inline, as the emission pass asks it of every reference.
struct SlabShape {
  std::uint64_t reciprocal;  // 2^32 / blockBytes, rounded up
  std::uint32_t blockBytes;  // 0 while the slab is not in use
  std::int32_t firstColumn;
};
struct SlabArena {
  // A slab is one huge page: one given back is dropped whole, and the next
  // slab in its place faults in one huge page again, not in small ones.
  static constexpr int kSlabBits = 21;
  static constexpr std::size_t kSlabs = std::size_t{1} << 14;  // 32 GiB of addresses, no memory until used
  char* base = nullptr;
  std::atomic<std::uint64_t> bytes{0};  // handed to slabs so far; 0 where the heap keeps no slabs
  SlabShape shapes[kSlabs] = {};

  // An address's distance from the range's start; false for one outside
  // every slab handed out.
  bool Holds(const void* object, std::uint64_t& offset) const {
    offset = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(object) -
                                        reinterpret_cast<std::uintptr_t>(base));
    return offset < bytes.load(std::memory_order_relaxed);
  }
};
KYV_API extern SlabArena g_slabArena;

// The pattern column of an object by where it lives: every small block of
// the heap has one of its own. -1 for an address that is not the start of
// such a block (a member, a large or sanitized block).
inline int PooledColumn(const void* object) {
  std::uint64_t offset = 0;
  if (!g_slabArena.Holds(object, offset)) return -1;
  const SlabShape& shape = g_slabArena.shapes[offset >> SlabArena::kSlabBits];
  const std::uint64_t within = offset & ((std::uint64_t{1} << SlabArena::kSlabBits) - 1);
  // One product gives the block and tells a block's start: with blocks of
  // a multiple of 8, at most 256 bytes, in a slab of 2^21, its low half is below the
  // reciprocal exactly where `within` is a multiple of the block size. A
  // slab not in use has a reciprocal of 0 and no blocks.
  const std::uint64_t product = within * shape.reciprocal;
  if (static_cast<std::uint32_t>(product) >= shape.reciprocal) return -1;
  return shape.firstColumn + static_cast<int>(product >> 32);
}
// A column for an object that has none by where it lives; the column finds
// the object, and the object its column (SingleColumn), until ForgetColumn.
KYV_API int NewColumn(const void* object);
KYV_API void ForgetColumn(const void* object);
// The column NewColumn gave the object; -1 where it gave none.
KYV_API int SingleColumn(const void* object);
// Changes whenever ForgetColumn takes a column back: an object met again at
// the same address may be another, with another column.
KYV_API extern std::atomic<std::uint32_t> g_singleColumnsForgotten;
// The object a column stands for: the start of the heap block the column
// belongs to, or the object NewColumn was given; null for a column given to
// no object, or to one that is gone.
KYV_API void* ObjectAtColumn(int column);

// Storage of large arrays: the slot blocks of arrays over grids, read at
// scattered places, and the streams and records of the passes and the
// assignment log, which grow in big steps. On huge pages where the system
// offers them, so that a read far from the last one does not also miss the
// address cache and a growing list takes one fault per huge page. Small
// requests take the ordinary heap. std::bad_alloc on failure.
KYV_API void* AllocateScattered(std::size_t bytes);
KYV_API void FreeScattered(void* block, std::size_t bytes);

template <class T>
struct ScatteredAllocator {
  using value_type = T;
  ScatteredAllocator() = default;
  template <class U>
  ScatteredAllocator(const ScatteredAllocator<U>&) {}
  T* allocate(std::size_t count) { return static_cast<T*>(AllocateScattered(count * sizeof(T))); }
  void deallocate(T* block, std::size_t count) { FreeScattered(block, count * sizeof(T)); }
  template <class U>
  bool operator==(const ScatteredAllocator<U>&) const {
    return true;
  }
  template <class U>
  bool operator!=(const ScatteredAllocator<U>&) const {
    return false;
  }
};

// Makes `count` calls of MyAllocate return null, after the next `after`
// calls are served (tests of the refused-allocation paths; `after` lets a
// test fail the k-th allocation of a run). A count of 0 withdraws it.
KYV_API void RefuseAllocations(int count, long long after = 0);

// Creates a runtime object on the runtime heap (what the library's operator
// new does for its own objects); null when the heap refuses.
template <class T, class... Args>
T* New(Args&&... args) {
  void* block = alignof(T) <= 8 ? AllocateObject(sizeof(T)) : MyAllocate(sizeof(T));
  if (block == nullptr) return nullptr;
  try {
    return new (block) T(std::forward<Args>(args)...);
  } catch (...) {
    MyFree(block);
    throw;
  }
}

}  // namespace vq_rt
