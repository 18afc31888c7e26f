#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/BarrierReference.h"
#include "support/NamedContract.h"

namespace quantrel::testing {
namespace {

const std::string kCorridor =
    "AssetPrice=100 LowerBarrier=80 UpperBarrier=120 TimeExpire=0.75 Volatility=0.25 "
    "InterestRate=0.1 YieldRate=0.03 TimeFormat=Years BarrierType=Knock_Out ";

// Against the killed density's sine series, with the strike inside the corridor and beyond
// either barrier (where the payoff must be integrated from the barrier, not from the strike).
TEST(BarrierDouble, KnockOutIsTheExpectedPayoffOfTheSurvivors) {
  for (bool call : {true, false}) {
    for (double X : {60.0, 85.0, 100.0, 115.0, 140.0}) {
      const NamedContract c("BarrierDouble", kCorridor + (call ? "OptionType=1" : "OptionType=2") +
                                                 " StrikePrice=" + std::to_string(X));
      EXPECT_NEAR(c(1), CorridorKnockOut(call, 100, X, 80, 120, 0.75, 0.25, 0.1, 0.03), 1e-4)
          << c.Describe();
    }
  }
}

// Curved barriers: the upper grows at UpperCurvature, the lower at LowerCurvature. Against paths
// watched with the bridge correction, exact for barriers straight in the log price; the
// curvatures swapped must not fit.
TEST(BarrierDouble, EachCurvatureBelongsToItsBarrier) {
  const std::string c =
      "OptionType=1 BarrierType=Knock_Out AssetPrice=100 StrikePrice=100 "
      "LowerBarrier=70 UpperBarrier=140 TimeExpire=0.5 Volatility=0.35 "
      "InterestRate=0.1 YieldRate=0 TimeFormat=Years ";
  const double value =
      NamedContract("BarrierDouble", c + "LowerCurvature=0.3 UpperCurvature=-0.2")(1);
  const double swapped =
      NamedContract("BarrierDouble", c + "LowerCurvature=-0.2 UpperCurvature=0.3")(1);
  const Estimate mc = BridgeMonteCarlo(
      100, 0.5, 0.35, 0.1, 0, {{70, 0.3, Side::Above}, {140, -0.2, Side::Below}},
      [](double ST) { return std::fmax(ST - 100, 0); }, 100, 40000);
  EXPECT_NEAR(value, mc.mean, 4 * mc.error);
  EXPECT_GT(std::fabs(swapped - mc.mean), 10 * mc.error);
}

// Barriers that meet before expiry leave no path alive.
TEST(BarrierDouble, BarriersMeetingBeforeExpiryKnockOut) {
  const std::string c = kCorridor +
                        "OptionType=1 StrikePrice=100 LowerBarrier=95 UpperBarrier=105 "
                        "TimeExpire=2 LowerCurvature=0.1 UpperCurvature=-0.1";
  EXPECT_EQ(NamedContract("BarrierDouble", c)(1), 0);
}

}  // namespace
}  // namespace quantrel::testing
