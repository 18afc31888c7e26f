// Rows of the checks every model must pass: the path-dependent models.
#include "support/GenericRows.h"

namespace quantrel::testing {
namespace {

constexpr const char* kLookback =
    "OptionType=CallOption AssetPrice=120 StrikePrice=100 TimeExpire=0.5 Volatility=0.3 "
    "InterestRate=0.1 YieldRate=0.04 TimeFormat=Years";
constexpr const char* kLookbackFixed =
    "OptionType=CallOption AssetPrice=100 AssetMinMax=100.5 StrikePrice=105 TimeExpire=0.5 "
    "Volatility=0.3 InterestRate=0.1 YieldRate=0 TimeFormat=Years";
constexpr const char* kLookbackPFloat =
    "OptionType=CallOption AssetPrice=100 StrikePrice=90 Lambda=1 TimeStart=0.5 TimeExpire=1 "
    "Volatility=0.25 InterestRate=0.07 YieldRate=0.03 TimeFormat=Years";
constexpr const char* kLookbackPFixed =
    "OptionType=CallOption AssetPrice=100 StrikePrice=100 TimeStart=0.5 TimeExpire=1 "
    "Volatility=0.25 InterestRate=0.07 YieldRate=0.03 TimeFormat=Years";
constexpr const char* kExtremeSpread =
    "SpreadType=Standard OptionType=CallOption AssetPrice=100 StrikePrice=105 Time1stPeriod=0.4 "
    "TimeExpire=1 Volatility=0.3 InterestRate=0.08 YieldRate=0.05 TimeFormat=Years";
constexpr const char* kAveragePrice =
    "OptionType=CallOption AverageType=Geometric AssetPrice=100 AveragePrice=100 StrikePrice=100 "
    "TimeToAverage=0 TimeExpire=1 Volatility=0.2 InterestRate=0.05 YieldRate=0.02 TimeFormat=Years";
constexpr const char* kAverageStrike =
    "OptionType=CallOption AverageType=Geometric AssetPrice=100 TimeExpire=1 Volatility=0.2 "
    "InterestRate=0.05 YieldRate=0.02 TimeFormat=Years";

// clang-format off
[[maybe_unused]] const bool registered = RegisterRows({
    {"Lookback", Varied(kLookback), "ImpliedVol=0.6 ImpliedStrike=110"},
    {"Lookback", Varied(kLookback, "OptionType=PutOption StrikePrice=130"), "ImpliedVol=0.6 ImpliedStrike=110"},

    {"LookbackFixed", Varied(kLookbackFixed, "StrikePrice=90 YieldRate=0.03")},
    {"LookbackFixed", Varied(kLookbackFixed, "StrikePrice=110 YieldRate=0.03")},
    {"LookbackFixed", Varied(kLookbackFixed, "StrikePrice=90 YieldRate=0.03 OptionType=PutOption AssetMinMax=99.5")},
    {"LookbackFixed", Varied(kLookbackFixed, "StrikePrice=110 YieldRate=0.03 OptionType=PutOption AssetMinMax=99.5")},
    {"LookbackFixed", Varied(kLookbackFixed), "ImpliedVol=0.1 ImpliedStrike=100"},
    {"LookbackFixed", Varied(kLookbackFixed, "OptionType=PutOption StrikePrice=95 AssetMinMax=99.5"), "ImpliedVol=0.1 ImpliedStrike=100"},

    {"LookbackPFloat", Varied(kLookbackPFloat, "Lambda=1.05 StrikePrice=95"), "", 1e-5, "TimeExpire"},
    {"LookbackPFloat", Varied(kLookbackPFloat, "OptionType=PutOption Lambda=0.95 StrikePrice=105"), "", 1e-5, "TimeExpire"},
    {"LookbackPFloat", Varied(kLookbackPFloat), "ImpliedVol=0.5", 1e-5, "TimeExpire"},
    {"LookbackPFloat", Varied(kLookbackPFloat, "OptionType=PutOption StrikePrice=110"), "ImpliedVol=0.5", 1e-5, "TimeExpire"},
    // No carry (which the closed form divides by), and volatility near the floor.
    {"LookbackPFloat", Varied(kLookbackPFloat, "YieldRate=0.07 StrikePrice=99.9"), "ImpliedVol=0.5", 1e-5, "TimeExpire"},
    {"LookbackPFloat", Varied(kLookbackPFloat, "OptionType=PutOption StrikePrice=110 Lambda=1.1 Volatility=0.01 YieldRate=0.02"), "", 1e-5, "TimeExpire"},

    {"LookbackPFixed", Varied(kLookbackPFixed, "StrikePrice=105"), "ImpliedVol=0.6 ImpliedStrike=100", 1e-5, "TimeExpire"},
    {"LookbackPFixed", Varied(kLookbackPFixed, "OptionType=PutOption StrikePrice=95"), "ImpliedVol=0.6 ImpliedStrike=100", 1e-5, "TimeExpire"},
    // No carry (which the closed form divides by), and volatility near the floor.
    {"LookbackPFixed", Varied(kLookbackPFixed, "YieldRate=0.07"), "ImpliedVol=0.6", 1e-5, "TimeExpire"},
    {"LookbackPFixed", Varied(kLookbackPFixed, "OptionType=PutOption StrikePrice=110 Volatility=0.01 YieldRate=0.02"), "", 1e-5, "TimeExpire"},

    {"ExtremeSpread", Varied(kExtremeSpread), "ImpliedVol=0.9", 1e-5, "TimeExpire"},
    {"ExtremeSpread", Varied(kExtremeSpread, "SpreadType=Reverse StrikePrice=95"), "", 1e-5, "TimeExpire"},

    // The reverse spread is cheapest near 10%: priced well above it.
    {"ExtremeSpread", Varied(kExtremeSpread, "SpreadType=Reverse StrikePrice=95 Volatility=0.6"), "ImpliedVol=0.9", 1e-5, "TimeExpire"},
    {"ExtremeSpread", Varied(kExtremeSpread), "ImpliedStrike=120", 1e-5, "TimeExpire", "StrikePrice", "", true},

    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=-0.25 ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=0.3 ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "AverageType=Arithmetic TimeToAverage=-0.25 ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "AverageType=Arithmetic ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "AverageType=Arithmetic TimeToAverage=0.3 ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=-0.1"), "ImpliedVol=0.7 ImpliedStrike=120", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=-0.1 OptionType=PutOption"), "ImpliedVol=0.7 ImpliedStrike=120", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=-0.1 AverageType=Arithmetic"), "ImpliedVol=0.7 ImpliedStrike=120", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=-0.1 AverageType=Arithmetic OptionType=PutOption"), "ImpliedVol=0.7 ImpliedStrike=120", 1e-5, "TimeExpire"},

    {"AverageStrike", Varied(kAverageStrike), "ImpliedVol=0.5", 1e-5, "TimeExpire", ""},
    {"AverageStrike", Varied(kAverageStrike, "AverageType=Arithmetic"), "ImpliedVol=0.5", 1e-5, "TimeExpire", ""},

});
// clang-format on

}  // namespace
}  // namespace quantrel::testing
