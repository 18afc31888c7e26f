#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/Failures.h"
#include "support/Reference.h"

namespace quantrel {
namespace {

using quantrel::testing::BlackScholesRef;
using quantrel::testing::ExpectFailure;

struct Contract {
  int32_t type = CallOption;
  double S = 100, m = 90, lambda = 1, t1 = 0.5, T = 1, v = 0.25, r = 0.07, q = 0.03;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr, bool raw = false,
                    bool skip = false) const {
    return LookbackPFloat(type, function, S, m, lambda, t1, T, v, r, q, market, timeFormat,
                          rateType, yieldType, err, raw, skip);
  }
};

TEST(LookbackPFloat, TextbookValue) {
  Contract c;  // S = m = 90, lambda = 1, t1 = 0.25, T = 1, r = b = 6%, v = 10%
  c.S = c.m = 90, c.t1 = 0.25, c.r = 0.06, c.q = 0, c.v = 0.1;
  EXPECT_NEAR(c(Theoretical), 8.6524, 1e-4);
}

// Watching the extreme up to (almost) expiry is the full floating-strike lookback.
TEST(LookbackPFloat, ApproachesTheFullLookbackAsTheWindowReachesExpiry) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract c;
    c.type = type;
    c.m = type == CallOption ? 90 : 110;
    const double full = Lookback(type, Theoretical, c.S, c.m, c.T, c.v, c.r, c.q, 0, Years);
    double previousGap = INFINITY;
    for (double t1 : {0.9, 0.99, 0.999, 0.99999}) {
      c.t1 = t1;
      const double gap = std::fabs(c(Theoretical) - full);
      EXPECT_LT(gap, previousGap) << type << " t1 " << t1;
      previousGap = gap;
    }
    EXPECT_LT(previousGap, 1e-4) << type;
    c.t1 = c.T;  // nudged back by 1e-10
    EXPECT_NEAR(c(Theoretical), full, 1e-5) << type;
  }
}

// With almost no window the strike is lambda times the extreme already seen: a plain option.
TEST(LookbackPFloat, AnEmptyWindowLeavesAPlainOptionOnLambdaTimesTheExtreme) {
  for (int32_t type : {CallOption, PutOption}) {
    for (double lambda : {0.9, 1.0, 1.2}) {
      Contract c;
      c.type = type, c.lambda = lambda, c.t1 = 1e-6;
      c.m = type == CallOption ? 90 : 110;
      const BlackScholesRef bs{c.S, lambda * c.m, c.T, c.v, c.r, c.q};
      EXPECT_NEAR(c(Theoretical), type == CallOption ? bs.Call() : bs.Put(), 1e-4)
          << type << " lambda " << lambda;
    }
  }
}

// Theta moves expiry alone; at a window that ends at expiry it cannot move it earlier, so the
// difference runs forward instead of failing.
TEST(LookbackPFloat, ThetaAtAWindowEndingAtExpiryRunsForward) {
  Contract c;
  c.t1 = c.T;
  const double h = 1e-5;
  Contract later = c;
  later.T += h;
  later.t1 = c.T - 1e-10;
  const double forward = -(later(Theoretical) - c(Theoretical)) / h / 365;
  EXPECT_NEAR(c(Theta), forward, 1e-9);
}

TEST(LookbackPFloat, FailuresComeInOrderWithExactCodesAndMessages) {
  quantrel::testing::ExpectFailures<Contract>({
      {"lambda before the times",
       [](Contract& c) { c.lambda = 0, c.t1 = 0; },
       Theoretical,
       {LambdaErr, "dblLambda must be greater than 0."}},
      {"window start",
       [](Contract& c) { c.t1 = 0, c.T = -1; },
       Theoretical,
       {TimeStartErr, "TimeStart must be greater than 0."}},
      {"window past expiry",
       [](Contract& c) { c.t1 = 1.5, c.type = 5; },
       Theoretical,
       {TimeStartLimitErr, "TimeStart must be less than TimeExpire."}},
      {"option type",
       [](Contract& c) { c.type = 5; },
       Theoretical,
       {OptionTypeErr, "The OptionType is invalid."}},
      {"extreme",
       [](Contract& c) { c.m = 0; },
       Theoretical,
       {StrikePriceErr, "StrikePrice must be greater than 0."}},
  });
}

}  // namespace
}  // namespace quantrel
