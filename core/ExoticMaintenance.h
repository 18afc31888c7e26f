// Input normalisation shared by every model, and the bump set-up of finite-difference
// sensitivities.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "core/Failure.h"
#include "core/OptionStatistics.h"
#include "core/ResultCodes.h"

namespace quantrel::core {

// Which common checks apply.
enum ModelCode : uint8_t {
  kClosedForm = 9,
  kSpreadModel = 11,
  kAverageRate = 12,
  kQuantoModels = 13,
  kLattice = 14,
  kMonteCarlo = 15,
};

// The inputs that models have in common, as one list: type, name, neutral filler. A model fills
// the slots it has; the fillers stand in for the slots it lacks, and pass every check.
#define QUANTREL_COMMON_SLOTS(X)   \
  X(int32_t, exerciseType, 1)      \
  X(int32_t, optionType, 1)        \
  X(double, assetPrice, 1.0)       \
  X(double, strikePrice, 1.0)      \
  X(double, timeExpire, 1.0)       \
  X(double, volatility, 1.0)       \
  X(double, interestRate, 1.0)     \
  X(double, yieldRate, 1.0)        \
  X(double, marketPrice, 1.0)      \
  X(int32_t, timeFormat, 1)        \
  X(int32_t, interestRateType, 0)  \
  X(int32_t, yieldRateType, 0)     \
  X(double, interestRate2, 1.0)    \
  X(double, yieldRate2, 1.0)       \
  X(double, timeStart, 1.0)        \
  X(double, time2, 1.0)            \
  X(double, assetPrice2, 1.0)      \
  X(double, strikePrice2, 1.0)     \
  X(double, volatility2, 1.0)      \
  X(double, correlation, 1.0)      \
  X(double, alpha, 1.0)            \
  X(double, quantity1, 1.0)        \
  X(double, quantity2, 1.0)        \
  X(double, barrier, 1.0)          \
  X(double, upperBarrier, 1.0)     \
  X(double, rebate, 1.0)           \
  X(double, payoff, 1.0)           \
  X(double, exchangeRate, 1.0)     \
  X(int32_t, numSteps, 5)          \
  X(int32_t, mcIterations, 5)      \
  X(int32_t, latticeIterations, 5) \
  X(int32_t, interestRate2Type, 0) \
  X(int32_t, yieldRate2Type, 0)

// barrier is the lower barrier; time2 a second intermediate time; numSteps and mcIterations the
// Monte Carlo time steps and paths, latticeIterations the lattice steps.
struct CommonInputs {
  uint8_t modelCode = kClosedForm;
  int32_t optionFunction = 1;
#define QUANTREL_DECLARE_SLOT(type, name, filler) type name = filler;
  QUANTREL_COMMON_SLOTS(QUANTREL_DECLARE_SLOT)
#undef QUANTREL_DECLARE_SLOT
};

inline constexpr long double kDaysToYears = 1.0L / 365.0L;

// Raises times (expiry, start, intermediate) under 1e-7 years to it, keeping their order and
// spacing; the start only when `startFloored`.
void FloorShortTimes(std::array<double, 3>& times, bool startFloored);

// Checks the common inputs in their fixed order (the first failure raises), clamps them into
// working ranges, turns days into years and quoted rates into continuous ones, all in place.
// Returns false, leaving floors and rate conversions undone, when a yield is so negative that
// -q*T > 20. Inlined into each model's entry, where the checks of the slots the model leaves at
// their defaults fold away.
[[gnu::always_inline]] inline bool NormaliseInputs(CommonInputs& in, int32_t* err) {
  if (err) *err = None;
  if (in.assetPrice == 0) in.assetPrice = 1e-17;
  if (in.assetPrice2 == 0) in.assetPrice2 = 1e-17;

  if (in.exerciseType != 0 && in.exerciseType != 1) {
    Fail<ExerciseTypeErr>(err, "The ExerciseType is invalid.");
  }
  if (in.optionType != 1 && in.optionType != 2)
    Fail<OptionTypeErr>(err, "The OptionType is invalid.");

  if (in.latticeIterations < 5) {
    Fail<IterationsMinErr>(
        err,
        "The number of Iterations for the Numerical Models must be greater than or equal to 5.");
  }
  if (in.latticeIterations > 500 && in.modelCode != kMonteCarlo) {
    Fail<IterationsMaxErr>(
        err,
        "The number of Iterations for the Numerical Models must be less than or equal to 500.");
  }
  if (in.numSteps < 5) {
    Fail<NumStepsMinErr>(
        err, "The NumSteps for the Monte Carlo Models must be greater than or equal to 5.");
  }
  if (in.numSteps > 1000) {
    Fail<NumStepsMaxErr>(
        err, "The NumSteps for the Monte Carlo Models must be less than or equal to 1000.");
  }
  if (in.mcIterations < 1) {
    Fail<IterationsMinErr>(
        err, "The Iterations for the Monte Carlo Models must be greater than or equal to 1.");
  }
  if (in.mcIterations > 5000) {
    Fail<IterationsMaxErr>(
        err, "The Iterations for the Monte Carlo Models must be less than or equal to 5000.");
  }

  // The rules compare with "not > 0", which a NaN fails but an infinity passes; infinities and
  // NaNs that a rule would let through are refused next to that rule, under its code.
  if (!(in.assetPrice > 0)) Fail<AssetPriceErr>(err, "AssetPrice must be greater than 0.");
  if (std::isinf(in.assetPrice)) Fail<AssetPriceErr>(err, "AssetPrice must be a finite number.");
  if (!(in.assetPrice2 > 0)) Fail<AssetPriceErr>(err, "AssetPrice2 must be greater than 0.");
  if (std::isinf(in.assetPrice2)) Fail<AssetPriceErr>(err, "AssetPrice2 must be a finite number.");
  if (in.modelCode != kSpreadModel && in.modelCode != kLattice) {
    if (!(in.strikePrice > 0)) Fail<StrikePriceErr>(err, "StrikePrice must be greater than 0.");
    if (std::isinf(in.strikePrice))
      Fail<StrikePriceErr>(err, "StrikePrice must be a finite number.");
    if (!(in.strikePrice2 > 0)) Fail<StrikePriceErr>(err, "StrikePrice2 must be greater than 0.");
    if (std::isinf(in.strikePrice2)) {
      Fail<StrikePriceErr>(err, "StrikePrice2 must be a finite number.");
    }
  }
  if (!(in.timeExpire > 0)) Fail<TimeExpireErr>(err, "TimeExpire must be greater than 0.");
  if (in.modelCode != kAverageRate && !(in.timeStart > 0)) {
    Fail<TimeStartErr>(err, "TimeStart must be greater than 0.");
  }
  if (std::isnan(in.time2)) Fail<TimeStartErr>(err, "The intermediate time must be a number.");
  if (in.timeFormat != 0 && in.timeFormat != 1)
    Fail<TimeFormatErr>(err, "The TimeFormat is invalid.");

  if (std::isnan(in.volatility)) Fail<VolGreaterZeroErr>(err, "Volatility must be a number.");
  if (std::isnan(in.volatility2)) Fail<VolGreaterZeroErr>(err, "Volatility2 must be a number.");
  // Taken by reference through lambdas, not pointers, so that the inputs can live in registers.
  auto clampVolatility = [](double& v) {
    if (!(v > 0.002)) v = 0.002;
    if (v > 1e7) v = 1e7;
  };
  clampVolatility(in.volatility);
  clampVolatility(in.volatility2);

  if (in.correlation > 1 || in.correlation < -1 || std::isnan(in.correlation)) {
    Fail<CorrelationErr>(err, "Correlation must be >= -1 and <= 1.");
  }
  if (in.correlation == 1) in.correlation = 0.99999999999;
  if (in.correlation == -1) in.correlation = -0.99999999999;
  if (!(in.quantity1 > 0)) Fail<Quantity1Err>(err, "Quantity1 must be greater than 0.");
  if (std::isinf(in.quantity1)) Fail<Quantity1Err>(err, "Quantity1 must be a finite number.");
  if (!(in.quantity2 > 0)) Fail<Quantity2Err>(err, "Quantity2 must be greater than 0.");
  if (std::isinf(in.quantity2)) Fail<Quantity2Err>(err, "Quantity2 must be a finite number.");
  if (!(in.exchangeRate > 0)) Fail<ExchangeRateErr>(err, "ExchangeRate must be greater than to 0.");
  if (std::isinf(in.exchangeRate)) {
    Fail<ExchangeRateErr>(err, "ExchangeRate must be a finite number.");
  }
  if (!(in.rebate >= 0)) Fail<RebateErr>(err, "The Repate must be greater than or equal to 0.");
  if (std::isinf(in.rebate)) Fail<RebateErr>(err, "The Rebate must be a finite number.");
  if (!(in.payoff >= 0)) Fail<PayoffErr>(err, "The Payoff must be greater than or equal to 0.");
  if (std::isinf(in.payoff)) Fail<PayoffErr>(err, "The Payoff must be a finite number.");
  if (!(in.barrier > 0)) Fail<BarrierLowErr>(err, "The Barrier must be greater than 0.");
  if (std::isinf(in.barrier)) Fail<BarrierLowErr>(err, "The Barrier must be a finite number.");
  if (!(in.upperBarrier > 0)) Fail<BarrierHighErr>(err, "The UpperBarrier must be greater than 0.");
  if (std::isinf(in.upperBarrier)) {
    Fail<BarrierHighErr>(err, "The UpperBarrier must be a finite number.");
  }
  if (!(in.alpha > 0) || in.alpha > 1e30) Fail<AlphaErr>(err, "The Alpha must be greater than 0.");
  auto capTime = [](double& t) {
    if (t > 1e7) t = 1e7;
  };
  capTime(in.timeExpire);
  capTime(in.timeStart);
  capTime(in.time2);
  if (!(in.interestRate > 0) || !(in.interestRate2 > 0)) {
    Fail<InterestRateErr>(err, "InterestRate must be greater than 0.");
  }
  if (std::isinf(in.interestRate) || std::isinf(in.interestRate2)) {
    Fail<InterestRateErr>(err, "InterestRate must be a finite number.");
  }
  for (double q : {in.yieldRate, in.yieldRate2}) {
    if (q < -1 || q > 1e5 || std::isnan(q)) {
      Fail<YieldRateErr>(err, "The Yield Rate must be greater than -1 or -100% and less than 1E5.");
    }
  }

  const int32_t f = in.optionFunction;
  const ResultKind kind = KindOf(f);
  const bool implied = kind.action == Action::Implied;
  const bool impliedVol = implied && kind.moved == Moved::Volatility;
  const bool impliedStrike = implied && kind.moved == Moved::Strike;
  const bool impliedCorrelation = implied && kind.moved == Moved::Correlation;
  if (in.marketPrice < 0 && (impliedVol || impliedStrike)) {
    Fail<MktPriceNegErr>(err, "MarketPrice cannot be a negative number.");
  }
  if (!(in.marketPrice > 0)) {
    if (impliedVol) {
      Fail<MktPriceGZErr>(
          err, "MarketPrice must be greater than zero to calculate the Implied Volatility.");
    }
    if (impliedStrike) {
      Fail<MktPriceGZErr>(err,
                          "MarketPrice must be greater than zero to calculate the Implied Strike.");
    }
    if (impliedCorrelation) {
      Fail<MktPriceGZErr>(
          err, "MarketPrice must be greater than zero to calculate the Implied Correlation.");
    }
  }
  if (std::isinf(in.marketPrice) && (impliedVol || impliedStrike || impliedCorrelation)) {
    Fail<MktPriceGZErr>(err, "MarketPrice must be a finite number.");
  }

  if (in.timeFormat == 0) {
    in.timeStart = static_cast<double>(in.timeStart * kDaysToYears);
    in.time2 = static_cast<double>(in.time2 * kDaysToYears);
    in.timeExpire = static_cast<double>(in.timeExpire * kDaysToYears);
  }

  if (-in.yieldRate * in.timeExpire > 20 || -in.yieldRate2 * in.timeExpire > 20) return false;

  const bool startFloored = in.modelCode != kAverageRate;
  if (!(in.timeExpire >= 1e-7 && (!startFloored || in.timeStart >= 1e-7) && in.time2 >= 1e-7)) {
    std::array<double, 3> times = {in.timeExpire, in.timeStart, in.time2};
    FloorShortTimes(times, startFloored);
    in.timeExpire = times[0], in.timeStart = times[1], in.time2 = times[2];
  }
  if (in.interestRate < 1e-20) in.interestRate = 1e-20;
  if (in.interestRate2 < 1e-20) in.interestRate2 = 1e-20;

  const double T = in.timeExpire;
  // A continuous quote (type 0) is already what the models take.
  auto convert = [&](double& rate, int32_t type, RateKind kind) {
    if (type == 0) return;
    double converted = rate;
    ConvertRate(converted, T, type, in.timeFormat, err, kind);
    rate = converted;
  };
  convert(in.interestRate, in.interestRateType, RateKind::Interest);
  convert(in.interestRate2, in.interestRate2Type, RateKind::Interest);
  convert(in.yieldRate, in.yieldRateType, RateKind::Yield);
  convert(in.yieldRate2, in.yieldRate2Type, RateKind::Yield);
  return true;
}

// The step of a finite difference: a gamma's, and every other sensitivity's.
inline constexpr double kGammaStep = 0.01, kSmallStep = 0.00001;

struct BumpedInput {
  double down, mid, up;
};

// Up to three inputs moved together, and how to difference the kernel values at them.
struct Bumps {
  std::array<BumpedInput, 3> x;
  int32_t divisor;  // A: 2 central, 1 one-sided
  double step;      // h
};

// Lays out down, middle and up values of x1 (always moved) and x2, x3 (moved when not 0). All
// moved inputs share one scheme: central only when every one of them stays positive when
// lowered by the step (x1 must also stay above `floor1`, a limit the entry may set). Reference
// levels that coincide (all three, or the last two for a strike sensitivity) shift every input
// forward.
Bumps SetUpBumps(int32_t code, double x1, double x2 = 0, double x3 = 0, double L1 = -1,
                 double L2 = -2, double L3 = -3, double floor1 = 0);

// The barrier a discretely watched barrier is priced with (Broadie-Glasserman-Kou): moved away from
// the asset price S by a factor exp(0.5826 v sqrt(dt)) for a monitoring interval dt, up when it
// lies above S, down when below, unchanged at S or under continuous monitoring (0). A monitoring
// outside the enumBarrierMonitoring members fails with MonitoringErr.
double ShiftBarrier(double S, double H, double v, int32_t monitoring, int32_t* errorCode);

// The difference quotient of kernel values at the bumped inputs; Theta comes out per calendar day
// with the sign of time passing.
double FiniteDifference(int32_t code, double fDown, double fMid, double fUp, int32_t divisor,
                        double step);

}  // namespace quantrel::core
