// Loading the library runs nothing of its own: no object is made and no
// runtime function is called.
#include <gtest/gtest.h>

#include <string>

#include "vq_container.h"
#include "vq_dynlib.h"
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

}  // namespace
