#include "models/path_dependent/LookbackPartialFixed.h"

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

// ln N(x) without underflow.
double LogN(double x) {
  if (x > -35) return std::log(ExactN(x));
  return -x * x / 2 - std::log(-x * std::sqrt(2 * M_PI)) +
         std::log1p(-1 / (x * x) + 3 / std::pow(x, 4));
}

// Independent reference: condition on the price S1 at the window's start. From there the extreme
// of ln(S)/v is that of a Brownian motion with drift mu, P(max > l) = N((mu tau - l)/sqrt(tau)) +
// e^(2 mu l) N((-mu tau - l)/sqrt(tau)), and E[(max - X)+] is the integral of that tail.
double Reference(int32_t type, double S, double X, double t1, double T, double v, double r,
                 double q) {
  const double sign = type == CallOption ? 1 : -1, tau = T - t1,
               mu = sign * (r - q - v * v / 2) / v;
  auto expected = [&](double S1) {
    const double l0 = std::max(0.0, sign * std::log(X / S1) / v);
    auto tail = [&](double l) {
      const double beyond = ExactN((mu * tau - l) / std::sqrt(tau)) +
                            std::exp(2 * mu * l + LogN((-mu * tau - l) / std::sqrt(tau)));
      return beyond * S1 * v * std::exp(sign * v * l);
    };
    const double end = std::max(l0, mu * tau) + 12 * std::sqrt(tau);
    return std::max(0.0, sign * (S1 - X)) +
           Integrate(tail, l0, end, std::max(std::sqrt(tau), (end - l0) / 30));
  };
  const double drift = (r - q - v * v / 2) * t1, st1 = v * std::sqrt(t1);
  auto outer = [&](double z) {
    return std::exp(-z * z / 2) / std::sqrt(2 * M_PI) * expected(S * std::exp(drift + st1 * z));
  };
  const double kink = std::clamp((std::log(X / S) - drift) / st1, -9.0, 9.0);
  return std::exp(-r * T) * (Integrate(outer, -9, kink, 1) + Integrate(outer, kink, 9, 1));
}

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

// Equal rates are the limit of a small carry, not a special case.
TEST(LookbackPFixed, EqualRatesAreTheLimitOfASmallCarry) {
  Contract c;
  c.q = c.r;
  Contract tiny = c;
  tiny.q = c.r - 1e-9;
  EXPECT_NEAR(c(Theoretical), tiny(Theoretical), 1e-7);
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
// Contracts that once came out wrong: a carry of 0 (divided by in the closed form), volatility
// near its floor (huge powers times vanishing probabilities), and the price at the strike.
TEST(LookbackPFixed, HardCasesMatchTheQuadrature) {
  struct Row {
    int32_t type;
    double S, X, t1, T, v, r, q, expected;
  };
  for (const Row& row : {
           Row{CallOption, 100, 110, 0.1, 0.5, 0.1, 0.05, 0.05, 0.6026188244},
           Row{CallOption, 100, 100, 0.1, 0.5, 0.1, 0.05, 0.05, 5.320266502},
           Row{PutOption, 110, 110, 0.5, 1, 0.3, 0.01, 0.01, 20.66845521},
           Row{PutOption, 100, 110, 0.5, 1, 0.01, 0.05, 0.02, 8.234327886},
           Row{PutOption, 100, 110, 0.5, 1, 0.002, 0.05, 0.02, 8.081132439},
           Row{CallOption, 100, 90, 0.5, 1, 0.003, 0.02, 0.05, 8.357145109},
           Row{CallOption, 27.240158, 9.339273, 0.136321, 0.158383, 1.411552, 0.106886, 0.099733,
               22.44746905},
       }) {
    Contract c;
    c.type = row.type, c.S = row.S, c.X = row.X, c.t1 = row.t1, c.T = row.T, c.v = row.v;
    c.r = row.r, c.q = row.q;
    const double reference = Reference(c.type, c.S, c.X, c.t1, c.T, c.v, c.r, c.q);
    EXPECT_NEAR(reference, row.expected, 1e-8) << row.S << " " << row.X << " " << row.v;
    EXPECT_NEAR(c(Theoretical), reference, 1e-10 * (c.S + c.X)) << row.S << " " << row.X;
  }
  // A rho once 14% off at an ordinary carry, against the reference's difference (per 1%).
  Contract c;
  c.S = 27.240158, c.X = 9.339273, c.t1 = 0.136321, c.T = 0.158383, c.v = 1.411552;
  c.r = 0.106886, c.q = 0.099733;
  const double h = 1e-5;
  const double rho = (Reference(c.type, c.S, c.X, c.t1, c.T, c.v, c.r + h, c.q) -
                      Reference(c.type, c.S, c.X, c.t1, c.T, c.v, c.r - h, c.q)) /
                     (2 * h) / 100;
  EXPECT_NEAR(rho, 0.0107856, 1e-7);
  EXPECT_NEAR(c(Rho), rho, 1e-8);
}

// Random contracts over wide regimes: carry exactly 0, tiny or ordinary, volatility from the
// floor up, short windows and expiries, deep in and out of the money.
TEST(LookbackPFixed, RandomContractsMatchTheQuadrature) {
  std::mt19937 gen(20261208);
  std::uniform_real_distribution<double> u(0, 1);
  for (int i = 0; i < 16; ++i) {
    Contract c;
    c.type = i % 2 ? PutOption : CallOption;
    c.v = 0.002 * std::pow(750.0, u(gen));
    c.T = 0.02 * std::pow(250.0, u(gen));
    c.t1 = c.T * (0.05 + 0.85 * u(gen));
    c.X = c.S * std::exp((2 * u(gen) - 1) * (0.05 + 2.5 * c.v * std::sqrt(c.T)));
    c.r = 0.001 + 0.12 * u(gen);
    const double carry[] = {0, 3e-7 * (2 * u(gen) - 1), 2e-3 * (2 * u(gen) - 1),
                            0.2 * u(gen) - 0.1};
    c.q = c.r - carry[i / 2 % 4];
    EXPECT_NEAR(c(Theoretical), Reference(c.type, c.S, c.X, c.t1, c.T, c.v, c.r, c.q),
                2e-10 * (c.S + c.X))
        << i << ": " << c.type << " X " << c.X << " t1 " << c.t1 << " T " << c.T << " v " << c.v
        << " r " << c.r << " q " << c.q;
  }
}

// Smooth at the greeks' scale through a carry of 0 and through the strike.
TEST(LookbackPFixed, SmoothThroughZeroCarryAndTheStrike) {
  for (int32_t type : {CallOption, PutOption}) {
    for (double v : {0.02, 0.1, 0.4}) {
      Contract c;
      c.type = type, c.v = v, c.q = c.r;
      quantrel::testing::ExpectSmoothInCarryAndPrice(c);
    }
  }
}

// The reported greeks against coarse central differences of the value, in the regimes where
// noise once dominated them.
TEST(LookbackPFixed, GreeksAgreeWithCoarseDifferences) {
  struct Row {
    int32_t type;
    double S, X, t1, T, v, r, q;
  };
  for (const Row& row : {
           Row{CallOption, 100, 100, 0.5, 1, 0.25, 0.05, 0.05},
           Row{PutOption, 100, 100, 0.5, 1, 0.25, 0.05, 0.05 + 2e-6},
           Row{PutOption, 100, 110, 0.5, 1, 0.05, 0.05, 0.02},
           Row{CallOption, 27.240158, 9.339273, 0.136321, 0.158383, 1.411552, 0.106886, 0.099733},
           Row{CallOption, 100, 80, 0.2, 2, 0.6, 0.03, 0.08},
       }) {
    Contract c;
    c.type = row.type, c.S = row.S, c.X = row.X, c.t1 = row.t1, c.T = row.T, c.v = row.v;
    c.r = row.r, c.q = row.q;
    ExpectGreeksMatchCoarseDifferences(c);
  }
}

// At the strike an inner correlation term vanishes; the implied volatility must still come back.
TEST(LookbackPFixed, ImpliedVolatilityAtTheStrikeRoundTrips) {
  for (int32_t type : {CallOption, PutOption}) {
    for (double v : {0.05, 0.15, 0.3, 0.6}) {
      Contract c;
      c.type = type, c.v = v;
      c.market = c(Theoretical);
      c.v = 0.2;
      EXPECT_NEAR(c(ImpliedVol), v, 1e-5) << type << " v " << v;
    }
  }
}

}  // namespace
}  // namespace quantrel
