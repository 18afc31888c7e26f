// Rows of the checks every model must pass: the two-asset and currency models.
#include "support/GenericRows.h"

namespace quantrel::testing {
namespace {

// clang-format off
constexpr const char* kTwoAssetCorr = "OptionType=CallOption AssetPrice1=52 AssetPrice2=65 StrikePrice1=50 StrikePrice2=70 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.3 InterestRate=0.1 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.75 TimeFormat=Years";
constexpr const char* kExchange = "ExerciseType=European AssetPrice1=22 AssetPrice2=20 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.25 YieldRate1=0.06 YieldRate2=0.04 Correlation=0.3 TimeFormat=Years";
constexpr const char* kExchOnExch = "ExchangeType=ExchExchFforA AssetPrice1=105 AssetPrice2=100 QtyAsset2=0.1 TimeOption=0.75 TimeExpire=1 Volatility1=0.2 Volatility2=0.25 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.3 TimeFormat=Years";
constexpr const char* kRainbow = "OptionType=CallOption ExtremeType=MaxAsset AssetPrice1=100 AssetPrice2=105 StrikePrice=98 TimeExpire=0.5 Volatility1=0.11 Volatility2=0.16 InterestRate=0.05 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.63 TimeFormat=Years";
constexpr const char* kSpread = "OptionType=CallOption AssetPrice1=122 AssetPrice2=120 StrikePrice=3 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.25 InterestRate=0.1 YieldRate1=0.03 YieldRate2=0.05 Correlation=0.4 TimeFormat=Years";
constexpr const char* kForeignEquity = "OptionType=CallOption CurrencyType=Domestic AssetPrice=100 StrikePrice=160 ExchangeRate=1.5 TimeExpire=0.5 VolAsset=0.2 VolExch=0.12 InterestRate=0.08 YieldRate=0.05 Correlation=0.45 TimeFormat=Years";
constexpr const char* kQuanto = "OptionType=CallOption AssetPrice=100 StrikePrice=105 ExchangeRate=1.5 TimeExpire=0.5 VolAsset=0.2 VolExch=0.1 IntRateDom=0.08 IntRateFor=0.05 YieldRate=0.04 Correlation=0.3 TimeFormat=Years";
constexpr const char* kEquityLinkedFX = "OptionType=CallOption CurrencyType=Domestic AssetPrice=100 StrikePrice=1.52 ExchangeRate=1.5 TimeExpire=0.25 VolAsset=0.2 VolExch=0.12 IntRateDom=0.08 IntRateFor=0.05 YieldRate=0.04 Correlation=0.4 TimeFormat=Years";
constexpr const char* kTakeoverFX = "ValueFirm=100 NumCurrency=105 StrikePrice=1.55 ExchangeRate=1.5 TimeExpire=1 VolFirm=0.2 VolExch=0.25 IntRateDom=0.08 IntRateFor=0.06 Correlation=0.1 TimeFormat=Years";
constexpr const char* kBarrierTwoAsset = "OptionType=CallOption BarrierType=Down_Out AssetPrice1=100 AssetPrice2=100 StrikePrice=90 Barrier=95 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.2 InterestRate=0.08 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.5 TimeFormat=Years";
constexpr const char* kBarrierPartialTA = "OptionType=CallOption BarrierType=Up_Out AssetPrice1=100 AssetPrice2=100 StrikePrice=95 Barrier=120 TimeBarrier=0.25 TimeExpire=0.5 Volatility1=0.25 Volatility2=0.2 InterestRate=0.08 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.5 TimeFormat=Years";
constexpr const char* kCashOrNothingTA = "OptionType=Call_Options AssetPrice1=100 AssetPrice2=100 StrikePrice1=110 StrikePrice2=90 Payoff=10 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.25 InterestRate=0.1 YieldRate1=0.05 YieldRate2=0.04 Correlation=0.5 TimeFormat=Years";
constexpr const char* kTwoStrikes = "StrikePrice1 StrikePrice2";
constexpr const char* kTakeoverNames = "AssetPrice=ValueFirm VolAsset=VolFirm";

[[maybe_unused]] const bool registered = RegisterRows({
    {"TwoAssetCorr", Varied(kTwoAssetCorr), "ImpliedVol1_TA=0.3 ImpliedVol2_TA=0.2 ImpliedStrike1_TA=55 ImpliedStrike2_TA=60 ImpliedCorr_TA=0", 1e-6, nullptr, kTwoStrikes},
    {"TwoAssetCorr", Varied(kTwoAssetCorr, "OptionType=PutOption StrikePrice1=55 InterestRateType=Annually YieldRate1Type=Quarterly YieldRate2Type=Monthly"), "ImpliedStrike2_TA=60 ImpliedCorr_TA=0", 1e-6, nullptr, kTwoStrikes},
    {"Exchange", Varied(kExchange, "QtyAsset1=3 QtyAsset2=2.5 TimeExpire=0.6 YieldRate1Type=Annually YieldRate2Type=SemiAnnually"), "ImpliedVol1_EX=0.3 ImpliedVol2_EX=0.3 ImpliedCorr_EX=0", 1e-6, nullptr, ""},
    {"Exchange", Varied(kExchange, "ExerciseType=American"), "ImpliedVol1_EX=0.3 ImpliedCorr_EX=0", 1e-5, nullptr, ""},
    // Away from the first type the values need not be monotonic in the volatilities: there the
    // Newton search may find nothing. A negative correlation takes Chi forward (1e-5).
    {"ExchOnExch", Varied(kExchOnExch), "ImpliedVol1_EX=0.3 ImpliedCorr_EX=0", 1e-6, nullptr, ""},
    {"ExchOnExch", Varied(kExchOnExch, "ExchangeType=ExchExchAforF AssetPrice1=95 Correlation=-0.5"), "ImpliedCorr_EX=0", 1e-5, nullptr, ""},
    // The call on the maximum is not monotonic in the first volatility: any answer that reprices.
    {"Rainbow", Varied(kRainbow), "ImpliedVol1_SP=0.3", 1e-6, nullptr, "StrikePrice", "", true},
    {"Rainbow", Varied(kRainbow, "ExtremeType=MinAsset"), "ImpliedVol2_SP=0.3 ImpliedStrike_SP=90 ImpliedCorr_SP=0", 1e-6},
    {"Rainbow", Varied(kRainbow, "OptionType=PutOption StrikePrice=104 InterestRateType=Annually YieldRate2Type=Annually"), "ImpliedStrike_SP=90 ImpliedCorr_SP=0", 1e-6},
    {"Spread", Varied(kSpread), "ImpliedVol1_SP=0.3 ImpliedVol2_SP=0.3 ImpliedStrike_SP=3 ImpliedCorr_SP=0", 1e-6},
    {"Spread", Varied(kSpread, "OptionType=PutOption StrikePrice=-4 QtyAsset1=0.8 QtyAsset2=1.3 InterestRateType=Annually YieldRate1Type=Annually"), "ImpliedStrike_SP=3 ImpliedCorr_SP=0", 1e-6},
    {"ForeignEquity", Varied(kForeignEquity, "InterestRateType=Annually YieldRateType=Quarterly"), "ImpliedVolAsset_FX=0.3 ImpliedVolExch_FX=0.3 ImpliedStrike_FX=150 ImpliedCorr_FX=0", 1e-6},
    {"ForeignEquity", Varied(kForeignEquity, "CurrencyType=Foreign OptionType=PutOption StrikePrice=95"), "ImpliedStrike_FX=50 ImpliedCorr_FX=0", 1e-6},
    {"Quanto", Varied(kQuanto), "ImpliedVolAsset_QU=0.3 ImpliedVolExch_QU=0.3 ImpliedStrike_QU=50 ImpliedCorr_QU=0", 1e-6},
    {"Quanto", Varied(kQuanto, "OptionType=PutOption IntRateDomType=Annually IntRateForType=Quarterly YieldRateType=Monthly"), "ImpliedStrike_QU=50 ImpliedCorr_QU=0", 1e-6},
    {"EquityLinkedFX", Varied(kEquityLinkedFX, "IntRateDomType=Annually IntRateForType=Annually YieldRateType=Annually"), "ImpliedVolAsset_QU=0.3 ImpliedVolExch_QU=0.3 ImpliedStrike_QU=1 ImpliedCorr_QU=0", 1e-6},
    {"EquityLinkedFX", Varied(kEquityLinkedFX, "CurrencyType=Foreign OptionType=PutOption ExchangeRate=1 StrikePrice=1.03"), "ImpliedVolExch_QU=0.3 ImpliedStrike_QU=1.1", 1e-6},
    {"TakeoverFX", Varied(kTakeoverFX, "IntRateDomType=Annually IntRateForType=Annually"), "ImpliedVolAsset_FX=0.3 ImpliedVolExch_FX=0.3 ImpliedStrike_FX=1.5 ImpliedCorr_FX=0", 1e-6, nullptr, "StrikePrice", "", false, kTakeoverNames},
    {"BarrierTwoAsset", Varied(kBarrierTwoAsset), "ImpliedVol1_SP=0.3 ImpliedVol2_SP=0.3 ImpliedStrike_SP=3 ImpliedCorr_SP=0", 1e-6},
    {"BarrierTwoAsset", Varied(kBarrierTwoAsset, "BarrierType=Down_In OptionType=PutOption StrikePrice=100 InterestRateType=Annually YieldRate2Type=Annually"), "ImpliedStrike_SP=3", 1e-6},
    // A discretely watched barrier is moved with the second volatility as given: Vega2 holds it
    // there, where a difference of values moves it too.
    {"BarrierTwoAsset", Varied(kBarrierTwoAsset, "BarrierType=Up_Out Barrier=115 BarrierMonitoring=DailyM"), "ImpliedVol1_SP=0.3 ImpliedCorr_SP=0", 1e-6, nullptr, "StrikePrice", "Vega2"},
    {"BarrierPartialTA", Varied(kBarrierPartialTA), "ImpliedVol1_SP=0.3 ImpliedVol2_SP=0.3 ImpliedStrike_SP=90 ImpliedCorr_SP=0", 1e-6},
    {"BarrierPartialTA", Varied(kBarrierPartialTA, "BarrierType=Down_In Barrier=85 OptionType=PutOption BarrierMonitoring=WeeklyM Correlation=-0.4"), "ImpliedStrike_SP=90", 1e-5, nullptr, "StrikePrice", "Vega2"},
    {"CashOrNothingTA", Varied(kCashOrNothingTA), "ImpliedVol1_TA=0.3 ImpliedVol2_TA=0.3 ImpliedStrike1_TA=100 ImpliedStrike2_TA=95 ImpliedCorr_TA=0", 1e-6, nullptr, kTwoStrikes},
    {"CashOrNothingTA", Varied(kCashOrNothingTA, "OptionType=Up_Down StrikePrice2=110 InterestRateType=Annually YieldRate1Type=Annually"), "ImpliedStrike1_TA=100 ImpliedCorr_TA=0", 1e-6, nullptr, kTwoStrikes},
});
// clang-format on

}  // namespace
}  // namespace quantrel::testing
