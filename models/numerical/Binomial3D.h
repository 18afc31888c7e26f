// The two-asset binomial lattice behind SpreadBin, RainbowBin, DualStrikeBin, PortfolioBin and
// ExchangeBin (Boyle, Evnine and Gibbs 1989): each step branches into four equally likely
// children, asset 1 up or down and asset 2 up or down given asset 1.
#pragma once

#include <cstdint>
#include <vector>

namespace quantrel::numerical {

// The payoff at a node, with A = Q1 S1 and B = Q2 S2 (eta +1 for a call, -1 for a put).
enum TwoAssetPayoff : int32_t {
  kSpread = 0,             // max(eta (A - B - X), 0)
  kRainbowMax = 1,         // max(eta (max(A, B) - X), 0)
  kRainbowMin = 2,         // max(eta (min(A, B) - X), 0)
  kDualStrike = 3,         // max(eta (A - X), eta (B - X2), 0)
  kDualStrikeReverse = 4,  // max(eta (A - X), eta (X2 - B), 0)
  kPortfolio = 5,          // max(eta (A + B - X), 0)
  kExchange = 6,           // max(A - B, 0)
};

// A contract on the lattice, its inputs normalised: years, continuous rates.
struct TwoAssetContract {
  int32_t payoff;  // a TwoAssetPayoff; any other value pays nothing
  bool american;   // exercise at every node, not only at expiry
  double eta;      // +1 call, -1 put, 0 pays nothing
  double S1, S2, X, X2, Q1, Q2;
  double T, v1, v2, r, q1, q2, rho;
  int32_t steps;  // at least 1
};

// The working memory of lattices: one layer of (steps + 1)^2 node values, reused in place from
// expiry back to the root, and a few rows. One object serves every lattice of a call.
class TwoAssetLattice {
 public:
  // The value at the root, floored at 0.
  double Value(const TwoAssetContract& contract);

 private:
  template <int32_t Payoff, bool American>
  double Run(const TwoAssetContract& c);

  std::vector<double> layer_, pairs_, nextPairs_;
  // exp(i mu) by step, exp(m a) by net up-moves m, and the prices of asset 2 of one step.
  std::vector<double> drift1_, drift2_, spread1_, spread2_, lean_, asset2_;
};

// Node values a lattice of `steps` steps computes: (steps + 1)^2 + steps^2 + ... + 1.
constexpr double TwoAssetNodes(int32_t steps) {
  const double n = steps + 1;
  return n * (n + 1) * (2 * n + 1) / 6;
}

}  // namespace quantrel::numerical
