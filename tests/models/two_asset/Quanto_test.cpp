#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = CallOption;
  double S = 100, X = 105, Ep = 1.5, T = 0.5, vS = 0.2, vE = 0.1, rd = 0.08, rf = 0.05, q = 0.04;
  double rho = 0.3, market = 0;

  double operator()(int32_t function = Theoretical_QU, int32_t* err = nullptr) const {
    return Quanto(type, function, S, X, Ep, T, vS, vE, rd, rf, q, rho, market, Years, Continuous,
                  Continuous, Continuous, err);
  }
};

TEST(Quanto, TextbookCall) {
  EXPECT_NEAR(Contract{}(), 5.3280, 5e-5);
}

TEST(Quanto, LinearInTheFixedRate) {
  Contract c, doubled;
  doubled.Ep = 2 * c.Ep;
  EXPECT_NEAR(doubled(), 2 * c(), 1e-12 * c());
  EXPECT_NEAR(doubled(Lambda_QU), c(Lambda_QU), 1e-9);
}

// Uncorrelated and with equal rates, the conversion at a fixed rate changes nothing but the units.
TEST(Quanto, UncorrelatedWithEqualRatesIsThePlainOptionInFixedUnits) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract c;
    c.type = type, c.rho = 0, c.rf = c.rd;
    EXPECT_NEAR(c(), c.Ep * PlainRef(type == CallOption, c.S, c.X, c.T, c.vS, c.rd, c.q),
                1e-6 * c.S);
  }
}

// The correlation only shifts the drift: an implied one beyond +-1 (within +-100) is an answer.
TEST(Quanto, AnImpliedCorrelationBeyondOneIsReturned) {
  Contract c;
  // Priced unvalidated, as the search itself prices it.
  c.market = Quanto(c.type, Theoretical_QU, c.S, c.X, c.Ep, c.T, c.vS, c.vE, c.rd, c.rf, c.q, -1.6,
                    0, Years, Continuous, Continuous, Continuous, nullptr, false, true);
  EXPECT_NEAR(c(ImpliedCorr_QU), -1.6, 1e-4);
}

TEST(Quanto, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"domestic rate before the foreign one and the asset",
       With(c, [](Contract& k) { k.rd = 0, k.rf = 0, k.S = -1; }), Theoretical_QU, IntRateDomErr,
       "IntRateDom must be greater than 0."},
      {"foreign rate before the asset", With(c, [](Contract& k) { k.rf = -0.01, k.S = -1; }),
       Theoretical_QU, IntRateForErr, "IntRateFor must be greater than 0."},
      {"fixed rate", With(c, [](Contract& k) { k.Ep = 0; }), Theoretical_QU, ExchangeRateErr,
       "ExchangeRate must be greater than to 0."},
      {"plain rho", c, Rho, OptionFunctionErr, "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
