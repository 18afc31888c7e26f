// Compiles a model's own source with its kernel reachable for timing. Include this first, then the
// model's .cpp: QUANTREL_ENTRY then defines KernelNsPerCall for the model's arguments instead of
// publishing the model, so the kernel timed is the very code the library runs.
#pragma once

#define QUANTREL_ENTRY(Model)                                                             \
  template <>                                                                             \
  double bench::KernelNsPerCall(const Model::Arguments& a, double otherSpot, int calls) { \
    return bench::TimeKernel<Model>(a, otherSpot, calls);                                 \
  }

#include <chrono>

#include "core/ModelEntry.h"

namespace quantrel::bench {

// Nanoseconds per evaluation of the kernel of the method `A` names, on the inputs `a` prepared as
// the entry prepares them, the asset price alternating between a.AssetPrice and `otherSpot`.
template <class A>
double KernelNsPerCall(const A& a, double otherSpot, int calls);

// One evaluation, out of line, so that nothing of the kernel is hoisted out of the timing loop.
template <class Model>
[[gnu::noinline]] double Evaluate(const typename Model::Inputs& in) {
  return Model::Value(in);
}

template <class Model>
double TimeKernel(const typename Model::Arguments& a, double otherSpot, int calls) {
  using In = typename Model::Inputs;
  In in = core::detail::BindInputs<Model>(a);
  int32_t err = 0;
  core::detail::PrepareInputs<Model>(in, a.OptionFunction, &err, false, &a);
  double In::*spot = core::detail::kMovesOf<Model>.asset[0];
  const double spots[2] = {in.*spot, otherSpot};
  double sum = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < calls; ++i) {
    in.*spot = spots[i & 1];
    sum += Evaluate<Model>(in);
  }
  const auto end = std::chrono::steady_clock::now();
  volatile double sink = sum;
  (void)sink;
  return std::chrono::duration<double, std::nano>(end - start).count() / calls;
}

}  // namespace quantrel::bench
