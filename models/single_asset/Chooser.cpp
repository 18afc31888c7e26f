// Simple chooser: at TimeChoose the holder decides whether the contract is a call or a put, both
// struck at StrikePrice and expiring at TimeExpire (Rubinstein 1991).
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "quantrel/single_asset.h"

namespace quantrel {
namespace {

using namespace core;

struct ChooserModel {
  struct Inputs {
    double S, X, t, T, v, r, q, marketPrice;
    int32_t timeFormat, rateType, yieldType;
  };

  static constexpr uint64_t kServed = Codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13});
  static constexpr Moves<Inputs> kMoves{
      .asset = {&Inputs::S},
      .times = {&Inputs::t, &Inputs::T},
      .vol = {&Inputs::v},
      .rate = {{{&Inputs::r, &Inputs::rateType}}},
      .yield = {{{&Inputs::q, &Inputs::yieldType}}},
      .strike = {&Inputs::X},
      .expiry = &Inputs::T,
  };

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.t > 0) || in.t > in.T) {
      Fail(err, ChooserSTimeErr, "TimeChoose must be greater than 0 and less than the TimeExpire.");
    }
    if (in.t == in.T) in.t -= 1e-10;  // the choice is made a sliver before expiry
  }

  template <class Bind>
  static void Slots(Bind& bind, Inputs& in) {
    bind(&CommonInputs::assetPrice, in.S);
    bind(&CommonInputs::strikePrice, in.X);
    bind(&CommonInputs::timeExpire, in.T);
    bind(&CommonInputs::timeStart, in.t);
    bind(&CommonInputs::volatility, in.v);
    bind(&CommonInputs::interestRate, in.r);
    bind(&CommonInputs::yieldRate, in.q);
    bind(&CommonInputs::marketPrice, in.marketPrice);
    bind(&CommonInputs::timeFormat, in.timeFormat);
    bind(&CommonInputs::interestRateType, in.rateType);
    bind(&CommonInputs::yieldRateType, in.yieldType);
  }

  // The call to expiry plus a put that pays only where the call is the worse choice at t.
  static double Value(const Inputs& in) {
    const double b = in.r - in.q;
    const double moneyness = std::log(in.S / in.X);
    const double vT = in.v * std::sqrt(in.T), vt = in.v * std::sqrt(in.t);
    const double d = (moneyness + (b + in.v * in.v / 2) * in.T) / vT;
    const double y = (moneyness + b * in.T + in.v * in.v * in.t / 2) / vt;
    const double asset = in.S * std::exp(-in.q * in.T), strike = in.X * std::exp(-in.r * in.T);
    const double value = asset * CumulativeNormal(d) - strike * CumulativeNormal(d - vT) -
                         asset * CumulativeNormal(-y) + strike * CumulativeNormal(-y + vt);
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    if (code == 5) {
      return NewtonSearch<ChooserModel>(in, &Inputs::v, Sought::Volatility, 6, in.marketPrice,
                                        ManasterKoehlerSeed(in.S, in.X, in.r, in.T), err);
    }
    // Call and put alike: no side to take S -/+ P* from, so the given strike starts the search.
    return NewtonSearch<ChooserModel>(in, &Inputs::X, Sought::Strike, 11, in.marketPrice, in.X,
                                      err);
  }
};

}  // namespace

double Chooser(int32_t OptionFunction, double AssetPrice, double StrikePrice, double TimeChoose,
               double TimeExpire, double Volatility, double InterestRate, double YieldRate,
               double MarketPrice, int32_t TimeFormat, int32_t InterestRateType,
               int32_t YieldRateType, int32_t* ErrorCode, bool RawSensitivities,
               bool SkipValidation) {
  return RunEntry<ChooserModel>(
      {AssetPrice, StrikePrice, TimeChoose, TimeExpire, Volatility, InterestRate, YieldRate,
       MarketPrice, TimeFormat, InterestRateType, YieldRateType},
      OptionFunction, ErrorCode, RawSensitivities, SkipValidation);
}

}  // namespace quantrel
