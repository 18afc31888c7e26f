#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/NamedContract.h"

namespace quantrel::testing {
namespace {

std::string Market(double S, double carry = 0.05) {
  return "AssetPrice=" + std::to_string(S) +
         " TimeExpire=0.5 Volatility=0.3 InterestRate=0.1 YieldRate=" +
         std::to_string(0.1 - carry) + " TimeFormat=Years ";
}

// The knock-in as the average over the range of single-barrier knock-ins (Simpson's rule).
double AveragedIn(bool call, double S, double X, double L, double U, double carry) {
  auto single = [&](double H) {
    return NamedContract(
        "BarrierSingle",
        Market(S, carry) +
            (call ? "OptionType=1 BarrierType=Down_In" : "OptionType=2 BarrierType=Up_In") +
            " Rebate=0 StrikePrice=" + std::to_string(X) + " Barrier=" + std::to_string(H))(1);
  };
  const int n = 100;
  double sum = single(L) + single(U);
  for (int i = 1; i < n; ++i) sum += (i % 2 ? 4 : 2) * single(L + i * (U - L) / n);
  return sum / (3 * n);
}

// Knocked in in proportion to the depth reached: the average of the single-barrier knock-ins over
// the range, also with the spot inside the range or past it (levels already passed have knocked
// in), at the carries where the written formula is 0/0 (0 and -v^2), and with a strike beyond
// the range, which the written formula does not cover.
TEST(BarrierSoft, KnockInIsTheAverageOfSingleBarriersOverTheRange) {
  for (double carry : {0.05, 0.0, -0.09}) {
    for (double S : {100.0, 96.0, 92.0, 85.0, 80.0}) {
      for (double X : {100.0, 70.0}) {
        const std::string range =
            " StrikePrice=" + std::to_string(X) + " LowerBarrier=85 UpperBarrier=95";
        const NamedContract call("BarrierSoft",
                                 Market(S, carry) + "OptionType=Down_In_Call" + range);
        EXPECT_NEAR(call(1), AveragedIn(true, S, X, 85, 95, carry), 2e-5) << call.Describe();
        const std::string upper =
            " StrikePrice=" + std::to_string(200 - X) + " LowerBarrier=105 UpperBarrier=115";
        const NamedContract put("BarrierSoft",
                                Market(200 - S, carry) + "OptionType=Up_In_Put" + upper);
        EXPECT_NEAR(put(1), AveragedIn(false, 200 - S, 200 - X, 105, 115, carry), 2e-5)
            << put.Describe();
      }
    }
  }
}

// The Newton search re-enters with the barriers already moved for a daily watch: moved once, the
// volatility that priced the contract comes back.
TEST(BarrierSoft, ImpliedVolatilityMovesTheBarriersOnce) {
  NamedContract c("BarrierSoft", Market(100) +
                                     "OptionType=Down_In_Call StrikePrice=100 LowerBarrier=85 "
                                     "UpperBarrier=95 BarrierMonitoring=DailyM");
  c.Set("MarketPrice", c(1));
  EXPECT_NEAR(c(5), 0.3, 1e-6);
}

}  // namespace
}  // namespace quantrel::testing
