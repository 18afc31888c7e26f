#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "quantrel/quantrel.h"
#include "support/SingleAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  double S = 50, Xc = 55, Xp = 48, t = 0.25, Tc = 0.5, Tp = 0.5833, v = 0.35, r = 0.1, q = 0.05;
  double market = 0;
  int32_t timeFormat = Years;

  double operator()(int32_t function, int32_t* err = nullptr, bool skip = false) const {
    return ComplexChooser(function, S, Xc, Xp, t, Tc, Tp, v, r, q, market, timeFormat, err, false,
                          skip);
  }
  double Reference() const {
    return DiscountedExpectation(S, t, v, r, q, [&](double St) {
      return std::max(PlainRef(true, St, Xc, Tc - t, v, r, q),
                      PlainRef(false, St, Xp, Tp - t, v, r, q));
    });
  }
};

TEST(ComplexChooser, ValueIsTheExpectedBetterChoice) {
  struct Row {
    double S, Xc, Xp, t, Tc, Tp;
  };
  const Row rows[] = {{50, 55, 48, 0.25, 0.5, 0.5833},
                      {50, 45, 55, 0.1, 1.0, 0.4},
                      {5, 50, 50, 0.5, 1.0, 1.0},
                      {400, 50, 60, 0.5, 0.6, 2.0},
                      {50, 50, 50, 0.99, 1.0, 1.0}};
  for (const Row& row : rows) {
    Contract c;
    c.S = row.S, c.Xc = row.Xc, c.Xp = row.Xp, c.t = row.t, c.Tc = row.Tc, c.Tp = row.Tp;
    EXPECT_NEAR(c(Theoretical_TS), c.Reference(), 2e-5 * std::max(c.S, c.Xp))
        << row.S << " " << row.Xc << " " << row.Xp << " " << row.t;
  }
}

TEST(ComplexChooser, TextbookValue) {
  EXPECT_NEAR(Contract{}(Theoretical_TS), 6.0508, 2e-4);
}

TEST(ComplexChooser, EqualStrikesAndExpiriesGiveTheSimpleChooser) {
  for (double X : {40.0, 50.0, 62.0}) {
    for (double t : {0.1, 0.25, 0.4}) {
      Contract c;
      c.Xc = c.Xp = X, c.t = t, c.Tc = c.Tp = 0.5;
      const double simple = Chooser(Theoretical, c.S, X, t, 0.5, c.v, c.r, c.q, 0, Years);
      EXPECT_NEAR(c(Theoretical_TS), simple, 1e-6 * c.S) << X << " " << t;
    }
  }
}

// Choosing at the common expiry (nudged just before it) takes whichever pays; with StrikeCall at
// or above StrikePut at most one does, so the contract is the call plus the put.
TEST(ComplexChooser, AChoiceAtBothExpiriesIsTheCallPlusThePut) {
  for (int32_t format : {Years, Days}) {
    Contract c;
    c.Xc = 55, c.Xp = 48, c.timeFormat = format;
    c.t = c.Tc = c.Tp = format == Days ? 182.5 : 0.5;
    const double sum = PlainRef(true, c.S, c.Xc, 0.5, c.v, c.r, c.q) +
                       PlainRef(false, c.S, c.Xp, 0.5, c.v, c.r, c.q);
    EXPECT_NEAR(c(Theoretical_TS), sum, 1e-5) << format;
  }
}

TEST(ComplexChooser, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  const char* kTime = "TimeChooser must be greater than 0 and less than both TimeCall and TimePut.";
  ExpectFailures<Contract>({
      {"choice at 0 first", With(c, [](Contract& k) { k.t = 0, k.Xc = 0; }), Theoretical_TS,
       ChooserTimeErr, kTime},
      {"call expiry at 0 is a choice after it", With(c, [](Contract& k) { k.Tc = 0; }),
       Theoretical_TS, ChooserTimeErr, kTime},
      {"choice after the put expiry", With(c, [](Contract& k) { k.Tp = 0.2; }), Theoretical_TS,
       ChooserTimeErr, kTime},
      {"put expiry not a number", With(c, [](Contract& k) { k.Tp = NAN; }), Theoretical_TS,
       TimePutErr, "TimePut must be greater than 0."},
      {"call strike before put strike", With(c, [](Contract& k) { k.Xc = 0, k.Xp = 0; }),
       Theoretical_TS, StrikeCallErr, "StrikeCall must be greater than 0."},
      {"put strike before the asset price", With(c, [](Contract& k) { k.Xp = -1, k.S = -1; }),
       Theoretical_TS, StrikePutErr, "StrikePut must be greater than 0."},
      {"asset price", With(c, [](Contract& k) { k.S = -1; }), Theoretical_TS, AssetPriceErr,
       "AssetPrice must be greater than 0."},
      {"single-strike sensitivity", c, StrikeSensitivity, OptionFunctionErr,
       "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
