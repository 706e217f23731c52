// vqhost as users run it: its output and its refusals.
#include <gtest/gtest.h>

#include <algorithm>
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

TEST(Host, RefusedGridIsAnError) {
  Result r = RunHost({"DOMAIN", "--set", "SPACINGPREFERENCE=0"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "vqhost: DOMAIN.SPACINGPREFERENCE: 0.0 must be finite and greater than 0\n");
}

}  // namespace
