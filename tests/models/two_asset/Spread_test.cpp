#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

const NamedContract kCall("Spread",
                          "OptionType=CallOption AssetPrice1=122 AssetPrice2=120 StrikePrice=3 "
                          "TimeExpire=0.5 Volatility1=0.2 Volatility2=0.25 InterestRate=0.1 "
                          "YieldRate1=0.03 YieldRate2=0.05 Correlation=0.4 QtyAsset1=1 QtyAsset2=1 "
                          "TimeFormat=Years");

// What the call less the put pays for sure: Q1 S1 - Q2 S2 - X at expiry.
double Forward(const NamedContract& c) {
  return c.Get("QtyAsset1") * 122 * std::exp(-0.03 * 0.5) -
         c.Get("QtyAsset2") * 120 * std::exp(-0.05 * 0.5) -
         c.Get("StrikePrice") * std::exp(-0.1 * 0.5);
}

// For every sign of strike and quantity, correlations of +-1 included, both values are at least 0
// and the call less the put is the forward: the conditional values hold where the effective
// strike is 0 or negative (the written integration read such calls as 0).
TEST(Spread, CallLessPutIsTheForwardForAnyStrikeAndQuantity) {
  for (double X : {-60.0, -5.0, 0.0, 40.0}) {
    for (double Q1 : {-0.5, 0.0, 2.5}) {
      for (double rho : {-1.0, 0.4, 1.0}) {
        const NamedContract c =
            kCall.With("StrikePrice", X).With("QtyAsset1", Q1).With("Correlation", rho);
        const double call = c(1), put = c.With("OptionType", PutOption)(1);
        EXPECT_TRUE(call >= 0 && put >= 0) << c.Describe();
        EXPECT_NEAR(call - put, Forward(c), 2e-4) << c.Describe();
      }
    }
  }
  // Far below 0 the call is sure to be exercised (but for the driver's mass beyond 5 deviations).
  const NamedContract deep = kCall.With("StrikePrice", -1000);
  EXPECT_NEAR(deep(1), Forward(deep), 1e-6 * Forward(deep));
}

TEST(Spread, ItsLimitsAreThePlainAndTheExchangeOption) {
  // Asset 2 at the volatility floor, uncorrelated: its price at expiry is as good as known.
  const NamedContract fixed = kCall.With("Volatility2", 0).With("Correlation", 0);
  EXPECT_NEAR(fixed(1), PlainRef(true, 122, 120 * std::exp(0.05 * 0.5) + 3, 0.5, 0.2, 0.1, 0.03),
              2e-3);
  const NamedContract atZero = Changed(kCall, "StrikePrice=0 QtyAsset1=1.5 QtyAsset2=0.7");
  EXPECT_NEAR(atZero(1),
              Exchange(European, 1, 122, 120, 0.5, 0.2, 0.25, 0.03, 0.05, 0.4, 1.5, 0.7, 0, Years),
              2e-4);
}

}  // namespace
}  // namespace quantrel::testing
