// Fixed-strike lookback: a call pays the highest price seen less the strike, a put the strike less
// the lowest price seen. AssetMinMax carries the extreme observed so far.
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "quantrel/path_dependent.h"

namespace quantrel {
namespace {

using namespace core;

struct LookbackFixedModel {
  struct Inputs {
    int32_t type;
    double S, M, X, T, v, r, q, marketPrice;
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
    if (!(in.M > 0)) Fail(err, AssetMinMaxErr, "AssetMinMax must be greater than 0.");
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

  static double Value(const Inputs& in) {
    const double S = in.S, M = in.M, X = in.X, T = in.T, v = in.v, r = in.r, q = in.q;
    double b = r - q;
    if (b == 0) b = 1e-9;  // the formulas divide by the carry

    const double vT = v * std::sqrt(T);
    const double drift = (b + v * v / 2) * T;
    const double d1 = (std::log(S / X) + drift) / vT, d2 = d1 - vT;  // on the strike
    const double e1 = (std::log(S / M) + drift) / vT, e2 = e1 - vT;  // on the extreme
    const double K = S * std::exp(-r * T) * v * v / (2 * b);
    const double p = -2 * b / (v * v);
    const double carryShift = 2 * b * std::sqrt(T) / v;
    const double dq = std::exp(-q * T), dr = std::exp(-r * T), growth = std::exp(b * T);
    auto N = CumulativeNormal;

    double value = 0;
    if (in.type == 1 && X > M) {
      value = S * dq * N(d1) - X * dr * N(d2) +
              K * (-std::pow(S / X, p) * N(d1 - carryShift) + growth * N(d1));
    } else if (in.type == 1 && X <= M) {
      // The strike is already beaten: the sure part is paid, the rest is a lookback on the extreme.
      value = dr * (M - X) + S * dq * N(e1) - M * dr * N(e2) +
              K * (-std::pow(S / M, p) * N(e1 - carryShift) + growth * N(e1));
    } else if (in.type == 2 && X < M) {
      value = X * dr * N(-d2) - S * dq * N(-d1) +
              K * (std::pow(S / X, p) * N(-d1 + carryShift) - growth * N(-d1));
    } else if (in.type == 2 && X >= M) {
      value = dr * (X - M) - S * dq * N(-e1) + M * dr * N(-e2) +
              K * (std::pow(S / M, p) * N(-e1 + carryShift) - growth * N(-e1));
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    if (code == 5) {
      // The seed looks at the extreme, not the strike.
      return NewtonSearch<LookbackFixedModel>(in, &Inputs::v, Sought::Volatility, 6, in.marketPrice,
                                              ManasterKoehlerSeed(in.S, in.M, in.r, in.T), err);
    }
    return NewtonSearch<LookbackFixedModel>(in, &Inputs::X, Sought::Strike, 11, in.marketPrice,
                                            StrikeSeed(in.type == 1, in.S, in.marketPrice, in.X),
                                            err);
  }
};

}  // namespace

double LookbackFixed(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                     double AssetMinMax, double StrikePrice, double TimeExpire, double Volatility,
                     double InterestRate, double YieldRate, double MarketPrice, int32_t TimeFormat,
                     int32_t InterestRateType, int32_t YieldRateType, int32_t* ErrorCode,
                     bool RawSensitivities, bool SkipValidation) {
  return RunEntry<LookbackFixedModel>(
      {OptionType, AssetPrice, AssetMinMax, StrikePrice, TimeExpire, Volatility, InterestRate,
       YieldRate, MarketPrice, TimeFormat, InterestRateType, YieldRateType},
      OptionFunction, ErrorCode, RawSensitivities, SkipValidation);
}

}  // namespace quantrel
