#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "quantrel/quantrel.h"
#include "support/Failures.h"
#include "support/Reference.h"

namespace quantrel {
namespace {

using quantrel::testing::BlackScholesRef;
using quantrel::testing::ExpectFailure;

struct Contract {
  int32_t type = CallOption, average = Geometric;
  double S = 100, SA = 100, X = 100, t2 = 0, T = 1, v = 0.2, r = 0.05, q = 0.02;
  int32_t freq = ContinuousSample;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr, bool raw = false,
                    bool skip = false) const {
    return AveragePrice(type, average, function, S, SA, X, t2, T, v, r, q, freq, market, timeFormat,
                        rateType, yieldType, err, raw, skip);
  }
};

struct StrikeContract {
  int32_t type = CallOption, average = Geometric;
  double S = 100, T = 1, v = 0.2, r = 0.05, q = 0.02;
  int32_t freq = ContinuousSample;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr, bool raw = false,
                    bool skip = false) const {
    return AverageStrike(type, average, function, S, T, v, r, q, freq, market, timeFormat, rateType,
                         yieldType, err, raw, skip);
  }
};

TEST(AveragePrice, TextbookValues) {
  Contract geometric;  // continuous geometric put: S = 80, X = 85, T = 0.25, r = 5%, b = 8%
  geometric.type = PutOption;
  geometric.S = geometric.SA = 80, geometric.X = 85, geometric.T = 0.25;
  geometric.r = 0.05, geometric.q = -0.03;
  EXPECT_NEAR(geometric(Theoretical), 4.6922, 1e-4);

  Contract arithmetic;  // two-moment call: S = SA = 6.8, X = 6.9, T = 0.5, r = 7%, q = 9%, v = 14%
  arithmetic.average = Arithmetic;
  arithmetic.S = arithmetic.SA = 6.8, arithmetic.X = 6.9, arithmetic.T = 0.5;
  arithmetic.v = 0.14, arithmetic.r = 0.07, arithmetic.q = 0.09;
  EXPECT_NEAR(arithmetic(Theoretical), 0.0944, 1e-4);
}

// The average-strike call is the average-price put on S struck at S, with the rates exchanged,
// and its rate sensitivities trade places with them.
TEST(AverageStrike, IsTheAveragePriceOptionWithTheRolesChanged) {
  for (int32_t average : {Geometric, Arithmetic}) {
    for (int32_t type : {CallOption, PutOption}) {
      StrikeContract s;
      s.average = average, s.type = type, s.freq = WeeklySample;
      s.rateType = Annually;
      Contract p;
      p.average = average, p.type = type == CallOption ? PutOption : CallOption;
      p.freq = WeeklySample;
      p.r = s.q, p.q = s.r, p.yieldType = Annually;
      EXPECT_EQ(s(Theoretical), p(Theoretical)) << average << " " << type;
      EXPECT_NEAR(s(Rho), p(Psi), 1e-12) << average << " " << type;
      EXPECT_NEAR(s(Psi), p(Rho), 1e-12) << average << " " << type;
    }
  }
}

// The moments divide by the carry and by v^2 + 2b: the value runs smoothly through both zeros,
// and where neither is near, no carry is shifted (a low volatility with v^2 + 2b well below 0).
TEST(AveragePrice, ArithmeticIsSmoothThroughAZeroCarry) {
  for (double q : {0.05, 0.05 + 0.3 * 0.3 / 2}) {  // b = 0, then v^2 + 2b = 0
    Contract c;
    c.average = Arithmetic, c.v = 0.3, c.q = q;
    for (double d : {1e-9, 1e-6, 1e-5, 1e-4}) {
      Contract below = c, above = c;
      below.q -= d, above.q += d;
      const double middle = (below(Theoretical) + above(Theoretical)) / 2;
      EXPECT_NEAR(c(Theoretical), middle, 1e-10 + 100 * d * d) << q << " " << d;
    }
  }
  Contract low;
  low.average = Arithmetic, low.S = low.SA = low.X = 100, low.T = 3, low.v = 0.01, low.q = 0.06;
  EXPECT_NEAR(low(Theoretical), 0.024837, 2e-6);
}

// Where v^2 + b = 0 the second moment is a limit; the value runs smoothly through it.
TEST(AveragePrice, ArithmeticIsSmoothWhereTheMomentFormulaIsALimit) {
  Contract c;
  c.average = Arithmetic, c.v = 0.2, c.r = 0.05;
  auto at = [&](double q) {
    Contract x = c;
    x.q = q;
    return x(Theoretical);
  };
  // Richardson: from the points at +-h and +-2h the centre is matched to O(h^4).
  const double h = 1e-4;
  const double nearMean = (at(0.09 - h) + at(0.09 + h)) / 2;
  const double farMean = (at(0.09 - 2 * h) + at(0.09 + 2 * h)) / 2;
  EXPECT_NEAR(at(0.09), (4 * nearMean - farMean) / 3, 1e-10);  // b = -0.04 = -v^2
}

// A large average carried over leaves a strike below zero: the call is exercised for sure and
// is worth the discounted expected average less the discounted strike; the put is worthless.
TEST(AveragePrice, ArithmeticWithTheStrikeAlreadyCoveredIsACertainExercise) {
  Contract c;
  c.average = Arithmetic, c.SA = 300, c.t2 = -0.75, c.T = 0.25;
  const double P = c.T - c.t2, b = c.r - c.q;
  const double A = c.S * (std::exp(-c.q * c.T) - std::exp(-c.r * c.T)) / (P * b);
  const double strike = c.X - c.SA * (P - c.T) / P;
  ASSERT_LT(strike, 0);
  EXPECT_NEAR(c(Theoretical), A - strike * std::exp(-c.r * c.T), 1e-10);
  c.type = PutOption;
  EXPECT_EQ(c(Theoretical), 0.0);
}

// Averaging that starts at expiry observes one price: both kernels give the plain option, and
// as the start nears expiry they tend to it, the arithmetic average never below the geometric.
TEST(AveragePrice, ForwardStartingAverageTendsToThePlainOption) {
  for (int32_t type : {CallOption, PutOption}) {
    const BlackScholesRef bs{100, 100, 1, 0.2, 0.05, 0.02};
    const double plain = type == CallOption ? bs.Call() : bs.Put();
    for (double t2 : {0.5, 0.9, 0.99, 0.999, 1.0}) {
      Contract c;
      c.type = type, c.t2 = t2, c.SA = 0;  // no average yet: the input plays no part
      const double geometric = c(Theoretical);
      c.average = Arithmetic;
      const double arithmetic = c(Theoretical);
      if (type == CallOption) {
        EXPECT_GE(arithmetic, geometric - 1e-9) << t2;
      }
      EXPECT_NEAR(arithmetic, plain, 5 * (1 - t2) + 1e-4) << type << " t2 " << t2;
      EXPECT_NEAR(geometric, plain, 5 * (1 - t2) + 1e-4) << type << " t2 " << t2;
    }
  }
}

// Discrete sampling: a daily geometric average is close to the continuous one.
TEST(AveragePrice, DailySamplingIsCloseToContinuous) {
  for (double t2 : {-0.3, 0.0, 0.4}) {
    Contract c;
    c.t2 = t2;
    const double continuous = c(Theoretical);
    c.freq = Daily365;
    EXPECT_NEAR(c(Theoretical), continuous, 5e-3) << t2;
    EXPECT_NE(c(Theoretical), continuous);
  }
}

// Each call keeps its own sampling interval: calls on different frequencies run together give
// what they give one at a time.
TEST(AveragePrice, ConcurrentCallsOnDifferentFrequenciesDoNotInterfere) {
  auto price = [](int32_t freq, int32_t function) {
    Contract c;
    c.freq = freq, c.t2 = -0.2;
    c.market = 5;
    return c(function);
  };
  const int32_t functions[] = {Theoretical, Delta, Gamma, Theta, ImpliedVol, ImpliedStrike};
  std::vector<double> serial;
  for (int32_t freq = 0; freq <= 8; ++freq) {
    for (int32_t f : functions) serial.push_back(price(freq, f));
  }
  std::vector<int> mismatches(9, 0);
  std::vector<std::thread> threads;
  for (int32_t freq = 0; freq <= 8; ++freq) {
    threads.emplace_back([&, freq] {
      for (int round = 0; round < 50; ++round) {
        for (size_t i = 0; i < std::size(functions); ++i) {
          if (price(freq, functions[i]) != serial[freq * std::size(functions) + i]) {
            ++mismatches[freq];
          }
        }
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(mismatches, std::vector<int>(9, 0));
}

TEST(AveragePrice, FailuresComeInOrderWithExactCodesAndMessages) {
  quantrel::testing::ExpectFailures<Contract>({
      {"frequency before the average type",
       [](Contract& c) { c.freq = 9, c.average = 3; },
       Theoretical,
       {ObserveFreqErr, "The ObserveFreq is invalid."}},
      {"negative frequency",
       [](Contract& c) { c.freq = -1; },
       Theoretical,
       {ObserveFreqErr, "The ObserveFreq is invalid."}},
      {"average type before the times",
       [](Contract& c) { c.average = 0, c.t2 = 2; },
       Theoretical,
       {AverageTypeErr, "The AverageType is invalid."}},
      {"averaging after expiry",
       [](Contract& c) { c.t2 = 1.5, c.type = 0; },
       Theoretical,
       {TimeToAverageErr, "The TimeExpire must be greater than the TimeToAverage."}},
      {"averaging time not a number",
       [](Contract& c) { c.t2 = std::nan(""); },
       Theoretical,
       {TimeToAverageErr, "The TimeExpire must be greater than the TimeToAverage."}},
      {"expiry not a number",
       [](Contract& c) { c.T = std::nan(""); },
       Theoretical,
       {TimeExpireErr, "TimeExpire must be greater than 0."}},
      {"option type",
       [](Contract& c) { c.type = 0; },
       Theoretical,
       {OptionTypeErr, "The OptionType is invalid."}},
      {"strike",
       [](Contract& c) { c.X = 0; },
       Theoretical,
       {StrikePriceErr, "StrikePrice must be greater than 0."}},
      {"market price",
       [](Contract& c) { c.market = -1; },
       ImpliedVol,
       {MktPriceNegErr, "MarketPrice cannot be a negative number."}},
      {"function", [](Contract&) {}, 10, {OptionFunctionErr, "The OptionFunction is invalid."}},
  });
  Contract atExpiry;  // averaging that starts at expiry is accepted
  atExpiry.t2 = atExpiry.T;
  EXPECT_GT(atExpiry(Theoretical), 0);
  Contract negative;  // so is averaging that started before now
  negative.t2 = -5;
  EXPECT_GT(negative(Theoretical), 0);
}

TEST(AverageStrike, FailuresComeInOrderWithExactCodesAndMessages) {
  quantrel::testing::ExpectFailures<StrikeContract>({
      {"frequency",
       [](StrikeContract& c) { c.freq = 9; },
       Theoretical,
       {ObserveFreqErr, "The ObserveFreq is invalid."}},
      {"an invalid type stays invalid",
       [](StrikeContract& c) { c.type = 3; },
       Theoretical,
       {OptionTypeErr, "The OptionType is invalid."}},
      {"no strike sensitivity",
       [](StrikeContract&) {},
       StrikeSensitivity,
       {OptionFunctionErr, "The OptionFunction is invalid."}},
      {"no implied strike",
       [](StrikeContract& c) { c.market = 5; },
       ImpliedStrike,
       {OptionFunctionErr, "The OptionFunction is invalid."}},
  });
}

TEST(AverageStrike, ValueIsLinearInTheAssetPrice) {
  for (int32_t average : {Geometric, Arithmetic}) {
    StrikeContract c;
    c.average = average;
    EXPECT_NEAR(c(Delta), c(Theoretical) / c.S, 1e-6) << average;
  }
}
}  // namespace
}  // namespace quantrel
