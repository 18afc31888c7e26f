#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/Failures.h"
#include "support/Reference.h"

namespace quantrel {
namespace {

using quantrel::testing::ExactDensity;
using quantrel::testing::ExactN;
using quantrel::testing::ExpectFailure;

struct Contract {
  int32_t type = CallOption;
  double S = 120, m = 100, T = 0.5, v = 0.3, r = 0.1, q = 0.04;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr, bool raw = false,
                    bool skip = false) const {
    return Lookback(type, function, S, m, T, v, r, q, market, timeFormat, rateType, yieldType, err,
                    raw, skip);
  }
};

// The floating-strike lookback rebuilt from the fixed-strike one, a different formula:
// S_T - min = (S_T - S) + (S - min) and max - S_T = (max - S) - (S_T - S), where the second term is
// a fixed-strike lookback struck at S on the extreme seen so far.
TEST(Lookback, AgreesWithTheFixedStrikeLookbackStruckAtToday) {
  for (double q : {0.0, 0.04, 0.12}) {
    for (double T : {0.1, 0.5, 2.0}) {
      Contract c;
      c.q = q, c.T = T;
      const double forward = c.S * (std::exp(-q * T) - std::exp(-c.r * T));
      c.type = CallOption, c.m = 100;
      EXPECT_NEAR(
          c(Theoretical),
          forward + LookbackFixed(PutOption, Theoretical, c.S, c.m, c.S, T, c.v, c.r, q, 0, Years),
          1e-9)
          << "call q " << q << " T " << T;
      c.type = PutOption, c.m = 135;
      EXPECT_NEAR(
          c(Theoretical),
          LookbackFixed(CallOption, Theoretical, c.S, c.m, c.S, T, c.v, c.r, q, 0, Years) - forward,
          1e-9)
          << "put q " << q << " T " << T;
    }
  }
}

// With no carry the formula's v^2/(2b) terms have a finite limit:
// S e^(-rT) [v sqrt(T) n(a1) - (ln(S/m) + v^2 T/2) N(-a1)] for the call.
TEST(Lookback, EqualRatesPriceTheNoCarryLimit) {
  Contract c;
  c.q = c.r;
  const double vT = c.v * std::sqrt(c.T);
  const double a1 = (std::log(c.S / c.m) + c.v * c.v * c.T / 2) / vT;
  const double disc = std::exp(-c.r * c.T);
  const double limit =
      c.S * disc * ExactN(a1) - c.m * disc * ExactN(a1 - vT) +
      c.S * disc *
          (vT * ExactDensity(a1) - (std::log(c.S / c.m) + c.v * c.v * c.T / 2) * ExactN(-a1));
  EXPECT_NEAR(c(Theoretical), limit, 5e-5);  // the polynomial N against the exact one
  Contract tiny = c;
  tiny.q = c.r - 1e-9;
  EXPECT_NEAR(c(Theoretical), tiny(Theoretical), 1e-6);
}

TEST(Lookback, AnExtremeBeyondTodaysPriceCountsAsTodaysPrice) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract atS;
    atS.type = type, atS.m = atS.S;
    Contract beyond = atS;
    beyond.m = type == CallOption ? 150 : 90;  // a minimum above today's price, a maximum below
    EXPECT_EQ(beyond(Theoretical), atS(Theoretical)) << type;
  }
}

TEST(Lookback, ValueAtTheExtremeVanishesWithTheLife) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract c;
    c.type = type, c.m = c.S, c.T = 1e-6;
    const double value = c(Theoretical);
    EXPECT_GE(value, 0.0);
    EXPECT_LT(value, 0.1);
  }
}

TEST(Lookback, FailuresComeInOrderWithExactCodesAndMessages) {
  quantrel::testing::ExpectFailures<Contract>({
      {"option type",
       [](Contract& c) { c.type = 0; },
       Theoretical,
       {OptionTypeErr, "The OptionType is invalid."}},
      {"extreme",
       [](Contract& c) { c.m = 0; },
       Theoretical,
       {StrikePriceErr, "StrikePrice must be greater than 0."}},
      {"input before function",
       [](Contract& c) { c.T = 0; },
       10,
       {TimeExpireErr, "TimeExpire must be greater than 0."}},
      {"unserved function",
       [](Contract&) {},
       10,
       {OptionFunctionErr, "The OptionFunction is invalid."}},
      {"two-asset function",
       [](Contract&) {},
       20,
       {OptionFunctionErr, "The OptionFunction is invalid."}},
  });
}

}  // namespace
}  // namespace quantrel
