// Partial-time floating-strike lookback: the extreme is watched from now to TimeStart only, and
// the strike is Lambda times that extreme (a call on the minimum, a put on the maximum).
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

struct LookbackPartialFloatModel {
  using Arguments = LookbackPFloatArguments;
  struct Own {
    int32_t type;
    double m, lambda, t1;  // the extreme seen so far, its multiplier, the end of the window
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .m = a.StrikePrice, .lambda = a.Lambda, .t1 = a.TimeStart};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type, .strikePrice = &Inputs::m, .timeStart = &Inputs::t1};
  static constexpr Moves<Inputs> kMoves{
      .strike = {&Inputs::m},
      .thetaFloor = &Inputs::t1,  // Theta lowers TimeExpire, never past TimeStart
  };

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.lambda > 0)) Fail<LambdaErr>(err, "dblLambda must be greater than 0.");
    if (!(in.t1 > 0)) Fail<TimeStartErr>(err, "TimeStart must be greater than 0.");
    if (in.t1 > in.T) Fail<TimeStartLimitErr>(err, "TimeStart must be less than TimeExpire.");
    if (in.t1 == in.T) in.t1 -= 1e-10;  // keep a sliver of life after the lookback period
  }

  // The extreme so far can be no better than today's price: a minimum above it (a maximum below
  // it) is today's price. Set once, so that bumping the price leaves the extreme where it is.
  static void Prepare(Inputs& in, int32_t*) {
    in.m = in.type == 1 ? std::min(in.m, in.S) : std::max(in.m, in.S);
  }

  // The closed form at a carry away from 0, with the accurate distribution functions: the terms
  // multiplied by v^2/(2b) cancel, and the powers (S/m)^p and lambda^(2b/v^2) grow huge at low
  // volatility while the probabilities they multiply vanish, so both are evaluated together.
  static double AtCarry(const Inputs& in, double q) {
    using accurate::Normal;
    using accurate::ScaledBivariate;
    const double S = in.S, lambda = in.lambda, t1 = in.t1, T2 = in.T, v = in.v;
    const double m = in.m;
    const double r = in.r, b = r - q;
    const double v2 = v * v, rest = T2 - t1;
    const double sT2 = v * std::sqrt(T2), st1 = v * std::sqrt(t1), sRest = v * std::sqrt(rest);
    const double d1 = (std::log(S / m) + (b + v2 / 2) * T2) / sT2, d2 = d1 - sT2;
    const double e1 = (b + v2 / 2) * rest / sRest, e2 = e1 - sRest;
    const double f1 = (std::log(S / m) + (b + v2 / 2) * t1) / st1, f2 = f1 - st1;
    const double g1 = std::log(lambda) / sT2, g2 = std::log(lambda) / sRest;
    const double rho1 = std::sqrt(t1 / T2), rho2 = std::sqrt(1 - t1 / T2);
    const double K = std::exp(-r * T2) * (v2 / (2 * b)) * lambda * S;
    const double logPower = -2 * b / v2 * std::log(S / m);  // ln (S/m)^p
    const double logLambdaPower = b * T2 + 2 * b / v2 * std::log(lambda);
    const double shiftT2 = 2 * b * std::sqrt(T2) / v, shiftT1 = 2 * b * std::sqrt(t1) / v;
    const double dq = std::exp(-q * T2), dr = std::exp(-r * T2);
    const double tail = lambda * S * dq * std::exp(-b * rest) * (1 + v2 / (2 * b));
    auto N = Normal;
    auto M = accurate::Bivariate;

    if (in.type == 1) {
      return S * dq * N(d1 - g1) - lambda * m * dr * N(d2 - g1) +
             K * (ScaledBivariate(logPower, -f1 + shiftT1, -d1 + shiftT2 - g1, rho1) -
                  ScaledBivariate(logLambdaPower, -d1 - g1, e1 + g2, -rho2)) +
             S * dq * M(-d1 + g1, e1 - g2, -rho2) + lambda * m * dr * M(-f2, d2 - g1, -rho1) -
             tail * N(-f1) * N(e2 - g2);
    }
    return lambda * m * dr * N(-d2 + g1) - S * dq * N(-d1 + g1) -
           K * (ScaledBivariate(logPower, f1 - shiftT1, d1 - shiftT2 + g1, rho1) -
                ScaledBivariate(logLambdaPower, d1 + g1, -e1 - g2, -rho2)) -
           S * dq * M(d1 - g1, -e1 + g2, -rho2) - lambda * m * dr * M(f2, -d2 + g1, -rho1) +
           tail * N(f1) * N(-e2 + g2);
  }

  static double Value(const Inputs& in) {
    if (in.type != 1 && in.type != 2) return 0;
    // The carry below which the closed form is interpolated: small against v^2 (the cancelling
    // terms are of size v^2/(2b)) and against the other scales on which the value bends in b.
    const double v = in.v, v2 = v * v;
    const double delta =
        1e-3 * v2 /
        std::max({1.0, v2 * in.T, v * std::sqrt(in.T), std::fabs(std::log(in.S / in.m)),
                  std::fabs(std::log(in.lambda))});
    const double value =
        AcrossSingularity(in.q, in.r, delta, [&](double yield) { return AtCarry(in, yield); });
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    const double seed = code == result::ImpliedVol
                            ? ManasterKoehlerSeed(in.S, in.m, in.r, in.T)
                            : StrikeSeed(in.type == 1, in.S, in.marketPrice, in.m);
    return NewtonSearch<LookbackPartialFloatModel>(in, code, seed, err);
  }
};

}  // namespace

QUANTREL_ENTRY(LookbackPartialFloatModel)

}  // namespace quantrel
