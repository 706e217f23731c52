// Equation tokens and paths as the report writes them: straight into the
// output, escaped as every other field of the report.
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <string>

#include "escape.h"
#include "tokens.h"
#include "vq_container.h"
#include "vq_error.h"

namespace {

using vqhost::TokenWriter;

class Owner : public VQ_ModelTypeEx2 {
 public:
  const char* VQ_DefaultDESCRIPTION() const override { return "Model OWNER\tV8.4"; }
};

// What `write` puts into an output, read back through a pipe.
std::string Written(const std::function<void(vqhost::Output&)>& write) {
  int ends[2];
  if (pipe(ends) != 0) return "(no pipe)";
  vqhost::Output out(ends[1]);
  write(out);
  out.Finish();
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  close(ends[0]);
  return text;
}

TEST(ReportTokens, StreamNotationAsItIsPathsEscapedWhereTheyNeedIt) {
  struct Case {
    const char* name;
    const char* text;  // the path as a field of the text report
    const char* json;
  } cases[] = {
      {"VALUE", "VALUE", R"("VALUE")"},
      {"A\"B", "A\"B", R"("A\"B")"},
      {"LINE\nBREAK", R"(LINE\nBREAK)", R"("LINE\nBREAK")"},
      {"BACK\\SLASH", R"(BACK\\SLASH)", R"("BACK\\SLASH")"},
      {"BYTE\xff", R"(BYTE\xff)", R"("BYTE\ufffd")"},
      {"\xc3\xa9T\x7f", "\xc3\xa9T\\x7f", "\"\xc3\xa9T\x7f\""},
      // Overlong forms and a code point past U+10FFFF are no characters.
      {"C0\xc0\xaf", R"(C0\xc0\xaf)", R"("C0\ufffd\ufffd")"},
      {"E0\xe0\x80\x80", R"(E0\xe0\x80\x80)", R"("E0\ufffd\ufffd\ufffd")"},
      {"F4\xf4\x90\x80\x80", R"(F4\xf4\x90\x80\x80)", R"("F4\ufffd\ufffd\ufffd\ufffd")"},
  };
  for (const Case& c : cases) {
    Owner owner;
    VQ_REALVARIABLE variable(true);
    variable.AddProperty(&owner, c.name, nullptr, 0, false);
    vq_rt::Stream stream;  // - * NAME 2 0.5
    stream.AddOperator(EOp_Subtract);
    stream.AddOperator(EOp_Multiply);
    stream.AddReference(&variable);
    stream.AddInteger(2);
    stream.AddReal(0.5);
    const vq_rt::PathNamer namer(owner);
    auto write = [&](TokenWriter::Format format) {
      return Written([&](vqhost::Output& out) {
        TokenWriter writer(out, namer, format);
        writer.Tokens(stream, 0, stream.Size());
        out << " | ";
        writer.Path(variable);  // as the JSON report's nonzeros
      });
    };
    EXPECT_EQ(write(TokenWriter::Format::Text), std::string(" - * ") + c.text + " 2 0.5 | " + c.text) << c.name;
    EXPECT_EQ(write(TokenWriter::Format::Json),
              std::string(R"("-", "*", )") + c.json + R"(, "2", "0.5" | )" + c.json)
        << c.name;
    // And with no equation written before.
    for (const auto& written : {std::pair(TokenWriter::Format::Text, c.text), {TokenWriter::Format::Json, c.json}}) {
      const TokenWriter::Format format = written.first;
      EXPECT_EQ(Written([&](vqhost::Output& out) { TokenWriter(out, namer, format).Path(variable); }), written.second)
          << c.name;
    }
  }
}

// Every byte at every place of a word read whole or of the tail: plain
// exactly when it is printable ASCII other than a backslash or a quote.
TEST(ReportTokens, PlainTextIsToldByEveryByteAtEveryPlace) {
  for (int byte = 0; byte < 256; ++byte) {
    const bool plain = byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"';
    for (size_t at = 0; at < 19; ++at) {
      std::string text(19, 'a');
      text[at] = static_cast<char>(byte);
      EXPECT_EQ(vqhost::Plain(text), plain) << "byte " << byte << " at " << at;
    }
  }
  EXPECT_TRUE(vqhost::Plain(""));
}

// A malformed stream writes nothing of its tokens.
TEST(ReportTokens, MalformedStreamWritesNothing) {
  vq_rt::Stream stream;
  stream.AddOperator(EOp_Add);
  stream.AddInteger(1);
  Owner owner;
  const vq_rt::PathNamer namer(owner);
  EXPECT_EQ(Written([&](vqhost::Output& out) {
              TokenWriter writer(out, namer, TokenWriter::Format::Json);
              EXPECT_THROW(writer.Tokens(stream, 0, stream.Size()), VQ_Error);
            }),
            "");
}

}  // namespace
