// Every object the library creates lives on the runtime's heap; the
// library's replacement allocator stays inside the library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vq_generic.h"
#include "vq_memory.h"
#include "vq_recorder.h"
#if !defined(_WIN32)
#include "support/own_allocators.h"
#endif

namespace {

TEST(Allocation, LibraryObjectsComeFromTheRuntimeHeapAndGoBack) {
  vq_rt::HeapStats before = vq_rt::GetHeapStats();
  VQ_ModelType* model = GENERICMODELFactory();
  ASSERT_NE(model, nullptr);
  vq_rt::HeapStats made = vq_rt::GetHeapStats();
  EXPECT_EQ(made.allocations, before.allocations + 1);
  EXPECT_EQ(made.liveBlocks, before.liveBlocks + 1);
  EXPECT_EQ(model->RefCount(), 1u);  // the factory's one reference
  model->Release();
  EXPECT_EQ(vq_rt::GetHeapStats().liveBlocks, before.liveBlocks);
}

TEST(Allocation, ARefusedAllocationGivesNullAndRunsNoConstructor) {
  vq_rt::Recorder::Clear();
  vq_rt::Recorder::Enable(true);
  vq_rt::HeapStats before = vq_rt::GetHeapStats();
  vq_rt::RefuseAllocations(1);
  VQ_ModelType* model = GENERICMODELFactory();
  vq_rt::Recorder::Enable(false);
  EXPECT_EQ(model, nullptr);
  EXPECT_TRUE(vq_rt::Recorder::Events().empty()) << "a constructor or AddRef ran";
  vq_rt::HeapStats after = vq_rt::GetHeapStats();
  EXPECT_EQ(after.refused, before.refused + 1);
  EXPECT_EQ(after.liveBlocks, before.liveBlocks);
  // The next allocation is served again.
  model = GENERICMODELFactory();
  ASSERT_NE(model, nullptr);
  model->Release();
}

TEST(Allocation, ARefusalCanWaitForTheKthAllocation) {
  vq_rt::RefuseAllocations(1, 2);
  std::vector<VQ_ModelType*> made;
  for (int i = 0; i < 4; ++i) made.push_back(GENERICMODELFactory());
  EXPECT_NE(made[0], nullptr);
  EXPECT_NE(made[1], nullptr);
  EXPECT_EQ(made[2], nullptr);
  EXPECT_NE(made[3], nullptr);
  vq_rt::RefuseAllocations(1, 5);
  vq_rt::RefuseAllocations(0);  // withdrawn before it was reached
  for (int i = 0; i < 7; ++i) made.push_back(GENERICMODELFactory());
  for (VQ_ModelType* model : made)
    if (model) model->Release();
  EXPECT_EQ(std::count(made.begin(), made.end(), nullptr), 1);
}

TEST(Allocation, TheHostsAndTheRuntimesOwnAllocationsStayOffTheRuntimeHeap) {
  vq_rt::HeapStats before = vq_rt::GetHeapStats();
  {
    int* number = new int(3);
    std::vector<int> numbers(1000, 1);
    std::string text(500, 'x');
    VQ_STRINGPARAMETER notes(true);  // the runtime's own storage of a long value
    XUValue value;
    value.SetString(text.c_str());
    notes.SetUserValue(value);
    delete number;
  }
  EXPECT_EQ(vq_rt::GetHeapStats().allocations, before.allocations);
}

// On Windows each module binds its operator new when it is linked; that the
// DLL does not export the library's own is checked on the PE file
// (tests/windows).
#if !defined(_WIN32)
TEST(Allocation, TheLibraryDoesNotExportItsAllocator) {
  void* library = dlopen(BRANTEL_LIBRARY_LOADED_NAME, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(OwnAllocatorExports(library, "GENERICMODELFactory"), std::vector<std::string>{});
  dlclose(library);
}
#endif

}  // namespace
