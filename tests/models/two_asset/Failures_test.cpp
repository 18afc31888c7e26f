// The failures of the two-asset and currency models, in their order: each change of a method's
// first generic contract, asked for a function, fails with exactly this code and message.
#include <gtest/gtest.h>

#include <algorithm>

#include "quantrel/quantrel.h"
#include "support/GenericRows.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

struct Failure {
  const char* method;
  const char* changes;
  int32_t function, code;
  const char* message;
};

constexpr const char* kInvalid = "The OptionFunction is invalid.";
constexpr const char* kNoCorrelation = "There is NO solution for the Implied Correlation.";
constexpr const char* kTimeOption = "TimeOption must be greater than 0 and less than TimeExpire.";

// clang-format off
const Failure kFailures[] = {
    {"TwoAssetCorr", "StrikePrice2=0 Correlation=2", 1, StrikePriceErr, "StrikePrice2 must be greater than 0."},
    {"TwoAssetCorr", "Correlation=-1.5", 1, CorrelationErr, "Correlation must be >= -1 and <= 1."},
    {"TwoAssetCorr", "", ImpliedCorr_TA, MktPriceGZErr, "MarketPrice must be greater than zero to calculate the Implied Correlation."},
    {"TwoAssetCorr", "MarketPrice=30", ImpliedCorr_TA, ImpliedCorrErr, kNoCorrelation},
    {"TwoAssetCorr", "", Delta, OptionFunctionErr, kInvalid},
    {"Exchange", "QtyAsset1=0 QtyAsset2=0", 1, Quantity1Err, "Quantity1 must be greater than 0."},
    {"Exchange", "QtyAsset2=-1", 1, Quantity2Err, "Quantity2 must be greater than 0."},
    {"Exchange", "", StrikeSensitivity, OptionFunctionErr, kInvalid},
    {"ExchOnExch", "TimeOption=1.5 ExchangeType=0", 1, TimeExpireErr, kTimeOption},
    {"ExchOnExch", "TimeOption=0", 1, TimeExpireErr, kTimeOption},
    {"ExchOnExch", "ExchangeType=0 QtyAsset2=0", 1, ExTypeErr, "The ExchangeType is Invalid."},
    {"ExchOnExch", "QtyAsset2=0", 1, Quantity2Err, "Quantity2 must be greater than 0."},
    {"Rainbow", "ExtremeType=0 OptionType=3", 1, ExtremeTypeErr, "The ExtremeType is invalid."},
    {"Rainbow", "OptionType=3", 1, OptionTypeErr, "The OptionType is invalid."},
    {"Rainbow", "StrikePrice=0", 1, StrikePriceErr, "StrikePrice must be greater than 0."},
    {"Spread", "StrikePrice=nan AssetPrice1=-1", 1, StrikePriceErr, "StrikePrice must be a finite number."},
    {"Spread", "QtyAsset1=inf", 1, Quantity1Err, "Quantity1 must be a finite number."},
    {"Spread", "QtyAsset2=nan", 1, Quantity2Err, "Quantity2 must be a finite number."},
    {"Spread", "AssetPrice1=-1", 1, AssetPriceErr, "AssetPrice must be greater than 0."},
    {"ForeignEquity", "CurrencyType=3 AssetPrice=-1", 99, CurrencyTypeErr, "The CurrencyType must be either Domestic or Foreign."},
    {"ForeignEquity", "ExchangeRate=0", 1, ExchangeRateErr, "ExchangeRate must be greater than to 0."},
    {"ForeignEquity", "", 28, OptionFunctionErr, kInvalid},
    {"Quanto", "IntRateDom=0 IntRateFor=0 AssetPrice=-1", 1, IntRateDomErr, "IntRateDom must be greater than 0."},
    {"Quanto", "IntRateFor=-0.01 AssetPrice=-1", 1, IntRateForErr, "IntRateFor must be greater than 0."},
    {"Quanto", "ExchangeRate=0", 1, ExchangeRateErr, "ExchangeRate must be greater than to 0."},
    {"Quanto", "", Rho, OptionFunctionErr, kInvalid},
    {"EquityLinkedFX", "IntRateDom=nan IntRateFor=0", 1, IntRateDomErr, "IntRateDom must be greater than 0."},
    {"EquityLinkedFX", "IntRateFor=0", 1, IntRateForErr, "IntRateFor must be greater than 0."},
    {"EquityLinkedFX", "OptionType=0", 1, OptionTypeErr, "The OptionType is invalid."},
    {"TakeoverFX", "IntRateDom=0 ValueFirm=-1", 1, IntRateDomErr, "IntRateDom must be greater than 0."},
    {"TakeoverFX", "IntRateFor=0", 1, IntRateForErr, "IntRateFor must be greater than 0."},
    {"TakeoverFX", "NumCurrency=nan ValueFirm=-1", 1, Quantity1Err, "NumCurrency must be a finite number."},
    {"TakeoverFX", "ValueFirm=-1", 1, AssetPriceErr, "AssetPrice must be greater than 0."},
    {"TakeoverFX", "", Rho_FX, OptionFunctionErr, kInvalid},
    {"TakeoverFX", "", Psi_FX, OptionFunctionErr, kInvalid},
    {"BarrierTwoAsset", "BarrierType=0 Barrier=0", 1, BarrierTypeErr, "The BarrierType is Invalid."},
    {"BarrierTwoAsset", "Barrier=0", 1, BarrierLowErr, "The Barrier must be greater than 0."},
    {"BarrierPartialTA", "BarrierType=5 TimeBarrier=0", 1, BarrierTypeErr, "The BarrierType is Invalid."},
    {"BarrierPartialTA", "TimeBarrier=0 AssetPrice1=-1", 1, TimeBarrierErr, "TimeBarrier must be greater than 0."},
    {"BarrierPartialTA", "BarrierMonitoring=8", Delta, MonitoringErr, "The Barrier Monitoring is invalid."},
    {"BarrierPartialTA", "", Delta, OptionFunctionErr, kInvalid},
    {"BarrierPartialTA", "MarketPrice=60", ImpliedCorr_SP, ImpliedCorrErr, kNoCorrelation},
    {"CashOrNothingTA", "OptionType=5 AssetPrice1=-1", 1, OptionTypeErr, "The OptionType is Invalid."},
    {"CashOrNothingTA", "StrikePrice2=0", 1, StrikePriceErr, "StrikePrice2 must be greater than 0."},
    {"CashOrNothingTA", "Payoff=-1", 1, PayoffErr, "The Payoff must be greater than or equal to 0."},
};
// clang-format on

TEST(TwoAssetFailures, ComeInOrderWithExactCodesAndMessages) {
  for (const Failure& f : kFailures) {
    const Row& row = *std::find_if(GenericRows().begin(), GenericRows().end(),
                                   [&](const Row& r) { return std::string(r.method) == f.method; });
    const cli::Outcome o =
        Changed(NamedContract(f.method, row.contract), f.changes).Price(f.function);
    EXPECT_EQ(o.status, f.code) << f.method << " " << f.changes;
    EXPECT_EQ(o.message, f.message) << f.method << " " << f.changes;
  }
  // The barrier is moved on unvalidated calls too, and checks its monitoring there.
  int32_t err = 0;
  EXPECT_THROW(BarrierTwoAsset(CallOption, Down_Out, 1, 100, 100, 90, 95, 0.5, 0.2, 0.2, 0.08, 0.02,
                               0.03, 0.5, 0, -1, Years, 0, 0, 0, &err, false, true),
               PricingError);
  EXPECT_EQ(err, MonitoringErr);
}

}  // namespace
}  // namespace quantrel::testing
