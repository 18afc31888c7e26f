// Rows of the checks every model must pass: the single-asset models with a time structure.
#include "support/GenericRows.h"

namespace quantrel::testing {
namespace {

constexpr const char* kForwardStart =
    "OptionType=CallOption AssetPrice=60 TimeStart=0.25 TimeExpire=1 Volatility=0.3 "
    "InterestRate=0.08 YieldRate=0.04 Alpha=1.1 TimeFormat=Years";
constexpr const char* kExecutive =
    "OptionType=CallOption AssetPrice=60 StrikePrice=64 TimeExpire=2 Volatility=0.38 "
    "InterestRate=0.07 YieldRate=0.03 JumpRate=0.15 TimeFormat=Years";
constexpr const char* kChooser =
    "AssetPrice=50 StrikePrice=50 TimeChoose=0.25 TimeExpire=0.5 Volatility=0.25 "
    "InterestRate=0.08 YieldRate=0 TimeFormat=Years";
constexpr const char* kComplexChooser =
    "AssetPrice=50 StrikeCall=55 StrikePut=48 TimeChoose=0.25 TimeCall=0.5 TimePut=0.5833 "
    "Volatility=0.35 InterestRate=0.1 YieldRate=0.05 TimeFormat=Years";
constexpr const char* kTimeSwitch =
    "OptionType=CallOption AssetPrice=100 StrikePrice=110 TimeExpire=1 NumTimeUnits=0 "
    "AccruedAmt=5 TimeInterval=0.00273972602739726 Volatility=0.26 InterestRate=0.06 YieldRate=0 "
    "TimeFormat=Years";
constexpr const char* kCompound =
    "OptionType=Put_Call AssetPrice=500 StrikeOption=50 StrikeUnderly=520 TimeOption=0.25 "
    "TimeExpire=0.5 Volatility=0.35 InterestRate=0.08 YieldRate=0 TimeFormat=Years";
constexpr const char* kWriterExtendible =
    "OptionType=CallOption AssetPrice=80 StrikeInitial=90 StrikeExtended=82 TimeInitial=0.5 "
    "TimeExtended=0.75 Volatility=0.3 InterestRate=0.1 YieldRate=0 TimeFormat=Years";

// clang-format off
[[maybe_unused]] const bool registered = RegisterRows({
    {"ForwardStart", Varied(kForwardStart), "ImpliedVol_FS=0.4", 1e-7},
    {"ForwardStart", Varied(kForwardStart, "OptionType=PutOption"), "ImpliedVol_FS=0.4", 1e-7},
    {"ForwardStart", Varied(kForwardStart, "InterestRateType=Annually YieldRateType=Annually"), "", 1e-7},
    {"ForwardStart", Varied(kForwardStart, "InterestRateType=Quarterly YieldRateType=Quarterly"), "", 1e-7},
    {"ForwardStart", Varied(kForwardStart, "Volatility=0.05"), "ImpliedVol_FS=0.4"},
    {"ForwardStart", Varied(kForwardStart, "Volatility=0.6 OptionType=PutOption"), "ImpliedVol_FS=0.4"},
    {"ForwardStart", Varied(kForwardStart, "Volatility=1.5"), "ImpliedVol_FS=0.4"},
    {"ForwardStart", Varied(kForwardStart, "Volatility=0.05 OptionType=PutOption"), "ImpliedVol_FS=0.4"},

    {"Executive", Varied(kExecutive, "InterestRateType=Annually"), "", 1e-6},
    {"Executive", Varied(kExecutive, "InterestRateType=Annually OptionType=PutOption"), "", 1e-6},
    {"Executive", Varied(kExecutive), "ImpliedVol=0.5 ImpliedStrike=60"},
    {"Executive", Varied(kExecutive, "OptionType=PutOption"), "ImpliedVol=0.5 ImpliedStrike=60"},
    {"Executive", Varied(kExecutive, "Volatility=0.1"), "ImpliedVol=0.5"},
    {"Executive", Varied(kExecutive, "Volatility=0.9"), "ImpliedVol=0.5"},
    {"Executive", Varied(kExecutive, "Volatility=0.1 OptionType=PutOption"), "ImpliedVol=0.5"},
    {"Executive", Varied(kExecutive, "Volatility=0.9 OptionType=PutOption"), "ImpliedVol=0.5"},
    {"Executive", Varied(kExecutive, "StrikePrice=50"), "ImpliedStrike=60"},
    {"Executive", Varied(kExecutive, "StrikePrice=75"), "ImpliedStrike=60"},
    {"Executive", Varied(kExecutive, "StrikePrice=50 OptionType=PutOption"), "ImpliedStrike=60"},
    {"Executive", Varied(kExecutive, "StrikePrice=75 OptionType=PutOption"), "ImpliedStrike=60"},

    {"Chooser", Varied(kChooser, "InterestRateType=Quarterly YieldRateType=Quarterly YieldRate=0.03"), "", 1e-6},
    {"Chooser", Varied(kChooser, "Volatility=0.08"), "ImpliedVol=0.4"},
    {"Chooser", Varied(kChooser), "ImpliedVol=0.4"},
    {"Chooser", Varied(kChooser, "Volatility=0.8"), "ImpliedVol=0.4"},

    // The value rises with the strike on the side where the put dominates.
    {"Chooser", Varied(kChooser, "StrikePrice=55"), "ImpliedStrike=58"},
    {"Chooser", Varied(kChooser, "StrikePrice=65"), "ImpliedStrike=58"},

    {"ComplexChooser", Varied(kComplexChooser), "", 1e-6, nullptr, "StrikeCall StrikePut"},
    {"ComplexChooser", Varied(kComplexChooser, "Volatility=0.2"), "ImpliedVol_TS=0.4", 1e-6, nullptr, "StrikeCall StrikePut"},
    {"ComplexChooser", Varied(kComplexChooser, "Volatility=0.7"), "ImpliedVol_TS=0.3", 1e-6, nullptr, "StrikeCall StrikePut"},
    {"ComplexChooser", Varied(kComplexChooser, "StrikeCall=52"), "ImpliedStrikeCall_TS=58", 1e-6, nullptr, "StrikeCall StrikePut"},
    {"ComplexChooser", Varied(kComplexChooser, "StrikePut=51"), "ImpliedStrikePut_TS=45", 1e-6, nullptr, "StrikeCall StrikePut"},

    // The time switch's theta moves the fixing schedule with the calendar: its own test checks it.
    {"TimeSwitch", Varied(kTimeSwitch, "Volatility=0.15"), "ImpliedVol=0.6", 1e-5, nullptr, "StrikePrice", "Theta"},
    {"TimeSwitch", Varied(kTimeSwitch, "Volatility=0.15 OptionType=PutOption"), "ImpliedVol=0.6", 1e-5, nullptr, "StrikePrice", "Theta"},
    {"TimeSwitch", Varied(kTimeSwitch, "Volatility=0.4"), "ImpliedVol=0.6", 1e-5, nullptr, "StrikePrice", "Theta", true},
    {"TimeSwitch", Varied(kTimeSwitch, "Volatility=0.4 OptionType=PutOption"), "ImpliedVol=0.6", 1e-5, nullptr, "StrikePrice", "Theta", true},
    {"TimeSwitch", Varied(kTimeSwitch, "StrikePrice=105"), "ImpliedStrike=120", 1e-5, nullptr, "StrikePrice", "Theta"},
    {"TimeSwitch", Varied(kTimeSwitch, "StrikePrice=105 OptionType=PutOption"), "ImpliedStrike=120", 1e-5, nullptr, "StrikePrice", "Theta"},

    {"Compound", Varied(kCompound, "OptionType=Call_Call InterestRateType=Annually"), "", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Put_Put InterestRateType=Annually"), "", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "Volatility=0.35"), "ImpliedVol_C=0.5", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Call_Call Volatility=0.2"), "ImpliedVol_C=0.5", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Call_Put Volatility=0.6"), "ImpliedVol_C=0.3", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "StrikeUnderly=520"), "ImpliedStrikeUnderly_C=500", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Call_Call StrikeUnderly=500"), "ImpliedStrikeUnderly_C=520", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "StrikeOption=50"), "ImpliedStrikeOption_C=40", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Put_Put StrikeOption=30"), "ImpliedStrikeOption_C=35", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Call_Put StrikeOption=40"), "ImpliedStrikeOption_C=35", 1e-6, nullptr, "StrikeUnderly StrikeOption"},

    {"WriterExtendible", Varied(kWriterExtendible, "YieldRate=0.02"), "", 1e-6, nullptr, "StrikeInitial StrikeExtended"},
    {"WriterExtendible", Varied(kWriterExtendible, "YieldRate=0.02 OptionType=PutOption"), "", 1e-6, nullptr, "StrikeInitial StrikeExtended"},
    {"WriterExtendible", Varied(kWriterExtendible), "ImpliedVol_WE=0.6 ImpliedStrikeInt_WE=80 ImpliedStrikeExt_WE=90", 1e-6, nullptr, "StrikeInitial StrikeExtended"},
    {"WriterExtendible", Varied(kWriterExtendible, "OptionType=PutOption Volatility=0.8"), "ImpliedVol_WE=0.3", 1e-6, nullptr, "StrikeInitial StrikeExtended"},
    {"WriterExtendible", Varied(kWriterExtendible, "OptionType=PutOption StrikeInitial=75"), "ImpliedStrikeInt_WE=90", 1e-6, nullptr, "StrikeInitial StrikeExtended"},
    {"WriterExtendible", Varied(kWriterExtendible, "OptionType=PutOption StrikeExtended=70"), "ImpliedStrikeExt_WE=80", 1e-6, nullptr, "StrikeInitial StrikeExtended"},

});
// clang-format on

}  // namespace
}  // namespace quantrel::testing
