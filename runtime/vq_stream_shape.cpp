#include "vq_stream_shape.h"

#include <utility>
#include <vector>

#include "vq_error.h"

namespace vq_rt {

int Arity(int code) {
  switch (code) {
    case EOp_Add:
    case EOp_Subtract:
    case EOp_Multiply:
    case EOp_Divide:
      return 2;
    case EOp_Square:
    case EOp_Code1:
      return 1;
    default:
      return -1;
  }
}

const char* Notation(int code) {
  switch (code) {
    case EOp_Add: return "+";
    case EOp_Subtract: return "-";
    case EOp_Multiply: return "*";
    case EOp_Divide: return "/";
    case EOp_Square: return "sq";
    case EOp_Code1: return "op1";
    default: return "?";
  }
}

namespace {

// The innermost operator still waiting for operands when the tokens end;
// only looked for once a stream is known to end short.
int OpenOperator(const Stream& stream, size_t first, size_t end) {
  std::vector<std::pair<int, int>> open;  // code, operands still wanted
  StreamToken token;
  for (Stream::Reader read(stream, first, end); read.Next(token);) {
    if (token.kind() == StreamToken::Kind::Operator) {
      open.emplace_back(token.op(), Arity(token.op()));
      continue;
    }
    // A leaf completes its operator, which may complete the one above.
    while (!open.empty() && --open.back().second == 0) open.pop_back();
  }
  return open.back().first;
}

// Asks for the lines of a referenced object's common part: callers read it
// right after (its path, its value), and misses asked for together overlap.
void Prefetch(const VQ_Containable* object) {
  const char* bytes = reinterpret_cast<const char*>(object);
  for (size_t offset = 0; offset < sizeof(VQ_Containable); offset += 64) __builtin_prefetch(bytes + offset);
  __builtin_prefetch(bytes + sizeof(VQ_Containable) - 1);
}

}  // namespace

void CheckShape(const Stream& stream, size_t first, size_t count) {
  if (first > stream.Size() || count > stream.Size() - first) Raise("equation tokens lie outside the stream");
  if (count == 0) Raise("malformed stream: no token");
  const size_t end = first + count;
  size_t wanted = 1;  // operands the tree still needs
  StreamToken token;
  for (Stream::Reader read(stream, first, end); read.Next(token);) {
    if (wanted == 0) {
      size_t left = 1;
      while (read.Next(token)) ++left;
      Raise("malformed stream: %zu token(s) left over after a complete tree", left);
    }
    if (token.kind() != StreamToken::Kind::Operator) {
      if (token.kind() == StreamToken::Kind::Reference) Prefetch(token.reference());
      --wanted;
      continue;
    }
    const int arity = Arity(token.op());
    if (arity < 0) Raise("malformed stream: unknown operator code %d", token.op());
    wanted += static_cast<size_t>(arity) - 1;
  }
  if (wanted != 0)
    Raise("malformed stream: operator \"%s\" is short of operands", Notation(OpenOperator(stream, first, end)));
}

}  // namespace vq_rt
