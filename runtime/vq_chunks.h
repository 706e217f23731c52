#pragma once
// Lists that grow in chunks: the streams and records of the passes, which
// reach hundreds of megabytes on a large grid.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "vq_api.h"

namespace vq_rt {

// Bytes in chunks: a list of any length grows without copying what it
// holds, and a cleared list keeps its chunks for the next pass. The first
// chunk starts small and doubles up to 64 KiB, so a short list stays small;
// past that every chunk is full-sized, one huge page, and left unwritten
// until used: a long pass pays neither for zeroing them nor for a fault per
// small page.
//
// A writer asks for room for its next item and says how much of it it
// used; an item never straddles two chunks, and a reader may read from an
// item's first byte as many as its writer asked room for. Where a full chunk has no room
// left for an item, the positions up to the next chunk's first are skipped:
// readers step over them (NextItem).
class KYV_API ByteChunks {
 public:
  static constexpr size_t kChunkBits = 21;
  static constexpr size_t kChunk = size_t{1} << kChunkBits;

  ByteChunks();
  ByteChunks(const ByteChunks& other);
  ByteChunks& operator=(const ByteChunks& other);
  ~ByteChunks();

  void Clear();
  void Reserve(size_t bytes) { m_Chunks.reserve((bytes + kChunk - 1) >> kChunkBits); }
  // At least `bytes` (no more than kChunk) writable at the tail.
  uint8_t* Room(size_t bytes) {
    if (static_cast<size_t>(m_TailEnd - m_Tail) < bytes) [[unlikely]]
      MakeRoom(bytes);
    return m_Tail;
  }
  // Whether Room(bytes) would give the tail without making room: the
  // per-token calls' quick path then makes no call at all.
  bool HasRoom(size_t bytes) const { return static_cast<size_t>(m_TailEnd - m_Tail) >= bytes; }
  uint8_t* Tail() const { return m_Tail; }
  void Advance(size_t bytes) { m_Tail += bytes; }
  // The tail moved on to `tail`, within the room asked for last.
  void SetTail(uint8_t* tail) { m_Tail = tail; }
  // Positions written so far, the skipped ones included.
  size_t Size() const { return reinterpret_cast<std::uintptr_t>(m_Tail) + m_TailBias; }
  // Where an item at `position` or after it begins: `position`, or the next
  // chunk's first position where the chunk holds nothing more from there.
  size_t NextItem(size_t position) const {
    return (position & (kChunk - 1)) < UsedIn(position >> kChunkBits) ? position
                                                                      : ((position >> kChunkBits) + 1) << kChunkBits;
  }
  // The bytes from `position` on.
  const uint8_t* At(size_t position) const {
    return m_Chunks[position >> kChunkBits].bytes + (position & (kChunk - 1));
  }

 private:
  struct Chunk {
    uint8_t* bytes;
    size_t capacity;
    size_t used;      // set when the writer leaves the chunk
  };
  size_t UsedIn(size_t chunk) const {
    return chunk == m_Current ? Size() - (chunk << kChunkBits) : chunk < m_Current ? m_Chunks[chunk].used : 0;
  }
  void MakeRoom(size_t bytes);
  // Puts the tail at `offset` into the current chunk.
  void PlaceTail(size_t offset);
  void FreeChunks();
  void CopyFrom(const ByteChunks& other);

  std::vector<Chunk> m_Chunks;
  size_t m_Current = 0;  // the chunk written to; meaningful while m_Chunks is not empty
  uint8_t* m_Tail = nullptr;  // where the next item goes
  uint8_t* m_TailEnd = nullptr;
  std::uintptr_t m_TailBias = 0;  // from the tail's address to its position
};

// 32-bit words in chunks (see ByteChunks), read back by their number.
class KYV_API WordChunks {
 public:
  void Clear() { m_Bytes.Clear(); }
  void Reserve(size_t words) { m_Bytes.Reserve(words * sizeof(uint32_t)); }
  void Push(uint32_t word) {
    std::memcpy(m_Bytes.Room(sizeof word), &word, sizeof word);
    m_Bytes.Advance(sizeof word);
  }
  // Whether a word goes in without the list growing.
  bool HasRoom() const { return m_Bytes.HasRoom(sizeof(uint32_t)); }
  // False, pushing nothing, where the list would have to grow first.
  bool PushIfRoom(uint32_t word) {
    if (!m_Bytes.HasRoom(sizeof word)) return false;
    std::memcpy(m_Bytes.Tail(), &word, sizeof word);
    m_Bytes.Advance(sizeof word);
    return true;
  }
  // A chunk holds a whole number of words, so none is ever skipped.
  size_t Size() const { return m_Bytes.Size() / sizeof(uint32_t); }
  uint32_t At(size_t index) const {
    uint32_t word;
    std::memcpy(&word, m_Bytes.At(index * sizeof word), sizeof word);
    return word;
  }

 private:
  static_assert(ByteChunks::kChunk % sizeof(uint32_t) == 0, "a chunk holds whole words");
  ByteChunks m_Bytes;
};

}  // namespace vq_rt
