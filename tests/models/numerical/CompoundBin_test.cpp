#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/Failures.h"
#include "support/Reference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t exercise = European, type = Call_Call;
  double S = 100, Xo = 4, Xu = 95, T = 1, v = 0.3, r = 0.07, q = 0.02;
  int32_t steps = 500;
  double market = 0;

  double operator()(int32_t f, int32_t* err = nullptr) const {
    return CompoundBin(exercise, type, f, S, Xo, Xu, T, v, r, q, steps, market, Years, 0, 0, err);
  }
  // The closed-form compound option with the option date at expiry.
  double Closed() const {
    return Compound(type, Theoretical_C, S, Xo, Xu, T, T, v, r, q, 0, Years);
  }
};

const double kStrikes[][2] = {{4, 95}, {12, 90}, {2, 110}, {25, 100}};

TEST(CompoundBin, EuropeanConvergesToTheCompoundOptionDueAtExpiry) {
  for (const auto& strikes : kStrikes) {
    for (int32_t type : {Call_Call, Call_Put, Put_Call, Put_Put}) {
      Contract c;
      c.type = type, c.Xo = strikes[0], c.Xu = strikes[1];
      EXPECT_NEAR(c(Theoretical_C), c.Closed(), 0.01) << type << " Xo " << c.Xo << " Xu " << c.Xu;
    }
  }
}

// A call on a call due together is a call struck at both strikes; its tree greeks are the plain
// call's.
TEST(CompoundBin, CallOnACallIsACallStruckAtBothStrikes) {
  const Contract c;
  BlackScholesRef bs{c.S, c.Xo + c.Xu, c.T, c.v, c.r, c.q};
  EXPECT_NEAR(c(Theoretical_C), bs.Call(), 0.01);
  const double delta = std::exp(-c.q * c.T) * ExactN(bs.d1());
  const double gamma = std::exp(-c.q * c.T) * ExactDensity(bs.d1()) / (c.S * c.v * std::sqrt(c.T));
  const double theta =
      -(c.r * bs.X * std::exp(-c.r * c.T) * ExactN(bs.d2()) -
        c.q * c.S * std::exp(-c.q * c.T) * ExactN(bs.d1()) +
        c.S * std::exp(-c.q * c.T) * ExactDensity(bs.d1()) * c.v / (2 * std::sqrt(c.T))) /
      365;
  EXPECT_NEAR(c(Delta_C), delta, 1e-3);
  EXPECT_NEAR(c(Gamma_C), gamma, 2e-4);
  EXPECT_NEAR(c(Theta_C), theta, 2e-4);
  EXPECT_NEAR(c(Lambda_C), delta * c.S / c(Theoretical_C), 0.01);
  EXPECT_NEAR(c(Vega_C), bs.Vega() / 100, 2e-3);
  Contract tiny = c;  // no option premium: the plain call on the tree
  tiny.Xo = 1e-9;
  const BlackScholesRef plain{c.S, c.Xu, c.T, c.v, c.r, c.q};
  EXPECT_NEAR(tiny(Theoretical_C), plain.Call(), 0.01);
}

TEST(CompoundBin, PutCallParityOnTheTree) {
  for (bool onCall : {true, false}) {
    Contract call, put;
    call.type = onCall ? Call_Call : Call_Put, put.type = onCall ? Put_Call : Put_Put;
    const BlackScholesRef bs{call.S, call.Xu, call.T, call.v, call.r, call.q};
    const double underlying = onCall ? bs.Call() : bs.Put();
    EXPECT_NEAR(call(Theoretical_C) - put(Theoretical_C),
                underlying - call.Xo * std::exp(-call.r * call.T), 0.01);
  }
}

TEST(CompoundBin, EarlyExercise) {
  Contract european;
  european.q = 0;
  Contract american = european;
  american.exercise = American;
  // Without a yield neither option on a call is ever exercised early.
  EXPECT_EQ(american(Theoretical_C), european(Theoretical_C));
  for (int32_t type : {Call_Put, Put_Call, Put_Put}) {
    european.type = american.type = type, european.q = american.q = 0.05;
    EXPECT_GE(american(Theoretical_C), european(Theoretical_C)) << type;
  }
  // A call on a put deep in the money: both exercised at every node near the root, so the value
  // is linear in the price there and the tree's gamma, taken from its own nodes, vanishes.
  Contract deep = american;
  deep.type = Call_Put, deep.S = 60, deep.Xu = 130, deep.Xo = 5, deep.r = 0.1, deep.q = 0;
  deep.v = 0.2, deep.steps = 100;
  EXPECT_NEAR(deep(Theoretical_C), 65, 1e-9);
  EXPECT_NEAR(deep(Delta_C), -1, 1e-9);
  EXPECT_NEAR(deep(Gamma_C), 0, 1e-9);
}

TEST(CompoundBin, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"option type 5 before the strikes",
       With(c, [](Contract& k) { k.type = 5, k.Xu = 0, k.Xo = 0; }), Theoretical_C, OptionTypeErr,
       "The OptionType is invalid."},
      {"underlying strike first", With(c, [](Contract& k) { k.Xu = 0, k.Xo = 0; }), Theoretical_C,
       StrikeUnderlyErr, "StrikeUnderly must be greater than 0."},
      {"option strike", With(c, [](Contract& k) { k.Xo = -1, k.steps = 1; }), Theoretical_C,
       StrikeOptionErr, "StrikeOption must be greater than 0."},
      {"exercise type", With(c, [](Contract& k) { k.exercise = 2; }), Theoretical_C,
       ExerciseTypeErr, "The ExerciseType is invalid."},
      {"501 steps", With(c, [](Contract& k) { k.steps = 501; }), Theoretical_C, IterationsMaxErr,
       "The number of Iterations for the Numerical Models must be less than or equal to 500."},
      {"4 steps", With(c, [](Contract& k) { k.steps = 4; }), Theoretical_C, IterationsMinErr,
       "The number of Iterations for the Numerical Models must be greater than or equal to 5."},
      {"strike sensitivity of a single strike", c, StrikeSensitivity, OptionFunctionErr,
       "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
