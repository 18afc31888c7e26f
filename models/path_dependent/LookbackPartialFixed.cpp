// Partial-time fixed-strike lookback: the extreme is watched from TimeStart to expiry only.
#include "models/path_dependent/LookbackPartialFixed.h"

#include <cmath>
#include <optional>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"

namespace quantrel {

namespace path_dependent {

double PartialFixedLookbackValue(int32_t type, double S, double X, double t1, double T2, double v,
                                 double r, double q) {
  using core::BivariateNormal;
  using core::CumulativeNormal;
  double b = r - q;
  if (b == 0) b = 1e-9;  // the formulas divide by the carry

  const double v2 = v * v, rest = T2 - t1;
  const double sT2 = v * std::sqrt(T2), st1 = v * std::sqrt(t1), sRest = v * std::sqrt(rest);
  const double d1 = (std::log(S / X) + (b + v2 / 2) * T2) / sT2, d2 = d1 - sT2;
  const double e1 = (b + v2 / 2) * rest / sRest, e2 = e1 - sRest;
  const double f1 = (std::log(S / X) + (b + v2 / 2) * t1) / st1, f2 = f1 - st1;
  const double rho1 = std::sqrt(t1 / T2), rho2 = std::sqrt(1 - t1 / T2);
  const double K = S * std::exp(-r * T2) * v2 / (2 * b);
  const double p = -2 * b / v2;
  const double shiftT2 = 2 * b * std::sqrt(T2) / v, shiftT1 = 2 * b * std::sqrt(t1) / v;
  const double dq = std::exp(-q * T2), dr = std::exp(-r * T2), growth = std::exp(b * T2);
  const double tail = S * dq * std::exp(-b * rest) * (1 - v2 / (2 * b));
  auto N = CumulativeNormal;
  auto M = [](double a, double c, double rho) { return BivariateNormal(a, c, rho); };

  double value = 0;
  if (type == 1) {
    value = S * dq * N(d1) - X * dr * N(d2) +
            K * (growth * M(e1, d1, rho2) -
                 std::pow(S / X, p) * M(d1 - shiftT2, -f1 + shiftT1, -rho1)) -
            S * dq * M(-e1, d1, -rho2) - X * dr * M(f2, -d2, -rho1) + tail * N(f1) * N(-e2);
  } else if (type == 2) {
    value = X * dr * N(-d2) - S * dq * N(-d1) +
            K * (std::pow(S / X, p) * M(-d1 + shiftT2, f1 - shiftT1, -rho1) -
                 growth * M(-e1, -d1, rho2)) +
            S * dq * M(e1, -d1, -rho2) + X * dr * M(-f2, d2, -rho1) - tail * N(-f1) * N(e2);
  }
  return value >= 0 ? value : 0;
}

}  // namespace path_dependent

namespace {

using namespace core;

struct LookbackPartialFixedModel {
  using Arguments = LookbackPFixedArguments;
  struct Own {
    int32_t type;
    double X, t1;  // the strike, the start of the window
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .X = a.StrikePrice, .t1 = a.TimeStart};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type, .strikePrice = &Inputs::X, .timeStart = &Inputs::t1};
  static constexpr Moves<Inputs> kMoves{
      .strike = {&Inputs::X},
      .thetaFloor = &Inputs::t1,  // Theta lowers TimeExpire, never past TimeStart
  };

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.t1 > 0)) Fail<TimeStartErr>(err, "TimeStart must be greater than 0.");
    if (in.t1 > in.T) Fail<TimeStartLimitErr>(err, "TimeStart must be less than TimeExpire.");
    if (in.t1 == in.T) in.t1 -= 1e-10;  // a lookback period of almost no length
  }

  static double Value(const Inputs& in) {
    return path_dependent::PartialFixedLookbackValue(in.type, in.S, in.X, in.t1, in.T, in.v, in.r,
                                                     in.q);
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    const double seed = code == result::ImpliedVol
                            ? ManasterKoehlerSeed(in.S, in.X, in.r, in.T)
                            : StrikeSeed(in.type == 1, in.S, in.marketPrice, in.X);
    return NewtonSearch<LookbackPartialFixedModel>(in, code, seed, err);
  }
};

}  // namespace

QUANTREL_ENTRY(LookbackPartialFixedModel)

}  // namespace quantrel
