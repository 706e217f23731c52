// Loading the library runs nothing of its own: no object is made and no
// runtime function is called.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#if !defined(_WIN32)
#include "support/mapped.h"
#endif
#include "vq_container.h"
#include "vq_driver.h"
#include "vq_dynlib.h"
#include "vq_inspect.h"
#include "vq_memory.h"
#include "vq_recorder.h"

namespace {

TEST(Loading, ConstructsNothingAndCallsNoRuntimeFunction) {
  ASSERT_EQ(vq_rt::LoadedLibrary(BRANTEL_LIBRARY), nullptr) << "already loaded";
  vq_rt::Recorder::Clear();
  vq_rt::Recorder::Enable(true);
  vq_rt::HeapStats before = vq_rt::GetHeapStats();
  std::string error;
  void* library = vq_rt::OpenLibrary(BRANTEL_LIBRARY, error);
  ASSERT_NE(library, nullptr) << error;
  vq_rt::HeapStats after = vq_rt::GetHeapStats();
  vq_rt::Recorder::Enable(false);
  EXPECT_EQ(after.allocations, before.allocations);
  EXPECT_EQ(after.refused, before.refused);
  EXPECT_TRUE(vq_rt::Recorder::Events().empty());
  EXPECT_NE(vq_rt::FindSymbol(library, "GENERICMODELFactory"), nullptr);
  EXPECT_NE(vq_rt::FindSymbol(library, "_CompatibilityDISTRIBUTION3D"), nullptr);
  vq_rt::CloseLibrary(library);
}

#if !defined(_WIN32)

// A runtime unloads model libraries when models are rebuilt: each round
// loads the library, drives a domain, releases it and unloads the library,
// which must leave the process and come back the same.
TEST(Loading, UnloadsAndLoadsAgainInOneProcess) {
  ASSERT_FALSE(Mapped(BRANTEL_LIBRARY)) << "already loaded";
  std::vector<std::string> first;
  const long long live = vq_rt::GetHeapStats().liveBlocks;
  for (int round = 0; round < 3; ++round) {
    std::string error;
    void* library = vq_rt::OpenLibrary(BRANTEL_LIBRARY, error);
    ASSERT_NE(library, nullptr) << error;
    auto factory = reinterpret_cast<VQ_ModelType* (*)()>(vq_rt::FindSymbol(library, "DOMAINFactory"));
    ASSERT_NE(factory, nullptr);
    VQ_ModelType* domain = factory();
    ASSERT_NE(domain, nullptr);
    vq_rt::SetUserValueFromText(vq_rt::ResolvePath(*domain, "NUMSECTIONS"), "NUMSECTIONS", "2");
    std::vector<std::string> events;
    {
      vq_rt::Driver driver(*domain);
      vq_rt::Recorder::Clear();
      vq_rt::Recorder::Enable(true);
      driver.Run();
      vq_rt::Recorder::Enable(false);
      events = vq_rt::DescribeAll();
      vq_rt::Recorder::Clear();
    }
    domain->Release();
    vq_rt::CloseLibrary(library);
    EXPECT_FALSE(Mapped(BRANTEL_LIBRARY)) << "round " << round << ": still mapped after unloading";
    EXPECT_EQ(vq_rt::GetHeapStats().liveBlocks, live) << "round " << round;
    ASSERT_FALSE(events.empty());
    if (round == 0) first = events;
    else EXPECT_EQ(events, first) << "round " << round;
  }
}
#endif

}  // namespace
