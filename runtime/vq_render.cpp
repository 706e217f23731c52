#include "vq_render.h"

#include <charconv>

#include "vq_format.h"
#include "vq_stream_shape.h"

namespace vq_rt {

TokenVisitor::~TokenVisitor() = default;

void VisitTokens(const Stream& stream, size_t first, size_t count, TokenVisitor& visit) {
  CheckShape(stream, first, count);
  char buffer[kDoubleTextSize];
  StreamToken token;
  for (Stream::Reader read(stream, first, first + count); read.Next(token);) {
    switch (token.kind()) {
      case StreamToken::Kind::Operator: visit.Text(Notation(token.op())); break;
      case StreamToken::Kind::Integer: {
        const char* end = std::to_chars(buffer, buffer + sizeof buffer, token.integer()).ptr;
        visit.Text(std::string_view(buffer, static_cast<size_t>(end - buffer)));
        break;
      }
      case StreamToken::Kind::Real: visit.Text(FormatDouble(stream.Real(token), buffer)); break;
      case StreamToken::Kind::Reference: visit.Reference(*token.reference()); break;
    }
  }
}

std::vector<std::string> RenderTokens(const Stream& stream, size_t first, size_t count, const ReferenceNamer& name) {
  struct Collect : TokenVisitor {
    explicit Collect(const ReferenceNamer& name) : name(name) {}
    void Text(std::string_view text) override { tokens.emplace_back(text); }
    void Reference(const VQ_VarParam& reference) override { tokens.push_back(name(reference)); }
    const ReferenceNamer& name;
    std::vector<std::string> tokens;
  } collect(name);
  VisitTokens(stream, first, count, collect);
  return std::move(collect.tokens);
}

std::string Render(const Stream& stream, size_t first, size_t count, const ReferenceNamer& name) {
  std::string text;
  for (const std::string& token : RenderTokens(stream, first, count, name)) {
    if (!text.empty()) text += ' ';
    text += token;
  }
  return text;
}

}  // namespace vq_rt
