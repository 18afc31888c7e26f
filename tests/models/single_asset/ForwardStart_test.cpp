#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/Failures.h"
#include "support/Reference.h"

namespace quantrel {
namespace {

using quantrel::testing::BlackScholesRef;

struct Contract {
  int32_t type = CallOption;
  double S = 60, t1 = 0.25, T = 1, v = 0.3, r = 0.08, q = 0.04, alpha = 1.1;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr, bool raw = false,
                    bool skip = false) const {
    return ForwardStart(type, function, S, t1, T, v, r, q, alpha, market, timeFormat, rateType,
                        yieldType, err, raw, skip);
  }
  // S e^(-q t1) times a European option on 1 struck at alpha over the remaining life.
  double Reference() const {
    const BlackScholesRef bs{1, alpha, T - t1, v, r, q};
    return S * std::exp(-q * t1) * (type == CallOption ? bs.Call() : bs.Put());
  }
};

TEST(ForwardStart, ValuesAgreeWithAnIndependentFormula) {
  for (int32_t type : {CallOption, PutOption}) {
    for (double alpha : {0.8, 1.0, 1.1, 1.5}) {
      for (double t1 : {0.01, 0.25, 0.9}) {
        Contract c;
        c.type = type;
        c.alpha = alpha;
        c.t1 = t1;
        EXPECT_NEAR(c(Theoretical_FS), c.Reference(), 5e-6 * c.S)
            << "type " << type << " alpha " << alpha << " t1 " << t1;
      }
    }
  }
}

TEST(ForwardStart, TextbookValue) {
  Contract c;  // call: S = 60, alpha = 1.1, t1 = 0.25, T = 1, r = 8%, q = 4%, vol = 30%
  EXPECT_NEAR(c(Theoretical_FS), 4.4064, 5e-4);
}

TEST(ForwardStart, WithoutYieldTheValueIsSTimesTheOptionOnOne) {
  Contract c;
  c.q = 0;
  const double unit =
      quantrel::testing::BlackScholesRef{1, c.alpha, c.T - c.t1, c.v, c.r, 0}.Call();
  EXPECT_NEAR(c(Theoretical_FS), c.S * unit, 5e-6 * c.S);
}

TEST(ForwardStart, DaysAndYearsAgree) {
  Contract years;
  Contract days = years;
  days.timeFormat = Days;
  days.t1 = 0.25 * 365;
  days.T = 365;
  EXPECT_NEAR(days(Theoretical_FS), years(Theoretical_FS), 1e-12);
  EXPECT_NEAR(days(Theta_FS), years(Theta_FS), 1e-9);
}

TEST(ForwardStart, OmittedTimeFormatMeansDays) {
  const double defaulted =
      ForwardStart(CallOption, Theoretical_FS, 60, 91.25, 365, 0.3, 0.08, 0.04, 1.1);
  Contract c;
  EXPECT_NEAR(defaulted, c(Theoretical_FS), 1e-12);
}

// The value is linear in the asset price: delta is value / S, gamma is 0 and lambda is 1.
TEST(ForwardStart, AssetSensitivitiesFollowFromLinearity) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract c;
    c.type = type;
    const double value = c(Theoretical_FS);
    EXPECT_NEAR(c(Delta_FS), value / c.S, 1e-8);
    EXPECT_NEAR(c(Gamma_FS), 0.0, 1e-8);
    EXPECT_NEAR(c(Lambda_FS), 1.0, 1e-7);
  }
}

TEST(ForwardStart, LambdaOfAWorthlessContractIsZero) {
  Contract c;
  c.type = PutOption;
  c.alpha = 1e-6;  // a put struck at almost nothing
  ASSERT_EQ(c(Theoretical_FS), 0.0);
  EXPECT_EQ(c(Lambda_FS), 0.0);
}

TEST(ForwardStart, ThetaGoesOneSidedForAVeryShortStart) {
  Contract c;
  c.t1 = 5e-6;  // too short to be lowered by the step
  const double h = 1e-5;
  Contract later = c;
  later.t1 += h, later.T += h;
  const double forward = -(later(Theoretical_FS) - c(Theoretical_FS)) / h / 365;
  EXPECT_NEAR(c(Theta_FS), forward, 1e-9);
}

TEST(ForwardStart, VegaIsPerPercentagePointUnlessRaw) {
  Contract c;
  const BlackScholesRef bs{1, c.alpha, c.T - c.t1, c.v, c.r, c.q};
  const double exact = c.S * std::exp(-c.q * c.t1) * bs.Vega();
  EXPECT_NEAR(c(Vega_FS), 0.01 * exact, 1e-5);
  EXPECT_NEAR(c(Vega_FS, nullptr, true), exact, 1e-3);
  EXPECT_DOUBLE_EQ(c(Vega_FS, nullptr, true) * 0.01, c(Vega_FS));
}

TEST(ForwardStart, ImpliedVolatilityReportsNoSolutionAsZero) {
  Contract c;
  c.market = 1e6;  // more than any volatility can give
  EXPECT_EQ(c(ImpliedVol_FS), 0.0);
}

TEST(ForwardStart, TimeStartAtExpiryIsNudgedBack) {
  Contract c;
  c.t1 = c.T = 0.5;
  c.alpha = 0.9;
  // A sliver of life left after the strike is set: intrinsic value of the forward-set option.
  const double expected = c.S * std::exp(-c.q * 0.5) * (1 - 0.9);
  EXPECT_NEAR(c(Theoretical_FS), expected, 1e-6);
}

TEST(ForwardStart, ValueIsNeverNegative) {
  Contract c;
  c.alpha = 1e-10;
  c.type = PutOption;
  EXPECT_GE(c(Theoretical_FS), 0.0);
  c.alpha = 1e25;
  c.type = CallOption;
  EXPECT_GE(c(Theoretical_FS), 0.0);
}

TEST(ForwardStart, FailuresComeInOrderWithExactCodesAndMessages) {
  const char* kTimeStart = "TimeStart must be greater than 0 and less than the TimeExpire.";
  quantrel::testing::ExpectFailures<Contract>({
      {"start after expiry, before the type check",
       [](Contract& c) {
         c.t1 = 2;
         c.type = 9;
       },
       Theoretical_FS,
       {TimeStartErr, kTimeStart}},
      {"start at 0", [](Contract& c) { c.t1 = 0; }, Theoretical_FS, {TimeStartErr, kTimeStart}},
      {"option type",
       [](Contract& c) { c.type = 3; },
       Theoretical_FS,
       {OptionTypeErr, "The OptionType is invalid."}},
      {"asset price",
       [](Contract& c) { c.S = -1; },
       Theoretical_FS,
       {AssetPriceErr, "AssetPrice must be greater than 0."}},
      {"alpha",
       [](Contract& c) { c.alpha = 0; },
       Theoretical_FS,
       {AlphaErr, "The Alpha must be greater than 0."}},
      {"time format",
       [](Contract& c) { c.timeFormat = 2; },
       Theoretical_FS,
       {TimeFormatErr, "The TimeFormat is invalid."}},
      {"rate",
       [](Contract& c) { c.r = 0; },
       Theoretical_FS,
       {InterestRateErr, "InterestRate must be greater than 0."}},
      {"rate type",
       [](Contract& c) { c.rateType = 12; },
       Theoretical_FS,
       {IntRateTypeErr, "The InterestRateType is invalid."}},
      {"market price",
       [](Contract& c) { c.market = -1; },
       ImpliedVol_FS,
       {MktPriceNegErr, "MarketPrice cannot be a negative number."}},
      {"input error before function error",
       [](Contract& c) { c.S = -1; },
       11,
       {AssetPriceErr, "AssetPrice must be greater than 0."}},
      {"strike sensitivity",
       [](Contract&) {},
       11,
       {OptionFunctionErr, "The OptionFunction is invalid."}},
      {"implied strike",
       [](Contract& c) { c.market = 5; },
       13,
       {OptionFunctionErr, "The OptionFunction is invalid."}},
      {"two-asset delta",
       [](Contract&) {},
       20,
       {OptionFunctionErr, "The OptionFunction is invalid."}},
      {"market price checked before the function",
       [](Contract& c) { c.market = 0; },
       13,
       {MktPriceGZErr, "MarketPrice must be greater than zero to calculate the Implied Strike."}},
      {"unused code", [](Contract&) {}, 10, {OptionFunctionErr, "The OptionFunction is invalid."}},
      {"negative code",
       [](Contract&) {},
       -1,
       {OptionFunctionErr, "The OptionFunction is invalid."}},
  });
}

TEST(ForwardStart, MarketPriceIsIgnoredUnlessImplied) {
  Contract c;
  c.market = -5;
  int32_t err = 123;
  EXPECT_GT(c(Theoretical_FS, &err), 0);
  EXPECT_EQ(err, None);
}

TEST(ForwardStart, SkipValidationTakesInputsAsNormalised) {
  Contract c;
  c.rateType = Annually;  // would be converted when validated
  const double validated = c(Theoretical_FS);
  const double skipped = c(Theoretical_FS, nullptr, false, true);
  Contract continuous = c;
  continuous.rateType = Continuous;
  EXPECT_EQ(skipped, continuous(Theoretical_FS));
  EXPECT_NE(skipped, validated);
  // Times in days are not converted either.
  Contract days = c;
  days.timeFormat = Days;
  EXPECT_EQ(days(Theoretical_FS, nullptr, false, true), skipped);
}

TEST(ForwardStart, TimesRaisedToTheFloorKeepTheSliverOfLifeBetweenThem) {
  Contract c;
  c.t1 = c.T = 1e-9;  // the start a sliver before expiry, both raised to 1e-7 years
  c.alpha = 1;
  const double value = c(Theoretical_FS);
  EXPECT_GT(value, 0);
  EXPECT_LT(value, 1e-3);  // an at-the-money option with almost no life
}

}  // namespace
}  // namespace quantrel
