#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

const NamedContract kBase(
    "EquityLinkedFX",
    "OptionType=CallOption CurrencyType=Domestic AssetPrice=100 StrikePrice=1.52 "
    "ExchangeRate=1.5 TimeExpire=0.25 VolAsset=0.2 VolExch=0.12 IntRateDom=0.08 "
    "IntRateFor=0.05 YieldRate=0.04 Correlation=-0.4 TimeFormat=Years");

// e^(-rd T) E[S_T max(E_T - X, 0)] over the exchange rate's driver, with the foreign asset's
// expected price given it (its domestic drift is rf - q less the covariance).
double Reference(const NamedContract& c) {
  const bool call = c.GetInt("OptionType") == CallOption;
  const double T = 0.25, rho = c.Get("Correlation"), vS = 0.2, vE = 0.12;
  return std::exp(-0.08 * T) * NormalExpectation([&](double z) {
           const double asset =
               100 * std::exp((0.05 - 0.04 - rho * vS * vE) * T - rho * rho * vS * vS * T / 2 +
                              rho * vS * std::sqrt(T) * z);
           const double rate = Lognormal{1.5, 0.05, vE}.At(0.08, T, z);
           return asset * std::max(call ? rate - 1.52 : 1.52 - rate, 0.0);
         });
}

TEST(EquityLinkedFX, DomesticValueIsTheExpectedPayoffAndProportionalToTheAsset) {
  for (int32_t type : {CallOption, PutOption}) {
    for (double rho : {-0.4, 0.8}) {
      const NamedContract c = kBase.With("OptionType", type).With("Correlation", rho);
      EXPECT_NEAR(c(1), Reference(c), 1e-4) << type << " " << rho;
    }
  }
  EXPECT_NEAR(kBase.With("AssetPrice", 200)(1), 2 * kBase(1), 1e-12);
  EXPECT_NEAR(kBase(Lambda_QU), 1, 1e-6);
  EXPECT_EQ(kBase.With("CurrencyType", 3)(1), 0.0);  // not checked: worth nothing
}

}  // namespace
}  // namespace quantrel::testing
