// Extreme spread: the life splits at Time1stPeriod, and the payoff sets the extreme of one period
// against the extreme of the other (standard) or the reverse. StrikePrice carries the extreme of
// the first period observed so far.
#include <algorithm>
#include <cmath>
#include <optional>

#include "core/AccurateDistributions.h"
#include "core/AcrossSingularity.h"
#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"

namespace quantrel {
namespace {

using namespace core;

struct ExtremeSpreadModel {
  using Arguments = ExtremeSpreadArguments;
  struct Own {
    int32_t spreadType, type;
    double Mo, t1;  // the extreme seen so far, the end of the first period
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.spreadType = a.SpreadType,
            .type = a.OptionType,
            .Mo = a.StrikePrice,
            .t1 = a.Time1stPeriod};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type, .strikePrice = &Inputs::Mo, .timeStart = &Inputs::t1};
  static constexpr Moves<Inputs> kMoves{
      .strike = {&Inputs::Mo},
      .thetaFloor = &Inputs::t1,  // Theta lowers TimeExpire, never past Time1stPeriod
  };

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.t1 > 0)) Fail<Time1stPeriodErr>(err, "Time1stPeriod must be greater than 0.");
    if (in.t1 > in.T) {
      Fail<Time1stPeriodLimitErr>(err, "Time1stPeriod must be less than TimeExpire.");
    }
    if (in.t1 == in.T) in.t1 -= 1e-10;  // keep a second period of some length
    if (in.spreadType != 1 && in.spreadType != 2) {
      Fail<SpreadTypeErr>(err, "The SpreadType is Invalid.");
    }
  }

  // The first period's extreme so far can be no better than today's price: the standard call and
  // the reverse put look at maxima, the others at minima. Set once, so that bumping the price
  // leaves the extreme where it is.
  static void Prepare(Inputs& in, int32_t*) {
    const bool maxima = (in.spreadType == 1) == (in.type == 1);
    in.Mo = maxima ? std::max(in.Mo, in.S) : std::min(in.Mo, in.S);
  }

  // The factor v^2/(2b) needs a carry: near b = 0 the value is interpolated across (b within
  // 5e-3 v^2, a relative carry 2b/v^2 of 1e-2).
  static double Value(const Inputs& in) {
    return AcrossSingularity(in.q, in.r, 5e-3 * in.v * in.v,
                             [&](double q) { return ValueAtYield(in, q); });
  }

  static double ValueAtYield(const Inputs& in, double q) {
    if ((in.type != 1 && in.type != 2) || (in.spreadType != 1 && in.spreadType != 2)) return 0;
    const double S = in.S, t1 = in.t1, T = in.T, v = in.v, r = in.r;
    const double Mo = in.Mo;
    const double eta = in.type == 1 ? 1 : -1;
    const double v2 = v * v;
    const double b = r - q;
    const double mu = b - v2 / 2, a = b + v2 / 2, m = std::log(Mo / S);
    const double k = v2 / (2 * b);
    // (Mo/S)^(2 mu/v^2), kept as its logarithm: at a low volatility it overflows while the
    // probabilities it multiplies vanish.
    const double logP = 2 * mu * m / v2;
    const double sT = v * std::sqrt(T), st1 = v * std::sqrt(t1), sRest = v * std::sqrt(T - t1);
    const double dq = std::exp(-q * T), dr = std::exp(-r * T);
    // The first-period extreme is known at t1 and paid at T: it grows at the carry, not the rate,
    // over the second period.
    const double secondPeriod = std::exp(-b * (T - t1));
    auto N = [eta](double x) { return accurate::Normal(eta * x); };
    auto PN = [eta, logP](double x) { return accurate::ScaledNormal(logP, eta * x); };

    double value;
    if (in.spreadType == 1) {
      value = eta * ((1 + k) * S * dq * N((-m + a * T) / sT) -
                     (1 + k) * S * dq * secondPeriod * N((-m + a * t1) / st1) +
                     Mo * dr * N((m - mu * T) / sT) - k * Mo * dr * PN((-m - mu * T) / sT) -
                     Mo * dr * N((m - mu * t1) / st1) + k * Mo * dr * PN((-m - mu * t1) / st1));
    } else {  // Reverse
      value = -eta * (Mo * dr * N((-m + mu * T) / sT) + (1 + k) * S * dq * N((m - a * T) / sT) -
                      k * Mo * dr * PN((m + mu * T) / sT) -
                      (1 + k) * S * dq * accurate::Normal(-eta * a * (T - t1) / sRest) -
                      (1 - k) * S * dq * secondPeriod * N(mu * (T - t1) / sRest));
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    return FalsePositionSearch<ExtremeSpreadModel>(in, code,
                                                   StandardEnds<ExtremeSpreadModel>(in, code));
  }
};

}  // namespace

QUANTREL_ENTRY(ExtremeSpreadModel)

}  // namespace quantrel
