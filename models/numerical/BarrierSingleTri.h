// The trinomial tree behind BarrierSingleTri (after Ritchken 1995): the spacing is stretched so
// that the barrier falls exactly on a layer of nodes.
#pragma once

#include <cstdint>
#include <vector>

namespace quantrel::numerical {

// A contract on the tree, its inputs normalised: years, continuous rates.
struct BarrierTreeContract {
  int32_t barrierType;  // enumBarrierType; any other value prices the option without a barrier
  bool american;        // a live option may be exercised at any node
  double eta;           // +1 call, -1 put, 0 pays nothing
  double S, X, H, R;    // asset price, strike, barrier, rebate
  double T, v, r, q;
  int32_t steps;  // raised to at least 3
};

// The root and the nodes of the first two layers, highest price first, with the tree's up factor
// and step.
struct BarrierTreeValues {
  double V0;
  double V1u, V1m, V1d;
  double V2uu, V2u, V2m, V2d, V2dd;
  double u, dt;
};

class BarrierTree {
 public:
  BarrierTreeValues Values(const BarrierTreeContract& c);
  // The root, floored at 0.
  double Value(const BarrierTreeContract& c);
  // Whether the branch probabilities at this contract's volatility are usable: the product of the
  // up and down probabilities within [0, 1].
  static bool Admissible(const BarrierTreeContract& c);

 private:
  template <int32_t Type, bool American>
  void RollBack(const BarrierTreeContract& c, BarrierTreeValues& out);

  std::vector<double> price_, values_, knockIn_;
};

// Node values a tree of `steps` steps computes: 1 + 3 + ... + (2 steps + 1).
constexpr double BarrierTreeNodes(int32_t steps) {
  const double n = steps + 1;
  return n * n;
}

}  // namespace quantrel::numerical
