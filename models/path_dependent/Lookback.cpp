// Floating-strike lookback: a call pays the terminal price less the lowest price seen, a put the
// highest price seen less the terminal price. StrikePrice carries the extreme observed so far.
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "quantrel/path_dependent.h"

namespace quantrel {
namespace {

using namespace core;

struct LookbackModel {
  struct Inputs {
    int32_t type;
    double S, m, T, v, r, q, marketPrice;
    int32_t timeFormat, rateType, yieldType;
  };

  static constexpr uint64_t kServed = Codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13});
  static constexpr Moves<Inputs> kMoves{
      .asset = {&Inputs::S},
      .times = {&Inputs::T},
      .vol = {&Inputs::v},
      .rate = {{{&Inputs::r, &Inputs::rateType}}},
      .yield = {{{&Inputs::q, &Inputs::yieldType}}},
      .strike = {&Inputs::m},
      .expiry = &Inputs::T,
  };

  template <class Bind>
  static void Slots(Bind& bind, Inputs& in) {
    bind(&CommonInputs::optionType, in.type);
    bind(&CommonInputs::assetPrice, in.S);
    bind(&CommonInputs::strikePrice, in.m);
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
    const double S = in.S, T = in.T, v = in.v, r = in.r, q = in.q;
    double b = r - q;
    if (b == 0) b = 1e-9;  // the formulas divide by the carry
    // The extreme so far can be no better than today's price.
    double m = in.m;
    if (in.type == 1 && m > S) m = S;
    if (in.type == 2 && !(m >= S)) m = S;

    const double vT = v * std::sqrt(T);
    const double a1 = (std::log(S / m) + (b + v * v / 2) * T) / vT;
    const double a2 = a1 - vT;
    const double carryShift = 2 * b * std::sqrt(T) / v;
    const double power = std::pow(S / m, -2 * b / (v * v));
    const double K = S * std::exp(-r * T) * v * v / (2 * b);
    const double dq = std::exp(-q * T), dr = std::exp(-r * T), growth = std::exp(b * T);

    double value = 0;
    if (in.type == 1) {
      value = S * dq * CumulativeNormal(a1) - m * dr * CumulativeNormal(a2) +
              K * (power * CumulativeNormal(-a1 + carryShift) - growth * CumulativeNormal(-a1));
    } else if (in.type == 2) {
      value = m * dr * CumulativeNormal(-a2) - S * dq * CumulativeNormal(-a1) +
              K * (-power * CumulativeNormal(a1 - carryShift) + growth * CumulativeNormal(a1));
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    if (code == 5) {
      return NewtonSearch<LookbackModel>(in, &Inputs::v, Sought::Volatility, 6, in.marketPrice,
                                         ManasterKoehlerSeed(in.S, in.m, in.r, in.T), err);
    }
    return NewtonSearch<LookbackModel>(in, &Inputs::m, Sought::Strike, 11, in.marketPrice,
                                       StrikeSeed(in.type == 1, in.S, in.marketPrice, in.m), err);
  }
};

}  // namespace

double Lookback(int32_t OptionType, int32_t OptionFunction, double AssetPrice, double StrikePrice,
                double TimeExpire, double Volatility, double InterestRate, double YieldRate,
                double MarketPrice, int32_t TimeFormat, int32_t InterestRateType,
                int32_t YieldRateType, int32_t* ErrorCode, bool RawSensitivities,
                bool SkipValidation) {
  return RunEntry<LookbackModel>(
      {OptionType, AssetPrice, StrikePrice, TimeExpire, Volatility, InterestRate, YieldRate,
       MarketPrice, TimeFormat, InterestRateType, YieldRateType},
      OptionFunction, ErrorCode, RawSensitivities, SkipValidation);
}

}  // namespace quantrel
