#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

const NamedContract kBase("Rainbow",
                          "OptionType=CallOption ExtremeType=MinAsset AssetPrice1=100 "
                          "AssetPrice2=105 StrikePrice=98 TimeExpire=0.5 Volatility1=0.11 "
                          "Volatility2=0.16 InterestRate=0.05 YieldRate1=0.02 YieldRate2=0.03 "
                          "Correlation=0.63 TimeFormat=Years");

// The call on the minimum over asset 2's driver: where asset 2 ends at s above the strike, a call
// on asset 1 struck at X less one struck at s.
double MinCallReference(const NamedContract& c) {
  const double T = 0.5, r = 0.05, X = c.Get("StrikePrice");
  const Lognormal a1{100, 0.02, 0.11}, a2{105, 0.03, 0.16};
  return NormalExpectation([&](double z2) {
    const double s = a2.At(r, T, z2);
    const Lognormal g = Conditional(a1, c.Get("Correlation"), T, z2);
    return s <= X ? 0
                  : PlainRef(true, g.S, X, T, g.v, r, g.q) - PlainRef(true, g.S, s, T, g.v, r, g.q);
  });
}

TEST(Rainbow, CallOnTheMinimumIsTheExpectedPayoff) {
  for (double rho : {-0.8, 0.0, 0.95}) {
    for (double X : {80.0, 120.0}) {
      const NamedContract c = kBase.With("Correlation", rho).With("StrikePrice", X);
      EXPECT_NEAR(c(1), MinCallReference(c), 2e-4) << rho << " " << X;
    }
  }
}

// The maximum and the minimum together are the two assets, and so are their options, at every
// correlation, equal volatilities and perfect correlation included.
TEST(Rainbow, MaximumAndMinimumTogetherAreTheTwoPlainOptions) {
  for (const char* rho : {"-1", "0.63", "0.99999999999", "1"}) {
    for (const char* v2 : {"0.16", "0.11"}) {
      for (const char* X : {"60", "130"}) {
        for (int32_t type : {CallOption, PutOption}) {
          const NamedContract c = Changed(kBase, std::string("Correlation=") + rho +
                                                     " Volatility2=" + v2 + " StrikePrice=" + X)
                                      .With("OptionType", type);
          const bool call = type == CallOption;
          const double v = std::stod(v2), K = std::stod(X);
          EXPECT_NEAR(c(1) + c.With("ExtremeType", MaxAsset)(1),
                      PlainRef(call, 100, K, 0.5, 0.11, 0.05, 0.02) +
                          PlainRef(call, 105, K, 0.5, v, 0.05, 0.03),
                      2e-4)
              << c.Describe();
        }
      }
    }
  }
  EXPECT_NEAR(Changed(kBase, "OptionType=PutOption ExtremeType=MaxAsset StrikePrice=1e-6")(1), 0,
              1e-6);
}

}  // namespace
}  // namespace quantrel::testing
