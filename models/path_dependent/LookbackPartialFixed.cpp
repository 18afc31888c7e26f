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
  double b = r - q;
  if (b == 0) b = 1e-9;  // the formulas divide by the carry
  auto M = [](double a, double c, double rho) { return core::BivariateNormal(a, c, rho); };
  const double value =
      PartialFixedLookbackFormula(type, S, X, t1, T2, v, r, q, b, core::CumulativeNormal, M);
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
