#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "quantrel/quantrel.h"
#include "support/BarrierReference.h"
#include "support/NamedContract.h"

namespace quantrel::testing {
namespace {

const std::string kMarket =
    "AssetPrice=100 TimeBarrier=0.5 TimeExpire=1 Volatility=0.3 InterestRate=0.1 TimeFormat=Years ";

// Paths watched for the barrier until t1 with the bridge correction; the extreme after t1 drawn
// from the bridge's own law in one step.
Estimate Simulated(bool call, double X, double H, double q) {
  std::mt19937_64 random(3);
  std::normal_distribution<double> normal;
  std::uniform_real_distribution<double> uniform(0, 1);
  const double v = 0.3, r = 0.1, t1 = 0.5, tau = 0.5, mu = r - q - v * v / 2, eta = call ? 1 : -1;
  const int steps = 50, paths = 20000;
  const double dt = t1 / steps, h = std::log(H / 100);
  double sum = 0, sumSquares = 0;
  for (int p = 0; p < paths; ++p) {
    double x = 0, weight = 1;
    for (int i = 0; i < steps && weight > 0; ++i) {
      const double y = x + mu * dt + v * std::sqrt(dt) * normal(random);
      weight *= eta * (h - y) <= 0 ? 0 : 1 - std::exp(-2 * (h - x) * (h - y) / (v * v * dt));
      x = y;
    }
    const double end = mu * tau + v * std::sqrt(tau) * normal(random);
    const double extreme =
        (end + eta * std::sqrt(end * end - 2 * v * v * tau * std::log(uniform(random)))) / 2;
    const double value = weight * std::fmax(eta * (100 * std::exp(x + extreme) - X), 0);
    sum += value;
    sumSquares += value * value;
  }
  const double mean = sum / paths, discount = std::exp(-r);
  return {discount * mean, discount * std::sqrt((sumSquares / paths - mean * mean) / paths)};
}

TEST(BarrierLookback, KnockOutsAreTheExpectedPayoffOfTheSurvivors) {
  for (bool call : {true, false}) {
    const double X = call ? 100 : 105, H = call ? 130 : 80;
    const NamedContract c("BarrierLookback",
                          kMarket + (call ? "OptionType=Up_Out_Call" : "OptionType=Down_Out_Put") +
                              " YieldRate=0.02 StrikePrice=" + std::to_string(X) +
                              " Barrier=" + std::to_string(H));
    const Estimate mc = Simulated(call, X, H, 0.02);
    EXPECT_NEAR(c(1), mc.mean, 4 * mc.error) << c.Describe();
  }
}

// The formula divides by the carry; at a carry of 0 (and within 1e-9 of it) the value is where
// its neighbours put it, for the knock-outs and for the lookbacks the knock-ins are made from.
TEST(BarrierLookback, ZeroCarryLiesBetweenItsNeighbours) {
  for (const char* type : {"OptionType=1 Barrier=130", "OptionType=2 Barrier=130",
                           "OptionType=3 Barrier=80", "OptionType=4 Barrier=80"}) {
    auto at = [&](double carry) {
      return NamedContract("BarrierLookback", kMarket + type + " StrikePrice=100 YieldRate=" +
                                                  std::to_string(0.1 - carry))(1);
    };
    const double between = (at(1e-3) + at(-1e-3)) / 2;
    EXPECT_NEAR(at(0), between, 1e-4) << type;
    EXPECT_NEAR(NamedContract("BarrierLookback",
                              kMarket + type + " StrikePrice=100 YieldRate=0.099999999")(1),
                between, 1e-4)
        << type;
  }
}

// At a 1% to 3% volatility and a strongly negative carry the image factors outgrow double
// precision: the result is still a price (a put pays at most its strike), or a numerical fault.
TEST(BarrierLookback, LowVolatilityGivesAPriceOrAFault) {
  const double contracts[][8] = {
      {192.984, 162.771, 183.793, 0.90042, 1.40468, 0.0119787, 0.126622, 0.283429},
      {229.011, 145.669, 189.431, 0.99217, 1.54315, 0.0269302, 0.104948, 0.271351}};
  for (const auto& c : contracts) {
    for (int32_t type : {1, 2, 3, 4}) {
      try {
        const double value =
            BarrierLookback(type, 1, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], 0, 0, 1);
        EXPECT_GE(value, 0);
        EXPECT_LE(value, type <= 2 ? c[0] : c[1]) << type;
      } catch (const MathFault&) {
      }
    }
  }
}

TEST(BarrierLookback, DaysAndYearsAgree) {
  const std::string c =
      "OptionType=1 AssetPrice=100 StrikePrice=100 Barrier=130 Volatility=0.3 InterestRate=0.1 "
      "YieldRate=0.02 ";
  EXPECT_NEAR(
      NamedContract("BarrierLookback", c + "TimeBarrier=182.5 TimeExpire=365 TimeFormat=Days")(1),
      NamedContract("BarrierLookback", c + "TimeBarrier=0.5 TimeExpire=1 TimeFormat=Years")(1),
      1e-10);
}

}  // namespace
}  // namespace quantrel::testing
