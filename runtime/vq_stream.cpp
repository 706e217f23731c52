#include "vq_stream.h"

#include <bit>
#include <climits>

#include "vq_error.h"
#include "vq_memory.h"
#include "vq_params.h"

namespace vq_rt {

StreamToken StreamToken::Reference(VQ_VarParam* reference) {
  auto bits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(reference));
  if ((bits & 3u) != 0 || reference == nullptr) Raise("a reference term needs an aligned, non-null variable");
  return StreamToken(bits);
}

void Stream::Clear() {
  m_Bytes.Clear();
  m_LastColumn = 0;
  m_Digest = reference_digest::kEmpty;
  m_Reals.clear();
}

void Stream::AddReal(double value) {
  uint32_t index = 0;
  if (!PooledLately(value, index)) {
    if (m_Reals.size() > UINT32_MAX) Raise("a stream holds more real constants than it can number");
    index = static_cast<uint32_t>(m_Reals.size());
    m_Reals.push_back(value);
    RecentEntry(value) = index;
  }
  Put(StreamToken::Kind::Real, index);
}

void Stream::AddReference(VQ_VarParam* reference) {
  if (reference == nullptr) Raise("a reference term needs a variable");
  AddReference(reference->PatternId());
}

size_t Stream::Tokens(size_t first, size_t end) const {
  size_t tokens = 0;
  StreamToken token;
  for (Reader read(*this, first, end); read.Next(token);) ++tokens;
  return tokens;
}

Stream::Reader::Reader(const Stream& stream, size_t first, size_t end)
    : m_Stream(stream), m_Position(first), m_End(end) {
  if (first > end || end > stream.Size()) Raise("equation tokens lie outside the stream");
}

bool Stream::Reader::Next(StreamToken& token) {
  if (m_Position >= m_End) return false;
  m_Position = m_Stream.m_Bytes.NextItem(m_Position);
  if (m_Position >= m_End) return false;
  uint64_t word;
  std::memcpy(&word, m_Stream.m_Bytes.At(m_Position), sizeof word);
  const unsigned code = (word >> 2) & 3;
  uint64_t number;
  unsigned following;
  if (code < 3) {
    following = code;
    number = ((word >> 4) & 15) | (((word >> 8) & ((uint64_t{1} << (8 * following)) - 1)) << 4);
  } else {
    following = 3 + ((word >> 7) & 1);
    number = ((word >> 4) & 7) | (((word >> 8) & ((uint64_t{1} << (8 * following)) - 1)) << 3);
  }
  m_Position += 1 + following;
  if (m_Position > m_End) Raise("malformed stream: a token runs past the end of its equation");
  switch (static_cast<StreamToken::Kind>(word & 3)) {
    case StreamToken::Kind::Reference: {
      const long long column = m_LastColumn + Unfolded(number);
      m_LastColumn = column;
      void* object = column >= 0 && column <= INT_MAX ? ObjectAtColumn(static_cast<int>(column)) : nullptr;
      token = StreamToken(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(object)));
      return true;
    }
    case StreamToken::Kind::Operator: token = StreamToken::Operator(OperatorCode(number)); return true;
    case StreamToken::Kind::Integer: token = StreamToken::IntegerConstant(static_cast<int>(Unfolded(number))); return true;
    case StreamToken::Kind::Real:
      if (number >= m_Stream.m_Reals.size()) Raise("malformed stream: real constant %llu of %zu", static_cast<unsigned long long>(number), m_Stream.m_Reals.size());
      token = StreamToken::RealConstant(static_cast<uint32_t>(number));
      return true;
  }
  return false;
}

}  // namespace vq_rt
