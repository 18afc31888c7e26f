#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = CallOption, currency = Domestic;
  double S = 100, X = 160, E = 1.5, T = 0.5, vS = 0.2, vE = 0.12, r = 0.08, q = 0.05, rho = 0.45;

  double operator()(int32_t function = Theoretical_FX, int32_t* err = nullptr) const {
    return ForeignEquity(type, currency, function, S, X, E, T, vS, vE, r, q, rho, 0, Years,
                         Continuous, Continuous, err);
  }
};

TEST(ForeignEquity, TextbookCallStruckInDomesticCurrency) {
  EXPECT_NEAR(Contract{}(), 8.3056, 5e-5);
}

// Uncorrelated, the asset's domestic value S E has the two variances added.
TEST(ForeignEquity, UncorrelatedDomesticIsAPlainOptionOnTheDomesticValue) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract c;
    c.type = type, c.rho = 0;
    const double v = std::sqrt(c.vS * c.vS + c.vE * c.vE);
    EXPECT_NEAR(c(), PlainRef(type == CallOption, c.S * c.E, c.X, c.T, v, c.r, c.q), 1e-6 * c.X);
  }
}

// An exchange rate of 1 that cannot move (to the volatility floor) puts it on neither side.
TEST(ForeignEquity, ACertainExchangeRateOfOneMakesBothSidesAlike) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract domestic;
    domestic.type = type, domestic.E = 1, domestic.vE = 0, domestic.rho = 0, domestic.X = 105;
    Contract foreign = domestic;
    foreign.currency = Foreign;
    EXPECT_NEAR(domestic(), foreign(), 1e-12) << type;
  }
}

TEST(ForeignEquity, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"currency type before anything else", With(c, [](Contract& k) { k.currency = 3, k.S = -1; }),
       99, CurrencyTypeErr, "The CurrencyType must be either Domestic or Foreign."},
      {"exchange rate", With(c, [](Contract& k) { k.E = 0; }), Theoretical_FX, ExchangeRateErr,
       "ExchangeRate must be greater than to 0."},
      {"domestic rho of the quanto enumeration", c, 28, OptionFunctionErr,
       "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
