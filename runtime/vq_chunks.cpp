#include "vq_chunks.h"

#include <algorithm>

#include "vq_memory.h"

namespace vq_rt {

ByteChunks::ByteChunks() = default;
// The tail points into the list's own chunks, so it is placed afresh.
ByteChunks::ByteChunks(const ByteChunks& other) { CopyFrom(other); }
ByteChunks& ByteChunks::operator=(const ByteChunks& other) {
  if (this != &other) {
    FreeChunks();
    CopyFrom(other);
  }
  return *this;
}
ByteChunks::~ByteChunks() { FreeChunks(); }

void ByteChunks::Clear() {
  m_Current = 0;
  if (m_Chunks.empty()) {
    m_Tail = m_TailEnd = nullptr;
    m_TailBias = 0;
  } else {
    PlaceTail(0);
  }
}

void ByteChunks::PlaceTail(size_t offset) {
  const Chunk& chunk = m_Chunks[m_Current];
  m_Tail = chunk.bytes + offset;
  m_TailEnd = chunk.bytes + chunk.capacity;
  m_TailBias = (m_Current << kChunkBits) - reinterpret_cast<std::uintptr_t>(chunk.bytes);
}

void ByteChunks::FreeChunks() {
  for (const Chunk& chunk : m_Chunks) FreeScattered(chunk.bytes, chunk.capacity);
  m_Chunks.clear();
  Clear();
}

void ByteChunks::MakeRoom(size_t bytes) {
  constexpr size_t kFirstBytes = 256;
  if (m_Chunks.empty()) {
    auto* start = static_cast<uint8_t*>(AllocateScattered(kFirstBytes));
    m_Chunks.push_back(Chunk{start, kFirstBytes, 0});
    m_Current = 0;
    PlaceTail(0);
  }
  while (static_cast<size_t>(m_TailEnd - m_Tail) < bytes) {
    Chunk& chunk = m_Chunks[m_Current];
    const size_t offset = static_cast<size_t>(m_Tail - chunk.bytes);
    if (chunk.capacity < kChunk) {
      // Only the first chunk grows; its positions stay where they were. Past
      // a few small pages it takes its full size at once, a huge page that
      // faults once, rather than doubling and copying through small ones.
      constexpr size_t kSmallest = size_t{1} << 16;
      const size_t doubled = std::max(2 * chunk.capacity, offset + bytes);
      const size_t capacity = doubled > kSmallest ? kChunk : doubled;
      auto* grown = static_cast<uint8_t*>(AllocateScattered(capacity));
      std::memcpy(grown, chunk.bytes, offset);
      FreeScattered(chunk.bytes, chunk.capacity);
      chunk = Chunk{grown, capacity, 0};
      PlaceTail(offset);
      continue;
    }
    // A full chunk: what is left of it is skipped.
    if (m_Current + 1 == m_Chunks.size())
      m_Chunks.push_back(Chunk{static_cast<uint8_t*>(AllocateScattered(kChunk)), kChunk, 0});
    m_Chunks[m_Current].used = offset;
    ++m_Current;
    PlaceTail(0);
  }
}

void ByteChunks::CopyFrom(const ByteChunks& other) {
  try {
    if (!other.m_Chunks.empty() && other.Size() > 0) {
      m_Chunks.reserve(other.m_Current + 1);
      for (size_t i = 0; i <= other.m_Current; ++i) {
        const Chunk& from = other.m_Chunks[i];
        Chunk chunk{static_cast<uint8_t*>(AllocateScattered(from.capacity)), from.capacity, from.used};
        std::memcpy(chunk.bytes, from.bytes, other.UsedIn(i));
        m_Chunks.push_back(chunk);
      }
    }
  } catch (...) {
    FreeChunks();  // a copy that fails leaves an empty list, not a leak
    throw;
  }
  if (m_Chunks.empty()) return;
  m_Current = other.m_Current;
  PlaceTail(other.Size() - (m_Current << kChunkBits));
}

}  // namespace vq_rt
