#include <gtest/gtest.h>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = CallOption;
  double S1 = 52, S2 = 65, X1 = 50, X2 = 70, T = 0.5, v1 = 0.2, v2 = 0.3, r = 0.1, q1 = 0.02,
         q2 = 0.03, rho = 0.75, market = 0;

  double operator()(int32_t function, int32_t* err = nullptr) const {
    return TwoAssetCorr(type, function, S1, S2, X1, X2, T, v1, v2, r, q1, q2, rho, market, Years,
                        Continuous, Continuous, Continuous, err);
  }
  // Over asset 1's driver: where it ends beyond X1, a plain option on asset 2 given that driver.
  double Reference() const {
    const Lognormal a1{S1, q1, v1}, a2{S2, q2, v2};
    const double edge = a1.DriverAt(X1, r, T);
    return NormalExpectation(
        [&](double z1) {
          if ((type == CallOption) != (z1 > edge)) return 0.0;
          const Lognormal c = Conditional(a2, rho, T, z1);
          return PlainRef(type == CallOption, c.S, X2, T, c.v, r, c.q);
        },
        edge);
  }
};

TEST(TwoAssetCorr, TextbookCall) {
  Contract c;
  c.q1 = c.q2 = 0;
  EXPECT_NEAR(c(Theoretical_TA), 4.7073, 5e-5);
}

TEST(TwoAssetCorr, ValueIsTheExpectedPayoff) {
  for (int32_t type : {CallOption, PutOption}) {
    for (double rho : {-0.9, 0.0, 0.75, 0.98}) {
      for (double X1 : {40.0, 52.0, 65.0}) {
        Contract c;
        c.type = type, c.rho = rho, c.X1 = X1;
        EXPECT_NEAR(c(Theoretical_TA), c.Reference(), 2e-6 * c.S2)
            << type << " " << rho << " " << X1;
      }
    }
  }
}

// A first strike that can never bind leaves the plain option on asset 2.
TEST(TwoAssetCorr, AFirstStrikeThatNeverBindsLeavesThePlainOption) {
  Contract c;
  c.X1 = 1e-6;
  EXPECT_NEAR(c(Theoretical_TA), PlainRef(true, c.S2, c.X2, c.T, c.v2, c.r, c.q2), 1e-6 * c.S2);
  c.type = PutOption, c.X1 = 1e9;
  EXPECT_NEAR(c(Theoretical_TA), PlainRef(false, c.S2, c.X2, c.T, c.v2, c.r, c.q2), 1e-6 * c.S2);
}

TEST(TwoAssetCorr, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"second strike before the correlation", With(c, [](Contract& k) { k.X2 = 0, k.rho = 2; }),
       Theoretical_TA, StrikePriceErr, "StrikePrice2 must be greater than 0."},
      {"correlation", With(c, [](Contract& k) { k.rho = -1.5; }), Theoretical_TA, CorrelationErr,
       "Correlation must be >= -1 and <= 1."},
      {"no market price", c, ImpliedCorr_TA, MktPriceGZErr,
       "MarketPrice must be greater than zero to calculate the Implied Correlation."},
      {"a price no correlation reaches", With(c, [](Contract& k) { k.market = 30; }),
       ImpliedCorr_TA, ImpliedCorrErr, "There is NO solution for the Implied Correlation."},
      {"single-asset delta", c, Delta, OptionFunctionErr, "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
