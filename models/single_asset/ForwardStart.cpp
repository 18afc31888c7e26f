// Forward-start option: bought now, struck at TimeStart at Alpha times the asset price of that
// date, expiring at TimeExpire.
#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/Plainoptionsex.h"
#include "quantrel/single_asset.h"

namespace quantrel {
namespace {

using namespace core;

struct ForwardStartModel {
  struct Inputs {
    int32_t type;
    double S, t1, T, v, r, q, alpha, marketPrice;
    int32_t timeFormat, rateType, yieldType;
  };

  static constexpr uint64_t kServed = Codes({1, 2, 3, 4, 5, 6, 7, 8, 9});
  static constexpr Moves<Inputs> kMoves{
      .asset = {&Inputs::S},
      .times = {&Inputs::t1, &Inputs::T},
      .vol = {&Inputs::v},
      .rate = {{{&Inputs::r, &Inputs::rateType}}},
      .yield = {{{&Inputs::q, &Inputs::yieldType}}},
      .expiry = &Inputs::T,
  };

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.t1 > 0) || in.t1 > in.T) {
      Fail(err, TimeStartErr, "TimeStart must be greater than 0 and less than the TimeExpire.");
    }
    if (in.t1 == in.T) in.t1 -= 1e-10;  // leave the option a sliver of life after its strike is set
  }

  template <class Bind>
  static void Slots(Bind& bind, Inputs& in) {
    bind(&CommonInputs::optionType, in.type);
    bind(&CommonInputs::assetPrice, in.S);
    bind(&CommonInputs::timeStart, in.t1);
    bind(&CommonInputs::timeExpire, in.T);
    bind(&CommonInputs::volatility, in.v);
    bind(&CommonInputs::interestRate, in.r);
    bind(&CommonInputs::yieldRate, in.q);
    bind(&CommonInputs::alpha, in.alpha);
    bind(&CommonInputs::marketPrice, in.marketPrice);
    bind(&CommonInputs::timeFormat, in.timeFormat);
    bind(&CommonInputs::interestRateType, in.rateType);
    bind(&CommonInputs::yieldRateType, in.yieldType);
  }

  // S e^(-q t1) times a European option on an asset worth 1, struck at alpha, living T - t1.
  static double Value(const Inputs& in) {
    const double value =
        in.S * std::exp(-in.q * in.t1) *
        GeneralizedBlackScholes(in.type, 1, in.alpha, in.T - in.t1, in.v, in.r, in.q);
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t, const Inputs& in, int32_t* err) {
    // The seed looks at the whole life, not only the part after the strike is set.
    const double seed = ManasterKoehlerSeed(1, in.alpha, in.r, in.T);
    return NewtonSearch<ForwardStartModel>(in, &Inputs::v, Sought::Volatility, 6, in.marketPrice,
                                           seed, err);
  }
};

}  // namespace

double ForwardStart(int32_t OptionType, int32_t OptionFunction, double AssetPrice, double TimeStart,
                    double TimeExpire, double Volatility, double InterestRate, double YieldRate,
                    double Alpha, double MarketPrice, int32_t TimeFormat, int32_t InterestRateType,
                    int32_t YieldRateType, int32_t* ErrorCode, bool RawSensitivities,
                    bool SkipValidation) {
  return RunEntry<ForwardStartModel>(
      {OptionType, AssetPrice, TimeStart, TimeExpire, Volatility, InterestRate, YieldRate, Alpha,
       MarketPrice, TimeFormat, InterestRateType, YieldRateType},
      OptionFunction, ErrorCode, RawSensitivities, SkipValidation);
}

}  // namespace quantrel
