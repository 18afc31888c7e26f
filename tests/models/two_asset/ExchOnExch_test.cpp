#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = ExchExchFforA;
  double S1 = 105, S2 = 100, Q = 0.1, t1 = 0.75, T2 = 1, v1 = 0.2, v2 = 0.25, q1 = 0, q2 = 0;
  double rho = -0.5, market = 0;

  double operator()(int32_t function = Theoretical_EX, int32_t* err = nullptr) const {
    return ExchOnExch(type, function, S1, S2, Q, t1, T2, v1, v2, q1, q2, rho, market, Years, err);
  }
  // Without yields, with asset 2 as numeraire: the price ratio R at t1 is a martingale and the
  // inner option is worth S2 (R N(z1) - N(z2)) (or the reverse); the outer option pays its excess
  // over Q S2, or Q S2's over it.
  double Reference() const {
    const double v = std::sqrt(v1 * v1 + v2 * v2 - 2 * rho * v1 * v2);
    const double vTau = v * std::sqrt(std::max(T2 - t1, 1e-10));
    return S2 * NormalExpectation([&](double z) {
             const double R = S1 / S2 * std::exp(-v * v * t1 / 2 + v * std::sqrt(t1) * z);
             const double z1 = (std::log(R) + vTau * vTau / 2) / vTau, z2 = z1 - vTau;
             const double inner = type <= ExchangeAforF ? R * ExactN(z1) - ExactN(z2)
                                                        : ExactN(-z2) - R * ExactN(-z1);
             const bool bought = type == ExchExchFforA || type == ExchangeFforA;
             return std::max(bought ? inner - Q : Q - inner, 0.0);
           });
  }
};

TEST(ExchOnExch, ValueIsTheExpectedExerciseOfTheInnerOption) {
  for (int32_t type : {ExchExchFforA, ExchangeAforF, ExchangeFforA, ExchExchAforF}) {
    for (double Q : {0.02, 0.1, 0.4}) {
      for (double t1 : {0.25, 0.75}) {
        Contract c;
        c.type = type, c.Q = Q, c.t1 = t1;
        EXPECT_NEAR(c(), c.Reference(), 1e-5 * c.S2) << type << " Q " << Q << " t1 " << t1;
      }
    }
  }
}

// A reverse exchange is worth less than one unit of asset 2: a strike of one unit or more is
// never paid (type 3) and always received (type 4).
TEST(ExchOnExch, AStrikeTheReverseExchangeNeverReaches) {
  for (int32_t type : {ExchangeFforA, ExchExchAforF}) {
    Contract c;
    c.type = type, c.Q = 1.2;
    EXPECT_NEAR(c(), c.Reference(), 1e-5 * c.S2) << type;
  }
}

// Both dates equal: buying the inner option for Q S2 is an exchange of asset 2 in 1 + Q units.
TEST(ExchOnExch, EqualDatesAreAnExchangeOfMoreUnits) {
  Contract c;
  c.t1 = c.T2;
  const double exchange = Exchange(European, Theoretical_EX, c.S1, c.S2, c.T2, c.v1, c.v2, 0, 0,
                                   c.rho, 1, 1 + c.Q, 0, Years);
  EXPECT_NEAR(c(), exchange, 1e-6 * c.S2);
}

TEST(ExchOnExch, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  const char* kTime = "TimeOption must be greater than 0 and less than TimeExpire.";
  ExpectFailures<Contract>({
      {"option date after expiry before the type",
       With(c, [](Contract& k) { k.t1 = 1.5, k.type = 0; }), Theoretical_EX, TimeExpireErr, kTime},
      {"option date at 0", With(c, [](Contract& k) { k.t1 = 0; }), Theoretical_EX, TimeExpireErr,
       kTime},
      {"type 0", With(c, [](Contract& k) { k.type = 0, k.Q = 0; }), Theoretical_EX, ExTypeErr,
       "The ExchangeType is Invalid."},
      {"compound strike", With(c, [](Contract& k) { k.Q = 0; }), Theoretical_EX, Quantity2Err,
       "Quantity2 must be greater than 0."},
  });
  // The Newton search for the correlation stays inside (-1, 1) and reports no answer as 0.
  Contract dear = c;
  dear.market = 50;
  EXPECT_EQ(dear(ImpliedCorr_EX), 0.0);
}

}  // namespace
}  // namespace quantrel
