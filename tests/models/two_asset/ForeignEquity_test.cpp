#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

const NamedContract kBase(
    "ForeignEquity",
    "OptionType=CallOption CurrencyType=Domestic AssetPrice=100 StrikePrice=160 "
    "ExchangeRate=1.5 TimeExpire=0.5 VolAsset=0.2 VolExch=0.12 InterestRate=0.08 "
    "YieldRate=0.05 Correlation=0.45 TimeFormat=Years");

TEST(ForeignEquity, TextbookValueAndLimits) {
  EXPECT_NEAR(kBase(1), 8.3056, 5e-5);  // the textbook call struck in domestic currency
  // Uncorrelated, the asset's domestic value S E has the two variances added.
  const double v = std::sqrt(0.2 * 0.2 + 0.12 * 0.12);
  EXPECT_NEAR(kBase.With("Correlation", 0).With("OptionType", PutOption)(1),
              PlainRef(false, 150, 160, 0.5, v, 0.08, 0.05), 1e-4);
  // An exchange rate of 1 that cannot move puts it on neither side.
  const NamedContract fixed =
      Changed(kBase, "ExchangeRate=1 VolExch=0 Correlation=0 StrikePrice=105");
  EXPECT_EQ(fixed(1), fixed.With("CurrencyType", Foreign)(1));
}

}  // namespace
}  // namespace quantrel::testing
