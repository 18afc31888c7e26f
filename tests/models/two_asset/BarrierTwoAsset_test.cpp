// Both two-asset barrier methods: the barrier on asset 2 watched for the whole life or until
// TimeBarrier.
#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

constexpr const char* kTerms =
    "OptionType=CallOption BarrierType=Down_Out AssetPrice1=100 AssetPrice2=100 StrikePrice=90 "
    "Barrier=92 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.2 InterestRate=0.08 YieldRate1=0.02 "
    "YieldRate2=0.03 Correlation=0.5 TimeFormat=Years";
const NamedContract kWhole("BarrierTwoAsset", kTerms);
const NamedContract kPartial =
    Changed(NamedContract("BarrierPartialTA", kTerms), "TimeBarrier=0.2");

double Plain(const NamedContract& c) {
  return PlainRef(c.GetInt("OptionType") == CallOption, 100, 90, 0.5, 0.2, 0.08, 0.02);
}

// Over asset 2's log-return x at the watch's end, with the density of the paths that never
// crossed the barrier (reflection principle); given x, asset 1 at expiry is lognormal, its driver
// correlated with asset 2's up to then.
double KnockOutReference(const NamedContract& c) {
  const bool down = c.GetInt("BarrierType") <= Down_In;
  const double T = 0.5, watch = c.Has("TimeBarrier") ? c.Get("TimeBarrier") : T,
               v2 = c.Get("Volatility2");
  const double rho = c.Get("Correlation"), mu = 0.08 - c.Get("YieldRate2") - v2 * v2 / 2,
               s = v2 * std::sqrt(watch);
  const double b = std::log(c.Get("Barrier") / 100),
               v1 = 0.2 * std::sqrt((T - rho * rho * watch) / T);
  const double lo = down ? b : b - 12 * s, h = 12 * s / 20000;
  double sum = 0;
  for (int i = 0; i < 20000; ++i) {
    const double x = lo + (i + 0.5) * h, z = (x - mu * watch) / s,
                 zr = (x - 2 * b - mu * watch) / s;
    const double density = (std::exp(-z * z / 2) - std::exp(2 * mu * b / (v2 * v2) - zr * zr / 2)) /
                           (std::sqrt(2 * M_PI) * s);
    const double given =
        100 * std::exp(0.2 * rho * z * std::sqrt(watch) - 0.02 * rho * rho * watch);
    sum += density * PlainRef(c.GetInt("OptionType") == CallOption, given, 90, T, v1, 0.08, 0.02);
  }
  return sum * h;
}

TEST(BarrierTwoAsset, KnockOutIsTheSurvivorsPayoffAndKnockInTheRest) {
  for (const NamedContract* base : {&kWhole, &kPartial}) {
    for (const char* type : {"CallOption", "PutOption"}) {
      for (const char* rho : {"-0.7", "0", "0.5"}) {
        for (const char* barrier :
             {"BarrierType=Down_Out Barrier=92", "BarrierType=Up_Out Barrier=112"}) {
          const NamedContract c = Changed(
              *base, std::string("OptionType=") + type + " Correlation=" + rho + " " + barrier);
          EXPECT_NEAR(c(1), KnockOutReference(c), 2e-4) << c.Describe();
          const NamedContract in = c.With("BarrierType", c.GetInt("BarrierType") + 1);
          EXPECT_NEAR(c(1) + in(1), Plain(c), 2e-4) << c.Describe();
        }
      }
    }
  }
  // Asset 2 at 2% volatility: the barrier's reflected term is e^35 times a far tail.
  const NamedContract quiet = Changed(kWhole, "Volatility2=0.02 YieldRate2=0.25 Barrier=96");
  EXPECT_NEAR(quiet(1), KnockOutReference(quiet), 2e-4);
}

// Asset 2 at or beyond the barrier has crossed it (a barrier at its price is not moved), and asset
// 2 at the volatility floor follows its drift: the knock-out is worth nothing, the knock-in the
// plain option; or, never reaching the barrier, the knock-out is the plain option.
TEST(BarrierTwoAsset, ACrossedBarrierKnocksOutOrIn) {
  for (const NamedContract* base : {&kWhole, &kPartial}) {
    for (const char* crossed :
         {"BarrierType=Down_Out Barrier=105", "BarrierType=Up_Out Barrier=100",
          "BarrierType=Up_Out Barrier=95 BarrierMonitoring=DailyM",
          "BarrierType=Down_Out Barrier=95 Volatility2=0 YieldRate2=0.6"}) {
      const NamedContract c = Changed(*base, crossed);
      EXPECT_NEAR(c(1), 0, 1e-6) << crossed;
      EXPECT_NEAR(c.With("BarrierType", c.GetInt("BarrierType") + 1)(1), Plain(c), 2e-5) << crossed;
    }
    EXPECT_NEAR(Changed(*base, "BarrierType=Up_Out Barrier=110 Volatility2=0")(1), Plain(*base),
                2e-5);
  }
}

// Watched until expiry or beyond, the partial barrier is the whole-life one; watched daily, a
// barrier is a continuous one moved away from asset 2 by its own volatility.
TEST(BarrierTwoAsset, TheWatchAndItsMonitoring) {
  for (int32_t type : {Down_Out, Down_In, Up_Out, Up_In}) {
    const double H = type <= Down_In ? 95 : 110;
    const NamedContract whole = kWhole.With("BarrierType", type).With("Barrier", H);
    const NamedContract partial = kPartial.With("BarrierType", type).With("Barrier", H);
    EXPECT_NEAR(partial.With("TimeBarrier", 0.5)(1), whole(1), 1e-12) << type;
    EXPECT_NEAR(partial.With("TimeBarrier", 1.0)(1), whole(1), 1e-12) << type;
  }
  const NamedContract daily = Changed(kWhole, "BarrierMonitoring=DailyM Volatility2=0.3");
  const double moved = 92 * std::exp(-0.5826 * 0.3 / std::sqrt(365.0));
  EXPECT_NEAR(daily(1), daily.With("BarrierMonitoring", 0).With("Barrier", moved)(1), 1e-12);
}

}  // namespace
}  // namespace quantrel::testing
