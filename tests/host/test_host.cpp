// vqhost as users run it: its output and its refusals.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_host.h"

namespace {

// The frame calls of a type with one generated class level, in JSON.
const std::string kFirstLevelFrames =
    "  \"frames\": [\n"
    "    \"SetDims\",\n"
    "    \"ExecuteAssignments a=0 b=0\",\n"
    "    \"SetUpEquations -> 0\",\n"
    "    \"SetLocalEqnCount 0\",\n"
    "    \"ResetExpressions\",\n"
    "    \"JacPattern -> 0\"\n"
    "  ],\n";

TEST(Host, GenericModelAsJson) {
  Result r = RunHost({"genericmodel", "--format", "json", "--set", "USERNOTES=hello"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "{\n"
            "  \"type\": \"Model GENERICMODEL\\tV8.4\",\n"
            "  \"properties\": [\n"
            "    {\"name\": \"USERNOTES\", \"description\": null, \"direction\": 0},\n"
            "    {\"name\": \"COMPONENTLIST\", \"description\": null, \"direction\": 0},\n"
            "    {\"name\": \"INPUTSIGNAL\", \"description\": null, \"direction\": 4},\n"
            "    {\"name\": \"OUTPUTSIGNAL\", \"description\": null, \"direction\": 8}\n"
            "  ],\n"
            "  \"values\": {\n"
            "    \"USERNOTES\": \"hello\",\n"
            "    \"COMPONENTLIST\": \"\"\n"
            "  },\n" +
                kFirstLevelFrames +
                "  \"equations\": [\n"
                "  ]\n"
                "}\n");
}

TEST(Host, DefaultRunIsAOneDimensionalDistribution) {
  Result r = RunHost({});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("type: Model DISTRIBUTION1D\\tV8.4\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("INPUTSIGNAL  direction 4"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("grid of XDOMAIN: BFD1, 1 section(s), end node 8"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("equations: 9\n  group 2: 9\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("VQ_Eqn2 [group 2] + * DDX(0) XDOMAIN.SECTION(1).ELEMENTLENGTH - VALUE(0) VALUE(1)\n"),
            std::string::npos)
      << r.out;
}

// A distribution over two domains gets one domain per reference, each
// set and shown on its own.
TEST(Host, TwoDimensionalDistribution) {
  Result r = RunHost({"distribution2d", "--set", "XDOMAIN.SPACINGPREFERENCE=0.5", "--set",
                      "YDOMAIN.DISCRETIZATIONMETHOD=OCFE2", "--set", "YDOMAIN.SPACINGPREFERENCE=0.5", "--set",
                      "INTEGRALS=idy"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("type: Model DISTRIBUTION2D\\tV8.4\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("grid of XDOMAIN: BFD1, 1 section(s), end node 2"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("grid of YDOMAIN: OCFE2, 1 section(s), end node 2"), std::string::npos) << r.out;
  // 3 start rows of IDY, 9 DDX rows, 9 DDY rows, 6 IDY rows.
  EXPECT_NE(r.out.find("equations: 27\n  group 2: 3\n  group 4: 9\n  group 19: 15\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("VQ_Eqn147 [group 19] + * DDY(0,1) YDOMAIN.SECTION(1).ELEMENTLENGTH - VALUE(0,0) VALUE(0,2)\n"),
            std::string::npos)
      << r.out;
}

// Sections of one node interval suit the first-order methods.
TEST(Host, FirstOrderSectionsOfOneInterval) {
  Result r = RunHost({"distribution2d", "--set", "XDOMAIN.NUMSECTIONS=2", "--set", "XDOMAIN.MINNODECOUNT=1", "--set",
                      "XDOMAIN.SPACINGPREFERENCE=1.0", "--set", "YDOMAIN.DISCRETIZATIONMETHOD=FFD1", "--set",
                      "YDOMAIN.SECTION(1).NODECOUNT=1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("grid of XDOMAIN: BFD1, 2 section(s), end node 2, interior {1}\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("grid of YDOMAIN: FFD1, 1 section(s), end node 1, interior {}\n"), std::string::npos) << r.out;
  // One DDX row and one DDY row at each of the 3 x 2 nodes.
  EXPECT_NE(r.out.find("\nequations: 12\n"), std::string::npos) << r.out;
}

TEST(Host, BadInputIsOneLineOnStderrAndStatusTwo) {
  struct Case {
    std::vector<std::string> args;
    std::string mentions;
  } cases[] = {
      {{"NOSUCHTYPE"}, "NOSUCHTYPE"},
      {{"--set", "NOSUCH=1"}, "NOSUCH"},
      {{"--set", "USERNOTES.X=1"}, "X"},
      {{"--set", "INPUTSIGNAL=1"}, "INPUTSIGNAL"},
      {{"--format", "xml"}, "xml"},
      {{""}, "type name is empty"},
      {{"", "--format", "json"}, "type name is empty"},
      {{"--bogus"}, "--bogus"},
      {{"--set"}, "--set"},
      {{"--set", "USERNOTES"}, "USERNOTES"},
      {{"--library", "/nonexistent/lib.so"}, "/nonexistent/lib.so"},
      {{"domain", "--set", "SECTION(1)(2).LOCATION=0.5"}, "SECTION(1)(2).LOCATION"},
      {{"domain", "--set", "VALUE(3)xyz)=7"}, "VALUE(3)xyz)"},
  };
  for (const Case& c : cases) {
    Result r = RunHost(c.args);
    EXPECT_EQ(r.status, 2) << c.mentions;
    EXPECT_EQ(r.out, "") << c.mentions;
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

// Every top-level type the library exports is created by name (any letter
// case), driven through both passes and reported, in text and in JSON.
TEST(Host, EveryTopLevelTypeIsCreatedDrivenAndReported) {
  struct Case {
    const char* type;
    const char* signature;
    int equations;
  } cases[] = {
      {"angledomain", "Model ANGLEDOMAIN\\tV8.4", 0},
      {"Connection", "Model CONNECTION\\tV8.4", 0},
      {"CONTROLSIGNAL", "Model CONTROLSIGNAL\\tV8.4", 0},
      {"distribution1d", "Model DISTRIBUTION1D\\tV8.4", 9},
      {"Distribution2D", "Model DISTRIBUTION2D\\tV8.4", 162},
      {"distribution3D", "Model DISTRIBUTION3D\\tV8.4", 2187},
      {"domain", "Model DOMAIN\\tV8.4", 0},
      {"genericconnection", "Model GENERICCONNECTION\\tV8.4", 0},
      {"GenericControlSignal", "Model GENERICCONTROLSIGNAL\\tV8.4", 0},
      {"genericmodel", "Model GENERICMODEL\\tV8.4", 0},
      {"genericstream", "Stream GENERICSTREAM\\tV8.4", 0},
      {"genericstructure", "Structure GENERICSTRUCTURE\\tV8.4", 0},
      {"LengthDomain", "Model LENGTHDOMAIN\\tV8.4", 0},
      {"sectiondatamodel", "Model SECTIONDATAMODEL\\tV8.4", 0},
  };
  for (const Case& c : cases) {
    Result text = RunHost({c.type});
    ASSERT_EQ(text.status, 0) << c.type << ": " << text.err;
    EXPECT_EQ(text.err, "") << c.type;
    EXPECT_EQ(text.out.rfind(std::string("type: ") + c.signature + "\n", 0), 0u) << text.out;
    EXPECT_NE(text.out.find("\nequations: " + std::to_string(c.equations) + "\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nframe calls:\n  SetDims\n"), std::string::npos) << text.out;
    Result json = RunHost({c.type, "--format", "JSON"});
    ASSERT_EQ(json.status, 0) << c.type << ": " << json.err;
    EXPECT_EQ(json.out.rfind(std::string("{\n  \"type\": \"") + c.signature + "\",\n", 0), 0u) << json.out;
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '{'), std::count(json.out.begin(), json.out.end(), '}'))
        << c.type;
  }
}

// Every top-level type of the connectivity types, created by name: its
// registrations, and the frame calls of each class level. The derived types
// lower the first assignment argument twice and count and reset once per
// level.
TEST(Host, ConnectivityTypesShowTheirRegistrationsAndClassLevels) {
  const std::string derived =
      "  \"frames\": [\n"
      "    \"SetDims\",\n"
      "    \"ExecuteAssignments a=-1 b=0\",\n"
      "    \"SetUpEquations -> 0\",\n"
      "    \"SetLocalEqnCount 0\",\n"
      "    \"SetLocalEqnCount 0\",\n"
      "    \"ResetExpressions\",\n"
      "    \"ResetExpressions\",\n"
      "    \"JacPattern -> 0\"\n"
      "  ],\n";
  const std::string signalPorts =
      "    {\"name\": \"USERNOTES\", \"description\": null, \"direction\": 0},\n"
      "    {\"name\": \"SOURCE\", \"description\": null, \"direction\": 4},\n"
      "    {\"name\": \"DEST\", \"description\": null, \"direction\": 8}\n";
  struct Case {
    const char* type;
    const char* signature;
    std::string properties;
    const std::string& frames;
  } cases[] = {
      {"genericstream", "Stream GENERICSTREAM\\tV8.4",
       "    {\"name\": \"USERNOTES\", \"description\": null, \"direction\": 0},\n"
       "    {\"name\": \"COMPONENTLIST\", \"description\": null, \"direction\": 0},\n"
       "    {\"name\": \"VQ_UNCONNECTABLEINPUT\", \"description\": null, \"direction\": 4},\n"
       "    {\"name\": \"VQ_UNCONNECTABLEOUTPUT\", \"description\": null, \"direction\": 8},\n"
       "    {\"name\": \"INPUTSIGNAL\", \"description\": null, \"direction\": 4},\n"
       "    {\"name\": \"OUTPUTSIGNAL\", \"description\": null, \"direction\": 8}\n",
       kFirstLevelFrames},
      {"GenericStructure", "Structure GENERICSTRUCTURE\\tV8.4",
       "    {\"name\": \"USERNOTES\", \"description\": null, \"direction\": 0},\n"
       "    {\"name\": \"COMPONENTLIST\", \"description\": null, \"direction\": 0}\n",
       kFirstLevelFrames},
      {"GENERICCONTROLSIGNAL", "Model GENERICCONTROLSIGNAL\\tV8.4", signalPorts, kFirstLevelFrames},
      {"controlsignal", "Model CONTROLSIGNAL\\tV8.4", signalPorts, derived},
      {"genericconnection", "Model GENERICCONNECTION\\tV8.4", signalPorts, kFirstLevelFrames},
      {"connection", "Model CONNECTION\\tV8.4", signalPorts, derived},
  };
  for (const Case& c : cases) {
    Result r = RunHost({c.type, "--format", "json"});
    ASSERT_EQ(r.status, 0) << c.type << ": " << r.err;
    EXPECT_EQ(r.out.rfind(std::string("{\n  \"type\": \"") + c.signature + "\",\n  \"properties\": [\n" + c.properties +
                              "  ],\n",
                          0),
              0u)
        << r.out;
    EXPECT_NE(r.out.find("  },\n" + c.frames + "  \"equations\": [\n  ]\n}\n"), std::string::npos) << r.out;
  }
  // The text report ends with the same calls.
  Result text = RunHost({"connection"});
  ASSERT_EQ(text.status, 0) << text.err;
  const std::string tail =
      "equations: 0\nframe calls:\n  SetDims\n  ExecuteAssignments a=-1 b=0\n  SetUpEquations -> 0\n"
      "  SetLocalEqnCount 0\n  SetLocalEqnCount 0\n  ResetExpressions\n  ResetExpressions\n  JacPattern -> 0\n";
  ASSERT_GE(text.out.size(), tail.size());
  EXPECT_EQ(text.out.substr(text.out.size() - tail.size()), tail) << text.out;
}

}  // namespace

namespace {

TEST(Host, DomainGridInTextAndJson) {
  Result text = RunHost({"domain", "--set", "DISCRETIZATIONMETHOD=OCFE3", "--set", "NUMSECTIONS=2"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("grid: OCFE3, 2 section(s), end node 18, interior {1..17}\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  section 2: LOCATION 0.5 LENGTH 0.5 BASE 9 NODECOUNT 9 NUMELEMENTS 3 ELEMENTLENGTH "
                          "0.16666666666666666\n"),
            std::string::npos)
      << text.out;
  Result json = RunHost({"DOMAIN", "--set", "DISCRETIZATIONMETHOD=OCFE3", "--set", "NUMSECTIONS=2", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  for (const char* entry : {"\"ENDNODE\": 18", "\"SECTION(2).BASE\": 9", "\"SECTION(1).LOCATION\": 0.0",
                            "\"VALUE(18)\": 1.0", "\"INTERIOR\": [1, 2, 3", "\"POLYPOINT(2)\": 0.78868"})
    EXPECT_NE(json.out.find(entry), std::string::npos) << entry;
}

TEST(Host, IntegerSetsAtTheLimitsOfIntAreShown) {
  Result r = RunHost({"domain", "--set", "INTERIOR=2147483647,-2147483648"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("interior {-2147483648, 2147483647}\n"), std::string::npos) << r.out;
}

// Every refusal is one line naming the property by its path from the
// instance, the value as the user gave it (escaped, cut) and the real reason;
// nothing is printed on stdout.
TEST(Host, RefusalsAreOneLineNamingThePathTheValueAndTheReason) {
  const std::string longName(300, 'M');
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"distribution2d", "--set", "YDOMAIN.LENGTH=0"},
       "YDOMAIN.LENGTH: 0.0 must be finite and greater than 0"},
      {{"distribution3d", "--set", "ZDOMAIN.SECTION(1).NODECOUNT=1", "--set", "ZDOMAIN.DISCRETIZATIONMETHOD=CFD2"},
       "ZDOMAIN.SECTION(1).NODECOUNT: 1 is not a whole number (at least 1) of elements of 2 intervals"},
      {{"domain", "--set", "LENGTH=0"}, "DOMAIN.LENGTH: 0.0 must be finite and greater than 0"},
      {{"domain", "--set", "LENGTH=1e999"}, "DOMAIN.LENGTH: \"1e999\" is not a finite real number"},
      {{"domain", "--set", "DISCRETIZATIONMETHOD=x\ty\nz"},
       "DOMAIN.DISCRETIZATIONMETHOD: \"x\\ty\\nz\" is not one of the valid values {\"BFD1\", \"BFD2\", \"CFD2\", "
       "\"CFD4\", \"FFD1\", \"FFD2\", \"OCFE2\", \"OCFE3\", \"OCFE4\", \"UBFD4\"}"},
      {{"domain", "--set", "DISCRETIZATIONMETHOD=" + longName},
       "DOMAIN.DISCRETIZATIONMETHOD: \"" + longName.substr(0, 100) + "...\" is not one of the valid values {\"BFD1\", "
       "\"BFD2\", \"CFD2\", \"CFD4\", \"FFD1\", \"FFD2\", \"OCFE2\", \"OCFE3\", \"OCFE4\", \"UBFD4\"}"},
      {{"distribution1d", "--set", "VALUE=x"}, "DISTRIBUTION1D.VALUE: \"x\" cannot replace \"Matrix\""},
      {{"do\nmain"}, "unknown type \"DO\\nMAIN\""},
      {{"domain", "--set", "USERNOTES\n"}, "--set takes PATH=VALUE, not \"USERNOTES\\n\""},
      {{"domain", "--set", "MINNODECOUNT=10000001"},
       "DOMAIN.MINNODECOUNT: 10000001 node intervals in each of 1 sections give more than the 10000000 node intervals "
       "a grid may have"},
      {{"domain", "--set", "LENGTH=1e308", "--set", "NUMSECTIONS=3"},
       "DOMAIN.LENGTH: 1e+308 takes the sections' locations beyond the largest real number"},
      {{"domain", "--set", "ENDNODE=20000000"},
       "DOMAIN.ENDNODE: 20000000 is more than the 10000000 node intervals a grid may have"},
      {{"domain", "--set", "ENDNODE=-5"}, "DOMAIN.ENDNODE: -5 is not 8, the node intervals of all sections"},
      {{"domain", "--set", "NUMSECTIONS=3", "--set", "SECTION(1).LENGTH=0.5"},
       "DOMAIN.SECTION(1).LENGTH: 0.5 ends the section at 0.5, not at 0.3333333333333333 where the next section "
       "begins"},
      {{"domain", "--set", "SECTION(99999999).NODECOUNT=5"},
       "DOMAIN.SECTION(99999999).NODECOUNT: 5 belongs to an element the model does not have"},
      {{"distribution2d", "--set", "XDOMAIN.SECTION(1).NODECOUNT=10000", "--set", "YDOMAIN.SECTION(1).NODECOUNT=1000"},
       "YDOMAIN.ENDNODE: 1000 takes the distribution to 10011001 nodes over its domains, more than the 10000001 a "
       "distribution may have"},
  };
  for (const Case& c : cases) {
    Result r = RunHost(c.args);
    EXPECT_EQ(r.status, 2) << c.err;
    EXPECT_EQ(r.out, "") << c.err;
    EXPECT_EQ(r.err, "vqhost: " + c.err + "\n");
  }
}

// A real number too small to be normal is still a finite number; values set
// before the pass that lays the sections are taken; a long value is kept
// whole (only messages cut what they quote).
TEST(Host, TinyLengthsSectionsSetWithTheirCountAndLongValuesAreTaken) {
  const std::string notes(300, 'n');
  Result kept = RunHost({"genericmodel", "--set", "USERNOTES=" + notes});
  EXPECT_EQ(kept.status, 0) << kept.err;
  EXPECT_NE(kept.out.find(notes), std::string::npos);
  Result tiny = RunHost({"domain", "--set", "LENGTH=1e-308"});
  EXPECT_EQ(tiny.status, 0) << tiny.err;
  EXPECT_NE(tiny.out.find("grid: BFD1, 1 section(s), end node 8, interior {1..7}\n"), std::string::npos) << tiny.out;
  Result sections = RunHost({"domain", "--set", "NUMSECTIONS=2", "--set", "SECTION(2).NODECOUNT=1"});
  EXPECT_EQ(sections.status, 0) << sections.err;
  EXPECT_NE(sections.out.find("grid: BFD1, 2 section(s), end node 9, interior {1..8}\n"), std::string::npos)
      << sections.out;
}

TEST(Host, RefusedGridIsAnError) {
  Result r = RunHost({"DOMAIN", "--set", "SPACINGPREFERENCE=0"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "vqhost: DOMAIN.SPACINGPREFERENCE: 0.0 must be finite and greater than 0\n");
}

}  // namespace

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Whole reports, byte for byte, as users and scripts have them.
TEST(Host, ReportsStayByteForByte) {
  struct Case {
    std::vector<std::string> args;
    const char* golden;
  } cases[] = {
      {{}, "distribution1d.txt"},
      {{"--format", "json"}, "distribution1d.json"},
      {{"distribution2d", "--set", "XDOMAIN.SPACINGPREFERENCE=0.5", "--set", "YDOMAIN.DISCRETIZATIONMETHOD=OCFE2",
        "--set", "YDOMAIN.SPACINGPREFERENCE=0.5", "--set", "INTEGRALS=idy"},
       "distribution2d-ocfe2-idy.txt"},
      {{"domain", "--set", "DISCRETIZATIONMETHOD=OCFE3", "--set", "NUMSECTIONS=2"}, "domain-ocfe3.txt"},
  };
  for (const Case& c : cases) {
    const std::string expected = ReadFile(std::string(HOST_GOLDEN_DIR) + "/" + c.golden);
    ASSERT_FALSE(expected.empty()) << c.golden;
    Result r = RunHost(c.args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected) << c.golden;
  }
}

// A user string cannot start a report line of its own or put bytes that are
// not UTF-8 into the report; valid UTF-8 passes as it is.
TEST(Host, UserStringsAreEscaped) {
  struct Case {
    std::string notes;
    std::string text;  // USERNOTES as the text report shows it
    std::string json;
  } cases[] = {
      {"line\nvalues:\n  forged = 1", "\"line\\nvalues:\\n  forged = 1\"", "\"line\\nvalues:\\n  forged = 1\""},
      {"tab\tcr\r\x01\x7f", "\"tab\\tcr\\r\\x01\\x7f\"", "\"tab\\tcr\\r\\u0001\x7f\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\"", "\"a\\\"b\\\\c\""},
      {"\xff\xc3(\xed\xa0\x80\xe2\x82", "\"\\xff\\xc3(\\xed\\xa0\\x80\\xe2\\x82\"",
       "\"\\ufffd\\ufffd(\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\""},
      {"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\"",
       "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\""},
  };
  for (const Case& c : cases) {
    Result text = RunHost({"genericmodel", "--set", "USERNOTES=" + c.notes});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("\n  USERNOTES = " + c.text + "\n  COMPONENTLIST = \"\"\n"), std::string::npos)
        << text.out;
    Result json = RunHost({"genericmodel", "--set", "USERNOTES=" + c.notes, "--format", "json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\n    \"USERNOTES\": " + c.json + ",\n"), std::string::npos) << json.out;
  }
  // The elements of a set of strings, likewise.
  Result text = RunHost({"--set", "INTEGRALS=idx,a\nb"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("\n  INTEGRALS = {\"a\\nb\", \"idx\"}\n"), std::string::npos) << text.out;
  Result json = RunHost({"--set", "INTEGRALS=idx,a\nb", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_NE(json.out.find("\n    \"INTEGRALS\": [\"a\\nb\", \"idx\"],\n"), std::string::npos) << json.out;
}

// A report that does not reach its destination is a failure: one line on
// stderr and status 1, whether the first write fails or a later one.
TEST(Host, FailedWritesFail) {
  struct Case {
    std::vector<std::string> args;
    Launch launch;
    const char* reason;
  } cases[] = {
      {{"domain"}, {"/dev/full"}, "No space left on device"},
      {{"genericmodel", "--format", "json"}, {"/dev/full"}, "No space left on device"},
      {{"--help"}, {"/dev/full"}, "No space left on device"},
      // Far more than a pipe holds, so that writes go on after the reader left.
      {{"distribution3d"}, {nullptr, RLIM_INFINITY, true}, "Broken pipe"},
  };
  for (const Case& c : cases) {
    Result r = RunHost(c.args, c.launch);
    EXPECT_EQ(r.status, 1) << c.args[0];
    EXPECT_EQ(r.err, std::string("vqhost: cannot write the report: ") + c.reason + "\n") << c.args[0];
  }
}

// A distribution of 51^3 nodes: the passes need some 200 MB of address space.
const std::vector<std::string> kMidSizeGrid = {"distribution3d", "--set", "XDOMAIN.SPACINGPREFERENCE=0.02", "--set",
                                               "YDOMAIN.SPACINGPREFERENCE=0.02", "--set",
                                               "ZDOMAIN.SPACINGPREFERENCE=0.02"};

// g++ and clang tell an address-sanitized build each in their own way.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRANTEL_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(BRANTEL_ADDRESS_SANITIZER)
#define SKIP_UNDER_ADDRESS_SANITIZER() \
  GTEST_SKIP() << "the address sanitizer reserves more address space than any limit here allows"
#else
#define SKIP_UNDER_ADDRESS_SANITIZER() (void)0
#endif

// Running out of memory is an error like any other, and the passes end
// before the report begins, so nothing of it is written.
TEST(Host, OutOfMemoryIsAnError) {
  SKIP_UNDER_ADDRESS_SANITIZER();
  Result r = RunHost(kMidSizeGrid, {nullptr, rlim_t{64} << 20});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "vqhost: out of memory\n");
}

// The report is written as it is produced: in either format it needs little
// memory beyond what the passes hold.
TEST(Host, ReportNeedsLittleMemoryBeyondThePasses) {
  SKIP_UNDER_ADDRESS_SANITIZER();
  for (const char* format : {"text", "json"}) {
    std::vector<std::string> args = kMidSizeGrid;
    args.insert(args.end(), {"--format", format});
    Result r = RunHost(args, {nullptr, rlim_t{300} << 20});
    ASSERT_EQ(r.status, 0) << format << ": " << r.err;
    const bool json = std::string(format) == "json";
    EXPECT_NE(r.out.find(json ? "\"equations\": [" : "\nequations: "), std::string::npos);
    const std::string end = json ? "]}\n  ]\n}\n" : "JacPattern -> 0\n";
    ASSERT_GT(r.out.size(), end.size());
    EXPECT_EQ(r.out.substr(r.out.size() - end.size()), end) << format;
  }
}

}  // namespace
