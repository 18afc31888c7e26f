// Values and sensitivities at the edges a user reaches: a carry through zero, times raised to
// their floor, prices in tiny or huge units, extremes reported on the wrong side of today's
// price, rates too negative to convert. Each against a limit, an identity or a difference.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "quantrel/enums.h"
#include "support/NamedContract.h"

namespace quantrel::testing {
namespace {

struct Case {
  const char* method;
  const char* contract;
};

// At r = q the lookbacks' v^2/(2b) terms have a finite limit; sensitivities there are smooth
// differences of the value, not rounding noise.
TEST(Limits, LookbackSensitivitiesAtEqualRatesAreDifferencesOfTheValue) {
  const Case cases[] = {
      {"Lookback", "OptionType=CallOption AssetPrice=100 StrikePrice=100 TimeExpire=1"},
      {"Lookback", "OptionType=PutOption AssetPrice=100 StrikePrice=120 TimeExpire=1"},
      {"LookbackFixed",
       "OptionType=CallOption AssetPrice=100 AssetMinMax=100 StrikePrice=105 "
       "TimeExpire=0.5"},
      {"LookbackFixed",
       "OptionType=PutOption AssetPrice=100 AssetMinMax=90 StrikePrice=95 "
       "TimeExpire=0.5"},
      {"ExtremeSpread",
       "SpreadType=Standard OptionType=CallOption AssetPrice=100 StrikePrice=105 "
       "Time1stPeriod=0.4 TimeExpire=1"},
  };
  for (const Case& k : cases) {
    NamedContract c(k.method,
                    std::string(k.contract) +
                        " Volatility=0.3 InterestRate=0.05 YieldRate=0.05 TimeFormat=Years");
    const double h = 1e-4, S = c.Get("AssetPrice");
    const double difference =
        (c.With("AssetPrice", S + h)(1) - c.With("AssetPrice", S - h)(1)) / (2 * h);
    EXPECT_NEAR(c(2), difference, 1e-6) << c.Describe();
    const double psi =
        0.01 * (c.With("YieldRate", 0.05 + h)(1) - c.With("YieldRate", 0.05 - h)(1)) / (2 * h);
    EXPECT_NEAR(c(8), psi, 1e-6) << c.Describe();
  }
  // The floating call at the money: 0.20714 (the nudged carry of old gave 0.1671).
  EXPECT_NEAR(NamedContract("Lookback",
                            "OptionType=CallOption AssetPrice=100 StrikePrice=100 "
                            "TimeExpire=1 Volatility=0.3 InterestRate=0.05 "
                            "YieldRate=0.05 TimeFormat=Years")(2),
              0.20714, 1e-5);
}

// An extreme reported beyond today's price (a maximum below it, a minimum above it) counts as
// today's price in every model that takes one.
TEST(Limits, AnExtremeBeyondTodaysPriceCountsAsTodaysPrice) {
  struct Row {
    const char* method;
    const char* contract;
    const char* extreme;
    double beyond;
  };
  const char* market =
      " AssetPrice=100 TimeExpire=1 Volatility=0.3 InterestRate=0.06 "
      "YieldRate=0.02 TimeFormat=Years";
  const Row rows[] = {
      {"LookbackFixed", "OptionType=CallOption StrikePrice=110", "AssetMinMax", 80},
      {"LookbackFixed", "OptionType=PutOption StrikePrice=90", "AssetMinMax", 130},
      {"LookbackPFloat", "OptionType=CallOption Lambda=1 TimeStart=0.5", "StrikePrice", 120},
      {"LookbackPFloat", "OptionType=PutOption Lambda=1 TimeStart=0.5", "StrikePrice", 85},
      {"ExtremeSpread", "SpreadType=Standard OptionType=CallOption Time1stPeriod=0.5",
       "StrikePrice", 90},
      {"ExtremeSpread", "SpreadType=Standard OptionType=PutOption Time1stPeriod=0.5", "StrikePrice",
       110},
      {"ExtremeSpread", "SpreadType=Reverse OptionType=CallOption Time1stPeriod=0.5", "StrikePrice",
       110},
      {"ExtremeSpread", "SpreadType=Reverse OptionType=PutOption Time1stPeriod=0.5", "StrikePrice",
       90},
  };
  for (const Row& row : rows) {
    const NamedContract c(row.method, std::string(row.contract) + market);
    EXPECT_EQ(c.With(row.extreme, row.beyond)(1), c.With(row.extreme, 100)(1)) << c.Describe();
  }
  // A put on the minimum with the minimum far above a tiny price is worth at most X e^(-rT).
  const NamedContract put("LookbackFixed",
                          "OptionType=PutOption AssetPrice=0.01 AssetMinMax=100 "
                          "StrikePrice=100 TimeExpire=1 Volatility=0.3 "
                          "InterestRate=0.05 YieldRate=0 TimeFormat=Years");
  EXPECT_LE(put(1), 100 * std::exp(-0.05));
}

// Prices in other units price the same contract: the critical-price searches settle relative to
// the contract's own prices.
TEST(Limits, ValuesScaleWithTheUnitsOfPrice) {
  const Case cases[] = {
      {"Compound",
       "OptionType=Put_Call AssetPrice=500 StrikeOption=50 StrikeUnderly=520 "
       "TimeOption=0.25 TimeExpire=0.5 Volatility=0.35 InterestRate=0.08 YieldRate=0"},
      {"Compound",
       "OptionType=Call_Call AssetPrice=500 StrikeOption=50 StrikeUnderly=520 "
       "TimeOption=0.25 TimeExpire=0.5 Volatility=0.35 InterestRate=0.08 YieldRate=0"},
      {"ComplexChooser",
       "AssetPrice=50 StrikeCall=55 StrikePut=48 TimeChoose=0.25 TimeCall=0.5 "
       "TimePut=0.5833 Volatility=0.35 InterestRate=0.1 YieldRate=0.05"},
  };
  for (const Case& k : cases) {
    const NamedContract c(k.method, std::string(k.contract) + " TimeFormat=Years");
    const double value = c(1);
    for (double unit : {1e-6, 1e-4, 1e-2, 1e3, 1e5}) {
      NamedContract scaled = c;
      for (const InputSpec& input : c.Specs()) {
        const std::string_view name = input.name;
        if (name.find("Price") != name.npos || name.starts_with("Strike")) {
          scaled.Set(name, c.Get(name) * unit);
        }
      }
      EXPECT_NEAR(scaled(1) / unit, value, 1e-9 * value) << unit << " " << c.Describe();
    }
  }
}

// Times raised to the 1e-7-year floor keep their order: an intermediate date before a very short
// expiry stays before it, and the contract keeps its value instead of a zero.
TEST(Limits, TimesAtTheFloorKeepTheirOrder) {
  struct Row {
    const char* method;
    const char* contract;
    double expected, tolerance;
  };
  const Row rows[] = {
      // a floating call on a minimum of 90 that can no longer move: S - m
      {"LookbackPFloat",
       "OptionType=CallOption AssetPrice=100 StrikePrice=90 Lambda=1 "
       "TimeStart=5e-8 TimeExpire=1e-7",
       10, 1e-4},
      // a put struck at 110% in an instant: S (alpha - 1)
      {"ForwardStart",
       "OptionType=PutOption AssetPrice=60 TimeStart=5e-8 TimeExpire=1e-7 "
       "Alpha=1.1",
       6, 1e-4},
      // the better of a call struck at 45 and a put struck at 48, chosen now: the call's 5
      {"ComplexChooser",
       "AssetPrice=50 StrikeCall=45 StrikePut=48 TimeChoose=5e-8 "
       "TimeCall=1e-7 TimePut=1e-7",
       5, 1e-4},
      // a put on a call worth nothing: the StrikeOption of 50
      {"Compound",
       "OptionType=Put_Call AssetPrice=500 StrikeOption=50 StrikeUnderly=520 "
       "TimeOption=5e-8 TimeExpire=1e-7",
       50, 1e-4},
      // a standard put spread whose first period ends now: nothing left to spread
      {"ExtremeSpread",
       "SpreadType=Standard OptionType=PutOption AssetPrice=100 StrikePrice=95 "
       "Time1stPeriod=5e-8 TimeExpire=1e-7",
       0, 1e-4},
  };
  for (const Row& row : rows) {
    const NamedContract c(row.method, std::string(row.contract) +
                                          " Volatility=0.3 InterestRate=0.05 YieldRate=0.02 "
                                          "TimeFormat=Years");
    EXPECT_NEAR(c(1), row.expected, row.tolerance) << c.Describe();
  }
}

// At the volatility floor the price follows its forward S e^(bt): the lookbacks' powers of the
// price ratio, far beyond the doubles there, must still give the deterministic payoff's value.
TEST(Limits, TheVolatilityFloorPricesTheForwardPath) {
  const double r = 0.05, growth = std::exp(r);  // b = r, T = 1
  struct Row {
    const char* method;
    const char* contract;
    double expected;
  };
  const Row rows[] = {
      // a put on a maximum of 100 that the path never reaches again
      {"Lookback", "OptionType=PutOption AssetPrice=50 StrikePrice=100", 100 - 50 * growth},
      // a call on the maximum, which is where the path ends
      {"LookbackFixed", "OptionType=CallOption AssetPrice=100 AssetMinMax=100 StrikePrice=100",
       100 * growth - 100},
      // the life's maximum (the end) less the first half's (its end, above the 101 so far)
      {"ExtremeSpread",
       "SpreadType=Standard OptionType=CallOption AssetPrice=100 StrikePrice=101 "
       "Time1stPeriod=0.5",
       100 * growth - 100 * std::exp(r / 2)},
  };
  for (const Row& row : rows) {
    const NamedContract c(row.method, std::string(row.contract) +
                                          " TimeExpire=1 Volatility=0.002 InterestRate=0.05 "
                                          "YieldRate=0 TimeFormat=Years");
    EXPECT_NEAR(c(1), std::exp(-r) * row.expected, 1e-2) << c.Describe();
  }
}

// A yield too negative to convert leaves the quoted rates as they are; Psi then moves the quoted
// yield the same way. Deep in the money the value is about S e^(-qT), so Psi is about
// -0.01 T times the value (a converted bump of the annual quote gave -6.7e31).
TEST(Limits, RatesLeftUnconvertedAreBumpedUnconverted) {
  const NamedContract c("Executive",
                        "OptionType=CallOption AssetPrice=100 StrikePrice=100 "
                        "TimeExpire=30 Volatility=0.3 InterestRate=0.05 "
                        "YieldRate=-0.9 JumpRate=0 TimeFormat=Years "
                        "InterestRateType=Annually YieldRateType=Annually");
  const double value = c(1), psi = c(8);
  EXPECT_NEAR(value, 100 * std::exp(0.9 * 30), 1e-6 * value);
  // (a negative quote is differenced forward, which is off by T h / 2 = 1.5e-4)
  EXPECT_NEAR(psi, -0.01 * 30 * value, 2e-4 * 0.3 * value);
}

}  // namespace
}  // namespace quantrel::testing
