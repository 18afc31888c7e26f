// Discrete time switch (Pechtl 1995): AccruedAmt is earned for every TimeInterval at whose end the
// asset is above the strike (call) or below it (put), paid at expiry, on top of what NumTimeUnits
// intervals have already earned.
#include <cmath>
#include <optional>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"

namespace quantrel {
namespace {

using namespace core;

// The sum runs over every remaining fixing; beyond this many the contract cannot be valued term by
// term in reasonable time and the call ends as a numerical fault.
constexpr double kMaxFixings = 1e6;

struct TimeSwitchModel {
  using Arguments = TimeSwitchArguments;
  struct Own {
    int32_t type;
    double X;
    int32_t earnedUnits;
    double amount, interval;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .X = a.StrikePrice,
            .earnedUnits = a.NumTimeUnits,
            .amount = a.AccruedAmt,
            .interval = a.TimeInterval};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type,
      .strikePrice = &Inputs::X,
      .timeStart = &Inputs::interval,  // converted and floored like a time
  };
  // Theta is the model's own (below).
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.interval > 0)) Fail<TimeIntervalErr>(err, "TimeInterval must be greater than 0.");
    // Any amount is accepted, negative included, but not one that is no number at all.
    if (!std::isfinite(in.amount)) Fail<PayoffErr>(err, "AccruedAmt must be a finite number.");
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
    if (code != result::Theta) return std::nullopt;
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
    return FalsePositionSearch<TimeSwitchModel>(in, code, StandardEnds<TimeSwitchModel>(in, code));
  }
};

}  // namespace

QUANTREL_ENTRY(TimeSwitchModel)

}  // namespace quantrel
