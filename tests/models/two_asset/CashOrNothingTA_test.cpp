#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

const NamedContract kBase(
    "CashOrNothingTA",
    "OptionType=Call_Options AssetPrice1=100 AssetPrice2=100 StrikePrice1=110 "
    "StrikePrice2=90 Payoff=10 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.25 "
    "InterestRate=0.1 YieldRate1=0.05 YieldRate2=0.04 Correlation=0.5 TimeFormat=Years");

// K e^(-rT) times the chance of both sides, over asset 2's driver with asset 1's side given it.
double Reference(const NamedContract& c) {
  const int32_t type = c.GetInt("OptionType");
  const bool above1 = type == Call_Options || type == Up_Down,
             above2 = type == Call_Options || type == Down_Up;
  const double edge1 = Lognormal{100, 0.05, 0.2}.DriverAt(110, 0.1, 0.5);
  const double edge2 = Lognormal{100, 0.04, 0.25}.DriverAt(90, 0.1, 0.5),
               rho = c.Get("Correlation");
  return 10 * std::exp(-0.05) *
         NormalExpectation(
             [&](double z2) {
               const double beyond = (edge1 - rho * z2) / std::sqrt(1 - rho * rho);
               return (z2 > edge2) != above2 ? 0 : ExactN(above1 ? -beyond : beyond);
             },
             edge2);
}

TEST(CashOrNothingTA, ValueIsThePaymentTimesTheChanceOfBothSides) {
  for (double rho : {-1.0, -0.9, 0.0, 0.95, 1.0}) {
    double sum = 0;
    for (int32_t type : {Call_Options, Put_Options, Up_Down, Down_Up}) {
      const NamedContract c = kBase.With("OptionType", type).With("Correlation", rho);
      if (std::fabs(rho) < 1) {
        EXPECT_NEAR(c(1), Reference(c), 1e-5) << type << " " << rho;
      }
      sum += c(1);
    }
    EXPECT_NEAR(sum, 10 * std::exp(-0.05), 1e-6) << rho;  // the four types pay for sure
  }
  EXPECT_EQ(kBase.With("Payoff", 0)(1), 0.0);
}

}  // namespace
}  // namespace quantrel::testing
