#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = CallOption;
  double S1 = 122, S2 = 120, X = 3, T = 0.5, v1 = 0.2, v2 = 0.25, r = 0.1, q1 = 0.03, q2 = 0.05;
  double rho = 0.4, Q1 = 1, Q2 = 1;

  double operator()(int32_t function = Theoretical_SP, int32_t* err = nullptr) const {
    return Spread(type, function, S1, S2, X, T, v1, v2, r, q1, q2, rho, Q1, Q2, 0, Years,
                  Continuous, Continuous, Continuous, err);
  }
  double As(int32_t t) const {
    Contract c = *this;
    c.type = t;
    return c();
  }
  // What the call less the put pays for sure: Q1 S1 - Q2 S2 - X at expiry.
  double Forward() const {
    return Q1 * S1 * std::exp(-q1 * T) - Q2 * S2 * std::exp(-q2 * T) - X * std::exp(-r * T);
  }
};

// Call less put is the forward for every sign of strike and quantity, correlations at +-1
// included: the conditional values hold where the effective strike is 0 or negative.
TEST(Spread, CallLessPutIsTheForwardForAnyStrikeAndQuantity) {
  for (double X : {-60.0, -5.0, 0.0, 3.0, 40.0}) {
    for (double Q1 : {-0.5, 0.0, 1.0, 2.5}) {
      for (double rho : {-1.0, 0.4, 1.0}) {
        Contract c;
        c.X = X, c.Q1 = Q1, c.rho = rho;
        const double call = c.As(CallOption), put = c.As(PutOption);
        EXPECT_GE(call, 0);
        EXPECT_GE(put, 0);
        EXPECT_NEAR(call - put, c.Forward(), 2e-6 * c.S1) << X << " " << Q1 << " " << rho;
      }
    }
  }
}

// A negative strike is an ordinary contract: the call is worth more than at 0, by less than the
// strike's present value, and far enough below it is sure to be exercised (up to the driver's
// mass beyond 5 standard deviations, which the integration leaves out).
TEST(Spread, ANegativeStrikeIsPriced) {
  Contract at0, below;
  at0.X = 0, below.X = -5;
  EXPECT_GT(below(), at0());
  EXPECT_LT(below() - at0(), 5 * std::exp(-below.r * below.T));
  below.X = -1000;
  EXPECT_NEAR(below(), below.Forward(), 1e-6 * below.Forward());
}

// With asset 2 at the volatility floor (and uncorrelated) its price at expiry is as good as
// known: a plain option on asset 1 struck at asset 2's forward plus the strike.
TEST(Spread, AssetTwoWithoutVolatilityLeavesThePlainOption) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract c;
    c.type = type, c.v2 = 0, c.rho = 0;
    const double strike = c.S2 * std::exp((c.r - c.q2) * c.T) + c.X;
    EXPECT_NEAR(c(), PlainRef(type == CallOption, c.S1, strike, c.T, c.v1, c.r, c.q1), 2e-3)
        << type;
  }
}

TEST(Spread, AtStrikeZeroItIsTheExchangeOption) {
  Contract c;
  c.X = 0, c.Q1 = 1.5, c.Q2 = 0.7;
  const double exchange = Exchange(European, Theoretical_EX, c.S1, c.S2, c.T, c.v1, c.v2, c.q1,
                                   c.q2, c.rho, c.Q1, c.Q2, 0, Years);
  EXPECT_NEAR(c(), exchange, 2e-6 * c.S1);
}

TEST(Spread, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"strike that is no number", With(c, [](Contract& k) { k.X = NAN, k.S1 = -1; }),
       Theoretical_SP, StrikePriceErr, "StrikePrice must be a finite number."},
      {"first quantity", With(c, [](Contract& k) { k.Q1 = INFINITY; }), Theoretical_SP,
       Quantity1Err, "Quantity1 must be a finite number."},
      {"second quantity", With(c, [](Contract& k) { k.Q2 = NAN; }), Theoretical_SP, Quantity2Err,
       "Quantity2 must be a finite number."},
      {"asset price", With(c, [](Contract& k) { k.S1 = -1; }), Theoretical_SP, AssetPriceErr,
       "AssetPrice must be greater than 0."},
  });
}

}  // namespace
}  // namespace quantrel
