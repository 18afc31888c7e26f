#include "core/OptionStatistics.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <vector>

#include "core/MathGuard.h"
#include "quantrel/errors.h"
#include "quantrel/quantrel.h"
#include "support/Reference.h"

namespace quantrel::core {
namespace {

using quantrel::testing::ExactN;

TEST(CumulativeNormal, MatchesTheExactDistributionToThePolynomialsAccuracy) {
  EXPECT_NEAR(CumulativeNormal(0), 0.5, 1e-7);
  for (double x = -8; x <= 8; x += 0.125) {
    EXPECT_NEAR(CumulativeNormal(x), ExactN(x), 7.5e-8) << "x = " << x;
    if (x != 0) {  // N(0) + N(-0) is twice the polynomial's N(0)
      EXPECT_DOUBLE_EQ(CumulativeNormal(x) + CumulativeNormal(-x), 1.0) << "x = " << x;
    }
  }
  EXPECT_EQ(CumulativeNormal(40), 1.0);
  EXPECT_EQ(CumulativeNormal(-40), 0.0);
}

TEST(NormalDensity, IsTheStandardNormalDensity) {
  EXPECT_NEAR(NormalDensity(0), 1 / std::sqrt(2 * M_PI), 1e-14);
  EXPECT_NEAR(NormalDensity(1.5), quantrel::testing::ExactDensity(1.5), 1e-14);
  EXPECT_EQ(NormalDensity(2), NormalDensity(-2));
}

TEST(Sign, ReturnsMinusOneZeroOrOne) {
  EXPECT_EQ(Sign(3.5), 1);
  EXPECT_EQ(Sign(-1e-300), -1);
  EXPECT_EQ(Sign(0.0), 0);
  EXPECT_EQ(Sign(-0.0), 0);
}

// M(a, b; rho) by integrating n(x) N((b - rho x)/sqrt(1 - rho^2)) over x < a (Simpson's rule).
double BivariateByQuadrature(double a, double b, double rho) {
  const double lo = -12, n = 20000, h = (a - lo) / n;
  const double s = std::sqrt(1 - rho * rho);
  auto f = [&](double x) { return quantrel::testing::ExactDensity(x) * ExactN((b - rho * x) / s); };
  double sum = f(lo) + f(a);
  for (int i = 1; i < n; ++i) sum += f(lo + i * h) * (i % 2 ? 4 : 2);
  return sum * h / 3;
}

TEST(BivariateNormal, AgreesWithQuadratureInEveryBranch) {
  struct Case {
    double a, b, rho;
  };
  // Cases 1 to 4 by the signs of (a, b, rho); case 5 where a*b*rho > 0.
  const std::vector<Case> cases = {
      {-0.5, -1.2, -0.3}, {-1, 0.7, 0.4},    {0.8, -0.2, 0.6}, {1.1, 0.4, -0.7}, {0.5, 1.5, 0.5},
      {1.2, -0.3, -0.4},  {-0.9, -0.6, 0.8}, {-2, 1.5, -0.95}, {2.5, 2.5, 0.99}, {0.3, 0.3, 0.0}};
  for (const Case& c : cases) {
    // Drezner's five-point rule is good to about 1e-6.
    EXPECT_NEAR(BivariateNormal(c.a, c.b, c.rho), BivariateByQuadrature(c.a, c.b, c.rho), 1e-6)
        << c.a << ", " << c.b << ", " << c.rho;
  }
}

TEST(BivariateNormal, IndependentAndLimitingCases) {
  EXPECT_NEAR(BivariateNormal(0, 0, 0), 0.25, 1e-7);
  for (double a : {-1.5, -0.2, 0.4, 2.0}) {
    for (double b : {-0.7, 0.0, 1.3}) {
      EXPECT_NEAR(BivariateNormal(a, b, 0), CumulativeNormal(a) * CumulativeNormal(b), 2e-7);
    }
  }
  // rho = +-1 is taken as +-0.9999999: min(N(a), N(b)) and max(0, N(a) + N(b) - 1).
  EXPECT_EQ(BivariateNormal(0.3, -0.4, 1), BivariateNormal(0.3, -0.4, 0.9999999L));
  EXPECT_NEAR(BivariateNormal(0.3, -0.4, 1), CumulativeNormal(-0.4), 1e-4);
  EXPECT_EQ(BivariateNormal(0.3, -0.4, -1), BivariateNormal(0.3, -0.4, -0.9999999L));
  EXPECT_NEAR(BivariateNormal(0.3, 0.4, -1), CumulativeNormal(0.3) + CumulativeNormal(0.4) - 1,
              1e-4);
  // Arguments beyond +-10 are clamped.
  EXPECT_EQ(BivariateNormal(20, 0, 0.3), BivariateNormal(9.9999999L, 0, 0.3));
  EXPECT_EQ(BivariateNormal(-20, 0.5, 0.3), BivariateNormal(-9.9999999L, 0.5, 0.3));
  EXPECT_NEAR(BivariateNormal(20, 0.5, 0.3), CumulativeNormal(0.5), 1e-7);
}

TEST(BivariateNormal, IsSymmetricInItsArguments) {
  for (double rho : {-0.8, -0.1, 0.35, 0.9}) {
    EXPECT_NEAR(BivariateNormal(0.7, -1.1, rho), BivariateNormal(-1.1, 0.7, rho), 1e-12);
  }
}

TEST(BivariateNormal, FourLaneQuadratureStaysWithinTheOneByOneSum) {
  // Every branch and the recursion, correlations near -1 and 1, and arguments deep in both tails
  // (where a term nears underflow and the long way is taken).
  for (double a = -10; a <= 10; a += 0.25) {
    for (double b = -10; b <= 10; b += 0.25) {
      for (double rho = -0.9999999; rho <= 1; rho += 0.0526315) {
        const double fast = BivariateNormal(a, b, rho),
                     slow = detail::BivariateNormalScalar(a, b, rho);
        ASSERT_NEAR(fast, slow, 1e-15) << a << ", " << b << ", " << rho;
      }
    }
  }
  // Finely across the point where the last term nears underflow and the long way takes over.
  for (double a = -10; a < 0; a += 0.001) {
    for (double rho : {-0.9, -0.99}) {
      const double fast = BivariateNormal(a, a, rho),
                   slow = detail::BivariateNormalScalar(a, a, rho);
      ASSERT_NEAR(fast, slow, 1e-15) << a << ", " << rho;
      ASSERT_GE(fast, 0) << a << ", " << rho;
    }
  }
}

TEST(ComputeD1D2, PlainAndSeparatedTimeModes) {
  double d1, d2;
  ASSERT_TRUE(ComputeD1D2(1, 100, 95, 0.05, 0.02, 0.5, 0.5, 0.25, 1, 1, d1, d2));
  const quantrel::testing::BlackScholesRef ref{100, 95, 0.5, 0.25, 0.05, 0.02};
  EXPECT_NEAR(d1, ref.d1(), 1e-14);
  EXPECT_NEAR(d2, ref.d2(), 1e-14);
  // Mode 2: drift over T1, variance over T2.
  ASSERT_TRUE(ComputeD1D2(2, 100, 95, 0.05, 0.02, 0.3, 0.8, 0.25, 1, 1, d1, d2));
  const double expected =
      (std::log(100.0 / 95) + 0.03 * 0.3 + 0.0625 * 0.8 / 2) / (0.25 * std::sqrt(0.8));
  EXPECT_NEAR(d1, expected, 1e-14);
  EXPECT_NEAR(d1 - d2, 0.25 * std::sqrt(0.8), 1e-14);
  // Scale factors multiply the price ratio.
  double e1, e2;
  ComputeD1D2(1, 100, 95, 0.05, 0.02, 0.5, 0.5, 0.25, 2, 4, e1, e2);
  ComputeD1D2(1, 50, 95, 0.05, 0.02, 0.5, 0.5, 0.25, 1, 1, d1, d2);
  EXPECT_NEAR(e1, d1, 1e-14);
}

TEST(ComputeD1D2, ZeroPriceIsTinyAndBadPricesReportFailure) {
  double d1 = 7, d2 = 7;
  EXPECT_TRUE(ComputeD1D2(1, 0, 1, 0.05, 0, 1, 1, 0.2, 1, 1, d1, d2));
  double e1, e2;
  ComputeD1D2(1, 1e-17, 1, 0.05, 0, 1, 1, 0.2, 1, 1, e1, e2);
  EXPECT_EQ(d1, e1);
  EXPECT_FALSE(ComputeD1D2(1, -1, 1, 0.05, 0, 1, 1, 0.2, 1, 1, d1, d2));
  EXPECT_EQ(d1, 0);
  EXPECT_EQ(d2, 0);
  EXPECT_FALSE(ComputeD1D2(1, 1, 0, 0.05, 0, 1, 1, 0.2, 1, 1, d1, d2));
}

TEST(GaussLegendreNodes, SinglePointIsTheMidpoint) {
  double node, weight;
  GaussLegendreNodes(2, 5, {&node, 1}, {&weight, 1});
  EXPECT_DOUBLE_EQ(node, 3.5);
  EXPECT_DOUBLE_EQ(weight, 3);
}

TEST(GaussLegendreNodes, IntegratesPolynomialsUpToDegreeTwoNMinusOneExactly) {
  for (int n : {2, 5, 10, 20}) {
    std::vector<double> x(n), w(n);
    GaussLegendreNodes(-1, 3, x, w);
    for (int i = 1; i < n; ++i) EXPECT_LT(x[i - 1], x[i]);
    for (int degree = 0; degree <= 2 * n - 1; ++degree) {
      double sum = 0;
      for (int i = 0; i < n; ++i) sum += w[i] * std::pow(x[i], degree);
      const double exact = (std::pow(3.0, degree + 1) - std::pow(-1.0, degree + 1)) / (degree + 1);
      EXPECT_NEAR(sum, exact, 1e-9 * std::max(1.0, std::fabs(exact)))
          << n << " points, x^" << degree;
    }
  }
}

// --- Rate conventions ---

double Converted(double rate, double T, int32_t type, RateKind kind = RateKind::Interest) {
  int32_t err = 0;
  ConvertRate(rate, T, type, 1, &err, kind);
  return rate;
}

TEST(ConvertRate, PeriodicConventions) {
  EXPECT_EQ(Converted(0.05, 0.3, 0), 0.05);
  EXPECT_DOUBLE_EQ(Converted(0.05, 0.01, 7), std::log(1.05));
  EXPECT_DOUBLE_EQ(Converted(0.05, 2, 7), std::log(1.05));
  EXPECT_DOUBLE_EQ(Converted(0.05, 1.0 / 12, 2), 12 * std::log(1 + 0.05 / 12));
  EXPECT_DOUBLE_EQ(Converted(0.05, 0.08, 2), std::log(1.05));  // shorter than a month
  EXPECT_DOUBLE_EQ(Converted(0.05, 1, 1), 365 * std::log(1 + 0.05 / 365));
  EXPECT_DOUBLE_EQ(Converted(0.05, 1, 3), 6 * std::log(1 + 0.05 / 6));
  EXPECT_DOUBLE_EQ(Converted(0.05, 1, 4), 4 * std::log(1 + 0.05 / 4));
  EXPECT_DOUBLE_EQ(Converted(0.05, 1, 5), 3 * std::log(1 + 0.05 / 3));
  EXPECT_DOUBLE_EQ(Converted(0.05, 1, 6), 2 * std::log(1.025));
  EXPECT_DOUBLE_EQ(Converted(0.05, 1, 10), 2 * std::log(1.025));
  EXPECT_DOUBLE_EQ(Converted(0.05, 0.4, 10), std::log(1.05));
}

TEST(ConvertRate, TermRateCompoundsOnceOverTheTerm) {
  EXPECT_DOUBLE_EQ(Converted(0.05, 0.5, 11), 2 * std::log(1.025));
  EXPECT_DOUBLE_EQ(Converted(0.05, 2, 11), std::log(1.05));
  // Continuous growth over the term equals simple growth at the quoted rate.
  EXPECT_NEAR(std::exp(Converted(0.05, 0.25, 11) * 0.25), 1 + 0.05 * 0.25, 1e-15);
}

TEST(ConvertRate, MoneyMarketAndDiscountConventions) {
  const double n = 182.5;
  EXPECT_DOUBLE_EQ(Converted(0.05, 0.5, 8), std::log(1 + 0.05 * n / 360) * 365 / n);
  const double holding = (365 * 0.05 / (360 - n * 0.05)) * (n / 365);
  EXPECT_DOUBLE_EQ(Converted(0.05, 0.5, 9), std::log(1 + holding) * 365 / n);
  // A zero quote converts to zero and stays the quote.
  EXPECT_EQ(Converted(0.0, 0.5, 8, RateKind::Yield), 0.0);
}

TEST(ConvertRate, MinusOneAnnualYieldIsNudged) {
  EXPECT_EQ(Converted(-1, 1, 7, RateKind::Yield), std::log(1 + -0.99999999999999));
}

struct RateFailure {
  double rate, T;
  int32_t type;
  RateKind kind;
  int32_t code;
  const char* message;
};

TEST(ConvertRate, FailuresCarryTheirCodeAndMessage) {
  const RateFailure cases[] = {
      {0.05, 1, 12, RateKind::Interest, IntRateTypeErr, "The InterestRateType is invalid."},
      {0.05, 1, -1, RateKind::Interest, IntRateTypeErr, "The InterestRateType is invalid."},
      {0.05, 1, 12, RateKind::Yield, YeildRateTypeErr, "The YieldRateType is invalid."},
      {360.0 / 365, 1, 9, RateKind::Interest, IntRateTimeErr,
       "The Interest Rate multiplied by time cannot equal 360."},
      {360.0 / 365, 1, 9, RateKind::Yield, YeildRateTimeErr,
       "The Yield Rate multiplied by time cannot equal 360."},
      {2, 1, 9, RateKind::Interest, IntRate2NegErr,
       "The Interest Rate is too negative for the conversion.  Either increase the Interest Rate "
       "or Decrease the Time until Expiration."},
      {2, 1, 9, RateKind::Yield, YieldRate2NegErr,
       "The Yield Rate is too negative for the conversion.  Either increase the Yield Rate or "
       "Decrease the Time until Expiration."},
      {-0.8, 2, 8, RateKind::Yield, YieldRate2NegErr,
       "The Yield Rate is too negative for the conversion.  Either increase the Yield Rate or "
       "Decrease the Time until Expiration."},
  };
  for (const RateFailure& c : cases) {
    double rate = c.rate;
    int32_t err = 0;
    try {
      ConvertRate(rate, c.T, c.type, 1, &err, c.kind);
      ADD_FAILURE() << "no failure for type " << c.type << " rate " << c.rate;
    } catch (const PricingError& e) {
      EXPECT_EQ(e.code(), c.code);
      EXPECT_EQ(err, c.code);
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

// --- The math-fault guard ---

TEST(MathGuard, DomainErrorsPolesAndOverflowsBecomeFaults) {
  volatile double minusOne = -1, zero = 0, big = 800;
  EXPECT_THROW(RunGuarded([&] { return std::log(minusOne); }), MathFault);
  EXPECT_THROW(RunGuarded([&] { return std::log(zero) * 0 + 1; }), MathFault);
  EXPECT_THROW(RunGuarded([&] { return std::exp(big) * 0; }), MathFault);
  EXPECT_THROW(RunGuarded([&] { return zero / zero; }), MathFault);
  try {
    RunGuarded([&] { return std::sqrt(minusOne); });
  } catch (const MathFault& e) {
    EXPECT_STREQ(e.what(), "EInvalidOp");
    EXPECT_EQ(e.code(), 0);
  }
}

TEST(MathGuard, UnderflowIsOrdinaryAndFlagsFromBeforeAreForgotten) {
  volatile double huge = 1000, minusOne = -1;
  volatile double before = std::log(minusOne);  // raised outside any guard
  (void)before;
  EXPECT_EQ(RunGuarded([&] { return std::exp(-huge); }), 0.0);
  EXPECT_EQ(RunGuarded([] { return 2.5; }), 2.5);
}

TEST(MathGuard, ExtendedPrecisionFaultsInsideAreSeenAndThoseFromBeforeForgotten) {
  volatile long double minusOne = -1;
  EXPECT_THROW(RunGuarded([&] {
                 volatile long double bad = std::sqrt(minusOne);
                 (void)bad;
                 return 1.0;
               }),
               MathFault);
  // A public call reads the x87 flags before its own work, apart from the guard.
  auto price = [] {
    return quantrel::Chooser(quantrel::Theoretical, 100, 95, 91, 365, 0.3, 0.05, 0.02, 0, 0);
  };
  const double clean = price();
  volatile long double before = std::sqrt(minusOne);
  (void)before;
  ASSERT_TRUE(std::fetestexcept(FE_INVALID));
  EXPECT_EQ(price(), clean);
}

TEST(MathGuard, AFaultInsideANestedGuardOrBeforeItIsSeen) {
  volatile double minusOne = -1;
  EXPECT_THROW(RunGuarded([&] {
                 volatile double bad = std::log(minusOne);
                 (void)bad;
                 return RunGuarded([] { return 1.0; });  // the inner guard must not clear it
               }),
               MathFault);
  EXPECT_EQ(RunGuarded([] { return 3.0; }), 3.0);  // depth restored after the throw
}

}  // namespace
}  // namespace quantrel::core
