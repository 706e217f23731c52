// The example model library (examples/wall_profile), built against the
// installed package alone: what it exports, what it registers and emits
// under the host, its equations evaluated, and every block it takes from the
// runtime's heap given back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "kyvexp.h"
#include "support/own_allocators.h"
#include "support/run_host.h"
#include "vq_driver.h"
#include "vq_dynlib.h"
#include "vq_evaluator.h"
#include "vq_inspect.h"

namespace {

using Factory = VQ_ModelType* (*)();

class Loaded {
 public:
  Loaded() {
    std::string error;
    m_Library = vq_rt::OpenLibrary(BRANTEL_EXAMPLE_LIBRARY, error);
    EXPECT_NE(m_Library, nullptr) << error;
  }
  ~Loaded() {
    if (m_Library != nullptr) vq_rt::CloseLibrary(m_Library);
  }
  void* Handle() const { return m_Library; }
  // An export of the example or of a library it links (the domain's
  // factory comes from Brantel300_1).
  void* Export(const char* name) const { return m_Library ? vq_rt::FindSymbol(m_Library, name) : nullptr; }
  VQ_ModelType* Make(const std::string& type) const {
    auto factory = reinterpret_cast<Factory>(Export((type + "Factory").c_str()));
    return factory != nullptr ? factory() : nullptr;
  }

 private:
  void* m_Library = nullptr;
};

TEST(WallProfile, ExportsItsTypeAsTheLibraryDoes) {
  Loaded library;
  ASSERT_NE(library.Handle(), nullptr);
  const auto* compatibility = static_cast<const int32_t*>(library.Export("_CompatibilityWALLPROFILE"));
  ASSERT_NE(compatibility, nullptr);
  EXPECT_EQ(compatibility[0], 6);
  EXPECT_EQ(compatibility[1], 0);
  using PropertyInfo = int32_t* (*)();
  auto info = reinterpret_cast<PropertyInfo>(library.Export("WALLPROFILEPropertyInfo"));
  auto domainInfo = reinterpret_cast<PropertyInfo>(library.Export("DOMAINPropertyInfo"));
  ASSERT_NE(info, nullptr);
  ASSERT_NE(domainInfo, nullptr);
  EXPECT_EQ(info(), info());
  EXPECT_NE(info(), domainInfo());
  EXPECT_EQ(*info(), 0);
  // Its frame keeps the global allocation inside the module.
  EXPECT_EQ(OwnAllocatorExports(library.Handle(), "WALLPROFILEFactory"), std::vector<std::string>{});
}

// A wall of length 1 in steps of 0.5: nodes 0, 1, 2. The generic model's
// properties first, then the example's; one frame per class level; one
// equation per node, each defining its own T(k), with the references the
// counting pass registered in the order the stream has them.
TEST(WallProfile, HostRegistersAndEmitsBothClassLevels) {
  Result r = RunHost({"wallprofile", "--library", BRANTEL_EXAMPLE_LIBRARY, "--format", "json", "--set",
                      "XDOMAIN.SPACINGPREFERENCE=0.5", "--set", "GRADIENT=-40"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("{\n  \"type\": \"Model WALLPROFILE\\tV8.4\",\n", 0), 0u) << r.out;
  const std::string properties =
      "  \"properties\": [\n"
      "    {\"name\": \"USERNOTES\", \"description\": null, \"direction\": 0},\n"
      "    {\"name\": \"COMPONENTLIST\", \"description\": null, \"direction\": 0},\n"
      "    {\"name\": \"INPUTSIGNAL\", \"description\": null, \"direction\": 4},\n"
      "    {\"name\": \"OUTPUTSIGNAL\", \"description\": null, \"direction\": 8},\n"
      "    {\"name\": \"XDOMAIN\", \"description\": null, \"direction\": 0},\n"
      "    {\"name\": \"TSURFACE\", \"description\": \"Temperature at the surface\", \"direction\": 0},\n"
      "    {\"name\": \"GRADIENT\", \"description\": \"Temperature gradient through the wall\", \"direction\": 0},\n"
      "    {\"name\": \"VQ_T_SET1\", \"description\": null, \"direction\": 0},\n"
      "    {\"name\": \"T\", \"description\": \"Temperature at a node point\", \"direction\": 0}\n"
      "  ],\n";
  EXPECT_NE(r.out.find(properties), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("    \"GRADIENT\": -40.0,\n    \"VQ_T_SET1\": [0, 1, 2]\n"), std::string::npos) << r.out;
  const std::string frames =
      "  \"frames\": [\n"
      "    \"SetDims\",\n"
      "    \"ExecuteAssignments a=-1 b=0\",\n"
      "    \"SetUpEquations -> 0\",\n"
      "    \"SetLocalEqnCount 0\",\n"
      "    \"SetLocalEqnCount 3\",\n"
      "    \"ResetExpressions\",\n"
      "    \"ResetExpressions\",\n"
      "    \"JacPattern -> 0\"\n"
      "  ],\n";
  EXPECT_NE(r.out.find(frames), std::string::npos) << r.out;
  std::string equations = "  \"equations\": [\n";
  for (int k = 0; k <= 2; ++k) {
    const std::string node = std::to_string(k);
    equations += "    {\"name\": \"VQ_Eqn1\", \"group\": 1, \"stream\": [\"-\", \"T(" + node +
                 ")\", \"+\", \"TSURFACE\", \"*\", \"GRADIENT\", \"XDOMAIN.VALUE(" + node +
                 ")\"], \"nonzeros\": [\"T(" + node + ")\", \"TSURFACE\", \"GRADIENT\", \"XDOMAIN.VALUE(" + node +
                 ")\"]}" + (k < 2 ? ",\n" : "\n");
  }
  equations += "  ]\n}\n";
  EXPECT_NE(r.out.find(equations), std::string::npos) << r.out;
}

// Mistakes of a model library's author fail loudly, naming what is wrong: a
// counting pass whose equations and group-limit records disagree (which
// would leave equations without references), an emission pass that refers
// to other variables than were registered, a type the library does not
// export (naming those it reaches).
TEST(WallProfile, MistakesInAModelLibraryAreRefused) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"onegroupperloop", "--library", BRANTEL_FAULTY_LIBRARY},
       "ONEGROUPPERLOOP: class level ONEGROUPPERLOOP counted 2 equations with 1 SetGroupLimits calls; every "
       "equation needs one of its own, before its AddNonZero calls"},
      {{"TwoGroupsPerEquation", "--library", BRANTEL_FAULTY_LIBRARY, "--format", "json"},
       "TWOGROUPSPEREQUATION: class level TWOGROUPSPEREQUATION counted 2 equations with 4 SetGroupLimits calls; "
       "every equation needs one of its own, before its AddNonZero calls"},
      {{"swappedreferences", "--library", BRANTEL_FAULTY_LIBRARY},
       "SWAPPEDREFERENCES: equation VQ_Eqn1 (number 1 of the emission pass) refers to other variables, or to them "
       "in another order, than the counting pass registered for it"},
      {{"rod", "--library", BRANTEL_EXAMPLE_LIBRARY},
       std::string("unknown type \"ROD\": ") + BRANTEL_EXAMPLE_LIBRARY +
           " exports no RODFactory; of the library's types it reaches ANGLEDOMAIN, CONNECTION, CONTROLSIGNAL, "
           "DISTRIBUTION1D, DISTRIBUTION2D, DISTRIBUTION3D, DOMAIN, GENERICCONNECTION, GENERICCONTROLSIGNAL, "
           "GENERICMODEL, GENERICSTREAM, GENERICSTRUCTURE, LENGTHDOMAIN, SECTIONDATAMODEL"},
  };
  for (const Case& c : cases) {
    Result r = RunHost(c.args);
    EXPECT_EQ(r.status, 2) << c.err;
    EXPECT_EQ(r.out, "") << c.err;
    EXPECT_EQ(r.err, "vqhost: " + c.err + "\n");
  }
}

// Values set through the host on the example's own array and parameters:
// an element of T that exists is taken once the derived level has laid its
// set; one outside it is refused, naming the elements there are.
TEST(WallProfile, UserValuesOnItsOwnArray) {
  struct Case {
    std::string set;
    std::string err;  // empty: taken
  } cases[] = {
      {"T(0)=5", ""},
      {"T(4)=300", ""},
      {"GRADIENT=-3", ""},
      {"XDOMAIN.SECTION(1).NODECOUNT=4", ""},
      {"T(5)=5",
       "WALLPROFILE.T(5): 5.0 belongs to an element the model does not have: T has the elements {0..4}; change what "
       "lays VQ_T_SET1, or clear the value"},
      {"XDOMAIN.SECTION(2).NODECOUNT=4",
       "XDOMAIN.SECTION(2).NODECOUNT: 4 belongs to an element the model does not have: SECTION has the elements {1}; "
       "raise NUMSECTIONS, or clear the value"},
  };
  for (const Case& c : cases) {
    Result r = RunHost({"wallprofile", "--library", BRANTEL_EXAMPLE_LIBRARY, "--set", "XDOMAIN.SPACINGPREFERENCE=0.25",
                        "--set", c.set});
    EXPECT_EQ(r.status, c.err.empty() ? 0 : 2) << c.set << ": " << r.err;
    EXPECT_EQ(r.err, c.err.empty() ? "" : "vqhost: " + c.err + "\n") << c.set;
  }
}

// Driven in this process: each equation's residual and Jacobian row at a
// profile that satisfies it, and the heap before and after. A wall with a
// domain takes, beyond the domain alone, exactly one block for itself, one
// per node for T and one for TSURFACE's default instance, all from the
// runtime's heap, and gives every block back on release.
TEST(WallProfile, EquationsHoldOnTheProfileAndTheHeapComesBack) {
  Loaded library;
  ASSERT_NE(library.Handle(), nullptr);
  constexpr int kNodes = 5;  // spacing 0.25
  auto run = [&](bool withWall, const std::function<void(VQ_ModelType&, vq_rt::Driver&)>& check) {
    VQ_ModelType* domain = library.Make("DOMAIN");
    VQ_ModelType* wall = withWall ? library.Make("WALLPROFILE") : nullptr;
    ASSERT_NE(domain, nullptr);
    VQ_ModelType& root = withWall ? *wall : *domain;
    if (withWall) {
      ASSERT_NE(wall, nullptr);
      dynamic_cast<VQ_ExternalBase&>(vq_rt::ResolvePath(*wall, "XDOMAIN")).Link(domain);
    }
    const std::string spacing = withWall ? "XDOMAIN.SPACINGPREFERENCE" : "SPACINGPREFERENCE";
    vq_rt::SetUserValueFromText(vq_rt::ResolvePath(root, spacing), spacing, "0.25");
    {
      vq_rt::Driver driver(root);
      driver.Run();
      check(root, driver);
    }
    root.Release();
    if (withWall) domain->Release();
  };

  const vq_rt::HeapStats start = vq_rt::GetHeapStats();
  run(false, [](VQ_ModelType&, vq_rt::Driver&) {});
  const vq_rt::HeapStats afterDomain = vq_rt::GetHeapStats();
  EXPECT_EQ(afterDomain.liveBlocks, start.liveBlocks);

  run(true, [&](VQ_ModelType& wall, vq_rt::Driver& driver) {
    EXPECT_EQ(driver.EquationCount(), kNodes);
    const vq_rt::ContainerState& state = wall.State();
    ASSERT_EQ(state.emitted.size(), static_cast<size_t>(kNodes));
    for (int k = 0; k < kNodes; ++k) {
      const vq_rt::Evaluation first = vq_rt::Evaluate(state, state.emitted[static_cast<size_t>(k)]);
      ASSERT_EQ(first.references.size(), 4u);
      auto* temperature = dynamic_cast<VQ_REALVARIABLE*>(first.references[0]);
      auto* surface = dynamic_cast<VQ_REALVARIABLE*>(first.references[1]);
      ASSERT_NE(temperature, nullptr);
      ASSERT_NE(surface, nullptr);
      const double gradient = first.references[2]->Real();
      const double x = first.references[3]->Real();
      EXPECT_DOUBLE_EQ(gradient, -25.0);
      EXPECT_DOUBLE_EQ(x, 0.25 * k);
      surface->SetValue(300.0);
      temperature->SetValue(300.0 + gradient * x);
      const vq_rt::Evaluation held = vq_rt::Evaluate(state, state.emitted[static_cast<size_t>(k)]);
      EXPECT_NEAR(held.residual, 0.0, 1e-12) << "node " << k;
      const std::vector<double> row = {1.0, -1.0, -x, -gradient};
      EXPECT_EQ(held.partials, row) << "node " << k;
      temperature->SetValue(301.0 + gradient * x);
      EXPECT_NEAR(vq_rt::Evaluate(state, state.emitted[static_cast<size_t>(k)]).residual, 1.0, 1e-12);
    }
  });
  const vq_rt::HeapStats afterWall = vq_rt::GetHeapStats();
  EXPECT_EQ(afterWall.liveBlocks, start.liveBlocks);
  EXPECT_EQ(afterWall.allocations - afterDomain.allocations,
            (afterDomain.allocations - start.allocations) + 1 + kNodes + 1);
}

}  // namespace
