#include "core/ExoticMaintenance.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/Failure.h"
#include "core/OptionStatistics.h"

namespace quantrel::core {

namespace {

double ToYears(double days) {
  return static_cast<double>(days * kDaysToYears);
}

// Times of at least 1e-7 years. Floors that would make a date meet or pass a later one keep the
// dates in their order and the later one as far after the earlier as it was, so an intermediate
// date just before a very short expiry stays before it.
void FloorTimes(CommonInputs& in) {
  const bool startFloored = in.modelCode != kAverageRate;
  if (in.timeExpire >= 1e-7 && (!startFloored || in.timeStart >= 1e-7) && in.time2 >= 1e-7) return;
  struct Time {
    double* slot;
    double given;
  };
  std::array<Time, 3> times{};
  size_t n = 0;
  times[n++] = {&in.timeExpire, in.timeExpire};
  if (in.modelCode != kAverageRate) times[n++] = {&in.timeStart, in.timeStart};
  times[n++] = {&in.time2, in.time2};
  std::sort(times.begin(), times.begin() + n,
            [](const Time& a, const Time& b) { return a.given < b.given; });
  for (size_t i = 0; i < n; ++i) {
    double& t = *times[i].slot;
    if (i > 0 && times[i].given == times[i - 1].given) {
      t = *times[i - 1].slot;  // equal dates stay equal
      continue;
    }
    if (t < 1e-7) t = 1e-7;
    if (i > 0 && !(t > *times[i - 1].slot)) {
      t = *times[i - 1].slot + (times[i].given - times[i - 1].given);
    }
  }
}

}  // namespace

bool NormaliseInputs(CommonInputs& in, int32_t* err) {
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
  for (double* v : {&in.volatility, &in.volatility2}) {
    if (!(*v > 0.002)) *v = 0.002;
    if (*v > 1e7) *v = 1e7;
  }

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
  for (double* t : {&in.timeExpire, &in.timeStart, &in.time2}) {
    if (*t > 1e7) *t = 1e7;
  }
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
  const bool impliedVol = IsImplied(f, Moved::Volatility);
  const bool impliedStrike = IsImplied(f, Moved::Strike);
  const bool impliedCorrelation = IsImplied(f, Moved::Correlation);
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
    in.timeStart = ToYears(in.timeStart);
    in.time2 = ToYears(in.time2);
    in.timeExpire = ToYears(in.timeExpire);
  }

  if (-in.yieldRate * in.timeExpire > 20 || -in.yieldRate2 * in.timeExpire > 20) return false;

  FloorTimes(in);
  if (in.interestRate < 1e-20) in.interestRate = 1e-20;
  if (in.interestRate2 < 1e-20) in.interestRate2 = 1e-20;

  const double T = in.timeExpire;
  // A continuous quote (type 0) is already what the models take.
  auto convert = [&](double& rate, int32_t type, RateKind kind) {
    if (type != 0) ConvertRate(rate, T, type, in.timeFormat, err, kind);
  };
  convert(in.interestRate, in.interestRateType, RateKind::Interest);
  convert(in.interestRate2, in.interestRate2Type, RateKind::Interest);
  convert(in.yieldRate, in.yieldRateType, RateKind::Yield);
  convert(in.yieldRate2, in.yieldRate2Type, RateKind::Yield);
  return true;
}

Bumps SetUpBumps(int32_t code, double x1, double x2, double x3, double L1, double L2, double L3,
                 double floor1) {
  const double h = IsGammaCode(code) ? 0.01 : 0.00001;
  const bool shifted = (L1 == L2 && L2 == L3) || (L2 == L3 && code == result::StrikeSensitivity);
  const std::array<double, 3> x = {x1, x2, x3};
  const std::array<bool, 3> moved = {true, x2 != 0, x3 != 0};

  bool central = !shifted;
  for (int i = 0; i < 3; ++i) {
    if (moved[i] && !(x[i] - h > (i == 0 ? floor1 : 0))) central = false;
  }

  Bumps out{};
  out.step = h;
  out.divisor = central ? 2 : 1;
  const bool gamma = IsGammaCode(code);
  for (int i = 0; i < 3; ++i) {
    const double xi = x[i];
    if (!moved[i]) {
      out.x[i] = {xi, xi, xi};
    } else if (central) {
      out.x[i] = {xi - h, xi, xi + h};
    } else if (shifted) {
      out.x[i] = gamma ? BumpedInput{xi + h, xi + 2 * h, xi + 3 * h}
                       : BumpedInput{xi + h, xi + 2 * h, xi + 2 * h};
    } else {
      out.x[i] = gamma ? BumpedInput{xi, xi + h, xi + 2 * h} : BumpedInput{xi, xi + h, xi + h};
    }
  }
  return out;
}

double ShiftBarrier(double S, double H, double v, int32_t monitoring, int32_t* errorCode) {
  if (monitoring == 0) return H;
  static constexpr double kInterval[] = {0,        1.0 / 8760, 1.0 / 365, 1.0 / 52,
                                         1.0 / 12, 0.25,       0.5,       1.0};
  if (monitoring < 0 || monitoring > 7) {
    Fail<MonitoringErr>(errorCode, "The Barrier Monitoring is invalid.");
  }
  const double shift = 0.5826 * v * std::sqrt(kInterval[monitoring]);
  if (H > S) return H * std::exp(shift);
  if (H < S) return H * std::exp(-shift);
  return H;
}

double FiniteDifference(int32_t code, double fDown, double fMid, double fUp, int32_t divisor,
                        double step) {
  if (IsGammaCode(code)) return ((fUp - fMid) / step - (fMid - fDown) / step) / step;
  const double quotient = (fUp - fDown) / (step * divisor);
  if (code == result::Theta) return static_cast<double>(quotient * -0.002739726027397260274L);
  return quotient;
}

}  // namespace quantrel::core
