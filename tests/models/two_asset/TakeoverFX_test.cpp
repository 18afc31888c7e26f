#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  double V = 100, N = 105, X = 1.55, E = 1.5, T = 1, vV = 0.2, vE = 0.25, rd = 0.08, rf = 0.06;
  double rho = 0.1;

  double operator()(int32_t function = Theoretical_FX, int32_t* err = nullptr) const {
    return TakeoverFX(function, V, N, X, E, T, vV, vE, rd, rf, rho, 0, Years, Continuous,
                      Continuous, err);
  }
  // e^(-rd T) N E[max(E_T - X, 0); V_T < N] over the exchange rate's driver: given it, the firm's
  // value (domestic drift rf less the covariance) ends below N with a normal probability.
  double Reference() const {
    const Lognormal fx{E, rf, vE};
    const double sT = std::sqrt(T);
    const double cut = (std::log(N / V) - (rf - rho * vV * vE - vV * vV / 2) * T) / (vV * sT);
    return std::exp(-rd * T) * N * NormalExpectation([&](double z) {
             const double below = ExactN((cut - rho * z) / std::sqrt(1 - rho * rho));
             return std::max(fx.At(rd, T, z) - X, 0.0) * below;
           });
  }
};

TEST(TakeoverFX, ValueIsTheExpectedPayoffOnSuccess) {
  for (double rho : {-0.7, 0.1, 0.9}) {
    for (double N : {80.0, 105.0, 140.0}) {
      Contract c;
      c.rho = rho, c.N = N;
      EXPECT_NEAR(c(), c.Reference(), 1e-6 * c.N) << rho << " " << N;
    }
  }
}

TEST(TakeoverFX, FirmAndCurrencyScaleTogether) {
  Contract c, doubled;
  doubled.V *= 2, doubled.N *= 2;
  EXPECT_NEAR(doubled(), 2 * c(), 1e-12 * doubled());
  Contract sure = c;
  sure.V = 1e6;  // the takeover all but surely fails
  EXPECT_LT(sure(), 1e-6);
  sure.N = 0;  // can never succeed
  EXPECT_EQ(sure(), 0.0);
}

// The takeover enumeration's rates: 28 and 29 move the domestic and the foreign rate; the plain
// Rho and Psi of the declared enumeration are refused.
TEST(TakeoverFX, ServesTheDomesticAndForeignRhos) {
  const Contract c;
  const double h = 1e-5;
  Contract up = c, down = c;
  up.rd += h, down.rd -= h;
  EXPECT_NEAR(c(28), 0.01 * (up() - down()) / (2 * h), 1e-7);
  up = down = c;
  up.rf += h, down.rf -= h;
  EXPECT_NEAR(c(29), 0.01 * (up() - down()) / (2 * h), 1e-7);
}

TEST(TakeoverFX, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"domestic rate", With(c, [](Contract& k) { k.rd = 0, k.V = -1; }), Theoretical_FX,
       IntRateDomErr, "IntRateDom must be greater than 0."},
      {"foreign rate", With(c, [](Contract& k) { k.rf = 0; }), Theoretical_FX, IntRateForErr,
       "IntRateFor must be greater than 0."},
      {"currency amount that is no number", With(c, [](Contract& k) { k.N = NAN, k.V = -1; }),
       Theoretical_FX, Quantity1Err, "NumCurrency must be a finite number."},
      {"firm value as the asset price", With(c, [](Contract& k) { k.V = 0, k.V = -1; }),
       Theoretical_FX, AssetPriceErr, "AssetPrice must be greater than 0."},
      {"plain rho", c, Rho_FX, OptionFunctionErr, "The OptionFunction is invalid."},
      {"psi", c, Psi_FX, OptionFunctionErr, "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
