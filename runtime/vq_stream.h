#pragma once
// The emitted stream of a container's equations: prefix expressions of
// operators, constants and references, as the emission pass gives them.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vq_chunks.h"
#include "vq_container.h"

namespace vq_rt {

// One leaf or operator of a stream as readers see it: the low two bits
// tell the kind; a reference keeps its (aligned) pointer, the others keep
// their value, or a double's index in the stream's pool, in the upper half.
class KYV_API StreamToken {
 public:
  enum class Kind : unsigned { Reference = 0, Operator = 1, Integer = 2, Real = 3 };

  StreamToken() = default;  // a reference to no variable, until a reader fills it in
  static StreamToken Reference(VQ_VarParam* reference);
  static StreamToken Operator(int code) { return StreamToken(Pack(Kind::Operator, code)); }
  static StreamToken IntegerConstant(int value) { return StreamToken(Pack(Kind::Integer, value)); }
  static StreamToken RealConstant(uint32_t poolIndex) {
    return StreamToken(Pack(Kind::Real, static_cast<int>(poolIndex)));
  }

  Kind kind() const { return static_cast<Kind>(m_Bits & 3u); }
  int op() const { return Upper(); }
  int integer() const { return Upper(); }
  uint32_t poolIndex() const { return static_cast<uint32_t>(Upper()); }
  // Null when the variable is gone.
  VQ_VarParam* reference() const { return reinterpret_cast<VQ_VarParam*>(static_cast<uintptr_t>(m_Bits)); }

 private:
  friend class Stream;
  explicit StreamToken(uint64_t bits) : m_Bits(bits) {}
  static uint64_t Pack(Kind kind, int value) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(value)) << 32) | static_cast<uint64_t>(kind);
  }
  int Upper() const { return static_cast<int>(static_cast<uint32_t>(m_Bits >> 32)); }
  uint64_t m_Bits = 0;
};

namespace stream_numbers {
// The operators every stream is made of, numbered by their place here.
inline constexpr int kUsualOperators[] = {EOp_Add, EOp_Subtract, EOp_Multiply, EOp_Divide, EOp_Square, EOp_Code1};
inline constexpr uint64_t kUsual = sizeof kUsualOperators / sizeof kUsualOperators[0];
inline constexpr int kNumbered = 64;  // codes below this find their number in a table
inline constexpr uint8_t kNotUsual = 0xFF;
struct OperatorNumbers {
  uint8_t of[kNumbered];
  constexpr OperatorNumbers() : of() {
    for (int code = 0; code < kNumbered; ++code) of[code] = kNotUsual;
    for (uint64_t n = 0; n < kUsual; ++n) of[kUsualOperators[n]] = static_cast<uint8_t>(n);
  }
};
inline constexpr OperatorNumbers kOperatorNumbers{};
// Whether a code is one of them.
constexpr bool IsUsual(int code) { return static_cast<unsigned>(code) < kNumbered && kOperatorNumbers.of[code] != kNotUsual; }
}  // namespace stream_numbers

// A digest of the references of a pass in order, equation by equation: the
// counting pass's and the emission pass's are alike exactly where both
// passes referred to the same variables in the same order in every equation
// (or, for unequal ones, about once in 2^64). Each step is one-to-one in the
// digest before it, so one reference put in the place of another always
// tells.
namespace reference_digest {
inline constexpr uint64_t kEmpty = 0x243F6A8885A308D3ull;
inline constexpr uint64_t Mix(uint64_t digest, uint64_t value) { return (digest ^ value) * 0x9E3779B97F4A7C15ull; }
// An equation starts; a reference to the variable of this column.
inline constexpr uint64_t WithEquation(uint64_t digest) { return Mix(digest, 0); }
inline constexpr uint64_t WithReference(uint64_t digest, int column) {
  return Mix(digest, static_cast<uint64_t>(static_cast<uint32_t>(column)) + 1);
}
// What a list keeps of a digest where it ends an equation.
inline constexpr uint32_t Kept(uint64_t digest) { return static_cast<uint32_t>(digest >> 32); }
}  // namespace reference_digest

// Tokens with the pool their real constants live in, in 1 to 5 bytes each,
// as a grid emits hundreds of millions. Each token is a kind and a number:
// an operator's code (the usual ones numbered 0 to 5), an integer (its sign
// folded into the lowest bit), a real's index in the pool, or, for a
// reference, the step from the pattern column of the equation's reference
// before it (from 0 for its first), so a stencil's neighbour made next to
// the element before it takes one byte. A reader therefore starts where an
// equation starts.
//
// The first byte holds the kind in its low two bits and a length code in
// the next two; codes 0 to 2 say that as many bytes follow and the number's
// low four bits are in the first byte's top half; code 3 says that 3 bytes
// follow, or 4 where the first byte's top bit is set, and its next three
// bits hold the number's lowest. The bytes that follow hold the rest. A
// reference takes 1 byte or 4 (5 for a step beyond 27 bits), no length
// between, so that the length of each reference of a stencil is foreseen.
class KYV_API Stream {
 public:
  void Clear();
  // The next tokens belong to a new equation.
  void StartEquation() {
    m_LastColumn = 0;
    m_Digest = reference_digest::WithEquation(m_Digest);
  }
  // Of the references so far (see reference_digest).
  uint64_t Digest() const { return m_Digest; }
  void AddOperator(int code) { Put(StreamToken::Kind::Operator, OperatorNumber(code)); }
  void AddInteger(int value) { Put(StreamToken::Kind::Integer, Folded(value)); }
  void AddReal(double value);
  void AddReference(VQ_VarParam* reference);
  // A reference to the variable whose pattern column this is.
  void AddReference(int column) { PutReference<Room::Make>(column); }

  // The per-token calls' quick path, which then calls nothing: whether the
  // next token goes in without making room, and the tokens that take that
  // room (a real only where it was met lately: false, adding nothing, for
  // any other).
  bool HasRoomForToken() const { return m_Bytes.HasRoom(sizeof(uint64_t)); }
  // One of the usual operators, which take one byte; false, adding
  // nothing, for any other.
  bool AddUsualOperatorInRoom(int code) {
    using namespace stream_numbers;
    if (!IsUsual(code)) return false;
    static_assert(kUsual <= 16, "a usual operator's number fits the token's first byte");
    Store<Room::Made>(static_cast<uint64_t>(StreamToken::Kind::Operator) | (uint64_t{kOperatorNumbers.of[code]} << 4), 1);
    return true;
  }
  void AddIntegerInRoom(int value) { Put<Room::Made>(StreamToken::Kind::Integer, Folded(value)); }
  void AddReferenceInRoom(int column) { PutReference<Room::Made>(column); }
  bool AddRecentRealInRoom(double value) {
    uint32_t index = 0;
    if (!PooledLately(value, index)) return false;
    Put<Room::Made>(StreamToken::Kind::Real, index);
    return true;
  }

  // Positions written so far: an equation's tokens lie from the position
  // where it started up to the next one's.
  size_t Size() const { return m_Bytes.Size(); }
  // Counted by reading them (all, or from where an equation starts up to
  // `end`): for reports, not for passes.
  size_t Tokens() const { return Tokens(0, Size()); }
  size_t Tokens(size_t first, size_t end) const;
  double Real(const StreamToken& token) const { return m_Reals[token.poolIndex()]; }

  // The tokens from `first` (where an equation starts) up to `end`.
  class KYV_API Reader {
   public:
    Reader(const Stream& stream, size_t first, size_t end);
    // False after the last token; VQ_Error for a token that runs past the end.
    bool Next(StreamToken& token);

   private:
    const Stream& m_Stream;
    size_t m_Position;
    size_t m_End;
    long long m_LastColumn = 0;
  };

 private:
  static uint64_t Folded(long long value) {
    return (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63);
  }
  static long long Unfolded(uint64_t number) {
    return static_cast<long long>(number >> 1) ^ -static_cast<long long>(number & 1);
  }
  // The operators every stream is made of get the numbers of one byte.
  static uint64_t OperatorNumber(int code) {
    using namespace stream_numbers;
    if (IsUsual(code)) [[likely]]
      return kOperatorNumbers.of[code];
    return kUsual + Folded(code);
  }
  static int OperatorCode(uint64_t number) {
    using namespace stream_numbers;
    return number < kUsual ? kUsualOperators[number] : static_cast<int>(Unfolded(number - kUsual));
  }
  // Whether a token's store makes room for itself first, or the caller saw
  // to it.
  enum class Room { Make, Made };
  template <Room room>
  void PutReference(int column) {
    const uint64_t number = Folded(static_cast<long long>(column) - m_LastColumn);
    m_LastColumn = column;
    m_Digest = reference_digest::WithReference(m_Digest, column);
    if (number < 16) [[likely]]
      Store<room>(static_cast<uint64_t>(StreamToken::Kind::Reference) | (number << 4), 1);
    else
      PutLong<room>(StreamToken::Kind::Reference, number);
  }
  // One store of eight bytes, of which the token keeps the first 1 to 5.
  // The numbers come from 32-bit values, so 35 bits hold every one. The
  // length is chosen by branches, not computed: the next token's place then
  // does not wait for this one's number, which for a reference comes from
  // its column at the end of a chain of reads.
  template <Room room = Room::Make>
  void Put(StreamToken::Kind kind, uint64_t number) {
    const auto k = static_cast<uint64_t>(kind);
    if (number < 16) [[likely]]
      Store<room>(k | (number << 4), 1);
    else if (number < (uint64_t{1} << 12))
      Store<room>(k | (1u << 2) | (number << 4), 2);
    else if (number < (uint64_t{1} << 20))
      Store<room>(k | (2u << 2) | (number << 4), 3);
    else
      PutLong<room>(kind, number);
  }
  template <Room room>
  void PutLong(StreamToken::Kind kind, uint64_t number) {
    const auto k = static_cast<uint64_t>(kind) | (3u << 2) | ((number & 7) << 4) | ((number >> 3) << 8);
    if (number < (uint64_t{1} << 27)) [[likely]]
      Store<room>(k, 4);
    else
      Store<room>(k | (1u << 7), 5);
  }
  template <Room room>
  void Store(uint64_t word, size_t bytes) {
    uint8_t* tail = room == Room::Made ? m_Bytes.Tail() : m_Bytes.Room(sizeof word);
    std::memcpy(tail, &word, sizeof word);
    m_Bytes.SetTail(tail + bytes);  // not read back after the store, which may alias it
  }

  ByteChunks m_Bytes;  // a token is written, and read, as eight bytes
  long long m_LastColumn = 0;
  uint64_t m_Digest = reference_digest::kEmpty;
  std::vector<double> m_Reals;
  // Pool indices of recent reals by a hash of their bits: a stencil's
  // coefficients recur at every node and are pooled once.
  static constexpr int kRecentBits = 6;
  uint32_t m_Recent[1 << kRecentBits] = {};
  uint32_t& RecentEntry(double value) {
    return m_Recent[(std::bit_cast<uint64_t>(value) * 0x9E3779B97F4A7C15ull) >> (64 - kRecentBits)];
  }
  // Whether the pool index the value's entry holds is the value's own, with
  // equal bits, so -0.0 and 0.0 stay apart and a NaN keeps its payload.
  bool PooledLately(double value, uint32_t& index) {
    index = RecentEntry(value);
    return index < m_Reals.size() && std::bit_cast<uint64_t>(m_Reals[index]) == std::bit_cast<uint64_t>(value);
  }
};

}  // namespace vq_rt
