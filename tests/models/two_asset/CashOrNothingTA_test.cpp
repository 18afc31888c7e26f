#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = Call_Options;
  double S1 = 100, S2 = 100, X1 = 110, X2 = 90, K = 10, T = 0.5, v1 = 0.2, v2 = 0.25, r = 0.1;
  double q1 = 0.05, q2 = 0.04, rho = 0.5;

  double operator()(int32_t function = Theoretical_TA, int32_t* err = nullptr) const {
    return CashOrNothingTA(type, function, S1, S2, X1, X2, K, T, v1, v2, r, q1, q2, rho, 0, Years,
                           Continuous, Continuous, Continuous, err);
  }
  // K e^(-rT) P(both on their sides), over asset 2's driver with asset 1's side given it.
  double Reference() const {
    const Lognormal a1{S1, q1, v1}, a2{S2, q2, v2};
    const double edge2 = a2.DriverAt(X2, r, T), edge1 = a1.DriverAt(X1, r, T);
    const bool above1 = type == Call_Options || type == Up_Down;
    const bool above2 = type == Call_Options || type == Down_Up;
    const double p = NormalExpectation(
        [&](double z2) {
          if ((z2 > edge2) != above2) return 0.0;
          const double beyond = (edge1 - rho * z2) / std::sqrt(1 - rho * rho);
          return above1 ? ExactN(-beyond) : ExactN(beyond);
        },
        edge2);
    return K * std::exp(-r * T) * p;
  }
};

TEST(CashOrNothingTA, ValueIsThePaymentTimesTheChanceOfBothSides) {
  for (int32_t type : {Call_Options, Put_Options, Up_Down, Down_Up}) {
    for (double rho : {-0.9, 0.0, 0.5, 0.95}) {
      Contract c;
      c.type = type, c.rho = rho;
      EXPECT_NEAR(c(), c.Reference(), 1e-6 * c.K) << type << " " << rho;
    }
  }
}

TEST(CashOrNothingTA, TheFourTypesPayForSure) {
  for (double rho : {-1.0, -0.3, 0.0, 0.7, 1.0}) {
    double sum = 0;
    for (int32_t type : {Call_Options, Put_Options, Up_Down, Down_Up}) {
      Contract c;
      c.type = type, c.rho = rho;
      sum += c();
    }
    EXPECT_NEAR(sum, 10 * std::exp(-0.1 * 0.5), 1e-6) << rho;
  }
  Contract nothing;
  nothing.K = 0;
  EXPECT_EQ(nothing(), 0.0);
}

TEST(CashOrNothingTA, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"type before the common checks", With(c, [](Contract& k) { k.type = 5, k.S1 = -1; }),
       Theoretical_TA, OptionTypeErr, "The OptionType is Invalid."},
      {"second strike", With(c, [](Contract& k) { k.X2 = 0; }), Theoretical_TA, StrikePriceErr,
       "StrikePrice2 must be greater than 0."},
      {"payment", With(c, [](Contract& k) { k.K = -1; }), Theoretical_TA, PayoffErr,
       "The Payoff must be greater than or equal to 0."},
  });
}

}  // namespace
}  // namespace quantrel
