// Discrete time switch (Pechtl 1995): AccruedAmt is earned for every TimeInterval at whose end the
// asset is above the strike (call) or below it (put), paid at expiry, on top of what NumTimeUnits
// intervals have already earned.
#include <cmath>
#include <optional>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "quantrel/single_asset.h"

namespace quantrel {
namespace {

using namespace core;

// The sum runs over every remaining fixing; beyond this many the contract cannot be valued term by
// term in reasonable time and the call ends as a numerical fault.
constexpr double kMaxFixings = 1e6;

struct TimeSwitchModel {
  struct Inputs {
    int32_t type;
    double S, X, T;
    int32_t earnedUnits;
    double amount, interval, v, r, q, marketPrice;
    int32_t timeFormat, rateType, yieldType;
  };

  static constexpr uint64_t kServed = Codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13});
  // Theta is the model's own (below); the expiry is named so that the code counts as served.
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
    if (!(in.interval > 0)) Fail(err, TimeIntervalErr, "TimeInterval must be greater than 0.");
    // Any amount is accepted, negative included, but not one that is no number at all.
    if (!std::isfinite(in.amount)) Fail(err, PayoffErr, "AccruedAmt must be a finite number.");
  }

  template <class Bind>
  static void Slots(Bind& bind, Inputs& in) {
    bind(&CommonInputs::optionType, in.type);
    bind(&CommonInputs::assetPrice, in.S);
    bind(&CommonInputs::strikePrice, in.X);
    bind(&CommonInputs::timeExpire, in.T);
    bind(&CommonInputs::timeStart, in.interval);  // converted and floored like a time
    bind(&CommonInputs::volatility, in.v);
    bind(&CommonInputs::interestRate, in.r);
    bind(&CommonInputs::yieldRate, in.q);
    bind(&CommonInputs::marketPrice, in.marketPrice);
    bind(&CommonInputs::timeFormat, in.timeFormat);
    bind(&CommonInputs::interestRateType, in.rateType);
    bind(&CommonInputs::yieldRateType, in.yieldType);
  }

  // Remaining fixings: whole intervals that fit before expiry. A ratio that is whole but for the
  // rounding of the day conversion (a third of 365 days into 365 days gives 2.9999999999999996)
  // counts as whole.
  static double Fixings(const Inputs& in) { return std::trunc(in.T / in.interval * (1 + 1e-12)); }

  // The value with `fixings` remaining fixings at i*interval - elapsed (i = 1..fixings) and
  // payment at T. `elapsed` lets theta move the schedule with the calendar.
  static double ValueOn(const Inputs& in, double fixings, double elapsed) {
    if (!(fixings <= kMaxFixings)) throw MathFault();
    const double Z = in.type == 1 ? 1 : in.type == 2 ? -1 : 0;
    const double moneyness = std::log(in.S / in.X);
    const double drift = in.r - in.q - in.v * in.v / 2;
    double sum = 0;
    for (double i = 1; i <= fixings; ++i) {
      const double t = i * in.interval - elapsed;
      sum += in.interval * CumulativeNormal(Z * (moneyness + drift * t) / (in.v * std::sqrt(t)));
    }
    const double discounted = in.amount * std::exp(-in.r * in.T);
    const double value = discounted * sum + in.interval * discounted * in.earnedUnits;
    return value >= 0 ? value : 0;
  }

  static double Value(const Inputs& in) { return ValueOn(in, Fixings(in), 0); }

  // Theta as the calendar moves on: expiry and every remaining fixing draw nearer together, while
  // the earned units, the interval and the number of fixings to come stay as they are (a step of
  // 1e-5 years passes no fixing; where a step back would reach the next fixing or the expiry the
  // difference goes forward only).
  static std::optional<double> OwnSensitivity(int32_t code, const Inputs& in, int32_t*) {
    if (code != 4) return std::nullopt;
    const double fixings = Fixings(in);
    const Bumps b = SetUpBumps(code, in.T, in.interval);
    auto at = [&](double T) {
      Inputs moved = in;
      moved.T = T;
      return ValueOn(moved, fixings, in.T - T);
    };
    return FiniteDifference(code, at(b.x[0].down), 0, at(b.x[0].up), b.divisor, b.step);
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    const bool vol = code == 5;
    const Sought sought = vol ? Sought::Volatility : Sought::Strike;
    double Inputs::*field = vol ? &Inputs::v : &Inputs::X;
    auto price = [&](double u) {
      Inputs moved = in;
      moved.*field = u;
      return Value(moved);
    };
    return FalsePositionSearch(price, sought, in.marketPrice,
                               StandardEnds(sought, in.S, in.marketPrice, in.X));
  }
};

}  // namespace

double TimeSwitch(int32_t OptionType, int32_t OptionFunction, double AssetPrice, double StrikePrice,
                  double TimeExpire, int32_t NumTimeUnits, double AccruedAmt, double TimeInterval,
                  double Volatility, double InterestRate, double YieldRate, double MarketPrice,
                  int32_t TimeFormat, int32_t InterestRateType, int32_t YieldRateType,
                  int32_t* ErrorCode, bool RawSensitivities, bool SkipValidation) {
  return RunEntry<TimeSwitchModel>({OptionType, AssetPrice, StrikePrice, TimeExpire, NumTimeUnits,
                                    AccruedAmt, TimeInterval, Volatility, InterestRate, YieldRate,
                                    MarketPrice, TimeFormat, InterestRateType, YieldRateType},
                                   OptionFunction, ErrorCode, RawSensitivities, SkipValidation);
}

}  // namespace quantrel
