#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = CallOption, currency = Domestic;
  double S = 100, X = 1.52, E = 1.5, T = 0.25, vS = 0.2, vE = 0.12, rd = 0.08, rf = 0.05;
  double q = 0.04, rho = -0.4;

  double operator()(int32_t function = Theoretical_QU, int32_t* err = nullptr) const {
    return EquityLinkedFX(type, currency, function, S, X, E, T, vS, vE, rd, rf, q, rho, 0, Years,
                          Continuous, Continuous, Continuous, err);
  }
  // e^(-rd T) E[S_T max(E_T - X, 0)] over the exchange rate's driver, the foreign asset's
  // expected price given that driver in closed form (its domestic drift is rf - q less the
  // covariance).
  double Reference() const {
    const Lognormal fx{E, rf, vE};
    const double sT = std::sqrt(T);
    return std::exp(-rd * T) * NormalExpectation([&](double z) {
             const double asset = S * std::exp((rf - q - rho * vS * vE) * T -
                                               rho * rho * vS * vS * T / 2 + rho * vS * sT * z);
             const double rate = fx.At(rd, T, z);
             return asset * std::max(type == CallOption ? rate - X : X - rate, 0.0);
           });
  }
};

TEST(EquityLinkedFX, DomesticValueIsTheExpectedPayoff) {
  for (int32_t type : {CallOption, PutOption}) {
    for (double rho : {-0.4, 0.0, 0.8}) {
      Contract c;
      c.type = type, c.rho = rho;
      EXPECT_NEAR(c(), c.Reference(), 1e-6 * c.S) << type << " " << rho;
    }
  }
}

TEST(EquityLinkedFX, DomesticValueIsProportionalToTheAsset) {
  Contract c, doubled;
  doubled.S = 2 * c.S;
  EXPECT_NEAR(doubled(), 2 * c(), 1e-12 * doubled());
  EXPECT_NEAR(c(Lambda_QU), 1, 1e-6);
}

TEST(EquityLinkedFX, AnUnknownCurrencyTypeIsWorthNothing) {
  Contract c;
  c.currency = 3;
  EXPECT_EQ(c(), 0.0);
}

TEST(EquityLinkedFX, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"domestic rate", With(c, [](Contract& k) { k.rd = NAN, k.rf = 0; }), Theoretical_QU,
       IntRateDomErr, "IntRateDom must be greater than 0."},
      {"foreign rate", With(c, [](Contract& k) { k.rf = 0; }), Theoretical_QU, IntRateForErr,
       "IntRateFor must be greater than 0."},
      {"option type", With(c, [](Contract& k) { k.type = 0; }), Theoretical_QU, OptionTypeErr,
       "The OptionType is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
