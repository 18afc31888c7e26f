// Rows of the checks every model must pass: the barrier and binary models on one asset.
#include "support/GenericRows.h"

namespace quantrel::testing {
namespace {

constexpr const char* kGap =
    "OptionType=CallOption AssetPrice=50 StrikePrice=50 StrikeGap=3 TimeExpire=0.5 "
    "Volatility=0.2 InterestRate=0.09 YieldRate=0 TimeFormat=Years";
constexpr const char* kCash =
    "OptionType=PutOption AssetPrice=100 StrikePrice=80 Payoff=10 TimeExpire=0.75 "
    "Volatility=0.35 InterestRate=0.06 YieldRate=0.06 TimeFormat=Years";
constexpr const char* kAsset =
    "OptionType=PutOption AssetPrice=70 StrikePrice=65 TimeExpire=0.5 Volatility=0.27 "
    "InterestRate=0.07 YieldRate=0.05 TimeFormat=Years";
constexpr const char* kSupershare =
    "AssetPrice=100 LowerStrike=90 UpperStrike=110 TimeExpire=0.25 Volatility=0.2 "
    "InterestRate=0.1 YieldRate=0.1 TimeFormat=Years";

// clang-format off
[[maybe_unused]] const bool registered = RegisterRows({
    {"Gap", Varied(kGap), "ImpliedVol=0.4 ImpliedStrike=45"},
    {"Gap", Varied(kGap, "OptionType=PutOption StrikeGap=-2"), "ImpliedVol=0.4 ImpliedStrike=55"},

    {"CashOrNothing", Varied(kCash), "ImpliedVol=0.2 ImpliedStrike=90"},
    {"CashOrNothing", Varied(kCash, "OptionType=CallOption StrikePrice=110"), "ImpliedStrike=100"},

    {"AssetOrNothing", Varied(kAsset), "ImpliedVol=0.2 ImpliedStrike=60"},
    {"AssetOrNothing", Varied(kAsset, "OptionType=CallOption StrikePrice=80"), "ImpliedVol=0.2 ImpliedStrike=75"},

    {"Supershare", Varied(kSupershare), "ImpliedVol_SS=0.3 ImpliedStrikeUp_SS=115 ImpliedStrikeLow_SS=95", 1e-5, nullptr, "UpperStrike LowerStrike"},
    {"Supershare", Varied(kSupershare, "AssetPrice=115 InterestRateType=Annually"), "", 1e-5, nullptr, "UpperStrike LowerStrike"},

});
// clang-format on

}  // namespace
}  // namespace quantrel::testing
