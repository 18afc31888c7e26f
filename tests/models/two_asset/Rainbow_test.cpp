#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = CallOption, extreme = MaxAsset;
  double S1 = 100, S2 = 105, X = 98, T = 0.5, v1 = 0.11, v2 = 0.16, r = 0.05, q1 = 0.02, q2 = 0.03;
  double rho = 0.63;

  double operator()(int32_t function = Theoretical_SP, int32_t* err = nullptr) const {
    return Rainbow(type, extreme, function, S1, S2, X, T, v1, v2, r, q1, q2, rho, 0, Years,
                   Continuous, Continuous, Continuous, err);
  }
  double As(int32_t t, int32_t e) const {
    Contract c = *this;
    c.type = t, c.extreme = e;
    return c();
  }
  double Plain(bool call, int asset) const {
    return asset == 1 ? PlainRef(call, S1, X, T, v1, r, q1) : PlainRef(call, S2, X, T, v2, r, q2);
  }
  // The call on the minimum over asset 2's driver: where asset 2 ends at s above the strike, a
  // call on asset 1 struck at X less one struck at s.
  double MinCallReference() const {
    const Lognormal a1{S1, q1, v1}, a2{S2, q2, v2};
    return NormalExpectation([&](double z2) {
      const double s = a2.At(r, T, z2);
      if (s <= X) return 0.0;
      const Lognormal c = Conditional(a1, rho, T, z2);
      return PlainRef(true, c.S, X, T, c.v, r, c.q) - PlainRef(true, c.S, s, T, c.v, r, c.q);
    });
  }
};

TEST(Rainbow, CallOnTheMinimumIsTheExpectedPayoff) {
  for (double rho : {-0.8, 0.0, 0.63, 0.95}) {
    for (double X : {80.0, 98.0, 120.0}) {
      Contract c;
      c.extreme = MinAsset, c.rho = rho, c.X = X;
      EXPECT_NEAR(c(), c.MinCallReference(), 2e-6 * c.S1) << rho << " " << X;
    }
  }
}

// The maximum and the minimum together are the two assets: so are their options, whatever the
// correlation, equal volatilities and perfect correlation included.
TEST(Rainbow, MaximumAndMinimumTogetherAreTheTwoPlainOptions) {
  for (double rho : {-1.0, -0.5, 0.63, 0.99999999999, 1.0}) {
    for (double v2 : {0.16, 0.11}) {
      for (double X : {60.0, 98.0, 130.0}) {
        Contract c;
        c.rho = rho, c.v2 = v2, c.X = X;
        EXPECT_NEAR(c.As(CallOption, MaxAsset) + c.As(CallOption, MinAsset),
                    c.Plain(true, 1) + c.Plain(true, 2), 2e-6 * c.S1)
            << rho << " " << v2 << " " << X;
        EXPECT_NEAR(c.As(PutOption, MaxAsset) + c.As(PutOption, MinAsset),
                    c.Plain(false, 1) + c.Plain(false, 2), 2e-6 * c.S1)
            << rho << " " << v2 << " " << X;
      }
    }
  }
}

TEST(Rainbow, ATinyStrikeLeavesTheExpectedMaximum) {
  Contract c;
  c.X = 1e-6;
  const double exchange = Exchange(European, Theoretical_EX, c.S1, c.S2, c.T, c.v1, c.v2, c.q1,
                                   c.q2, c.rho, 1, 1, 0, Years);
  EXPECT_NEAR(c(), c.S2 * std::exp(-c.q2 * c.T) + exchange, 1e-6 * c.S1);
  EXPECT_NEAR(c.As(PutOption, MaxAsset), 0.0, 1e-6);
}

TEST(Rainbow, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"extreme type before the option type",
       With(c, [](Contract& k) { k.extreme = 0, k.type = 3; }), Theoretical_SP, ExtremeTypeErr,
       "The ExtremeType is invalid."},
      {"option type", With(c, [](Contract& k) { k.type = 3; }), Theoretical_SP, OptionTypeErr,
       "The OptionType is invalid."},
      {"strike", With(c, [](Contract& k) { k.X = 0; }), Theoretical_SP, StrikePriceErr,
       "StrikePrice must be greater than 0."},
  });
}

}  // namespace
}  // namespace quantrel
