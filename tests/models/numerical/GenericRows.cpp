// Rows of the checks every model must pass: the lattices, trees and simulations. Their steps are
// few, so the rows run fast. Sensitivities the lattices and trees read off their own nodes, or
// take with a step of a tenth of the price (the two-asset gamma), are not differences of the value
// at a small step: those members are skipped here and checked in the models' own tests.
#include "support/GenericRows.h"

namespace quantrel::testing {
namespace {

constexpr const char* kTwoAsset =
    "ExerciseType=European OptionType=CallOption AssetPrice1=110 AssetPrice2=95 StrikePrice=5 "
    "TimeExpire=0.75 Volatility1=0.3 Volatility2=0.2 InterestRate=0.06 YieldRate1=0.02 "
    "YieldRate2=0.03 Correlation=0.4 Iterations=20 TimeFormat=Years";
constexpr const char* kDualStrike =
    "ModelType=Standard ExerciseType=European OptionType=CallOption AssetPrice1=110 "
    "AssetPrice2=95 StrikePrice1=100 StrikePrice2=90 TimeExpire=0.75 Volatility1=0.3 "
    "Volatility2=0.2 InterestRate=0.06 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.4 "
    "Iterations=20 TimeFormat=Years";
constexpr const char* kExchange =
    "ExerciseType=European AssetPrice1=110 AssetPrice2=95 TimeExpire=0.75 Volatility1=0.3 "
    "Volatility2=0.2 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.4 Iterations=20 "
    "TimeFormat=Years";
constexpr const char* kCompound =
    "ExerciseType=European OptionType=Call_Call AssetPrice=100 StrikeOption=4 StrikeUnderly=95 "
    "TimeExpire=1 Volatility=0.3 InterestRate=0.07 YieldRate=0.02 Iterations=60 TimeFormat=Years";
constexpr const char* kBarrierTri =
    "ExerciseType=European OptionType=CallOption BarrierType=Down_Out AssetPrice=100 "
    "StrikePrice=95 Barrier=90 Rebate=2 TimeExpire=0.5 Volatility=0.25 InterestRate=0.08 "
    "YieldRate=0.04 Iterations=60 TimeFormat=Years";
constexpr const char* kMonteCarlo =
    "OptionType=CallOption AssetPrice=100 StrikePrice=100 TimeExpire=0.5 Volatility=0.25 "
    "InterestRate=0.06 YieldRate=0.02 NumSteps=10 Iterations=100 TimeFormat=Years";

constexpr const char* kLatticeImplied =
    "ImpliedVol1_SP=0.2 ImpliedVol2_SP=0.3 ImpliedCorr_SP=0.1 ImpliedStrike_SP=4";
constexpr const char* kTreeOwn = "Delta Gamma Theta Lambda";
// Early exercise on a coarse lattice turns at nodes: a volatility moved by 1e-4 can change where,
// which a one-sided step of 1e-5 need not see.
constexpr double kAmerican = 1e-3;

// A knock-in with a rebate may be worth the same at two volatilities: only the price is checked.
// clang-format off
[[maybe_unused]] const bool registered = RegisterRows({
    {"SpreadBin", Varied(kTwoAsset), kLatticeImplied, 1e-5, nullptr, "StrikePrice", "Gamma"},
    {"SpreadBin", Varied(kTwoAsset, "ExerciseType=American OptionType=PutOption StrikePrice=20 YieldRate2=0.1"), "", kAmerican, nullptr, "StrikePrice", "Gamma"},
    {"SpreadBin", Varied(kTwoAsset, "StrikePrice=-3 QtyAsset1=0.8 InterestRateType=Annually YieldRate1Type=Quarterly"), "", 1e-5, nullptr, "StrikePrice", "Gamma"},
    {"RainbowBin", Varied(kTwoAsset, "ExtremeType=MaxAsset StrikePrice=100"), "ImpliedVol1_SP=0.2 ImpliedCorr_SP=0.5 ImpliedStrike_SP=90", 1e-5, nullptr, "StrikePrice", "Gamma"},
    {"RainbowBin", Varied(kTwoAsset, "ExtremeType=MinAsset OptionType=PutOption StrikePrice=110 ExerciseType=American"), "", kAmerican, nullptr, "StrikePrice", "Gamma"},
    {"DualStrikeBin", Varied(kDualStrike), "ImpliedVol2_TA=0.3 ImpliedStrike1_TA=95", 1e-5, nullptr, "StrikePrice1 StrikePrice2", "Gamma"},
    {"DualStrikeBin", Varied(kDualStrike, "ModelType=Reverse StrikePrice2=100 ExerciseType=American"), "", kAmerican, nullptr, "StrikePrice1 StrikePrice2", "Gamma"},
    {"PortfolioBin", Varied(kTwoAsset, "StrikePrice=200"), "ImpliedVol1_TA=0.2 ImpliedStrike1_TA=190", 1e-5, nullptr, "StrikePrice", "Gamma"},
    {"PortfolioBin", Varied(kTwoAsset, "StrikePrice=215 OptionType=PutOption ExerciseType=American"), "", kAmerican, nullptr, "StrikePrice", "Gamma"},
    {"ExchangeBin", Varied(kExchange), "ImpliedVol1_EX=0.2 ImpliedCorr_EX=0.2", 1e-5, nullptr, "", "Gamma"},
    {"ExchangeBin", Varied(kExchange, "ExerciseType=American YieldRate2=0.1 YieldRate2Type=Annually"), "", kAmerican, nullptr, "", "Gamma"},

    {"CompoundBin", Varied(kCompound), "ImpliedVol_C=0.5 ImpliedStrikeUnderly_C=90 ImpliedStrikeOption_C=3", 1e-5, nullptr, "StrikeUnderly StrikeOption", kTreeOwn},
    {"CompoundBin", Varied(kCompound, "OptionType=Put_Put ExerciseType=American StrikeOption=8 InterestRateType=Monthly"), "ImpliedVol_C=0.5", kAmerican, nullptr, "StrikeUnderly StrikeOption", kTreeOwn},

    {"BarrierSingleTri", Varied(kBarrierTri), "ImpliedVol=0.5 ImpliedStrike=90", 1e-5, nullptr, "StrikePrice", kTreeOwn},
    {"BarrierSingleTri", Varied(kBarrierTri, "BarrierType=Up_In OptionType=PutOption Barrier=110 ExerciseType=0"), "ImpliedVol=0.5", 1e-5, nullptr, "StrikePrice", kTreeOwn, true},

    {"OptionsMC", "OptionType=CallOption AssetPrice=100 StrikePrice=100 TimeExpire=0.5 Volatility=0.25 InterestRate=0.06 YieldRate=0.02 Iterations=100 TimeFormat=Years"},
    {"AsianMC", Varied(kMonteCarlo, "VariateType=Control")},
    {"LookbackMC", Varied(kMonteCarlo)},
    {"AsianSpreadMC", "OptionType=CallOption AssetPrice1=100 AssetPrice2=95 StrikePrice=5 TimeExpire=0.5 Volatility1=0.25 Volatility2=0.2 InterestRate=0.06 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.4 NumSteps=10 Iterations=100 TimeFormat=Years"},
});
// clang-format on

}  // namespace
}  // namespace quantrel::testing
