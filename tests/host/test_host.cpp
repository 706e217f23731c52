// vqhost as users run it: its output and its refusals.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstring>
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

// The fourteen top-level types, as the library exports them.
const char* const kTypes[] = {"ANGLEDOMAIN",          "CONNECTION",      "CONTROLSIGNAL", "DISTRIBUTION1D",
                              "DISTRIBUTION2D",       "DISTRIBUTION3D",  "DOMAIN",        "GENERICCONNECTION",
                              "GENERICCONTROLSIGNAL", "GENERICMODEL",    "GENERICSTREAM", "GENERICSTRUCTURE",
                              "LENGTHDOMAIN",         "SECTIONDATAMODEL"};
const std::string kTypeNames = [] {
  std::string names;
  for (const char* type : kTypes) names += (names.empty() ? "" : ", ") + std::string(type);
  return names;
}();

// --help names every type the host can make with a line on what it is, and
// every one of them is made by that name; --version gives the library's.
TEST(Host, HelpListsTheTypesAndVersionTheLibrary) {
  Result help = RunHost({"--help"});
  ASSERT_EQ(help.status, 0) << help.err;
  EXPECT_EQ(help.err, "");
  const std::string usage = "usage: vqhost [TYPE] [--set PATH=VALUE]... [--format text|json] [--library FILE]\n";
  EXPECT_EQ(help.out.rfind(usage, 0), 0u) << help.out;
  for (const char* type : kTypes) {
    const size_t line = help.out.find("\n  " + std::string(type) + " ");
    ASSERT_NE(line, std::string::npos) << type << " missing from\n" << help.out;
    const size_t end = help.out.find('\n', line + 1);
    const std::string description = help.out.substr(line + 3 + std::strlen(type), end - line - 3 - std::strlen(type));
    EXPECT_GT(description.find_first_not_of(' '), 1u) << type;
    EXPECT_GT(description.size(), 20u) << type;
  }
  Result version = RunHost({"--version"});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "Brantel300_1 30.0.2.35\n");
  EXPECT_EQ(version.err, "");
}

// Options take their value after '=' as well as in the next argument, "--"
// ends the options, --help wins over every other argument before "--" (those
// that would be refused too), --version over a run: each line gives what
// its plain counterpart gives.
TEST(Host, CommandLineConventions) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> same;
  } cases[] = {
      {{"--set=USERNOTES=a=b", "genericmodel"}, {"genericmodel", "--set", "USERNOTES=a=b"}},
      {{"domain", "--set=NUMSECTIONS=2", "--format=json"}, {"domain", "--set", "NUMSECTIONS=2", "--format", "json"}},
      {{"--set=INTEGRALS="}, {"--set", "INTEGRALS="}},
      {{"--", "domain"}, {"domain"}},
      {{"--set", "LENGTH=2", "--", "domain"}, {"domain", "--set", "LENGTH=2"}},
      {{"-h"}, {"--help"}},
      {{"--bogus", "--help"}, {"--help"}},
      {{"NOSUCHTYPE", "--format", "xml", "--set", "=", "--help", "another"}, {"--help"}},
      {{"--version", "--help"}, {"--help"}},
      {{"domain", "--version"}, {"--version"}},
  };
  for (const Case& c : cases) {
    Result r = RunHost(c.args);
    Result expected = RunHost(c.same);
    ASSERT_EQ(expected.status, 0) << c.same[0] << ": " << expected.err;
    EXPECT_EQ(r.status, 0) << c.args[0] << ": " << r.err;
    EXPECT_EQ(r.out, expected.out) << c.args[0];
    EXPECT_EQ(r.err, "") << c.args[0];
  }
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
      // After "--" nothing is an option; an option's value is never one.
      {{"--", "--help"}, "unknown type \"--HELP\""},
      {{"--", "domain", "--set", "LENGTH=2"}, "more than one type given"},
      {{"--set", "--help"}, "--set takes PATH=VALUE, not \"--help\""},
      {{"--set="}, "--set takes PATH=VALUE, not \"\""},
      {{"--set==1"}, "--set takes PATH=VALUE, not \"=1\""},
      {{"--format="}, "unknown format \"\""},
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

// A set at the limits of int is shown as given, here in the refusal of an
// interior the grid does not have.
TEST(Host, IntegerSetsAtTheLimitsOfIntAreShown) {
  Result r = RunHost({"domain", "--set", "INTERIOR=2147483647,-2147483648"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "vqhost: DOMAIN.INTERIOR: {-2147483648, 2147483647} is not {1..7}, the interior nodes the grid "
                   "gives\n");
}

// Sets as the report prints them are read back by --set.
TEST(Host, PrintedSetsReadBack) {
  struct Case {
    std::vector<std::string> args;
    std::string shown;
  } cases[] = {
      {{"domain"}, "interior {1..7}"},
      {{"domain", "--set", "NUMSECTIONS=2", "--set", "HIGHESTORDERDERIVATIVE=2"}, "interior {1..7, 9..15}"},
      {{"domain", "--set", "DISCRETIZATIONMETHOD=OCFE2", "--set", "HIGHESTORDERDERIVATIVE=2"}, "interior {1, 3, 5, 7}"},
  };
  for (const Case& c : cases) {
    Result first = RunHost(c.args);
    ASSERT_EQ(first.status, 0) << first.err;
    const size_t at = first.out.find(c.shown + "\n");
    ASSERT_NE(at, std::string::npos) << first.out;
    std::vector<std::string> again = c.args;
    again.insert(again.end(), {"--set", "INTERIOR=" + c.shown.substr(10, c.shown.size() - 11)});
    Result second = RunHost(again);
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, first.out);
  }
  for (const char* bad : {"INTERIOR=7..1", "INTERIOR=1..x", "INTERIOR=1...7"}) {
    Result r = RunHost({"domain", "--set", bad});
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_NE(r.err.find("is not a range of integers, low..high"), std::string::npos) << r.err;
  }
}

// Sound grids: a section ending at 0, inputs a section's own values
// override. Each runs.
TEST(Host, SoundGridsRun) {
  const std::vector<std::vector<std::string>> cases = {
      {"--set", "XDOMAIN.SECTION(1).LOCATION=-0.1", "--set", "XDOMAIN.LENGTH=0.1", "--set",
       "XDOMAIN.SPACINGPREFERENCE=0.009"},
      {"domain", "--set", "SECTION(1).LOCATION=-1", "--set", "LENGTH=2", "--set", "NUMSECTIONS=2", "--set",
       "SPACINGPREFERENCE=0.0204"},
      {"domain", "--set", "SPACINGPREFERENCE=1e-9", "--set", "SECTION(1).NODECOUNT=8"},
      {"domain", "--set", "SPACINGPREFERENCE=0", "--set", "SECTION(1).SPACINGPREFERENCE=0.1"},
      {"domain", "--set", "MINNODECOUNT=20000000", "--set", "SECTION(1).NODECOUNT=8"},
  };
  for (const auto& args : cases) {
    Result r = RunHost(args);
    EXPECT_EQ(r.status, 0) << args[1] << ": " << r.err;
    EXPECT_EQ(r.err, "");
  }
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
      // An array takes values by element; an input is named when a value
      // derived from it is what fails; a linked domain's properties are named
      // from its reference in every message.
      {{"distribution1d", "--set", "VALUE=x"},
       "DISTRIBUTION1D.VALUE: \"x\" cannot be given to the whole array; VALUE takes a value per element, as VALUE(i)"},
      {{"domain", "--set", "VALUE=10.0"},
       "DOMAIN.VALUE: \"10.0\" cannot be given to the whole array; VALUE takes a value per element, as VALUE(i)"},
      {{"distribution2d", "--set", "DDX=1"},
       "DISTRIBUTION2D.DDX: \"1\" cannot be given to the whole array; DDX takes a value per element, as DDX(i,j)"},
      {{"domain", "--set", "LENGTH=5e-324"}, "DOMAIN.LENGTH: 5e-324 is too small to lay: the spacing it gives is 0.0"},
      {{"distribution1d", "--set", "XDOMAIN.SECTION(2).NOSUCH=1"}, "XDOMAIN.SECTION(2) has no property \"NOSUCH\""},
      {{"distribution1d", "--set", "XDOMAIN.SECTION(2).LENGTH=x"},
       "XDOMAIN.SECTION(2).LENGTH: \"x\" is not a finite real number"},
      // Quoted text cannot end its quotes early, fake an escape or pass bytes
      // that are not UTF-8.
      {{"domain", "--set", "LENGTH=1\" is fine; DOMAIN.ENDNODE: \"9"},
       "DOMAIN.LENGTH: \"1\\\" is fine; DOMAIN.ENDNODE: \\\"9\" is not a finite real number"},
      {{"domain", "--set", "DISCRETIZATIONMETHOD=a\\nb\\"},
       "DOMAIN.DISCRETIZATIONMETHOD: \"a\\\\nb\\\\\" is not one of the valid values {\"BFD1\", \"BFD2\", \"CFD2\", "
       "\"CFD4\", \"FFD1\", \"FFD2\", \"OCFE2\", \"OCFE3\", \"OCFE4\", \"UBFD4\"}"},
      {{"domain", "--set", "NUMSECTIONS=\xff\xc3(\xc3\xa9"}, "DOMAIN.NUMSECTIONS: \"\\xff\\xc3(\xc3\xa9\" is not an integer"},
      {{"domain", "--set", "NO\xe2\x82SUCH=1"}, "DOMAIN has no property \"NO\\xe2\\x82SUCH\""},
      {{"domain", "--set", "SECTION(1)\xff=1"}, "SECTION(1)\\xff: unexpected \"\\xff\" at position 11"},
      {{"do\xffmain"}, "unknown type \"DO\\xffMAIN\"; the types are " + kTypeNames},
      {{"do\nmain"}, "unknown type \"DO\\nMAIN\"; the types are " + kTypeNames},
      {{"domain", "--set", "USERNOTES\n"}, "--set takes PATH=VALUE, not \"USERNOTES\\n\""},
      {{"domain", "--set", "MINNODECOUNT=10000001"},
       "DOMAIN.MINNODECOUNT: 10000001 node intervals in a section give more than the 10000000 node intervals a grid "
       "may have"},
      {{"domain", "--set", "LENGTH=1e308", "--set", "NUMSECTIONS=3"},
       "DOMAIN.LENGTH: 1e+308 takes the sections' locations beyond the largest real number"},
      {{"domain", "--set", "ENDNODE=20000000"},
       "DOMAIN.ENDNODE: 20000000 is more than the 10000000 node intervals a grid may have"},
      {{"domain", "--set", "ENDNODE=-5"}, "DOMAIN.ENDNODE: -5 is not 8, the node intervals of all sections"},
      {{"domain", "--set", "NUMSECTIONS=3", "--set", "SECTION(1).LENGTH=0.5"},
       "DOMAIN.SECTION(1).LENGTH: 0.5 ends the section at 0.5, not at 0.3333333333333333 where the next section "
       "begins"},
      {{"domain", "--set", "SECTION(99999999).NODECOUNT=5"},
       "DOMAIN.SECTION(99999999).NODECOUNT: 5 belongs to an element the model does not have: SECTION has the "
       "elements {1}; raise NUMSECTIONS, or clear the value"},
      {{"lengthdomain", "--set", "SECTION(3).NODECOUNT=4"},
       "LENGTHDOMAIN.SECTION(3).NODECOUNT: 4 belongs to an element the model does not have: SECTION has the "
       "elements {1}; raise NUMSECTIONS, or clear the value"},
      {{"domain", "--set", "DISCRETIZATIONMETHOD=OCFE3", "--set", "POLYPOINT(3)=0.9"},
       "DOMAIN.POLYPOINT(3): 0.9 belongs to an element the model does not have: POLYPOINT has the elements {1, 2}; "
       "choose a method with more inner points, or clear the value"},
      {{"--set", "VALUE(9)=1"},
       "DISTRIBUTION1D.VALUE(9): 1.0 belongs to an element the model does not have: VALUE has the elements {0..8}; "
       "lay more nodes in the distribution's domains, or clear the value"},
      {{"distribution2d", "--set", "DDX(0,9)=1"},
       "DISTRIBUTION2D.DDX(0,9): 1.0 belongs to an element the model does not have: DDX has the elements {0..8} x "
       "{0..8}; raise the derivative order or lay more nodes in the distribution's domains, or clear the value"},
      {{"distribution3d", "--set", "IDX(0,0,0)=1"},
       "DISTRIBUTION3D.IDX(0,0,0): 1.0 belongs to an element the model does not have: IDX has the elements {} x "
       "{0..8} x {0..8}; request the integral in INTEGRALS or lay more nodes in the distribution's domains, or clear "
       "the value"},
      {{"domain", "--set", "VALUE(9)=1.2"},
       "DOMAIN.VALUE(9): 1.2 belongs to an element the model does not have: VALUE has the elements {0..8}; lay more "
       "node intervals, or clear the value"},
      {{"distribution2d", "--set", "XDOMAIN.SECTION(1).NODECOUNT=10000", "--set", "YDOMAIN.SECTION(1).NODECOUNT=1000"},
       "XDOMAIN.SECTION(1).NODECOUNT: 10000 takes the distribution to 10011001 nodes over its domains, more than the "
       "10000001 a distribution may have: beside the 1001 nodes of the others its domain may have at most 9989 node "
       "intervals"},
      {{"domain", "--set", "DISCRETIZATIONMETHOD=OCFE2", "--set", "POLYPOINT(1)=1.5"},
       "DOMAIN.POLYPOINT(1): 1.5 is not within 0.0001 of 0.5, the fraction of an element at which OCFE2 puts inner "
       "point 1 (its fractions: 0.5)"},
      {{"domain", "--set", "SECTION(1).LOCATION=10000", "--set", "LENGTH=1e-12"},
       "DOMAIN.LENGTH: 1e-12 puts nodes 0 and 1 of section 1 at 10000.0 and 10000.0, not in increasing order: its "
       "node spacing 1.2126596023639043e-13 is finer than the 1.8189894035458565e-12 that coordinates near 10000.0 "
       "resolve"},
      {{"domain", "--set", "SECTION(1).SPACINGUSED=0.2"},
       "DOMAIN.SECTION(1).SPACINGUSED: 0.2 is not 0.125, the spacing the grid gives (the section's length 1.0 over "
       "its 8 node intervals)"},
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

// The same, with the host in a pipeline as a shell builds it: the reader
// takes ten bytes and leaves; the host says so and ends with status 1.
TEST(Host, AReaderThatLeavesEarlyIsAFailedWriteInAShellPipeline) {
  const std::string script = "{ \"$0\" distribution3d --format json; echo \"status $?\" >&2; } | head -c 10";
  int errPipe[2];
  ASSERT_EQ(pipe(errPipe), 0);
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(errPipe[1], 2);
    close(errPipe[0]);
    signal(SIGPIPE, SIG_DFL);
    execl("/bin/sh", "sh", "-c", script.c_str(), VQHOST, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(errPipe[1]);
  std::string err;
  char buffer[4096];
  ssize_t n;
  while ((n = read(errPipe[0], buffer, sizeof buffer)) > 0) err.append(buffer, static_cast<size_t>(n));
  close(errPipe[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_EQ(err, "vqhost: cannot write the report: Broken pipe\nstatus 1\n");
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

// What the counts refute is refused before a node is laid: on a grid of
// 10,000,000 node intervals, each of these is refused (not out of memory)
// in 512 MB.
TEST(Host, ContradictionsOfTheCountsAreRefusedBeforeTheGridIsLaid) {
  SKIP_UNDER_ADDRESS_SANITIZER();
  struct Case {
    const char* set;
    const char* err;
  } cases[] = {
      {"ENDNODE=16", "DOMAIN.ENDNODE: 16 is not 10000000, the node intervals of all sections"},
      {"SECTION(2).LOCATION=0",
       "DOMAIN.SECTION(2).LOCATION: 0.0 belongs to an element the model does not have: SECTION has the elements {1}; "
       "raise NUMSECTIONS, or clear the value"},
      {"VALUE(0)=5", "DOMAIN.VALUE(0): 5.0 is not 0.0, where section 1 begins"},
      {"VALUE(20000000)=5",
       "DOMAIN.VALUE(20000000): 5.0 belongs to an element the model does not have: VALUE has the elements "
       "{0..10000000}; lay more node intervals, or clear the value"},
      {"VALUE(-1)=5",
       "DOMAIN.VALUE(-1): 5.0 belongs to an element the model does not have: VALUE has the elements {0..10000000}; "
       "lay more node intervals, or clear the value"},
      {"VALUE(10000000)=5", "DOMAIN.VALUE(10000000): 5.0 is not 1e+06, the coordinate the grid gives node 10000000"},
  };
  for (const Case& c : cases) {
    Result r = RunHost({"domain", "--set", "LENGTH=1000000", "--set", "SPACINGPREFERENCE=0.1", "--set", c.set},
                       {nullptr, rlim_t{512} << 20});
    EXPECT_EQ(r.status, 2) << c.set;
    EXPECT_EQ(r.err, std::string("vqhost: ") + c.err + "\n");
  }
}

// Every model the caps accept is affordable: a domain of the most sections
// it may have, each of the fewest node intervals, fits in 512 MB.
TEST(Host, TheMostSectionsFitInLittleMemory) {
  SKIP_UNDER_ADDRESS_SANITIZER();
  Result r = RunHost({"domain", "--set", "DISCRETIZATIONMETHOD=OCFE2", "--set", "NUMSECTIONS=10000"},
                     {"/dev/null", rlim_t{512} << 20});
  EXPECT_EQ(r.status, 0) << r.err;
  Result over = RunHost({"domain", "--set", "DISCRETIZATIONMETHOD=OCFE2", "--set", "NUMSECTIONS=10001"});
  EXPECT_EQ(over.status, 2);
  EXPECT_EQ(over.err, "vqhost: DOMAIN.NUMSECTIONS: 10001 is more than the 10000 sections a domain may have\n");
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
