#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "core/OptionStatistics.h"
#include "quantrel/quantrel.h"
#include "support/Failures.h"
#include "support/Quadrature.h"
#include "support/Reference.h"
#include "support/Smoothness.h"

namespace quantrel {
namespace {

using quantrel::testing::BlackScholesRef;
using quantrel::testing::ExactN;
using quantrel::testing::ExpectFailure;
using quantrel::testing::ExpectGreeksMatchCoarseDifferences;
using quantrel::testing::Integrate;

// The full floating-strike lookback in closed form, with the exact normal distribution.
double FullLookback(int32_t type, double S, double m, double T, double v, double r, double q) {
  const double b = r - q, sT = v * std::sqrt(T), a1 = (std::log(S / m) + (b + v * v / 2) * T) / sT;
  const double power = std::pow(S / m, -2 * b / (v * v)), shift = 2 * b * std::sqrt(T) / v;
  const double K = S * std::exp(-r * T) * v * v / (2 * b);
  if (type == CallOption) {
    return S * std::exp(-q * T) * ExactN(a1) - m * std::exp(-r * T) * ExactN(a1 - sT) +
           K * (power * ExactN(-a1 + shift) - std::exp(b * T) * ExactN(-a1));
  }
  return m * std::exp(-r * T) * ExactN(-a1 + sT) - S * std::exp(-q * T) * ExactN(-a1) +
         K * (std::exp(b * T) * ExactN(a1) - power * ExactN(a1 - shift));
}

// Independent reference: the payoff at expiry is a plain option struck at lambda times the extreme
// E (of m and the prices up to t1), valued at t1 with the price S1 then. In units of ln(S)/v the
// path to t1 is a Brownian motion with drift; given its end x, the extreme y beyond max(0, x)
// (or min) has the tail exp(-2 y (y - x)/t1), whatever the drift.
double Reference(int32_t type, double S, double m, double lambda, double t1, double T, double v,
                 double r, double q) {
  const double sign = type == CallOption ? -1 : 1;  // a call looks at the minimum
  const double tau = T - t1, st1 = std::sqrt(t1), mu = (r - q - v * v / 2) / v;
  const double ym = std::log(m / S) / v;
  const double width = std::min(st1, std::sqrt(tau));  // the scales of the two periods
  auto given = [&](double x) {
    const double S1 = S * std::exp(v * x);
    auto plain = [&](double y) {
      const quantrel::testing::BlackScholesRef bs{S1, lambda * S * std::exp(v * y), tau, v, r, q};
      return type == CallOption ? bs.Call() : bs.Put();
    };
    auto beyond = [&](double y) { return std::exp(-2 * y * (y - x) / t1); };
    const double y0 = sign > 0 ? std::max({ym, 0.0, x}) : std::min({ym, 0.0, x});
    auto density = [&](double y) { return plain(y) * beyond(y) * std::fabs(4 * y - 2 * x) / t1; };
    const double far = y0 + sign * 12 * st1;
    return plain(y0) * (1 - beyond(y0)) +
           Integrate(density, std::min(y0, far), std::max(y0, far), width);
  };
  auto outer = [&](double x) {
    const double z = (x - mu * t1) / st1;
    return std::exp(-z * z / 2) / std::sqrt(2 * M_PI) / st1 * given(x);
  };
  const double lo = mu * t1 - 9 * st1, hi = mu * t1 + 9 * st1;
  std::array<double, 4> breaks{lo, std::clamp(0.0, lo, hi), std::clamp(ym, lo, hi), hi};
  std::sort(breaks.begin(), breaks.end());
  double sum = 0;
  for (int i = 0; i < 3; ++i) sum += Integrate(outer, breaks[i], breaks[i + 1], width);
  return std::exp(-r * t1) * sum;
}

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
    const double full = FullLookback(type, c.S, c.m, c.T, c.v, c.r, c.q);
    double previousGap = INFINITY;
    for (double t1 : {0.9, 0.99, 0.999, 0.99999}) {
      c.t1 = t1;
      const double gap = std::fabs(c(Theoretical) - full);
      EXPECT_LT(gap, previousGap) << type << " t1 " << t1;
      previousGap = gap;
    }
    EXPECT_LT(previousGap, 1e-4) << type;
    c.t1 = c.T;  // nudged back by 1e-10
    EXPECT_NEAR(c(Theoretical), full, 1e-8) << type;
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

// Contracts that once came out wrong: a carry of 0 (divided by in the closed form), volatility
// near its floor (huge powers times vanishing probabilities), and the price at the extreme.
TEST(LookbackPFloat, HardCasesMatchTheQuadrature) {
  struct Row {
    int32_t type;
    double S, m, lambda, t1, T, v, r, q, expected;
  };
  for (const Row& row : {
           Row{PutOption, 100, 110, 1, 2, 5, 0.5, 0.05, 0.05, 71.59971023},
           Row{CallOption, 100, 100, 1, 0.5, 1, 0.25, 0.05, 0.05, 15.23244023},
           Row{PutOption, 100, 100, 1, 0.5, 1, 0.25, 0.05, 0.05, 17.19060912},
           Row{PutOption, 100, 110, 1.1, 0.5, 1, 0.01, 0.05, 0.02, 17.07889303},
           Row{CallOption, 100, 95, 0.9, 0.5, 1, 0.003, 0.05, 0.02, 16.68975154},
       }) {
    Contract c;
    c.type = row.type, c.S = row.S, c.m = row.m, c.lambda = row.lambda, c.t1 = row.t1;
    c.T = row.T, c.v = row.v, c.r = row.r, c.q = row.q;
    const double reference = Reference(c.type, c.S, c.m, c.lambda, c.t1, c.T, c.v, c.r, c.q);
    EXPECT_NEAR(reference, row.expected, 1e-8) << row.S << " " << row.m << " " << row.v;
    EXPECT_NEAR(c(Theoretical), reference, 1e-10 * (c.S + c.m)) << row.S << " " << row.m;
  }
}

// Random contracts over wide regimes: carry exactly 0, tiny or ordinary, volatility from the
// floor up, short windows and expiries, strikes (lambda times the extreme) deep in and out of
// the money.
TEST(LookbackPFloat, RandomContractsMatchTheQuadrature) {
  std::mt19937 gen(20261208);
  std::uniform_real_distribution<double> u(0, 1);
  for (int i = 0; i < 16; ++i) {
    Contract c;
    c.type = i % 2 ? PutOption : CallOption;
    c.v = 0.002 * std::pow(750.0, u(gen));
    c.T = 0.02 * std::pow(250.0, u(gen));
    c.t1 = c.T * (0.05 + 0.85 * u(gen));
    const double spread = 0.05 + 2 * c.v * std::sqrt(c.T);
    c.m = c.S * std::exp((c.type == CallOption ? -1 : 1) * spread * u(gen));
    c.lambda = std::exp((2 * u(gen) - 1) * spread);
    c.r = 0.001 + 0.12 * u(gen);
    const double carry[] = {0, 3e-7 * (2 * u(gen) - 1), 2e-3 * (2 * u(gen) - 1),
                            0.2 * u(gen) - 0.1};
    c.q = c.r - carry[i / 2 % 4];
    EXPECT_NEAR(c(Theoretical), Reference(c.type, c.S, c.m, c.lambda, c.t1, c.T, c.v, c.r, c.q),
                2e-10 * (c.S + c.m))
        << i << ": " << c.type << " m " << c.m << " lambda " << c.lambda << " t1 " << c.t1 << " T "
        << c.T << " v " << c.v << " r " << c.r << " q " << c.q;
  }
}

// Smooth at the greeks' scale through a carry of 0 and through the extreme.
TEST(LookbackPFloat, SmoothThroughZeroCarryAndTheExtreme) {
  for (int32_t type : {CallOption, PutOption}) {
    for (double v : {0.02, 0.1, 0.4}) {
      Contract c;
      c.type = type, c.v = v, c.q = c.r, c.m = c.S;
      quantrel::testing::ExpectSmoothInCarryAndPrice(c);
    }
  }
}

// The reported greeks against coarse central differences of the value, in the regimes where
// noise once dominated them.
TEST(LookbackPFloat, GreeksAgreeWithCoarseDifferences) {
  struct Row {
    int32_t type;
    double S, m, lambda, t1, T, v, r, q;
  };
  for (const Row& row : {
           // next to the money, on the extreme's own side so the differences never cross it
           Row{CallOption, 100, 99.9, 1, 0.5, 1, 0.25, 0.05, 0.05},
           Row{PutOption, 100, 100.1, 1, 0.5, 1, 0.25, 0.05, 0.05 + 2e-6},
           Row{PutOption, 100, 110, 1, 2, 5, 0.5, 0.05, 0.05},
           Row{CallOption, 100, 95, 0.9, 0.5, 1, 0.05, 0.05, 0.02},
           Row{PutOption, 27.24, 30, 1.2, 0.136321, 0.158383, 1.411552, 0.106886, 0.099733},
       }) {
    Contract c;
    c.type = row.type, c.S = row.S, c.m = row.m, c.lambda = row.lambda, c.t1 = row.t1;
    c.T = row.T, c.v = row.v, c.r = row.r, c.q = row.q;
    ExpectGreeksMatchCoarseDifferences(c);
  }
}

}  // namespace
}  // namespace quantrel
