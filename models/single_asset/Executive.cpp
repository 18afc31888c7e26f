// Executive stock option: a European option forfeited when the holder leaves the firm, departures
// arriving at a constant yearly rate.
#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/Plainoptionsex.h"
#include "quantrel/single_asset.h"

namespace quantrel {
namespace {

using namespace core;

struct ExecutiveModel {
  struct Inputs {
    int32_t type;
    double S, X, T, v, r, q;
    double jumpRate;  // per year whatever the time format: never normalised
    double marketPrice;
    int32_t timeFormat, rateType, yieldType;
  };

  static constexpr uint64_t kServed = Codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13});
  static constexpr Moves<Inputs> kMoves{
      .asset = {&Inputs::S},
      .times = {&Inputs::T},
      .vol = {&Inputs::v},
      .rate = {{{&Inputs::r, &Inputs::rateType}}},
      .yield = {{{&Inputs::q, &Inputs::yieldType}}},
      .strike = {&Inputs::X},
      .expiry = &Inputs::T,
  };

  static void OwnChecks(Inputs& in, int32_t* err) {
    // A rate that is not a number is no rate at all: refuse it rather than price it as a fault.
    if (!(in.jumpRate >= 0)) Fail(err, JumpRateErr, "JumpRate must be greater than 0.");
  }

  template <class Bind>
  static void Slots(Bind& bind, Inputs& in) {
    bind(&CommonInputs::optionType, in.type);
    bind(&CommonInputs::assetPrice, in.S);
    bind(&CommonInputs::strikePrice, in.X);
    bind(&CommonInputs::timeExpire, in.T);
    bind(&CommonInputs::volatility, in.v);
    bind(&CommonInputs::interestRate, in.r);
    bind(&CommonInputs::yieldRate, in.q);
    bind(&CommonInputs::marketPrice, in.marketPrice);
    bind(&CommonInputs::timeFormat, in.timeFormat);
    bind(&CommonInputs::interestRateType, in.rateType);
    bind(&CommonInputs::yieldRateType, in.yieldType);
  }

  // The plain value times the probability that the holder is still with the firm at expiry.
  static double Value(const Inputs& in) {
    const double survival = std::exp(-in.jumpRate * in.T);
    const double value =
        survival * GeneralizedBlackScholes(in.type, in.S, in.X, in.T, in.v, in.r, in.q);
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    if (code == 5) {
      return NewtonSearch<ExecutiveModel>(in, &Inputs::v, Sought::Volatility, 6, in.marketPrice,
                                          ManasterKoehlerSeed(in.S, in.X, in.r, in.T), err);
    }
    const double seed = StrikeSeed(in.type == 1, in.S, in.marketPrice, in.X);
    return NewtonSearch<ExecutiveModel>(in, &Inputs::X, Sought::Strike, 11, in.marketPrice, seed,
                                        err);
  }
};

}  // namespace

double Executive(int32_t OptionType, int32_t OptionFunction, double AssetPrice, double StrikePrice,
                 double TimeExpire, double Volatility, double InterestRate, double YieldRate,
                 double JumpRate, double MarketPrice, int32_t TimeFormat, int32_t InterestRateType,
                 int32_t YieldRateType, int32_t* ErrorCode, bool RawSensitivities,
                 bool SkipValidation) {
  return RunEntry<ExecutiveModel>(
      {OptionType, AssetPrice, StrikePrice, TimeExpire, Volatility, InterestRate, YieldRate,
       JumpRate, MarketPrice, TimeFormat, InterestRateType, YieldRateType},
      OptionFunction, ErrorCode, RawSensitivities, SkipValidation);
}

}  // namespace quantrel
