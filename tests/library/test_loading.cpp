// Loading the library runs nothing of its own: no object is made and no
// runtime function is called.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "vq_container.h"
#include "vq_memory.h"
#include "vq_recorder.h"

namespace {

TEST(Loading, ConstructsNothingAndCallsNoRuntimeFunction) {
  ASSERT_EQ(dlopen(BRANTEL_LIBRARY, RTLD_NOW | RTLD_NOLOAD), nullptr) << "already loaded";
  vq_rt::Recorder::Clear();
  vq_rt::Recorder::Enable(true);
  vq_rt::HeapStats before = vq_rt::GetHeapStats();
  void* library = dlopen(BRANTEL_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  vq_rt::HeapStats after = vq_rt::GetHeapStats();
  vq_rt::Recorder::Enable(false);
  EXPECT_EQ(after.allocations, before.allocations);
  EXPECT_EQ(after.refused, before.refused);
  EXPECT_TRUE(vq_rt::Recorder::Events().empty());
  EXPECT_NE(dlsym(library, "GENERICMODELFactory"), nullptr);
  EXPECT_NE(dlsym(library, "_CompatibilityDISTRIBUTION3D"), nullptr);
  dlclose(library);
}

}  // namespace
