// A model library whose runtime arrives with it, as its dependency, in a
// process that has not loaded the runtime: unloading the model library must
// unload both, or every rebuild of a model leaves them behind.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

#include "support/mapped.h"

namespace {

TEST(Unloading, TheModelLibraryAndTheRuntimeItBroughtLeaveTogether) {
  const std::string runtime = std::string("/") + BRANTEL_RUNTIME_FILE_NAME,
                    library = std::string("/") + BRANTEL_LIBRARY_FILE_NAME;
  ASSERT_FALSE(Mapped(runtime)) << "the runtime is loaded already";
  for (int round = 0; round < 2; ++round) {
    void* handle = dlopen(BRANTEL_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    EXPECT_NE(dlsym(handle, "DOMAINFactory"), nullptr);
    EXPECT_TRUE(Mapped(runtime));
    ASSERT_EQ(dlclose(handle), 0) << dlerror();
    EXPECT_FALSE(Mapped(library)) << "round " << round;
    EXPECT_FALSE(Mapped(runtime)) << "round " << round;
  }
}

}  // namespace
