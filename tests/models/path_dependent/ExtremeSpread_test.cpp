#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/Failures.h"

namespace quantrel {
namespace {

using quantrel::testing::ExpectFailure;

struct Contract {
  int32_t spread = Standard, type = CallOption;
  double S = 100, Mo = 105, t1 = 0.4, T = 1, v = 0.3, r = 0.08, q = 0.05;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr, bool raw = false,
                    bool skip = false) const {
    return ExtremeSpread(spread, type, function, S, Mo, t1, T, v, r, q, market, timeFormat,
                         rateType, yieldType, err, raw, skip);
  }
};

// Present value of the maximum (call) or minimum (put) over a life tau, with the extreme so far,
// from the fixed-strike lookback.
double ExtremeValue(int32_t type, double S, double extreme, double tau, double v, double r,
                    double q) {
  const double X = type == CallOption ? 1e-6 : 1e6;  // always in the money
  const double lookback = LookbackFixed(type, Theoretical, S, extreme, X, tau, v, r, q, 0, Years);
  return type == CallOption ? lookback + X * std::exp(-r * tau) : X * std::exp(-r * tau) - lookback;
}

// Each payoff in terms of the extremes E1 of the first period (with the one seen so far), E2 of
// the second and E of the whole life: standard call E - E1 (maxima), put E1 - E (minima);
// reverse call E2 - E (minima), put E - E2 (maxima). E1 is known at t1 and paid at T; E2 is
// S(t1) times the extreme of a fresh path. The yield makes the discounting over the second
// period matter.
TEST(ExtremeSpread, AgreesWithTheLookbackDecomposition) {
  for (double q : {0.0, 0.05, -0.02}) {
    for (int32_t spread : {Standard, Reverse}) {
      for (int32_t type : {CallOption, PutOption}) {
        Contract c;
        c.spread = spread, c.type = type, c.q = q;
        const bool maxima = (spread == Standard) == (type == CallOption);
        const int32_t kind = maxima ? CallOption : PutOption;
        c.Mo = maxima ? 105 : 95;
        const double tau = c.T - c.t1;
        const double whole = ExtremeValue(kind, c.S, c.Mo, c.T, c.v, c.r, q);
        double expected;
        if (spread == Standard) {
          const double first =
              std::exp(-c.r * tau) * ExtremeValue(kind, c.S, c.Mo, c.t1, c.v, c.r, q);
          expected = type == CallOption ? whole - first : first - whole;
        } else {
          const double second =
              c.S * std::exp(-q * c.t1) * ExtremeValue(kind, 1, 1, tau, c.v, c.r, q);
          expected = type == CallOption ? second - whole : whole - second;
        }
        EXPECT_NEAR(c(Theoretical), expected, 1e-6)
            << "q " << q << " spread " << spread << " type " << type;
      }
    }
  }
}

// A first period of no length leaves the standard spread a fixed-strike lookback struck at the
// extreme so far; one that covers the whole life leaves nothing to spread.
TEST(ExtremeSpread, StandardSpreadAtTheEndsOfTheFirstPeriod) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract c;
    c.type = type, c.Mo = type == CallOption ? 105 : 95;
    c.t1 = 1e-7;
    EXPECT_NEAR(c(Theoretical),
                LookbackFixed(type, Theoretical, c.S, c.Mo, c.Mo, c.T, c.v, c.r, c.q, 0, Years),
                1e-6)
        << type;
    c.t1 = c.T;  // nudged back by 1e-10
    EXPECT_NEAR(c(Theoretical), 0, 1e-6) << type;
  }
}

// Equal rates price the limit of a vanishing carry, between its neighbours on either side.
TEST(ExtremeSpread, EqualRatesPriceTheNoCarryLimit) {
  for (int32_t spread : {Standard, Reverse}) {
    for (int32_t type : {CallOption, PutOption}) {
      Contract c;
      c.spread = spread, c.type = type, c.q = c.r;
      c.Mo = (spread == Standard) == (type == CallOption) ? 105 : 95;
      Contract below = c, above = c;
      below.q = c.r - 1e-4, above.q = c.r + 1e-4;
      EXPECT_NEAR(c(Theoretical), (below(Theoretical) + above(Theoretical)) / 2, 1e-4)
          << spread << " " << type;
    }
  }
}

TEST(ExtremeSpread, FailuresComeInOrderWithExactCodesAndMessages) {
  quantrel::testing::ExpectFailures<Contract>({
      {"first period before the spread type",
       [](Contract& c) { c.t1 = 0, c.spread = 3; },
       Theoretical,
       {Time1stPeriodErr, "Time1stPeriod must be greater than 0."}},
      {"first period past expiry",
       [](Contract& c) { c.t1 = 2, c.spread = 3; },
       Theoretical,
       {Time1stPeriodLimitErr, "Time1stPeriod must be less than TimeExpire."}},
      {"spread type before the option type",
       [](Contract& c) { c.spread = 3, c.type = 3; },
       Theoretical,
       {SpreadTypeErr, "The SpreadType is Invalid."}},
      {"option type",
       [](Contract& c) { c.type = 3; },
       Theoretical,
       {OptionTypeErr, "The OptionType is invalid."}},
      {"yield",
       [](Contract& c) { c.q = -2; },
       Theoretical,
       {YieldRateErr, "The Yield Rate must be greater than -1 or -100% and less than 1E5."}},
  });
}

TEST(ExtremeSpread, ThetaWithTheFirstPeriodEndingAtExpiryRunsForward) {
  Contract atExpiry;
  atExpiry.spread = Reverse, atExpiry.Mo = 95, atExpiry.t1 = atExpiry.T;
  EXPECT_TRUE(std::isfinite(atExpiry(Theta)));  // expiry cannot precede t1
}
}  // namespace
}  // namespace quantrel
