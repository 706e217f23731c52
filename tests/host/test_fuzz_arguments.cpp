// The fuzz target's command lines: a value that sizes a model reaches the
// host within the bounds when the host reads it as a number, and unchanged
// when it does not (the host refuses it), whatever its form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fuzz/fuzz_arguments.h"

namespace {

std::vector<std::string> Args(const std::string& lines) {
  return fuzz_host::Arguments(reinterpret_cast<const uint8_t*>(lines.data()), lines.size());
}

TEST(FuzzArguments, SizingValuesAreClampedAsTheHostReadsThem) {
  struct Case {
    const char* type;
    const char* assignment;
    const char* reaches;
  } cases[] = {
      // Not a number to the host: refused there, so it goes on as it is.
      {"domain", "NUMSECTIONS=4429496+6896+64", "NUMSECTIONS=4429496+6896+64"},
      {"domain", "NODECOUNT=1e6", "NODECOUNT=1e6"},
      {"domain", "LENGTH=1,5", "LENGTH=1,5"},
      {"domain", "ENDNODE=99999999999", "ENDNODE=99999999999"},
      // Numbers in every form the host takes.
      {"domain", "NUMSECTIONS= +4429496 ", "NUMSECTIONS=10"},
      {"domain", "SECTION(2).NODECOUNT=-1000", "SECTION(2).NODECOUNT=-14"},
      {"domain", "xdomain.section(1).MinNodeCount=16", "xdomain.section(1).MinNodeCount=16"},
      {"domain", "LENGTH=0x1p20", "LENGTH=4"},
      {"domain", "SPACINGPREFERENCE=1e-300", "SPACINGPREFERENCE=0.0625"},
      {"domain", "SPACINGPREFERENCE=-.0000001", "SPACINGPREFERENCE=-0.0625"},
      {"domain", "LENGTH=0", "LENGTH=0"},
      {"distribution3d", "ZDOMAIN.SECTION(1).LOCATION=\t1e3", "ZDOMAIN.SECTION(1).LOCATION=2"},
      {"distribution2d", "YDOMAIN.NUMPOLYPOINTS=7", "YDOMAIN.NUMPOLYPOINTS=0"},
      // Other values reach the host as they are.
      {"domain", "USERNOTES=123456789", "USERNOTES=123456789"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Args(std::string(c.type) + "\n--set\n" + c.assignment),
              (std::vector<std::string>{c.type, "--set", c.reaches}))
        << c.assignment;
    // The same assignment in the option's other form.
    EXPECT_EQ(Args(std::string(c.type) + "\n--set=" + c.assignment),
              (std::vector<std::string>{c.type, std::string("--set=") + c.reaches}))
        << c.assignment;
  }
  // After "--" every argument is the host's to refuse, and the type there
  // sets the bounds.
  EXPECT_EQ(Args("--set\nNUMSECTIONS=99\n--\ndistribution3d\n--set"),
            (std::vector<std::string>{"--set", "NUMSECTIONS=4", "--", "distribution3d", "--set"}));
  // --library is held back in both forms.
  EXPECT_EQ(Args("--library\n/tmp/x.so\n--library=/tmp/y.so\ndomain"), std::vector<std::string>{"domain"});
}

}  // namespace
