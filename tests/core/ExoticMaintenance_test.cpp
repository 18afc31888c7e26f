#include "core/ExoticMaintenance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "quantrel/enums.h"
#include "quantrel/errors.h"

namespace quantrel::core {
namespace {

CommonInputs Plain() {
  CommonInputs in;
  in.assetPrice = 100;
  in.strikePrice = 95;
  in.timeExpire = 0.5;
  in.volatility = 0.25;
  in.interestRate = 0.05;
  in.yieldRate = 0.02;
  in.timeFormat = 1;
  return in;
}

struct Rule {
  std::string name;
  std::function<void(CommonInputs&)> breakIt;
  int32_t code;
  const char* message;
};

// Every rule, in the order they are checked.
std::vector<Rule> RulesInOrder() {
  return {
      {"exercise type", [](auto& c) { c.exerciseType = 2; }, ExerciseTypeErr,
       "The ExerciseType is invalid."},
      {"option type", [](auto& c) { c.optionType = 0; }, OptionTypeErr,
       "The OptionType is invalid."},
      {"lattice iterations low", [](auto& c) { c.latticeIterations = 4; }, IterationsMinErr,
       "The number of Iterations for the Numerical Models must be greater than or equal to 5."},
      {"lattice iterations high", [](auto& c) { c.latticeIterations = 501; }, IterationsMaxErr,
       "The number of Iterations for the Numerical Models must be less than or equal to 500."},
      {"steps low", [](auto& c) { c.numSteps = 4; }, NumStepsMinErr,
       "The NumSteps for the Monte Carlo Models must be greater than or equal to 5."},
      {"steps high", [](auto& c) { c.numSteps = 1001; }, NumStepsMaxErr,
       "The NumSteps for the Monte Carlo Models must be less than or equal to 1000."},
      {"paths low", [](auto& c) { c.mcIterations = 0; }, IterationsMinErr,
       "The Iterations for the Monte Carlo Models must be greater than or equal to 1."},
      {"paths high", [](auto& c) { c.mcIterations = 5001; }, IterationsMaxErr,
       "The Iterations for the Monte Carlo Models must be less than or equal to 5000."},
      {"asset price", [](auto& c) { c.assetPrice = -1; }, AssetPriceErr,
       "AssetPrice must be greater than 0."},
      {"asset price 2", [](auto& c) { c.assetPrice2 = -1; }, AssetPriceErr,
       "AssetPrice2 must be greater than 0."},
      {"strike", [](auto& c) { c.strikePrice = 0; }, StrikePriceErr,
       "StrikePrice must be greater than 0."},
      {"strike 2", [](auto& c) { c.strikePrice2 = -3; }, StrikePriceErr,
       "StrikePrice2 must be greater than 0."},
      {"expiry", [](auto& c) { c.timeExpire = 0; }, TimeExpireErr,
       "TimeExpire must be greater than 0."},
      {"start", [](auto& c) { c.timeStart = 0; }, TimeStartErr,
       "TimeStart must be greater than 0."},
      {"time format", [](auto& c) { c.timeFormat = 2; }, TimeFormatErr,
       "The TimeFormat is invalid."},
      {"correlation", [](auto& c) { c.correlation = 1.01; }, CorrelationErr,
       "Correlation must be >= -1 and <= 1."},
      {"quantity 1", [](auto& c) { c.quantity1 = 0; }, Quantity1Err,
       "Quantity1 must be greater than 0."},
      {"quantity 2", [](auto& c) { c.quantity2 = 0; }, Quantity2Err,
       "Quantity2 must be greater than 0."},
      {"exchange rate", [](auto& c) { c.exchangeRate = 0; }, ExchangeRateErr,
       "ExchangeRate must be greater than to 0."},
      {"rebate", [](auto& c) { c.rebate = -0.5; }, RebateErr,
       "The Repate must be greater than or equal to 0."},
      {"payoff", [](auto& c) { c.payoff = -0.5; }, PayoffErr,
       "The Payoff must be greater than or equal to 0."},
      {"barrier", [](auto& c) { c.barrier = 0; }, BarrierLowErr,
       "The Barrier must be greater than 0."},
      {"upper barrier", [](auto& c) { c.upperBarrier = 0; }, BarrierHighErr,
       "The UpperBarrier must be greater than 0."},
      {"alpha", [](auto& c) { c.alpha = 2e30; }, AlphaErr, "The Alpha must be greater than 0."},
      {"interest rate 2", [](auto& c) { c.interestRate2 = 0; }, InterestRateErr,
       "InterestRate must be greater than 0."},
      {"yield 2", [](auto& c) { c.yieldRate2 = -1.5; }, YieldRateErr,
       "The Yield Rate must be greater than -1 or -100% and less than 1E5."},
      {"market price",
       [](auto& c) {
         c.optionFunction = 5;
         c.marketPrice = -1;
       },
       MktPriceNegErr, "MarketPrice cannot be a negative number."},
      {"interest rate type", [](auto& c) { c.interestRateType = 12; }, IntRateTypeErr,
       "The InterestRateType is invalid."},
      {"yield type", [](auto& c) { c.yieldRateType = -1; }, YeildRateTypeErr,
       "The YieldRateType is invalid."},
  };
}

TEST(NormaliseInputs, EachRuleRaisesItsCodeAndExactMessage) {
  for (const Rule& rule : RulesInOrder()) {
    CommonInputs in = Plain();
    rule.breakIt(in);
    int32_t err = 0;
    try {
      NormaliseInputs(in, &err);
      ADD_FAILURE() << rule.name << ": no failure";
    } catch (const PricingError& e) {
      EXPECT_EQ(e.code(), rule.code) << rule.name;
      EXPECT_EQ(err, rule.code) << rule.name;
      EXPECT_STREQ(e.what(), rule.message) << rule.name;
    }
  }
}

TEST(NormaliseInputs, TheFirstBrokenRuleWins) {
  const std::vector<Rule> rules = RulesInOrder();
  for (size_t i = 0; i + 1 < rules.size(); ++i) {
    CommonInputs in = Plain();
    for (size_t j = rules.size(); j-- > i;) rules[j].breakIt(in);  // break this one and all later
    try {
      NormaliseInputs(in, nullptr);
      ADD_FAILURE() << rules[i].name << ": no failure";
    } catch (const PricingError& e) {
      EXPECT_EQ(e.code(), rules[i].code) << rules[i].name;
      EXPECT_STREQ(e.what(), rules[i].message) << rules[i].name;
    }
  }
}

// Values the rules would let through but that cannot be priced: refused under the rule's code.
TEST(NormaliseInputs, NonFiniteValuesThatSlipPastTheRulesAreRefused) {
  const double inf = INFINITY, nan = NAN;
  const Rule cases[] = {
      {"infinite asset", [&](auto& c) { c.assetPrice = inf; }, AssetPriceErr,
       "AssetPrice must be a finite number."},
      {"NaN asset", [&](auto& c) { c.assetPrice = nan; }, AssetPriceErr,
       "AssetPrice must be greater than 0."},
      {"infinite strike 2", [&](auto& c) { c.strikePrice2 = inf; }, StrikePriceErr,
       "StrikePrice2 must be a finite number."},
      {"NaN intermediate time", [&](auto& c) { c.time2 = nan; }, TimeStartErr,
       "The intermediate time must be a number."},
      {"NaN volatility", [&](auto& c) { c.volatility = nan; }, VolGreaterZeroErr,
       "Volatility must be a number."},
      {"NaN volatility 2", [&](auto& c) { c.volatility2 = nan; }, VolGreaterZeroErr,
       "Volatility2 must be a number."},
      {"NaN correlation", [&](auto& c) { c.correlation = nan; }, CorrelationErr,
       "Correlation must be >= -1 and <= 1."},
      {"infinite quantity", [&](auto& c) { c.quantity2 = inf; }, Quantity2Err,
       "Quantity2 must be a finite number."},
      {"infinite exchange rate", [&](auto& c) { c.exchangeRate = inf; }, ExchangeRateErr,
       "ExchangeRate must be a finite number."},
      {"infinite rebate", [&](auto& c) { c.rebate = inf; }, RebateErr,
       "The Rebate must be a finite number."},
      {"infinite payoff", [&](auto& c) { c.payoff = inf; }, PayoffErr,
       "The Payoff must be a finite number."},
      {"infinite barrier", [&](auto& c) { c.barrier = inf; }, BarrierLowErr,
       "The Barrier must be a finite number."},
      {"infinite upper barrier", [&](auto& c) { c.upperBarrier = inf; }, BarrierHighErr,
       "The UpperBarrier must be a finite number."},
      {"infinite rate", [&](auto& c) { c.interestRate = inf; }, InterestRateErr,
       "InterestRate must be a finite number."},
      {"NaN yield", [&](auto& c) { c.yieldRate2 = nan; }, YieldRateErr,
       "The Yield Rate must be greater than -1 or -100% and less than 1E5."},
      {"infinite market price",
       [&](auto& c) {
         c.optionFunction = 5;
         c.marketPrice = inf;
       },
       MktPriceGZErr, "MarketPrice must be a finite number."},
  };
  for (const Rule& rule : cases) {
    CommonInputs in = Plain();
    rule.breakIt(in);
    try {
      NormaliseInputs(in, nullptr);
      ADD_FAILURE() << rule.name << ": no failure";
    } catch (const PricingError& e) {
      EXPECT_EQ(e.code(), rule.code) << rule.name;
      EXPECT_STREQ(e.what(), rule.message) << rule.name;
    }
  }
  // Infinite times and volatilities are clamped like any large value; a market price that no
  // search reads is not looked at.
  CommonInputs clamped = Plain();
  clamped.timeExpire = inf;
  clamped.volatility = inf;
  clamped.marketPrice = nan;
  EXPECT_TRUE(NormaliseInputs(clamped, nullptr));
  EXPECT_EQ(clamped.timeExpire, 1e7);
  EXPECT_EQ(clamped.volatility, 1e7);
}

TEST(NormaliseInputs, SuccessClearsTheErrorSlot) {
  CommonInputs in = Plain();
  int32_t err = TimeExpireErr;
  EXPECT_TRUE(NormaliseInputs(in, &err));
  EXPECT_EQ(err, None);
}

TEST(NormaliseInputs, ModelCodesSkipTheirChecks) {
  CommonInputs spread = Plain();
  spread.modelCode = kSpreadModel;
  spread.strikePrice = 0;
  EXPECT_NO_THROW(NormaliseInputs(spread, nullptr));
  CommonInputs lattice = Plain();
  lattice.modelCode = kLattice;
  lattice.strikePrice2 = -1;
  EXPECT_NO_THROW(NormaliseInputs(lattice, nullptr));
  CommonInputs average = Plain();
  average.modelCode = kAverageRate;
  average.timeStart = 0;
  EXPECT_NO_THROW(NormaliseInputs(average, nullptr));
  EXPECT_EQ(average.timeStart, 0);  // not floored either
  CommonInputs monteCarlo = Plain();
  monteCarlo.modelCode = kMonteCarlo;
  monteCarlo.latticeIterations = 5000;
  EXPECT_NO_THROW(NormaliseInputs(monteCarlo, nullptr));
}

TEST(NormaliseInputs, SilentClamps) {
  CommonInputs in = Plain();
  in.assetPrice = 0;
  in.volatility = 0;
  in.volatility2 = 2e7;
  in.correlation = 1;
  in.interestRate2 = 1e-30;
  EXPECT_TRUE(NormaliseInputs(in, nullptr));
  EXPECT_EQ(in.assetPrice, 1e-17);
  EXPECT_EQ(in.volatility, 0.002);
  EXPECT_EQ(in.volatility2, 1e7);
  EXPECT_EQ(in.correlation, 0.99999999999);
  EXPECT_EQ(in.interestRate2, 1e-20);

  CommonInputs negative = Plain();
  negative.correlation = -1;
  negative.timeExpire = 2e7;
  negative.timeStart = 1e-9;
  NormaliseInputs(negative, nullptr);
  EXPECT_EQ(negative.correlation, -0.99999999999);
  EXPECT_EQ(negative.timeExpire, 1e7);
  EXPECT_EQ(negative.timeStart, 1e-7);
}

TEST(NormaliseInputs, DaysBecomeYearsAndRatesBecomeContinuous) {
  CommonInputs in = Plain();
  in.timeFormat = 0;
  in.timeExpire = 365;
  in.timeStart = 73;
  in.time2 = 1e8;  // clamped to 1e7 days first
  in.interestRateType = 7;
  in.yieldRateType = 2;
  NormaliseInputs(in, nullptr);
  EXPECT_EQ(in.timeExpire, 1.0);
  EXPECT_DOUBLE_EQ(in.timeStart, 0.2);
  EXPECT_DOUBLE_EQ(in.time2, 1e7 / 365);
  EXPECT_DOUBLE_EQ(in.interestRate, std::log(1.05));
  EXPECT_DOUBLE_EQ(in.yieldRate, 12 * std::log(1 + 0.02 / 12));
}

TEST(NormaliseInputs, AVeryNegativeYieldStopsBeforeFloorsAndConversions) {
  CommonInputs in = Plain();
  in.yieldRate = -0.9;
  in.timeExpire = 30;
  in.interestRateType = 7;
  in.timeStart = 1e-9;
  EXPECT_FALSE(NormaliseInputs(in, nullptr));
  EXPECT_EQ(in.interestRate, 0.05);
  EXPECT_EQ(in.yieldRate, -0.9);
  EXPECT_EQ(in.timeStart, 1e-9);
}

TEST(NormaliseInputs, MarketPriceIsCheckedOnlyForImpliedValues) {
  struct Case {
    int32_t function;
    double price;
    int32_t code;  // None: passes
    const char* message;
  };
  const Case cases[] = {
      {1, -1, None, nullptr},
      {2, 0, None, nullptr},
      {5, -1, MktPriceNegErr, "MarketPrice cannot be a negative number."},
      {37, -1, MktPriceNegErr, "MarketPrice cannot be a negative number."},
      {24, 0, MktPriceGZErr,
       "MarketPrice must be greater than zero to calculate the Implied Volatility."},
      {13, 0, MktPriceGZErr,
       "MarketPrice must be greater than zero to calculate the Implied Strike."},
      {35, 0, MktPriceGZErr,
       "MarketPrice must be greater than zero to calculate the Implied Strike."},
      {40, -1, MktPriceGZErr,
       "MarketPrice must be greater than zero to calculate the Implied Correlation."},
      {40, 2, None, nullptr},
  };
  for (const Case& c : cases) {
    CommonInputs in = Plain();
    in.optionFunction = c.function;
    in.marketPrice = c.price;
    if (c.code == None) {
      EXPECT_NO_THROW(NormaliseInputs(in, nullptr)) << c.function;
      continue;
    }
    try {
      NormaliseInputs(in, nullptr);
      ADD_FAILURE() << c.function;
    } catch (const PricingError& e) {
      EXPECT_EQ(e.code(), c.code);
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

// --- Bumps ---

TEST(SetUpBumps, CentralWhenTheInputStaysPositive) {
  const Bumps b = SetUpBumps(2, 100);
  EXPECT_EQ(b.divisor, 2);
  EXPECT_EQ(b.step, 1e-5);
  EXPECT_EQ(b.x[0].down, 100 - 1e-5);
  EXPECT_EQ(b.x[0].up, 100 + 1e-5);
  EXPECT_EQ(b.x[1].down, 0);  // not moved
  EXPECT_EQ(b.x[1].up, 0);
}

TEST(SetUpBumps, GammaUsesTheLargerStepAndThreePoints) {
  const Bumps b = SetUpBumps(3, 100);
  EXPECT_EQ(b.step, 0.01);
  EXPECT_EQ(b.x[0].down, 99.99);
  EXPECT_EQ(b.x[0].mid, 100);
  EXPECT_EQ(b.x[0].up, 100.01);
}

TEST(SetUpBumps, OneSidedBelowTheStep) {
  const Bumps d = SetUpBumps(2, 0.000005);
  EXPECT_EQ(d.divisor, 1);
  EXPECT_EQ(d.x[0].down, 0.000005);
  EXPECT_EQ(d.x[0].up, 0.000005 + 1e-5);
  const Bumps g = SetUpBumps(22, 0.005);
  EXPECT_EQ(g.x[0].down, 0.005);
  EXPECT_EQ(g.x[0].mid, 0.005 + 0.01);
  EXPECT_EQ(g.x[0].up, 0.005 + 0.02);
}

TEST(SetUpBumps, CoincidingLevelsShiftForward) {
  const Bumps d = SetUpBumps(2, 100, 0, 0, 100, 100, 100);
  EXPECT_EQ(d.divisor, 1);
  EXPECT_EQ(d.x[0].down, 100 + 1e-5);
  EXPECT_EQ(d.x[0].up, 100 + 2e-5);
  const Bumps g = SetUpBumps(3, 100, 0, 0, 7, 7, 7);
  EXPECT_EQ(g.x[0].down, 100.01);
  EXPECT_EQ(g.x[0].mid, 100.02);
  EXPECT_EQ(g.x[0].up, 100 + 0.03);
  // Only the strike sensitivity shifts when just the last two coincide.
  EXPECT_EQ(SetUpBumps(11, 100, 0, 0, 1, 5, 5).x[0].down, 100 + 1e-5);
  EXPECT_EQ(SetUpBumps(2, 100, 0, 0, 1, 5, 5).x[0].down, 100 - 1e-5);
}

TEST(SetUpBumps, TimesMovedTogetherShareOneScheme) {
  const Bumps both = SetUpBumps(4, 0.25, 1.0);
  EXPECT_EQ(both.divisor, 2);
  EXPECT_EQ(both.x[1].down, 1.0 - 1e-5);
  // One time too short for the central scheme makes every time one-sided.
  const std::array<double, 3> times = {1.0, 5e-6, 0.5};
  const Bumps mixed = SetUpBumps(4, times[0], times[1], times[2]);
  EXPECT_EQ(mixed.divisor, 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(mixed.x[i].down, times[i]);
    EXPECT_EQ(mixed.x[i].up, times[i] + 1e-5);
  }
}

TEST(SetUpBumps, AFloorOnTheFirstInputTurnsTheSchemeForward) {
  // An expiry 5e-6 after an intermediate date cannot be lowered by the step.
  const Bumps near = SetUpBumps(4, 0.5, 0, 0, -1, -2, -3, 0.5 - 5e-6);
  EXPECT_EQ(near.divisor, 1);
  EXPECT_EQ(near.x[0].down, 0.5);
  EXPECT_EQ(near.x[0].up, 0.5 + 1e-5);
  EXPECT_EQ(SetUpBumps(4, 0.5, 0, 0, -1, -2, -3, 0.25).divisor, 2);
}

TEST(FiniteDifference, QuotientsAndThetaSign) {
  EXPECT_NEAR(FiniteDifference(2, 1.0, 0, 1.00002, 2, 1e-5), 1.0, 1e-10);
  EXPECT_NEAR(FiniteDifference(2, 1.0, 0, 1.00001, 1, 1e-5), 1.0, 1e-10);
  EXPECT_NEAR(FiniteDifference(3, 0.9801, 1.0, 1.0201, 2, 0.01), 2.0, 1e-9);  // x^2
  // Value rising with time to expiry: theta per day is negative.
  EXPECT_NEAR(FiniteDifference(4, 1.0, 0, 1.0000365, 2, 1e-5), -0.005, 1e-12);
}

TEST(ShiftBarrier, MovesAwayFromThePriceByTheMonitoringInterval) {
  const double daily = std::exp(0.5826 * 0.2 * std::sqrt(1.0 / 365));
  EXPECT_DOUBLE_EQ(ShiftBarrier(100, 110, 0.2, DailyM, nullptr), 110 * daily);
  EXPECT_DOUBLE_EQ(ShiftBarrier(100, 90, 0.2, DailyM, nullptr), 90 / daily);
  EXPECT_EQ(ShiftBarrier(100, 100, 0.2, DailyM, nullptr), 100);  // at the price: unchanged
  EXPECT_EQ(ShiftBarrier(100, 110, 0.2, ContinuouslyM, nullptr), 110);
  // The coarser the watch, the further the barrier moves.
  double previous = 110;
  for (int32_t m = HourlyM; m <= AnnuallyM; ++m) {
    const double shifted = ShiftBarrier(100, 110, 0.2, m, nullptr);
    EXPECT_GT(shifted, previous) << m;
    previous = shifted;
  }
  EXPECT_DOUBLE_EQ(previous, 110 * std::exp(0.5826 * 0.2));
  for (int32_t m : {-1, 8}) {
    int32_t err = 0;
    try {
      ShiftBarrier(100, 110, 0.2, m, &err);
      ADD_FAILURE() << m;
    } catch (const PricingError& e) {
      EXPECT_EQ(e.code(), MonitoringErr);
      EXPECT_EQ(err, MonitoringErr);
      EXPECT_STREQ(e.what(), "The Barrier Monitoring is invalid.");
    }
  }
}

}  // namespace
}  // namespace quantrel::core
