// Counting and emitting a distribution of 10^4 to 10^6 nodes (one domain of
// n nodes, two of sqrt(n) or three of cbrt(n)), in tokens per second, beside the floor: the
// same number of tokens written straight into a preallocated buffer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "vq_driver.h"
#include "vq_inspect.h"
#include "vq_instances.h"

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
// second derivatives and every integral.
struct Model {
  Model(const Shape& shape, const char* method, int nodes) : root(shape.factory()), d(*root) {
    const References references = shape.domains(d);
    const double perAxis = std::pow(static_cast<double>(nodes), 1.0 / static_cast<double>(references.size()));
    static const char* const kNames[] = {"XDOMAIN.", "YDOMAIN.", "ZDOMAIN."};
    for (size_t a = 0; a < references.size(); ++a) {
      VQ_ModelType* domain = DOMAINFactory();
      references[a]->Link(domain);
      domain->Release();
      const std::string axis = kNames[a];
      Set(axis + "DISCRETIZATIONMETHOD", method);
      Set(axis + "SPACINGPREFERENCE", std::to_string(1.0 / perAxis));
      Set(axis + "HIGHESTORDERDERIVATIVE", "2");
    }
    Set("INTEGRALS", shape.integrals);
    vq_rt::Driver driver(*root);
    driver.Run();  // makes every element, so the timed passes only count and emit
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
void WriteTokens(benchmark::State& state, const Shape& shape, const char* method) {
  size_t tokens = 0;
  {
    Model model(shape, method, static_cast<int>(state.range(0)));
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

#define BRANTEL_BENCH_PAIR(name, shape, method)                                                          \
  BENCHMARK_CAPTURE(CountAndEmit, name, shape, method)->RangeMultiplier(10)->Range(10000, 1000000)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(WriteTokens, name, shape, method)->RangeMultiplier(10)->Range(10000, 1000000)->Unit(benchmark::kMillisecond);
BRANTEL_BENCH_PAIR(BFD1, kOneDimension, "BFD1")
BRANTEL_BENCH_PAIR(OCFE4, kOneDimension, "OCFE4")
BRANTEL_BENCH_PAIR(BFD1_2D, kTwoDimensions, "BFD1")
BRANTEL_BENCH_PAIR(OCFE4_2D, kTwoDimensions, "OCFE4")
BRANTEL_BENCH_PAIR(BFD1_3D, kThreeDimensions, "BFD1")
BRANTEL_BENCH_PAIR(OCFE4_3D, kThreeDimensions, "OCFE4")
BENCHMARK_MAIN();
