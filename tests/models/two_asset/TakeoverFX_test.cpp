#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

const NamedContract kBase(
    "TakeoverFX",
    "ValueFirm=100 NumCurrency=105 StrikePrice=1.55 ExchangeRate=1.5 TimeExpire=1 "
    "VolFirm=0.2 VolExch=0.25 IntRateDom=0.08 IntRateFor=0.06 Correlation=0.1 "
    "TimeFormat=Years");

// e^(-rd T) N E[max(E_T - X, 0); V_T < N] over the exchange rate's driver: given it, the firm's
// value (domestic drift rf less the covariance) ends below N with a normal probability.
double Reference(const NamedContract& c) {
  const double N = c.Get("NumCurrency"), rho = c.Get("Correlation"), vV = 0.2, vE = 0.25;
  const double cut = (std::log(N / 100) - (0.06 - rho * vV * vE - vV * vV / 2)) / vV;
  return std::exp(-0.08) * N * NormalExpectation([&](double z) {
           const double below = ExactN((cut - rho * z) / std::sqrt(1 - rho * rho));
           return std::max(Lognormal{1.5, 0.06, vE}.At(0.08, 1, z) - 1.55, 0.0) * below;
         });
}

TEST(TakeoverFX, ValueIsTheExpectedPayoffOnSuccess) {
  for (double rho : {-0.7, 0.9}) {
    for (double N : {80.0, 140.0}) {
      const NamedContract c = kBase.With("Correlation", rho).With("NumCurrency", N);
      EXPECT_NEAR(c(1), Reference(c), 1e-4) << rho << " " << N;
    }
  }
  EXPECT_NEAR(kBase.With("ValueFirm", 200).With("NumCurrency", 210)(1), 2 * kBase(1), 1e-12);
  EXPECT_LT(kBase.With("ValueFirm", 1e6)(1), 1e-6);  // the takeover all but surely fails
  EXPECT_EQ(kBase.With("NumCurrency", 0)(1), 0.0);   // it never succeeds
}

// The takeover enumeration's rates, 28 and 29, are served (the declared Rho and Psi are not).
TEST(TakeoverFX, ServesTheDomesticAndForeignRhos) {
  for (auto [code, rate] : {std::pair{28, "IntRateDom"}, {29, "IntRateFor"}}) {
    const double r = kBase.Get(rate), h = 1e-5;
    EXPECT_NEAR(kBase(code),
                0.01 * (kBase.With(rate, r + h)(1) - kBase.With(rate, r - h)(1)) / (2 * h), 1e-7);
  }
}

}  // namespace
}  // namespace quantrel::testing
