// Counting and emitting a one-dimensional distribution of 10^4 to 10^6
// nodes, in tokens per second, beside the floor: the same number of tokens
// written straight into a preallocated buffer.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "vq_driver.h"
#include "vq_inspect.h"
#include "vq_instances.h"

namespace {

// A distribution over `nodes` nodes with every equation it can have:
// second derivatives and integrals.
struct Model {
  Model(const char* method, int nodes) : root(DISTRIBUTION1DFactory()), d(dynamic_cast<VQ_DISTRIBUTION1D&>(*root)) {
    VQ_ModelType* domain = DOMAINFactory();
    d.XDOMAIN.Link(domain);
    domain->Release();
    Set("XDOMAIN.DISCRETIZATIONMETHOD", method);
    Set("XDOMAIN.SPACINGPREFERENCE", std::to_string(1.0 / nodes));
    Set("XDOMAIN.HIGHESTORDERDERIVATIVE", "2");
    Set("INTEGRALS", "idx");
    vq_rt::Driver driver(*root);
    driver.Run();  // makes every element, so the timed passes only count and emit
  }
  ~Model() { root->Release(); }
  void Set(const std::string& path, const std::string& value) {
    vq_rt::SetUserValueFromText(vq_rt::ResolvePath(d, path), path, value);
  }
  VQ_ModelType* root;
  VQ_DISTRIBUTION1D& d;
};

void CountAndEmit(benchmark::State& state, const char* method) {
  Model model(method, static_cast<int>(state.range(0)));
  size_t tokens = 0;
  for (auto _ : state) {
    vq_rt::Driver driver(*model.root);
    driver.SetUpEquations();
    driver.JacPattern();
    tokens = model.d.State().stream.Size();
  }
  state.counters["equations"] = static_cast<double>(model.d.State().emitted.size());
  state.counters["tokens"] = static_cast<double>(tokens);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * tokens));
}

// The floor: as many tokens, each stored into a buffer that is already there.
void WriteTokens(benchmark::State& state, const char* method) {
  size_t tokens = 0;
  {
    Model model(method, static_cast<int>(state.range(0)));
    tokens = model.d.State().stream.Size();
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

}  // namespace

BENCHMARK_CAPTURE(CountAndEmit, BFD1, "BFD1")->RangeMultiplier(10)->Range(10000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteTokens, BFD1, "BFD1")->RangeMultiplier(10)->Range(10000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CountAndEmit, OCFE4, "OCFE4")->RangeMultiplier(10)->Range(10000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteTokens, OCFE4, "OCFE4")->RangeMultiplier(10)->Range(10000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
