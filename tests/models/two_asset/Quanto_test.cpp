#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

const NamedContract kBase("Quanto",
                          "OptionType=CallOption AssetPrice=100 StrikePrice=105 ExchangeRate=1.5 "
                          "TimeExpire=0.5 VolAsset=0.2 VolExch=0.1 IntRateDom=0.08 IntRateFor=0.05 "
                          "YieldRate=0.04 Correlation=0.3 TimeFormat=Years");

TEST(Quanto, TextbookValueLinearityAndTheUncorrelatedLimit) {
  EXPECT_NEAR(kBase(1), 5.3280, 5e-5);
  EXPECT_NEAR(kBase.With("ExchangeRate", 3)(1), 2 * kBase(1), 1e-12);
  EXPECT_NEAR(kBase.With("ExchangeRate", 3)(Lambda_QU), kBase(Lambda_QU), 1e-9);
  // Uncorrelated, with equal rates, the fixed conversion changes nothing but the units.
  EXPECT_NEAR(Changed(kBase, "OptionType=PutOption Correlation=0 IntRateFor=0.08")(1),
              1.5 * PlainRef(false, 100, 105, 0.5, 0.2, 0.08, 0.04), 1e-4);
}

// The correlation only moves the drift: an implied one beyond +-1 (within +-100) is an answer.
TEST(Quanto, AnImpliedCorrelationBeyondOneIsReturned) {
  const double target = Quanto(CallOption, 1, 100, 105, 1.5, 0.5, 0.2, 0.1, 0.08, 0.05, 0.04, -1.6,
                               0, Years, 0, 0, 0, nullptr, false, true);  // as the search prices it
  EXPECT_NEAR(kBase.With("MarketPrice", target)(ImpliedCorr_QU), -1.6, 1e-4);
}

}  // namespace
}  // namespace quantrel::testing
