#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "quantrel/quantrel.h"
#include "support/SingleAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  double S = 50, X = 50, t = 0.25, T = 0.5, v = 0.25, r = 0.08, q = 0;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr) const {
    return Chooser(function, S, X, t, T, v, r, q, market, timeFormat, rateType, yieldType, err);
  }
  double Call() const { return PlainRef(true, S, X, T, v, r, q); }
  double Put() const { return PlainRef(false, S, X, T, v, r, q); }
  // The better of the call and the put, chosen at t.
  double Reference() const {
    return DiscountedExpectation(S, t, v, r, q, [&](double St) {
      return std::max(PlainRef(true, St, X, T - t, v, r, q),
                      PlainRef(false, St, X, T - t, v, r, q));
    });
  }
};

TEST(Chooser, ValueIsTheExpectedBetterChoice) {
  for (double X : {40.0, 50.0, 60.0}) {
    for (double t : {0.05, 0.25, 0.45}) {
      for (double q : {0.0, 0.06}) {
        Contract c;
        c.X = X, c.t = t, c.q = q;
        EXPECT_NEAR(c(Theoretical), c.Reference(), 2e-5 * c.S) << X << " " << t << " " << q;
        EXPECT_GE(c(Theoretical), std::max(c.Call(), c.Put()) - 1e-6) << X << " " << t << " " << q;
      }
    }
  }
}

TEST(Chooser, TextbookValue) {
  Contract c;  // S 50, X 50, choice in 3 months, expiry in 6, r 8%, vol 25%
  EXPECT_NEAR(c(Theoretical), 6.1071, 5e-4);
}

TEST(Chooser, ChoiceAtExpiryIsAStraddleAndAnImmediateChoiceTheBetterOption) {
  for (double X : {45.0, 50.0, 58.0}) {
    Contract atExpiry;
    atExpiry.X = X, atExpiry.t = atExpiry.T;
    EXPECT_NEAR(atExpiry(Theoretical), atExpiry.Call() + atExpiry.Put(), 1e-5) << X;
    Contract now = atExpiry;
    now.t = 1e-6;
    EXPECT_NEAR(now(Theoretical), std::max(now.Call(), now.Put()), 2e-3) << X;
  }
}

TEST(Chooser, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  const char* kTime = "TimeChoose must be greater than 0 and less than the TimeExpire.";
  ExpectFailures<Contract>({
      {"choice at 0 before the asset price", With(c, [](Contract& k) { k.t = 0, k.S = -1; }),
       Theoretical, ChooserSTimeErr, kTime},
      {"choice after expiry", With(c, [](Contract& k) { k.t = 0.6; }), Theoretical, ChooserSTimeErr,
       kTime},
      {"strike", With(c, [](Contract& k) { k.X = -1; }), Theoretical, StrikePriceErr,
       "StrikePrice must be greater than 0."},
      {"yield type", With(c, [](Contract& k) { k.yieldType = -1; }), Theoretical, YeildRateTypeErr,
       "The YieldRateType is invalid."},
      {"unserved code", c, 34, OptionFunctionErr, "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
