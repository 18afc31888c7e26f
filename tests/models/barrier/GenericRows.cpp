// Rows of the checks every model must pass: the barrier and binary models on one asset.
#include "support/GenericRows.h"

namespace quantrel::testing {
namespace {

constexpr const char* kSingle =
    "OptionType=CallOption BarrierType=Down_Out AssetPrice=100 StrikePrice=100 Barrier=95 "
    "Rebate=3 TimeExpire=0.5 Volatility=0.25 InterestRate=0.08 YieldRate=0.04 TimeFormat=Years";
constexpr const char* kDouble =
    "OptionType=CallOption BarrierType=Knock_Out AssetPrice=100 StrikePrice=100 LowerBarrier=80 "
    "UpperBarrier=130 TimeExpire=0.5 Volatility=0.25 InterestRate=0.1 YieldRate=0.02 "
    "TimeFormat=Years";
constexpr const char* kPartialStart =
    "OptionType=CallOption BarrierType=Down_Out AssetPrice=100 StrikePrice=100 Barrier=90 "
    "TimeBarrier=0.4 TimeExpire=1 Volatility=0.25 InterestRate=0.08 YieldRate=0.03 "
    "TimeFormat=Years";
constexpr const char* kPartialEnd =
    "OptionType=CallOption BarrierType=Down_N_Out AssetPrice=100 StrikePrice=95 Barrier=90 "
    "TimeBarrier=0.4 TimeExpire=1 Volatility=0.25 InterestRate=0.08 YieldRate=0.03 "
    "TimeFormat=Years";
constexpr const char* kLookbackBarrier =
    "OptionType=Up_Out_Call AssetPrice=100 StrikePrice=100 Barrier=130 TimeBarrier=0.5 "
    "TimeExpire=1 Volatility=0.3 InterestRate=0.1 YieldRate=0.02 TimeFormat=Years";
constexpr const char* kSoft =
    "OptionType=Down_In_Call AssetPrice=100 StrikePrice=100 LowerBarrier=85 UpperBarrier=95 "
    "TimeExpire=0.5 Volatility=0.3 InterestRate=0.1 YieldRate=0.05 TimeFormat=Years";
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
constexpr const char* kBinary =
    "OptionType=Call_Option BarrierType=Down_Out PayoffType=Cash_Nothing AssetPrice=105 "
    "StrikePrice=102 Barrier=100 Rebate=15 TimeExpire=0.5 Volatility=0.2 InterestRate=0.1 "
    "YieldRate=0 TimeFormat=Years";

// A barrier watched at intervals is moved by an amount set by the quoted volatility, which vega and
// the implied volatility hold fixed: rows with discrete monitoring leave both out.
// clang-format off
[[maybe_unused]] const bool registered = RegisterRows({
    {"BarrierSingle", Varied(kSingle), "ImpliedVol=0.4 ImpliedStrike=90"},
    {"BarrierSingle", Varied(kSingle, "BarrierType=Down_In StrikePrice=90"), "ImpliedVol=0.4 ImpliedStrike=100"},
    {"BarrierSingle", Varied(kSingle, "OptionType=PutOption BarrierType=Up_Out Barrier=110"), "ImpliedVol=0.2 ImpliedStrike=95"},
    {"BarrierSingle", Varied(kSingle, "OptionType=PutOption BarrierType=Up_In Barrier=105 StrikePrice=110"), "ImpliedVol=0.4"},
    {"BarrierSingle", Varied(kSingle, "BarrierType=Up_In Barrier=105 Rebate=0 BarrierMonitoring=DailyM"), "ImpliedStrike=90", 1e-5, nullptr, "StrikePrice", "Vega"},
    {"BarrierSingle", Varied(kSingle, "InterestRateType=Annually YieldRateType=Quarterly TimeExpire=182 TimeFormat=Days")},

    {"BarrierDouble", Varied(kDouble), "ImpliedVol=0.4 ImpliedStrike=110"},
    {"BarrierDouble", Varied(kDouble, "OptionType=PutOption StrikePrice=110"), "ImpliedStrike=100"},
    {"BarrierDouble", Varied(kDouble, "BarrierType=Knock_In"), "ImpliedVol=0.4 ImpliedStrike=90"},
    {"BarrierDouble", Varied(kDouble, "LowerCurvature=-0.1 UpperCurvature=0.05 BarrierMonitoring=WeeklyM"), "", 1e-5, nullptr, "StrikePrice", "Vega"},
    {"BarrierDouble", Varied(kDouble, "OptionType=PutOption BarrierType=Knock_In StrikePrice=70 InterestRateType=Annually")},

    {"BarrierPartialStart", Varied(kPartialStart), "ImpliedVol=0.4 ImpliedStrike=90"},
    {"BarrierPartialStart", Varied(kPartialStart, "OptionType=PutOption BarrierType=Up_Out Barrier=110 StrikePrice=105"), "ImpliedVol=0.4"},
    {"BarrierPartialStart", Varied(kPartialStart, "BarrierType=Down_In"), "ImpliedVol=0.4"},
    {"BarrierPartialStart", Varied(kPartialStart, "OptionType=PutOption BarrierType=Up_In Barrier=115 BarrierMonitoring=DailyM"), "", 1e-5, nullptr, "StrikePrice", "Vega"},

    {"BarrierPartialEnd", Varied(kPartialEnd), "ImpliedVol=0.4"},
    {"BarrierPartialEnd", Varied(kPartialEnd, "BarrierType=One_Touch StrikePrice=110"), "ImpliedVol=0.4"},
    {"BarrierPartialEnd", Varied(kPartialEnd, "OptionType=PutOption BarrierType=Up_N_Out Barrier=115 StrikePrice=105")},
    {"BarrierPartialEnd", Varied(kPartialEnd, "OptionType=PutOption BarrierType=Down_N_In"), "ImpliedVol=0.4"},
    {"BarrierPartialEnd", Varied(kPartialEnd, "BarrierType=Up_N_In Barrier=120 TimeBarrier=146 TimeExpire=365 TimeFormat=Days")},

    // A knock-out's value rises and falls again with the volatility: its implied volatility is
    // asked of the knock-ins.
    {"BarrierLookback", Varied(kLookbackBarrier), "ImpliedStrike=90"},
    {"BarrierLookback", Varied(kLookbackBarrier, "OptionType=Up_In_Call"), "ImpliedVol=0.4 ImpliedStrike=110"},
    {"BarrierLookback", Varied(kLookbackBarrier, "OptionType=Down_Out_Put Barrier=80 StrikePrice=105"), "ImpliedStrike=110"},
    {"BarrierLookback", Varied(kLookbackBarrier, "OptionType=Down_In_Put Barrier=85"), "ImpliedVol=0.2"},
    {"BarrierLookback", Varied(kLookbackBarrier, "OptionType=Down_In_Put Barrier=85 BarrierMonitoring=DailyM"), "", 1e-5, nullptr, "StrikePrice", "Vega"},

    {"BarrierSoft", Varied(kSoft), "ImpliedVol=0.4 ImpliedStrike=95"},
    {"BarrierSoft", Varied(kSoft, "OptionType=Down_Out_Call"), "ImpliedVol=0.4 ImpliedStrike=105"},
    {"BarrierSoft", Varied(kSoft, "OptionType=Up_In_Put LowerBarrier=105 UpperBarrier=115"), "ImpliedVol=0.4"},
    {"BarrierSoft", Varied(kSoft, "OptionType=Up_Out_Put LowerBarrier=110 UpperBarrier=120 YieldRate=0.1")},
    {"BarrierSoft", Varied(kSoft, "YieldRate=0.1 BarrierMonitoring=MonthlyM"), "", 1e-5, nullptr, "StrikePrice", "Vega"},

    {"Gap", Varied(kGap), "ImpliedVol=0.4 ImpliedStrike=45"},
    {"Gap", Varied(kGap, "OptionType=PutOption StrikeGap=-2"), "ImpliedVol=0.4 ImpliedStrike=55"},

    {"CashOrNothing", Varied(kCash), "ImpliedVol=0.2 ImpliedStrike=90"},
    {"CashOrNothing", Varied(kCash, "OptionType=CallOption StrikePrice=110"), "ImpliedStrike=100"},

    {"AssetOrNothing", Varied(kAsset), "ImpliedVol=0.2 ImpliedStrike=60"},
    {"AssetOrNothing", Varied(kAsset, "OptionType=CallOption StrikePrice=80"), "ImpliedVol=0.2 ImpliedStrike=75"},

    {"Supershare", Varied(kSupershare), "ImpliedVol_SS=0.3 ImpliedStrikeUp_SS=115 ImpliedStrikeLow_SS=95", 1e-5, nullptr, "UpperStrike LowerStrike"},
    {"Supershare", Varied(kSupershare, "AssetPrice=115 InterestRateType=Annually"), "", 1e-5, nullptr, "UpperStrike LowerStrike"},

    {"BinaryBarrier", Varied(kBinary), "ImpliedVol=0.3 ImpliedStrike=110"},
    {"BinaryBarrier", Varied(kBinary, "StrikePrice=98 BarrierType=Down_In PayoffType=Asset_Nothing"), "ImpliedVol=0.3"},
    {"BinaryBarrier", Varied(kBinary, "OptionType=Put_Option BarrierType=Up_Out AssetPrice=95 StrikePrice=98"), "ImpliedStrike=96"},
    {"BinaryBarrier", Varied(kBinary, "OptionType=Put_Option BarrierType=Up_In AssetPrice=95 StrikePrice=102 PayoffType=Asset_Nothing")},
    {"BinaryBarrier", Varied(kBinary, "OptionType=Both BarrierType=Down_In TimePayoff=At_Hit"), "ImpliedVol=0.3"},
    {"BinaryBarrier", Varied(kBinary, "OptionType=Both BarrierType=Up_Out AssetPrice=95 PayoffType=Asset_Nothing BarrierMonitoring=DailyM"), "", 1e-5, nullptr, "StrikePrice", "Vega"},
});
// clang-format on

}  // namespace
}  // namespace quantrel::testing
