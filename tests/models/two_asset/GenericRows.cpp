// Rows of the checks every model must pass: the two-asset and currency models.
#include "support/GenericRows.h"

namespace quantrel::testing {
namespace {

constexpr const char* kTwoAssetCorr =
    "OptionType=CallOption AssetPrice1=52 AssetPrice2=65 StrikePrice1=50 StrikePrice2=70 "
    "TimeExpire=0.5 Volatility1=0.2 Volatility2=0.3 InterestRate=0.1 YieldRate1=0.02 "
    "YieldRate2=0.03 Correlation=0.75 TimeFormat=Years";

constexpr const char* kTwoStrikes = "StrikePrice1 StrikePrice2";
constexpr const char* kNone = "";  // a model without a strike

// clang-format off
[[maybe_unused]] const bool registered = RegisterRows({
    {"TwoAssetCorr", Varied(kTwoAssetCorr), "ImpliedVol1_TA=0.3 ImpliedVol2_TA=0.2 ImpliedStrike1_TA=55 ImpliedStrike2_TA=60 ImpliedCorr_TA=0", 1e-6, nullptr, kTwoStrikes},
    {"TwoAssetCorr", Varied(kTwoAssetCorr, "OptionType=PutOption StrikePrice1=55"), "ImpliedVol2_TA=0.2 ImpliedStrike2_TA=60 ImpliedCorr_TA=0", 1e-6, nullptr, kTwoStrikes},
    {"TwoAssetCorr", Varied(kTwoAssetCorr, "InterestRateType=Annually YieldRate1Type=Quarterly YieldRate2Type=Monthly"), "", 1e-6, nullptr, kTwoStrikes},

});
// clang-format on

}  // namespace
}  // namespace quantrel::testing
