// Counting and emitting a distribution of 10^4 to 10^6 nodes (10^7 in one dimension; one domain of
// n nodes, two of sqrt(n) or three of cbrt(n)), in tokens per second, beside the floor: the
// same number of tokens written straight into a preallocated buffer. Beside
// them the set-up of such a model (assignments, then the first run, which
// makes the elements) with its memory per node, and the input handling of
// many sections or many user values.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <sys/mman.h>
#include <string>
#include <vector>

#include "vq_driver.h"
#include "vq_inspect.h"
#include "vq_instances.h"
#include "vq_memory.h"

namespace {

using References = std::vector<VQ_External<VQ_DOMAIN>*>;
struct Shape {
  VQ_ModelType* (*factory)();
  References (*domains)(VQ_ModelType&);
  const char* integrals;
};
const Shape kOneDimension{DISTRIBUTION1DFactory,
                          [](VQ_ModelType& d) { return References{&dynamic_cast<VQ_DISTRIBUTION1D&>(d).XDOMAIN}; },
                          "idx"};
const Shape kTwoDimensions{DISTRIBUTION2DFactory,
                           [](VQ_ModelType& d) {
                             auto& two = dynamic_cast<VQ_DISTRIBUTION2D&>(d);
                             return References{&two.XDOMAIN, &two.YDOMAIN};
                           },
                           "idx,idy,idxdy"};
const Shape kThreeDimensions{DISTRIBUTION3DFactory,
                             [](VQ_ModelType& d) {
                               auto& three = dynamic_cast<VQ_DISTRIBUTION3D&>(d);
                               return References{&three.XDOMAIN, &three.YDOMAIN, &three.ZDOMAIN};
                             },
                             "idx,idy,idz,idxdy,idxdz,idydz,idxdydz"};

// A distribution over `nodes` nodes in all with every equation it can have:
// second derivatives and every integral; unset until Prepare.
struct Model {
  Model(const Shape& shape, const char* method, int nodes) : Model(shape, method, nodes, false) {
    vq_rt::Driver driver(*root);
    driver.Run();  // makes every element, so the timed passes only count and emit
  }
  Model(const Shape& shape, const char* method, int nodes, bool) : root(shape.factory()), d(*root) {
    const References references = shape.domains(d);
    const double perAxis = std::pow(static_cast<double>(nodes), 1.0 / static_cast<double>(references.size()));
    static const char* const kNames[] = {"XDOMAIN.", "YDOMAIN.", "ZDOMAIN."};
    for (size_t a = 0; a < references.size(); ++a) {
      VQ_ModelType* domain = DOMAINFactory();
      references[a]->Link(domain);
      domain->Release();
      const std::string axis = kNames[a];
      Set(axis + "DISCRETIZATIONMETHOD", method);
      // All its digits: std::to_string would write 1e-7 as "0.000000".
      char spacing[32];
      std::snprintf(spacing, sizeof spacing, "%.17g", 1.0 / perAxis);
      Set(axis + "SPACINGPREFERENCE", spacing);
      Set(axis + "HIGHESTORDERDERIVATIVE", "2");
    }
    Set("INTEGRALS", shape.integrals);
  }
  ~Model() { root->Release(); }
  void Set(const std::string& path, const std::string& value) {
    vq_rt::SetUserValueFromText(vq_rt::ResolvePath(d, path), path, value);
  }
  VQ_ModelType* root;
  VQ_ModelType& d;
};

void CountAndEmit(benchmark::State& state, const Shape& shape, const char* method) {
  Model model(shape, method, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    vq_rt::Driver driver(*model.root);
    driver.SetUpEquations();
    driver.JacPattern();
  }
  const size_t tokens = model.d.State().stream.Tokens();
  state.counters["equations"] = static_cast<double>(model.d.State().emitted.size());
  state.counters["tokens"] = static_cast<double>(tokens);
  state.counters["ns_per_token"] = benchmark::Counter(static_cast<double>(state.iterations() * tokens) * 1e-9,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * tokens));
}

// The floor: as many tokens, each stored into a buffer that is already there.
void WriteTokens(benchmark::State& state, const Shape& shape, const char* method) {
  size_t tokens = 0;
  {
    Model model(shape, method, static_cast<int>(state.range(0)));
    tokens = model.d.State().stream.Tokens();
  }
  std::vector<uint64_t> buffer(tokens);
  for (auto _ : state) {
    uint64_t* out = buffer.data();
    for (size_t i = 0; i < tokens; ++i) out[i] = (static_cast<uint64_t>(i) << 2) | 1u;
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * tokens));
}

// Peak and current resident memory of the process, in bytes.
long long StatusBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(status, line))
    if (line.compare(0, key.size(), key) == 0) return std::stoll(line.substr(key.size())) * 1024;
  return 0;
}
// Gives freed memory back and starts a new peak, so each case reports its own.
void ResetPeak() {
  malloc_trim(0);
  if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

// Bytes the heap holds for the program, large blocks included, and what the
// runtime maps of its own.
long long HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long long>(info.uordblks + info.hblkhd) + vq_rt::GetHeapStats().mappedBytes;
}

double Seconds(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

struct FirstRun {
  double assign = 0.0, first = 0.0;
};
// The assignment pass, then the first counting and emission, which make the
// elements; each timed.
FirstRun BuildAndRunOnce(Model& model) {
  FirstRun run;
  auto start = std::chrono::steady_clock::now();
  vq_rt::Driver driver(*model.root);
  driver.SetDims();
  driver.ExecuteAssignments();
  run.assign = Seconds(start);
  start = std::chrono::steady_clock::now();
  driver.SetUpEquations();
  driver.JacPattern();
  run.first = Seconds(start);
  return run;
}

// Touches `bytes` of new memory and gives it back: the pages a model built
// right after takes have been in use already. In huge pages, as the
// runtime's large blocks are.
void UseMemoryOnce(size_t bytes) {
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return;
  madvise(block, bytes, MADV_HUGEPAGE);
  for (size_t i = 0; i < bytes; i += 4096) static_cast<volatile char*>(block)[i] = 1;
  munmap(block, bytes);
}

// A model built from scratch: its assignments and first run, the peak
// memory per node of the whole set-up, and the two against one steady
// counting and emission of the same model (the median of three). Then the
// same model built again right after the process used as much memory and
// gave it back: where the system is slow to supply memory it has not lent
// before (the first touch of a page is most of a first run on some virtual
// machines), the two ratios tell that cost from the model's own work.
void SetUpAndFirstRun(benchmark::State& state, const Shape& shape, const char* method) {
  const int nodes = static_cast<int>(state.range(0));
  double steady = 0.0, peak = 0.0, held = 0.0, rebuilt = 0.0;
  FirstRun run;
  for (auto _ : state) {
    ResetPeak();
    const long long before = StatusBytes("VmRSS");
    const long long heapBefore = HeapInUse();
    const auto start = std::chrono::steady_clock::now();
    {
      Model model(shape, method, nodes, false);
      run = BuildAndRunOnce(model);
      state.SetIterationTime(Seconds(start));
      held = static_cast<double>(HeapInUse() - heapBefore) / nodes;
      peak = static_cast<double>(StatusBytes("VmHWM") - before) / nodes;
      // What the modeller waits for against what a pass of the same model costs.
      std::vector<double> passes;
      for (int r = 0; r < 3; ++r) {
        const auto pass = std::chrono::steady_clock::now();
        vq_rt::Driver again(*model.root);
        again.SetUpEquations();
        again.JacPattern();
        passes.push_back(Seconds(pass));
      }
      std::nth_element(passes.begin(), passes.begin() + 1, passes.end());
      steady = passes[1];
    }
    UseMemoryOnce(static_cast<size_t>(peak * nodes * 1.5) + (size_t{64} << 20));
    Model again(shape, method, nodes, false);
    const FirstRun second = BuildAndRunOnce(again);
    rebuilt = second.assign + second.first;
  }
  state.counters["assign_s"] = run.assign;
  state.counters["first_run_s"] = run.first;
  state.counters["steady_s"] = steady;
  state.counters["scratch_over_steady"] = (run.assign + run.first) / steady;
  state.counters["scratch_warm_over_steady"] = rebuilt / steady;
  state.counters["held_B_per_node"] = held;
  state.counters["peak_B_per_node"] = peak;
}

// A domain of `sections` sections laid by the assignment pass.
void ManySections(benchmark::State& state) {
  const int sections = static_cast<int>(state.range(0));
  for (auto _ : state) {
    VQ_ModelType* domain = DOMAINFactory();
    const std::string path = "NUMSECTIONS";
    vq_rt::SetUserValueFromText(vq_rt::ResolvePath(*domain, path), path, std::to_string(sections));
    vq_rt::Driver driver(*domain);
    driver.Run();
    domain->Release();
  }
  state.SetItemsProcessed(state.iterations() * sections);
}

// `values` user values DDX(i,i,i) on a three-dimensional distribution, each
// naming an element of its own, then both passes.
void ManyUserValues(benchmark::State& state) {
  const int values = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Model model(kThreeDimensions, "BFD1", 1000, false);
    for (int i = 1; i <= values; ++i) {
      const std::string index = std::to_string(i);
      model.Set("DDX(" + index + "," + index + "," + index + ")", "1");
    }
    vq_rt::Driver driver(*model.root);
    driver.Run();
  }
  state.SetItemsProcessed(state.iterations() * values);
}

}  // namespace

// Every shape and method: counting and emission beside their floor, then
// the set-up of the same model, from 10^4 nodes up to `largest`.
#define BRANTEL_BENCH_CASE(name, shape, method, largest)                                                  \
  BENCHMARK_CAPTURE(CountAndEmit, name, shape, method)->RangeMultiplier(10)->Range(10000, largest)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(WriteTokens, name, shape, method)->RangeMultiplier(10)->Range(10000, largest)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(SetUpAndFirstRun, name, shape, method)->RangeMultiplier(10)->Range(10000, largest)   \
      ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
// One dimension goes on to the largest grid a domain lays (about 4.5 GB for
// BFD1, 6 GB for OCFE4); two and three stop at 10^6 nodes.
BRANTEL_BENCH_CASE(BFD1, kOneDimension, "BFD1", 10000000)
BRANTEL_BENCH_CASE(OCFE4, kOneDimension, "OCFE4", 10000000)
BRANTEL_BENCH_CASE(BFD1_2D, kTwoDimensions, "BFD1", 1000000)
BRANTEL_BENCH_CASE(OCFE4_2D, kTwoDimensions, "OCFE4", 1000000)
BRANTEL_BENCH_CASE(BFD1_3D, kThreeDimensions, "BFD1", 1000000)
BRANTEL_BENCH_CASE(OCFE4_3D, kThreeDimensions, "OCFE4", 1000000)
BENCHMARK(ManySections)->RangeMultiplier(10)->Range(100, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK(ManyUserValues)->RangeMultiplier(4)->Range(25, 1600)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
