#include <gtest/gtest.h>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

const NamedContract kCall("TwoAssetCorr",
                          "OptionType=CallOption AssetPrice1=52 AssetPrice2=65 StrikePrice1=50 "
                          "StrikePrice2=70 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.3 "
                          "InterestRate=0.1 YieldRate1=0 YieldRate2=0 Correlation=0.75 "
                          "TimeFormat=Years");

// Over asset 1's driver: where it ends beyond StrikePrice1, a plain option on asset 2 given it.
double Reference(const NamedContract& c) {
  const bool call = c.GetInt("OptionType") == CallOption;
  const double T = c.Get("TimeExpire"), r = c.Get("InterestRate");
  const Lognormal a1{c.Get("AssetPrice1"), c.Get("YieldRate1"), c.Get("Volatility1")};
  const Lognormal a2{c.Get("AssetPrice2"), c.Get("YieldRate2"), c.Get("Volatility2")};
  const double edge = a1.DriverAt(c.Get("StrikePrice1"), r, T);
  return NormalExpectation(
      [&](double z1) {
        const Lognormal g = Conditional(a2, c.Get("Correlation"), T, z1);
        return call == (z1 > edge) ? PlainRef(call, g.S, c.Get("StrikePrice2"), T, g.v, r, g.q) : 0;
      },
      edge);
}

TEST(TwoAssetCorr, ValueIsTheExpectedPayoff) {
  EXPECT_NEAR(kCall(1), 4.7073, 5e-5);  // the textbook call
  for (const char* type : {"CallOption", "PutOption"}) {
    for (const char* rho : {"-0.9", "0", "0.98"}) {
      for (const char* X1 : {"40", "65"}) {
        const NamedContract c = Changed(kCall, std::string("YieldRate2=0.03 OptionType=") + type +
                                                   " Correlation=" + rho + " StrikePrice1=" + X1);
        EXPECT_NEAR(c(1), Reference(c), 2e-6 * 65) << c.Describe();
      }
    }
  }
  // A first strike that never binds leaves the plain option on asset 2.
  EXPECT_NEAR(kCall.With("StrikePrice1", 1e-6)(1), PlainRef(true, 65, 70, 0.5, 0.3, 0.1, 0), 1e-4);
}

}  // namespace
}  // namespace quantrel::testing
