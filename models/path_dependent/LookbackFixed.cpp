// Fixed-strike lookback: a call pays the highest price seen less the strike, a put the strike less
// the lowest price seen. AssetMinMax carries the extreme observed so far.
#include <algorithm>
#include <cmath>

#include "core/AccurateDistributions.h"
#include "core/AcrossSingularity.h"
#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"

namespace quantrel {
namespace {

using namespace core;

struct LookbackFixedModel {
  using Arguments = LookbackFixedArguments;
  struct Own {
    int32_t type;
    double M, X;  // the extreme seen so far, the strike
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .M = a.AssetMinMax, .X = a.StrikePrice};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type, .strikePrice = &Inputs::X};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.M > 0)) Fail<AssetMinMaxErr>(err, "AssetMinMax must be greater than 0.");
  }

  // The extreme so far can be no better than today's price: a maximum below it (a minimum above
  // it) is today's price. Set once, so that bumping the price leaves the extreme where it is.
  static void Prepare(Inputs& in, int32_t*) {
    in.M = in.type == 1 ? std::max(in.M, in.S) : std::min(in.M, in.S);
  }

  // The formula divides by the carry: near b = 0 it is interpolated across (b within 5e-3 v^2,
  // a relative carry 2b/v^2 of 1e-2).
  static double Value(const Inputs& in) {
    return AcrossSingularity(in.q, in.r, 5e-3 * in.v * in.v,
                             [&](double q) { return ValueAtYield(in, q); });
  }

  static double ValueAtYield(const Inputs& in, double q) {
    const double S = in.S, X = in.X, T = in.T, v = in.v, r = in.r;
    const double M = in.M;
    const double b = r - q;

    const double vT = v * std::sqrt(T);
    const double drift = (b + v * v / 2) * T;
    const double d1 = (std::log(S / X) + drift) / vT, d2 = d1 - vT;  // on the strike
    const double e1 = (std::log(S / M) + drift) / vT, e2 = e1 - vT;  // on the extreme
    const double K = S * std::exp(-r * T) * v * v / (2 * b);
    const double p = -2 * b / (v * v);
    const double carryShift = 2 * b * std::sqrt(T) / v;
    const double dq = std::exp(-q * T), dr = std::exp(-r * T);
    // The powers (S/X)^p and (S/M)^p are kept as logarithms: at a low volatility they overflow
    // while the probabilities they multiply vanish.
    const double toStrike = p * std::log(S / X), toExtreme = p * std::log(S / M);
    using accurate::ScaledNormal;
    auto N = accurate::Normal;

    double value = 0;
    if (in.type == 1 && X > M) {
      value = S * dq * N(d1) - X * dr * N(d2) +
              K * (-ScaledNormal(toStrike, d1 - carryShift) + ScaledNormal(b * T, d1));
    } else if (in.type == 1 && X <= M) {
      // The strike is already beaten: the sure part is paid, the rest is a lookback on the extreme.
      value = dr * (M - X) + S * dq * N(e1) - M * dr * N(e2) +
              K * (-ScaledNormal(toExtreme, e1 - carryShift) + ScaledNormal(b * T, e1));
    } else if (in.type == 2 && X < M) {
      value = X * dr * N(-d2) - S * dq * N(-d1) +
              K * (ScaledNormal(toStrike, -d1 + carryShift) - ScaledNormal(b * T, -d1));
    } else if (in.type == 2 && X >= M) {
      value = dr * (X - M) - S * dq * N(-e1) + M * dr * N(-e2) +
              K * (ScaledNormal(toExtreme, -e1 + carryShift) - ScaledNormal(b * T, -e1));
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    // The volatility seed looks at the extreme, not the strike.
    const double seed = code == result::ImpliedVol
                            ? ManasterKoehlerSeed(in.S, in.M, in.r, in.T)
                            : StrikeSeed(in.type == 1, in.S, in.marketPrice, in.X);
    return NewtonSearch<LookbackFixedModel>(in, code, seed, err);
  }
};

}  // namespace

QUANTREL_ENTRY(LookbackFixedModel)

}  // namespace quantrel
