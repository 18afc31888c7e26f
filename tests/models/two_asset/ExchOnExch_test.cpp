#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

const NamedContract kBase(
    "ExchOnExch",
    "ExchangeType=ExchExchFforA AssetPrice1=105 AssetPrice2=100 QtyAsset2=0.1 "
    "TimeOption=0.75 TimeExpire=1 Volatility1=0.2 Volatility2=0.25 "
    "YieldRate1=0 YieldRate2=0 Correlation=-0.5 TimeFormat=Years");

// Without yields, asset 2 the numeraire: the price ratio R at TimeOption is a martingale, the
// inner option is worth S2 (R N(z1) - N(z2)) (or the reverse), and the outer option pays its
// excess over Q S2, or the excess of Q S2 over it.
double Reference(const NamedContract& c) {
  const int32_t type = c.GetInt("ExchangeType");
  const double v1 = c.Get("Volatility1"), v2 = c.Get("Volatility2"), rho = c.Get("Correlation");
  const double v = std::sqrt(v1 * v1 + v2 * v2 - 2 * rho * v1 * v2), t1 = c.Get("TimeOption");
  const double vTau = v * std::sqrt(std::max(c.Get("TimeExpire") - t1, 1e-10)),
               Q = c.Get("QtyAsset2");
  return c.Get("AssetPrice2") * NormalExpectation([&](double z) {
           const double R = c.Get("AssetPrice1") / c.Get("AssetPrice2") *
                            std::exp(-v * v * t1 / 2 + v * std::sqrt(t1) * z);
           const double z1 = (std::log(R) + vTau * vTau / 2) / vTau, z2 = z1 - vTau;
           const double inner =
               type <= ExchangeAforF ? R * ExactN(z1) - ExactN(z2) : ExactN(-z2) - R * ExactN(-z1);
           return std::max(type % 2 ? inner - Q : Q - inner, 0.0);  // types 1 and 3 buy
         });
}

TEST(ExchOnExch, ValueIsTheExpectedExerciseOfTheInnerOption) {
  for (int32_t type : {ExchExchFforA, ExchangeAforF, ExchangeFforA, ExchExchAforF}) {
    // Q = 1.2: the reverse exchange never reaches it (never bought, always sold).
    for (double Q : {0.02, 0.4, 1.2}) {
      for (double t1 : {0.25, 0.75}) {
        const NamedContract c =
            kBase.With("ExchangeType", type).With("QtyAsset2", Q).With("TimeOption", t1);
        EXPECT_NEAR(c(1), Reference(c), 1e-5 * 100) << c.Describe();
      }
    }
  }
  // Equal dates: buying the inner option for Q S2 exchanges asset 2 in 1 + Q units.
  EXPECT_NEAR(
      kBase.With("TimeOption", 1)(1),
      Exchange(European, Theoretical_EX, 105, 100, 1, 0.2, 0.25, 0, 0, -0.5, 1, 1.1, 0, Years),
      1e-6 * 100);
  // The Newton search for the correlation stays inside (-1, 1) and reports no answer as 0.
  EXPECT_EQ(kBase.With("MarketPrice", 50)(ImpliedCorr_EX), 0.0);
}

}  // namespace
}  // namespace quantrel::testing
