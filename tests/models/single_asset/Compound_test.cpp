#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "quantrel/quantrel.h"
#include "support/SingleAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = Put_Call;
  double S = 500, X2 = 50, X1 = 520, t1 = 0.25, T2 = 0.5, v = 0.35, r = 0.08, q = 0;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr) const {
    return Compound(type, function, S, X2, X1, t1, T2, v, r, q, market, timeFormat, rateType,
                    yieldType, err);
  }
  // Exercise at t1 when the underlying option is worth more (call) or less (put) than X2.
  double Reference() const {
    const bool compoundCall = type == Call_Call || type == Call_Put;
    const bool underlyingCall = type == Call_Call || type == Put_Call;
    return DiscountedExpectation(S, t1, v, r, q, [&](double St) {
      const double u = PlainRef(underlyingCall, St, X1, T2 - t1, v, r, q);
      return std::max(compoundCall ? u - X2 : X2 - u, 0.0);
    });
  }
  double Underlying(bool call) const { return PlainRef(call, S, X1, T2, v, r, q); }
};

struct Case {
  double S, X2, X1, t1, T2, q;
};
// The last two: a StrikeOption far above the at-the-money put, and one above any value the put can
// reach.
const Case kCases[] = {{500, 50, 520, 0.25, 0.5, 0}, {100, 5, 100, 0.5, 1, 0.03},
                       {100, 12, 90, 0.1, 2, 0.05},  {80, 2, 100, 0.75, 1, 0},
                       {100, 60, 100, 0.25, 0.5, 0}, {100, 120, 100, 0.25, 0.5, 0}};

Contract From(const Case& k, int32_t type) {
  Contract c;
  c.type = type, c.S = k.S, c.X2 = k.X2, c.X1 = k.X1, c.t1 = k.t1, c.T2 = k.T2, c.q = k.q;
  return c;
}

TEST(Compound, TextbookPutOnCall) {
  Contract c;  // S = 500, X1 = 520, X2 = 50, t1 = 0.25, T2 = 0.5, r = 8%, carry 5%, vol = 35%
  c.q = 0.03;
  EXPECT_NEAR(c(Theoretical_C), 21.1965, 5e-4);
}

TEST(Compound, ValueIsTheExpectedExerciseOfTheUnderlyingOption) {
  for (const Case& k : kCases) {
    for (int32_t type : {Call_Call, Call_Put, Put_Call, Put_Put}) {
      const Contract c = From(k, type);
      EXPECT_NEAR(c(Theoretical_C), c.Reference(), 2e-5 * c.S)
          << type << " S " << k.S << " X2 " << k.X2 << " X1 " << k.X1;
    }
  }
}

TEST(Compound, PutCallParity) {
  for (const Case& k : kCases) {
    for (bool call : {true, false}) {
      const Contract onCall = From(k, call ? Call_Call : Call_Put);
      const Contract putOn = From(k, call ? Put_Call : Put_Put);
      const double forward = onCall.Underlying(call) - k.X2 * std::exp(-onCall.r * k.t1);
      EXPECT_NEAR(onCall(Theoretical_C) - putOn(Theoretical_C), forward, 1e-5 * k.S)
          << (call ? "call" : "put") << " underlying, S " << k.S << " X2 " << k.X2;
    }
  }
}

// With no time between the two dates, a call on a call pays S - X1 - X2 when positive.
TEST(Compound, NoTimeBetweenTheDatesGivesACallStruckAtBothStrikes) {
  Contract c;
  c.type = Call_Call, c.t1 = c.T2 = 0.5, c.X1 = 480, c.X2 = 30;
  EXPECT_NEAR(c(Theoretical_C), PlainRef(true, c.S, 510, 0.5, c.v, c.r, c.q), 1e-4);
}

TEST(Compound, AnUnreachableStrikeOptionIsWorthNearlyNothing) {
  Contract c;
  c.type = Call_Call, c.X2 = 5000;
  EXPECT_LT(c(Theoretical_C), 1e-8);
}

TEST(Compound, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  const char* kTime = "TimeOption must be greater than 0 and less than TimeExpire.";
  ExpectFailures<Contract>({
      {"type 0 before the times", With(c, [](Contract& k) { k.type = 0, k.t1 = 0; }), Theoretical_C,
       OptionTypeErr, "The OptionType is invalid."},
      {"type 5", With(c, [](Contract& k) { k.type = 5; }), Theoretical_C, OptionTypeErr,
       "The OptionType is invalid."},
      {"option date at 0 before the strikes", With(c, [](Contract& k) { k.t1 = 0, k.X1 = 0; }),
       Theoretical_C, TimeOptionErr, kTime},
      {"option date after expiry", With(c, [](Contract& k) { k.t1 = 0.6; }), Theoretical_C,
       TimeOptionErr, kTime},
      {"underlying strike before option strike", With(c, [](Contract& k) { k.X1 = 0, k.X2 = 0; }),
       Theoretical_C, StrikeUnderlyErr, "StrikeUnderly must be greater than 0."},
      {"option strike before the asset price", With(c, [](Contract& k) { k.X2 = -1, k.S = -1; }),
       Theoretical_C, StrikeOptionErr, "StrikeOption must be greater than 0."},
      {"interest rate", With(c, [](Contract& k) { k.r = 0; }), Theoretical_C, InterestRateErr,
       "InterestRate must be greater than 0."},
      {"single strike sensitivity", c, StrikeSensitivity, OptionFunctionErr,
       "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
