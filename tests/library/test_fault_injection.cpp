// A refused allocation anywhere while a model is built, given its user
// values and driven is a clean error: nothing leaks, and the same instance
// then drives to exactly what a run without refusals gives.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "vq_driver.h"
#include "vq_error.h"
#include "vq_render.h"
#include "vq_format.h"
#include "vq_inspect.h"
#include "vq_instances.h"
#include "vq_links.h"
#include "vq_memory.h"

namespace {

using Settings = std::vector<std::pair<std::string, std::string>>;

struct Scenario {
  const char* type;
  VQ_ModelType* (*factory)();
  Settings settings;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.type; }

// Small grids: every allocation of a run is refused in turn.
const Scenario kScenarios[] = {
    {"DOMAIN", DOMAINFactory, {{"DISCRETIZATIONMETHOD", "OCFE3"}, {"NUMSECTIONS", "2"}, {"LENGTH", "2.0"}}},
    {"DISTRIBUTION1D",
     DISTRIBUTION1DFactory,
     {{"XDOMAIN.DISCRETIZATIONMETHOD", "CFD4"}, {"HIGHESTORDERXDERIVATIVE", "2"}, {"INTEGRALS", "idx"}}},
    {"DISTRIBUTION2D",
     DISTRIBUTION2DFactory,
     {{"XDOMAIN.SPACINGPREFERENCE", "0.25"},
      {"YDOMAIN.DISCRETIZATIONMETHOD", "OCFE2"},
      {"YDOMAIN.SPACINGPREFERENCE", "0.5"},
      {"INTEGRALS", "idx,idxdy"}}},
    {"DISTRIBUTION3D",
     DISTRIBUTION3DFactory,
     {{"XDOMAIN.SPACINGPREFERENCE", "0.5"},
      {"YDOMAIN.SPACINGPREFERENCE", "0.5"},
      {"ZDOMAIN.DISCRETIZATIONMETHOD", "CFD2"},
      {"ZDOMAIN.SPACINGPREFERENCE", "0.5"},
      {"INTEGRALS", "idx,idxdydz"}}},
};

// A model as a runtime holds it: the root and a domain linked to each of its
// references, released at the end.
class Model {
 public:
  explicit Model(const Scenario& scenario) : m_Scenario(scenario) {}
  ~Model() {
    if (m_Root) m_Root->Release();
  }
  Model(const Model&) = delete;
  Model& operator=(const Model&) = delete;

  // Builds what is not built yet, gives every user value and drives it;
  // what was done before is kept, as a runtime keeps an instance.
  std::vector<std::string> BuildSetAndDrive() {
    if (m_Root == nullptr) m_Root = m_Scenario.factory();
    if (m_Root == nullptr) vq_rt::Raise("%s: the factory made no instance", m_Scenario.type);
    for (int i = 0; i < m_Root->PropertyCount(); ++i) {
      auto* reference = dynamic_cast<VQ_ExternalBase*>(m_Root->PropertyAt(i));
      if (reference == nullptr || reference->LinkedIfAny() != nullptr) continue;
      VQ_ModelType* domain = DOMAINFactory();
      if (domain == nullptr) vq_rt::Raise("%s: no domain was made", reference->DisplayName().c_str());
      reference->Link(domain);
      domain->Release();
    }
    for (const auto& [path, value] : m_Scenario.settings)
      vq_rt::SetUserValueFromText(vq_rt::ResolvePath(*m_Root, path), path, value);
    vq_rt::Driver driver(*m_Root);
    driver.Run();
    return Outcome(driver);
  }

 private:
  // Every value the runtime holds and every equation each model counted (its
  // group and how many references; the run checked them against the
  // stream) and emitted, references by their path.
  std::vector<std::string> Outcome(const vq_rt::Driver& driver) {
    std::vector<std::string> lines;
    for (const vq_rt::ValueEntry& entry : vq_rt::CollectValues(*m_Root))
      lines.push_back(entry.path + " = " + vq_rt::FormatValue(entry.value));
    vq_rt::PathNamer namer(*m_Root);
    auto name = [&](const VQ_VarParam& v) { return namer.Path(v); };
    for (VQ_ModelType* model : driver.Models()) {
      const vq_rt::ContainerState& state = model->State();
      for (const vq_rt::CountedEquation& c : state.counted)
        lines.push_back(namer.Path(*model) + " counted group " + std::to_string(c.group) + ": " +
                        std::to_string(state.ReferenceCount(c)) + " references");
      for (const vq_rt::EmittedEquation& e : state.emitted)
        lines.push_back(namer.Path(*model) + " " + state.EquationName(e) + " [group " + std::to_string(e.group) +
                        "] " + vq_rt::Render(state.stream, e.firstToken, state.StreamLength(e), name));
    }
    lines.push_back("equations " + std::to_string(driver.EquationCount()) + ", non-zeros " +
                    std::to_string(driver.NonZeroCount()));
    return lines;
  }

  const Scenario& m_Scenario;
  VQ_ModelType* m_Root = nullptr;
};

class FaultInjection : public testing::TestWithParam<Scenario> {};

TEST_P(FaultInjection, EveryRefusedAllocationIsACleanErrorAndTheInstanceDrivesAsBefore) {
  const Scenario& scenario = GetParam();
  {
    const long long live = vq_rt::GetHeapStats().liveBlocks;
    std::vector<std::string> clean;
    long long allocations = 0;
    {
      Model model(scenario);
      const long long before = vq_rt::GetHeapStats().allocations;
      clean = model.BuildSetAndDrive();
      allocations = vq_rt::GetHeapStats().allocations - before;
      EXPECT_EQ(model.BuildSetAndDrive(), clean) << scenario.type << ": a second drive differs";
    }
    ASSERT_EQ(vq_rt::GetHeapStats().liveBlocks, live) << scenario.type << ": a clean run leaks";
    ASSERT_GT(allocations, 0) << scenario.type;

    for (long long k = 1; k <= allocations; ++k) {
      SCOPED_TRACE(std::string(scenario.type) + ", allocation " + std::to_string(k) + " of " +
                   std::to_string(allocations) + " refused");
      {
        Model model(scenario);
        const long long refused = vq_rt::GetHeapStats().refused;
        vq_rt::RefuseAllocations(1, k - 1);
        std::string error;
        std::vector<std::string> outcome;
        try {
          outcome = model.BuildSetAndDrive();
        } catch (const VQ_Error& e) {
          error = e.what();
        } catch (const std::exception& e) {
          ADD_FAILURE() << "not the runtime's error: " << e.what();
        }
        vq_rt::RefuseAllocations(0);
        ASSERT_EQ(vq_rt::GetHeapStats().refused, refused + 1) << "the refusal was not reached";
        // A refusal the model absorbs must not change what it gives.
        if (error.empty()) {
          EXPECT_EQ(outcome, clean) << "no error, yet another result";
        }
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(model.BuildSetAndDrive(), clean) << "after: " << error;
      }
      ASSERT_EQ(vq_rt::GetHeapStats().liveBlocks, live) << "blocks leaked";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryDistributionAndTheDomain, FaultInjection, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<Scenario>& info) { return std::string(info.param.type); });

}  // namespace
