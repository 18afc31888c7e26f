#include "models/path_dependent/LookbackPartialFixed.h"

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
  double S = 100, X = 100, t1 = 0.5, T = 1, v = 0.25, r = 0.07, q = 0.03;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr, bool raw = false,
                    bool skip = false) const {
    return LookbackPFixed(type, function, S, X, t1, T, v, r, q, market, timeFormat, rateType,
                          yieldType, err, raw, skip);
  }
};

// A window that opens now is the full fixed-strike lookback with today's price as the extreme;
// one that opens at expiry watches only the final price: a plain option.
TEST(LookbackPFixed, WindowLimitsAreTheFullLookbackAndThePlainOption) {
  for (int32_t type : {CallOption, PutOption}) {
    for (double X : {90.0, 100.0, 115.0}) {
      Contract c;
      c.type = type, c.X = X;
      c.t1 = 1e-6;
      EXPECT_NEAR(c(Theoretical),
                  LookbackFixed(type, Theoretical, c.S, c.S, X, c.T, c.v, c.r, c.q, 0, Years), 2e-3)
          << type << " X " << X;
      c.t1 = c.T;
      const BlackScholesRef bs{c.S, X, c.T, c.v, c.r, c.q};
      EXPECT_NEAR(c(Theoretical), type == CallOption ? bs.Call() : bs.Put(), 5e-4)
          << type << " X " << X;
    }
  }
}

// The longer the window, the more the extreme can do: the value falls as the window opens later.
TEST(LookbackPFixed, ValueFallsAsTheWindowOpensLater) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract c;
    c.type = type;
    double previous = INFINITY;
    for (double t1 : {0.1, 0.3, 0.5, 0.7, 0.9}) {
      c.t1 = t1;
      EXPECT_LT(c(Theoretical), previous) << type << " t1 " << t1;
      previous = c(Theoretical);
    }
  }
}

TEST(LookbackPFixed, SharedKernelIsTheEntrysValue) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract c;
    c.type = type;
    EXPECT_EQ(path_dependent::PartialFixedLookbackValue(type, c.S, c.X, c.t1, c.T, c.v, c.r, c.q),
              c(Theoretical));
  }
  EXPECT_EQ(path_dependent::PartialFixedLookbackValue(3, 100, 100, 0.5, 1, 0.2, 0.05, 0), 0.0);
}

TEST(LookbackPFixed, EqualRatesUseASmallCarry) {
  Contract c;
  c.q = c.r;
  Contract tiny = c;
  tiny.q = c.r - 1e-9;
  EXPECT_NEAR(c(Theoretical), tiny(Theoretical), 1e-6);
}

TEST(LookbackPFixed, FailuresComeInOrderWithExactCodesAndMessages) {
  quantrel::testing::ExpectFailures<Contract>({
      {"window start before the type",
       [](Contract& c) { c.t1 = 0, c.type = 0; },
       Theoretical,
       {TimeStartErr, "TimeStart must be greater than 0."}},
      {"window past expiry",
       [](Contract& c) { c.t1 = 1 + 1e-9; },
       Theoretical,
       {TimeStartLimitErr, "TimeStart must be less than TimeExpire."}},
      {"strike",
       [](Contract& c) { c.X = 0; },
       Theoretical,
       {StrikePriceErr, "StrikePrice must be greater than 0."}},
      {"time format",
       [](Contract& c) { c.timeFormat = 3; },
       Theoretical,
       {TimeFormatErr, "The TimeFormat is invalid."}},
  });
}

TEST(LookbackPFixed, ThetaWithTheWindowAtExpiryRunsForward) {
  Contract atExpiry;
  atExpiry.t1 = atExpiry.T;  // theta cannot move expiry before the window
  EXPECT_TRUE(std::isfinite(atExpiry(Theta)));
  EXPECT_LT(atExpiry(Theta), 0);
}
}  // namespace
}  // namespace quantrel
