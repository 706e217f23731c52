// Look-up of existing elements (constant time whatever the size) and the
// filling of an array through its element operator (linear in the element
// count), for one- and two-index arrays.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "vq_instances.h"

namespace {

using Array1 = VQ_ARRAY_I<VQ_REALVARIABLE, VQ_REALVARIABLE>;
using Array2 = VQ_ARRAY_II<VQ_REALVARIABLE, VQ_REALVARIABLE>;

void LookupExisting1D(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Array1 array;
  for (int i = 0; i < n; ++i) array(i);
  std::mt19937 random(1);
  std::uniform_int_distribution<int> pick(0, n - 1);
  std::vector<int> keys(4096);
  for (int& k : keys) k = pick(random);
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(&array(keys[next]));
    next = (next + 1) & 4095;
  }
  state.SetItemsProcessed(state.iterations());
}

void LookupExisting2D(benchmark::State& state) {
  const int side = static_cast<int>(std::lround(std::sqrt(static_cast<double>(state.range(0)))));
  Array2 array;
  for (int i = 0; i < side; ++i)
    for (int j = 0; j < side; ++j) array(i, j);
  std::mt19937 random(2);
  std::uniform_int_distribution<int> pick(0, side - 1);
  std::vector<std::pair<int, int>> keys(4096);
  for (auto& k : keys) k = {pick(random), pick(random)};
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(&array(keys[next].first, keys[next].second));
    next = (next + 1) & 4095;
  }
  state.SetItemsProcessed(state.iterations());
}

void Fill1D(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    Array1* array = vq_rt::New<Array1>();
    state.ResumeTiming();
    for (int i = 0; i < n; ++i) benchmark::DoNotOptimize(&(*array)(i));
    state.PauseTiming();
    delete array;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void Fill2D(benchmark::State& state) {
  const int side = static_cast<int>(std::lround(std::sqrt(static_cast<double>(state.range(0)))));
  for (auto _ : state) {
    state.PauseTiming();
    Array2* array = vq_rt::New<Array2>();
    state.ResumeTiming();
    for (int i = 0; i < side; ++i)
      for (int j = 0; j < side; ++j) benchmark::DoNotOptimize(&(*array)(i, j));
    state.PauseTiming();
    delete array;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * side * side);
}

}  // namespace

BENCHMARK(LookupExisting1D)->RangeMultiplier(10)->Range(1000, 1000000);
BENCHMARK(LookupExisting2D)->RangeMultiplier(10)->Range(10000, 1000000);
BENCHMARK(Fill1D)->RangeMultiplier(10)->Range(10000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(Fill2D)->RangeMultiplier(10)->Range(10000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
