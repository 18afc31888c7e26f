// Floating-strike lookback: a call pays the terminal price less the lowest price seen, a put the
// highest price seen less the terminal price. StrikePrice carries the extreme observed so far.
#include <cmath>

#include "core/AccurateDistributions.h"
#include "core/AcrossSingularity.h"
#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"

namespace quantrel {
namespace {

using namespace core;

struct LookbackModel {
  using Arguments = LookbackArguments;
  struct Own {
    int32_t type;
    double m;  // the extreme seen so far
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .m = a.StrikePrice};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type, .strikePrice = &Inputs::m};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::m}};

  // The formula divides by the carry: near b = 0 it is interpolated across (b within 5e-3 v^2,
  // a relative carry 2b/v^2 of 1e-2).
  static double Value(const Inputs& in) {
    return AcrossSingularity(in.q, in.r, 5e-3 * in.v * in.v,
                             [&](double q) { return ValueAtYield(in, q); });
  }

  static double ValueAtYield(const Inputs& in, double q) {
    const double S = in.S, T = in.T, v = in.v, r = in.r;
    const double b = r - q;
    // The extreme so far can be no better than today's price.
    double m = in.m;
    if (in.type == 1 && m > S) m = S;
    if (in.type == 2 && !(m >= S)) m = S;

    const double vT = v * std::sqrt(T);
    const double a1 = (std::log(S / m) + (b + v * v / 2) * T) / vT;
    const double a2 = a1 - vT;
    const double carryShift = 2 * b * std::sqrt(T) / v;
    // (S/m)^(-2b/v^2), kept as its logarithm: at a low volatility it overflows while the
    // probability it multiplies vanishes.
    const double logPower = -2 * b / (v * v) * std::log(S / m);
    const double K = S * std::exp(-r * T) * v * v / (2 * b);
    const double dq = std::exp(-q * T), dr = std::exp(-r * T);
    using accurate::Normal;
    using accurate::ScaledNormal;

    double value = 0;
    if (in.type == 1) {
      value = S * dq * Normal(a1) - m * dr * Normal(a2) +
              K * (ScaledNormal(logPower, -a1 + carryShift) - ScaledNormal(b * T, -a1));
    } else if (in.type == 2) {
      value = m * dr * Normal(-a2) - S * dq * Normal(-a1) +
              K * (-ScaledNormal(logPower, a1 - carryShift) + ScaledNormal(b * T, a1));
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    const double seed = code == result::ImpliedVol
                            ? ManasterKoehlerSeed(in.S, in.m, in.r, in.T)
                            : StrikeSeed(in.type == 1, in.S, in.marketPrice, in.m);
    return NewtonSearch<LookbackModel>(in, code, seed, err);
  }
};

}  // namespace

QUANTREL_ENTRY(LookbackModel)

}  // namespace quantrel
