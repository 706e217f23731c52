#pragma once
#include <string>
#include <utility>
#include <vector>

#include "output.h"
#include "vq_inspect.h"
#include "vq_render.h"

namespace vqhost {

// Equation tokens and object paths written straight into the report as
// fields of the text or the JSON report, escaped as those are.
class TokenWriter final : private vq_rt::TokenVisitor {
 public:
  enum class Format { Text, Json };
  TokenWriter(Output& out, const vq_rt::PathNamer& namer, Format format);

  // The tokens of one equation: in text each after a blank, in JSON as
  // strings separated by ", ". Raises VQ_Error on a malformed stream before
  // writing any of it.
  void Tokens(const vq_rt::Stream& stream, size_t first, size_t count);
  // The path of an object as one field; one of the last equation's
  // references is written as it was there.
  void Path(const VQ_Containable& object);
  // The last equation's references in their order, as fields separated by
  // ", ".
  void References();

 private:
  void Text(std::string_view text) override;
  void Reference(const VQ_VarParam& reference) override;
  void Separate();
  // The path as a field; `remember` keeps its text for Path.
  void Write(const VQ_Containable& object, bool remember);

  Output& m_Out;
  const vq_rt::PathNamer& m_Namer;
  const Format m_Format;
  bool m_First = true;
  std::string m_Path;  // a path that needs escaping, reused
  // The fields of the current equation's references: each object and where
  // its text ends in m_KnownText.
  std::vector<std::pair<const VQ_Containable*, size_t>> m_Known;
  std::string m_KnownText;
};

}  // namespace vqhost
