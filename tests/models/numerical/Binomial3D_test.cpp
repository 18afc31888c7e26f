#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "quantrel/quantrel.h"
#include "support/Failures.h"
#include "support/Reference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

// A two-asset contract through the method its payoff belongs to (0 spread, 1 and 2 rainbow max
// and min, 3 and 4 dual strike standard and reverse, 5 portfolio, 6 exchange).
struct Contract {
  int payoff = 0;
  int32_t exercise = European, type = CallOption;
  double S1 = 100, S2 = 95, X = 5, X2 = 90, T = 0.5, v1 = 0.3, v2 = 0.2, r = 0.05, q1 = 0.02,
         q2 = 0.03, rho = 0.4, Q1 = 1, Q2 = 1;
  int32_t steps = 100;
  double market = 0;

  double operator()(int32_t f, int32_t* err = nullptr) const {
    switch (payoff) {
      case 0:
        return SpreadBin(exercise, type, f, S1, S2, X, T, v1, v2, r, q1, q2, rho, steps, Q1, Q2,
                         market, Years, 0, 0, 0, err);
      case 1:
      case 2:
        return RainbowBin(exercise, type, payoff, f, S1, S2, X, T, v1, v2, r, q1, q2, rho, steps,
                          Q1, Q2, market, Years, 0, 0, 0, err);
      case 3:
      case 4:
        return DualStrikeBin(payoff - 2, exercise, type, f, S1, S2, X, X2, T, v1, v2, r, q1, q2,
                             rho, steps, Q1, Q2, market, Years, 0, 0, 0, err);
      case 5:
        return PortfolioBin(exercise, type, f, S1, S2, X, T, v1, v2, r, q1, q2, rho, steps, Q1, Q2,
                            market, Years, 0, 0, 0, err);
      default:
        return ExchangeBin(exercise, f, S1, S2, T, v1, v2, q1, q2, rho, steps, Q1, Q2, market,
                           Years, 0, 0, err);
    }
  }

  // The European value: over asset 2's normal shock z, asset 1 is lognormal given z and each
  // payoff's expectation is a Black-Scholes form (Simpson's rule on [-8, 8]).
  double Reference() const {
    const double s = v1 * std::sqrt(T * (1 - rho * rho)), rate = payoff == 6 ? 0.05 : r;
    auto call = [&](double F, double K) {
      if (K <= 0) return F - K;
      const double d1 = (std::log(F / K) + s * s / 2) / s;
      return F * ExactN(d1) - K * ExactN(d1 - s);
    };
    auto put = [&](double F, double K) { return K <= 0 ? 0.0 : call(F, K) - F + K; };
    const bool isCall = type == CallOption || payoff == 6;
    auto expected = [&](double z) {
      const double B = Q2 * S2 * std::exp((rate - q2 - v2 * v2 / 2) * T + v2 * std::sqrt(T) * z);
      const double F =
          Q1 * S1 *
          std::exp((rate - q1 - v1 * v1 / 2) * T + v1 * std::sqrt(T) * rho * z + s * s / 2);
      switch (payoff) {
        case 0:
          return isCall ? call(F, B + X) : put(F, B + X);
        case 1:
          if (isCall) return B > X ? B - X + call(F, B) : call(F, X);
          return B < X ? put(F, X) - put(F, B) : 0.0;
        case 2:
          if (isCall) return B > X ? call(F, X) - call(F, B) : 0.0;
          return B < X ? X - B + put(F, B) : put(F, X);
        case 3:
        case 4: {
          // The second leg pays c for sure; the first adds what it pays beyond c.
          const bool sameSide = (payoff == 3) == isCall;
          const double c = std::max(sameSide ? B - X2 : X2 - B, 0.0);
          return isCall ? c + call(F, X + c) : c + put(F, X - c);
        }
        case 5:
          return isCall ? call(F, X - B) : put(F, X - B);
        default:
          return call(F, B);
      }
    };
    const int n = 800;
    const double h = 16.0 / n;
    double sum = 0;
    for (int i = 0; i <= n; ++i) {
      const double z = -8 + i * h, w = i == 0 || i == n ? 1 : i % 2 ? 4 : 2;
      sum += w * ExactDensity(z) * expected(z);
    }
    return std::exp(-rate * T) * sum * h / 3;
  }
};

Contract Make(int payoff, int32_t type, double X) {
  Contract c;
  c.payoff = payoff, c.type = type, c.X = X;
  return c;
}

// Strikes near the money of each payoff, calls and puts.
const Contract kContracts[] = {
    Make(0, CallOption, 5),   Make(0, PutOption, 8),    Make(0, CallOption, -3),
    Make(1, CallOption, 100), Make(1, PutOption, 105),  Make(2, CallOption, 90),
    Make(2, PutOption, 95),   Make(3, CallOption, 100), Make(3, PutOption, 100),
    Make(4, CallOption, 100), Make(4, PutOption, 105),  Make(5, CallOption, 195),
    Make(5, PutOption, 195),  Make(6, CallOption, 0),
};

TEST(Binomial3D, EuropeanValuesConvergeToTheirClosedForms) {
  for (const Contract& c : kContracts) {
    const double reference = c.Reference();
    Contract coarse = c;
    coarse.steps = 10;
    EXPECT_NEAR(c(Theoretical_SP), reference, 0.0015 * reference + 0.003)
        << "payoff " << c.payoff << " type " << c.type << " X " << c.X;
    EXPECT_GT(std::fabs(coarse(Theoretical_SP) - reference) + 1e-3,
              std::fabs(c(Theoretical_SP) - reference))
        << "payoff " << c.payoff << " type " << c.type;
  }
}

// Stulz's call on the better of two assets, as published: 8.0701.
TEST(Binomial3D, RainbowCallOnTheMaximumMatchesItsPublishedValue) {
  Contract c = Make(1, CallOption, 98);
  c.S1 = 100, c.S2 = 105, c.T = 0.5, c.v1 = 0.11, c.v2 = 0.16, c.r = 0.05, c.q1 = 0.06, c.q2 = 0.09,
  c.rho = 0.63;
  EXPECT_NEAR(c(Theoretical_SP), 8.0701, 0.01);
  EXPECT_NEAR(c.Reference(), 8.0701, 1e-4);
}

TEST(Binomial3D, AmericanIsWorthAtLeastTheEuropeanAndTheImmediatePayoff) {
  for (Contract c : kContracts) {
    const double european = c(Theoretical_SP);
    c.exercise = American, c.steps = 30;
    const double american = c(Theoretical_SP);
    c.T = 1e-9;  // no time left: the payoff itself
    EXPECT_GE(american, european - 0.02) << "payoff " << c.payoff << " type " << c.type;
    EXPECT_GE(american, c(Theoretical_SP) - 1e-6) << "payoff " << c.payoff;
  }
}

TEST(Binomial3D, ExchangeIsASpreadCallStruckAtZeroAtFivePercent) {
  for (int32_t exercise : {European, American}) {
    Contract exchange = Make(6, CallOption, 0), spread = Make(0, CallOption, 0);
    exchange.exercise = spread.exercise = exercise, spread.r = 0.05;
    for (int32_t f : {Theoretical_SP, Delta1_SP, Gamma2_SP, Vega1_SP, Psi2_SP, Chi_SP}) {
      EXPECT_EQ(exchange(f), spread(f)) << exercise << " function " << f;
    }
  }
}

// Gamma differences by a tenth of the price, which the European reference can repeat.
TEST(Binomial3D, GammaIsTheSecondDifferenceAtATenthOfThePrice) {
  for (int32_t f : {Gamma1_SP, Gamma2_SP}) {
    Contract c = Make(0, CallOption, 5), up = c, down = c;
    double& S = f == Gamma1_SP ? up.S1 : up.S2;
    const double h = 0.1 * S;
    S += h;
    (f == Gamma1_SP ? down.S1 : down.S2) -= h;
    const double expected =
        ((up.Reference() - c.Reference()) / h - (c.Reference() - down.Reference()) / h) / h;
    EXPECT_NEAR(c(f), expected, 0.02 * std::fabs(expected)) << f;
  }
}

TEST(Binomial3D, SensitivitiesAtTheEdges) {
  Contract worthless = Make(0, CallOption, 5000);
  EXPECT_EQ(worthless(Theoretical_SP), 0);
  EXPECT_EQ(worthless(Lambda1_SP), 0);
  // At a correlation of 1 (priced just below) chi looks backwards, where there is room.
  Contract one = Make(0, CallOption, 5), below = one;
  one.rho = 1, below.rho = 0.99998;
  EXPECT_NEAR(one(Chi_SP), below(Chi_SP), 0.02 * std::fabs(below(Chi_SP)));
  // Implied values no input reaches: 0, and no implied correlation at all.
  Contract dear = Make(0, CallOption, 5);
  dear.market = 150;
  EXPECT_EQ(dear(ImpliedVol1_SP), 0);
  ExpectFailure([&](int32_t* err) { return dear(ImpliedCorr_SP, err); },
                {ImpliedCorrErr, "There is NO solution for the Implied Correlation."}, "corr");
}

TEST(Binomial3D, FailuresComeInOrderWithExactCodesAndMessages) {
  const char* kFunction = "The OptionFunction is invalid.";
  ExpectFailures<Contract>({
      {"101 steps before the exercise type",
       [](Contract& c) { c.steps = 101, c.exercise = 2; },
       1,
       {IterationsMaxErr,
        "The number of iterations for the Numerical Models must be less than or equal to 100."}},
      {"4 steps",
       [](Contract& c) { c.payoff = 5, c.steps = 4; },
       1,
       {IterationsMinErr,
        "The number of Iterations for the Numerical Models must be greater than or equal to 5."}},
      {"exercise type",
       [](Contract& c) { c.payoff = 6, c.exercise = 2; },
       1,
       {ExerciseTypeErr, "The ExerciseType is invalid."}},
      {"a strike that is no number",
       [](Contract& c) { c.X = NAN; },
       1,
       {StrikePriceErr, "StrikePrice must be a finite number."}},
      {"portfolio has no second strike",
       [](Contract& c) { c.payoff = 5; },
       StrikeSens2_TA,
       {OptionFunctionErr, kFunction}},
      {"exchange has no rate",
       [](Contract& c) { c.payoff = 6; },
       Rho_SP,
       {OptionFunctionErr, kFunction}},
  });
  // The selectors come before any input.
  ExpectFailure(
      [](int32_t* err) {
        return RainbowBin(9, 9, 3, 99, -1, -1, 0, -1, 0, 0, 0, 0, 0, 2, 101, 1, 1, 0, 1, 0, 0, 0,
                          err);
      },
      {ExtremeTypeErr, "The ExtremeType is invalid."}, "extreme type");
  ExpectFailure(
      [](int32_t* err) {
        return DualStrikeBin(0, 9, 9, 99, -1, -1, 0, 0, -1, 0, 0, 0, 0, 0, 2, 101, 1, 1, 0, 1, 0, 0,
                             0, err);
      },
      {ModelTypeErr, "The ModelType is invalid."}, "model type");
}

}  // namespace
}  // namespace quantrel
