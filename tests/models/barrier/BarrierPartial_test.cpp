#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/BarrierReference.h"
#include "support/NamedContract.h"

namespace quantrel::testing {
namespace {

// Against paths watched over the window with the bridge correction, for every knock-out and both
// strike columns, and at a 5% volatility where image factors such as (H/S)^(2 mu) reach 1e18.
TEST(BarrierPartial, KnockOutsAreTheExpectedPayoffOfTheSurvivors) {
  const struct {
    const char* method;
    int32_t barrierType;
    double H;
    Side side;
  } rows[] = {
      {"BarrierPartialStart", 1, 90, Side::Above}, {"BarrierPartialStart", 3, 115, Side::Below},
      {"BarrierPartialEnd", 1, 90, Side::Above},   {"BarrierPartialEnd", 3, 115, Side::Below},
      {"BarrierPartialEnd", 5, 105, Side::Touch},  {"BarrierPartialEnd", 5, 92, Side::Touch}};
  for (const auto& row : rows) {
    const bool end = std::string(row.method) == "BarrierPartialEnd";
    WatchedLevel watched{row.H, 0, row.side};
    (end ? watched.from : watched.to) = 0.5;
    for (int32_t type : {1, 2}) {
      for (double X : {85.0, 110.0}) {
        const NamedContract c(
            row.method,
            "AssetPrice=100 TimeBarrier=0.5 TimeExpire=1 Volatility=0.25 "
            "InterestRate=0.08 YieldRate=0.03 TimeFormat=Years OptionType=" +
                std::to_string(type) + " BarrierType=" + std::to_string(row.barrierType) +
                " Barrier=" + std::to_string(row.H) + " StrikePrice=" + std::to_string(X));
        const Estimate mc = BridgeMonteCarlo(
            100, 1, 0.25, 0.08, 0.03, {watched},
            [&](double ST) { return std::fmax(type == 1 ? ST - X : X - ST, 0); }, 50, 10000);
        EXPECT_NEAR(c(1), mc.mean, 4 * mc.error + 5e-3) << c.Describe();
      }
    }
  }
  const NamedContract low("BarrierPartialEnd",
                          "OptionType=2 BarrierType=One_Touch AssetPrice=51.8 "
                          "StrikePrice=103 Barrier=131 TimeBarrier=0.7 TimeExpire=1.43 "
                          "Volatility=0.054 InterestRate=0.092 YieldRate=0.0056 TimeFormat=Years");
  const Estimate mc = BridgeMonteCarlo(
      51.8, 1.43, 0.054, 0.092, 0.0056, {{131, 0, Side::Touch, 0.7}},
      [](double ST) { return std::fmax(103 - ST, 0); }, 50, 10000);
  EXPECT_NEAR(low(1), mc.mean, 4 * mc.error + 5e-3);
}

// The end window's two strike columns meet where the strike is the barrier; an up-and-out call
// struck at or above its barrier is worth nothing.
TEST(BarrierPartial, EndWindowColumnsMeetAtTheBarrier) {
  const std::string c =
      "OptionType=1 AssetPrice=100 Barrier=90 TimeBarrier=0.5 TimeExpire=1 Volatility=0.25 "
      "InterestRate=0.08 YieldRate=0.03 TimeFormat=Years ";
  for (const char* type :
       {"BarrierType=Down_N_Out", "BarrierType=One_Touch", "BarrierType=Up_N_Out"}) {
    EXPECT_NEAR(NamedContract("BarrierPartialEnd", c + type + " StrikePrice=90")(1),
                NamedContract("BarrierPartialEnd", c + type + " StrikePrice=89.9999999")(1), 1e-6)
        << type;
  }
  EXPECT_EQ(NamedContract("BarrierPartialEnd", c + "BarrierType=Up_N_Out StrikePrice=95")(1), 0);
}

}  // namespace
}  // namespace quantrel::testing
