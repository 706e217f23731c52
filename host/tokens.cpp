#include "tokens.h"

#include "escape.h"

namespace vqhost {

TokenWriter::TokenWriter(Output& out, const vq_rt::PathNamer& namer, Format format)
    : m_Out(out), m_Namer(namer), m_Format(format) {}

void TokenWriter::Tokens(const vq_rt::Stream& stream, size_t first, size_t count) {
  m_First = true;
  m_Known.clear();
  m_KnownText.clear();
  vq_rt::VisitTokens(stream, first, count, *this);
}

void TokenWriter::Path(const VQ_Containable& object) {
  size_t begin = 0;
  for (const auto& [known, end] : m_Known) {
    if (known == &object) {
      m_Out << std::string_view(m_KnownText).substr(begin, end - begin);
      return;
    }
    begin = end;
  }
  Write(object, false);
}

void TokenWriter::References() {
  size_t begin = 0;
  for (const auto& [known, end] : m_Known) {
    if (begin != 0) m_Out << ", ";
    m_Out << std::string_view(m_KnownText).substr(begin, end - begin);
    begin = end;
  }
}

void TokenWriter::Write(const VQ_Containable& object, bool remember) {
  const bool json = m_Format == Format::Json;
  m_Out.Compose([&](std::string& into) {
    // Straight into the output; escaped afresh in the rare case it needs it.
    const size_t start = into.size();
    if (json) into += '"';
    m_Namer.AppendPath(object, into);
    const std::string_view path = std::string_view(into).substr(start + (json ? 1 : 0));
    if (!Plain(path)) {
      m_Path.assign(path);
      into.resize(start);
      if (json) AppendJson(m_Path, into);
      else AppendText(m_Path, false, into);
    } else if (json) {
      into += '"';
    }
    if (remember) {
      m_KnownText.append(into, start);
      m_Known.emplace_back(&object, m_KnownText.size());
    }
  });
}

void TokenWriter::Separate() {
  if (m_Format == Format::Text) m_Out << ' ';
  else if (!m_First) m_Out << ", ";
  m_First = false;
}

// Stream notation needs no escape: the text is the field as it is.
void TokenWriter::Text(std::string_view text) {
  Separate();
  if (m_Format == Format::Json) m_Out << '"' << text << '"';
  else m_Out << text;
}

void TokenWriter::Reference(const VQ_VarParam& reference) {
  Separate();
  Write(reference, true);
}

}  // namespace vqhost
