// The published interface as constant data, for the library's own use at compile time and at
// run time: every pricing method with its inputs, every enumeration with its members, every error
// code with its published description, and every message a failure can carry. The public
// catalogue functions (quantrel/catalogue.h) answer from these tables.
#pragma once

#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>

#include "quantrel/catalogue.h"
#include "quantrel/enums.h"
#include "quantrel/errors.h"

namespace quantrel::published {

// clang-format off
inline constexpr InputSpec kExecutiveInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"JumpRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kForwardStartInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsFS", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"TimeStart", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"Alpha", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kChooserInputs[] = {
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeChoose", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kComplexChooserInputs[] = {
    {"OptionFunction", InputType::Enum, "enumOptionFncsTS", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikeCall", InputType::Double, nullptr, false},
    {"StrikePut", InputType::Double, nullptr, false},
    {"TimeChoose", InputType::Double, nullptr, false},
    {"TimeCall", InputType::Double, nullptr, false},
    {"TimePut", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
};
inline constexpr InputSpec kCompoundInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionTypeC", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsC", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikeOption", InputType::Double, nullptr, false},
    {"StrikeUnderly", InputType::Double, nullptr, false},
    {"TimeOption", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kWriterExtendibleInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsWE", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikeInitial", InputType::Double, nullptr, false},
    {"StrikeExtended", InputType::Double, nullptr, false},
    {"TimeInitial", InputType::Double, nullptr, false},
    {"TimeExtended", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
};
inline constexpr InputSpec kExchangeInputs[] = {
    {"ExerciseType", InputType::Enum, "enumExerciseType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsEX", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"QtyAsset1", InputType::Double, nullptr, true, 1.0, true},
    {"QtyAsset2", InputType::Double, nullptr, true, 1.0, true},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kExchOnExchInputs[] = {
    {"ExchangeType", InputType::Enum, "enumExchangeType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsEX", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"QtyAsset2", InputType::Double, nullptr, false},
    {"TimeOption", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
};
inline constexpr InputSpec kRainbowInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"ExtremeType", InputType::Enum, "enumLimit", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsSP", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kSpreadInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsSP", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"QtyAsset1", InputType::Double, nullptr, true, 1.0, true},
    {"QtyAsset2", InputType::Double, nullptr, true, 1.0, true},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kLookbackInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kLookbackFixedInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"AssetMinMax", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kLookbackPFloatInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"Lambda", InputType::Double, nullptr, false},
    {"TimeStart", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kLookbackPFixedInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeStart", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kExtremeSpreadInputs[] = {
    {"SpreadType", InputType::Enum, "enumFcnType", false},
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"Time1stPeriod", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kBarrierSingleInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"BarrierType", InputType::Enum, "enumBarrierType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"Barrier", InputType::Double, nullptr, false},
    {"Rebate", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"BarrierMonitoring", InputType::Enum, "enumBarrierMonitoring", true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kBarrierDoubleInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"BarrierType", InputType::Enum, "enumBarrierTypeD", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"LowerBarrier", InputType::Double, nullptr, false},
    {"UpperBarrier", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"LowerCurvature", InputType::Double, nullptr, true},
    {"UpperCurvature", InputType::Double, nullptr, true},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"BarrierMonitoring", InputType::Enum, "enumBarrierMonitoring", true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kBarrierPartialStartInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"BarrierType", InputType::Enum, "enumBarrierType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"Barrier", InputType::Double, nullptr, false},
    {"TimeBarrier", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"BarrierMonitoring", InputType::Enum, "enumBarrierMonitoring", true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kBarrierTwoAssetInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"BarrierType", InputType::Enum, "enumBarrierType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsSP", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"Barrier", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"BarrierMonitoring", InputType::Enum, "enumBarrierMonitoring", true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kBarrierLookbackInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionTypeLB", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"Barrier", InputType::Double, nullptr, false},
    {"TimeBarrier", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"BarrierMonitoring", InputType::Enum, "enumBarrierMonitoring", true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kBarrierSoftInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionTypeSB", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"LowerBarrier", InputType::Double, nullptr, false},
    {"UpperBarrier", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"BarrierMonitoring", InputType::Enum, "enumBarrierMonitoring", true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kGapInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"StrikeGap", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kCashOrNothingInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"Payoff", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kAssetOrNothingInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kCashOrNothingTAInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionTypeTC", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsTA", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"StrikePrice1", InputType::Double, nullptr, false},
    {"StrikePrice2", InputType::Double, nullptr, false},
    {"Payoff", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kBinaryBarrierInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionTypeBB", false},
    {"BarrierType", InputType::Enum, "enumBarrierType", false},
    {"PayoffType", InputType::Enum, "enumPayoffType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"Barrier", InputType::Double, nullptr, false},
    {"Rebate", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"BarrierMonitoring", InputType::Enum, "enumBarrierMonitoring", true},
    {"TimePayoff", InputType::Enum, "enumTimePayoff", true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kAveragePriceInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"AverageType", InputType::Enum, "enumAverageType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"AveragePrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeToAverage", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"ObserveFreq", InputType::Enum, "enumObserveFreq", true},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kForeignEquityInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"CurrencyType", InputType::Enum, "enumCurrencyType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsFX", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"ExchangeRate", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"VolAsset", InputType::Double, nullptr, false},
    {"VolExch", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kQuantoInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsQU", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"ExchangeRate", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"VolAsset", InputType::Double, nullptr, false},
    {"VolExch", InputType::Double, nullptr, false},
    {"IntRateDom", InputType::Double, nullptr, false},
    {"IntRateFor", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"IntRateDomType", InputType::Enum, "enumCompoundRate", true},
    {"IntRateForType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kEquityLinkedFXInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"CurrencyType", InputType::Enum, "enumCurrencyType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsQU", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"ExchangeRate", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"VolAsset", InputType::Double, nullptr, false},
    {"VolExch", InputType::Double, nullptr, false},
    {"IntRateDom", InputType::Double, nullptr, false},
    {"IntRateFor", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"IntRateDomType", InputType::Enum, "enumCompoundRate", true},
    {"IntRateForType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kTakeoverFXInputs[] = {
    {"OptionFunction", InputType::Enum, "enumOptionFncsFX", false},
    {"ValueFirm", InputType::Double, nullptr, false},
    {"NumCurrency", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"ExchangeRate", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"VolFirm", InputType::Double, nullptr, false},
    {"VolExch", InputType::Double, nullptr, false},
    {"IntRateDom", InputType::Double, nullptr, false},
    {"IntRateFor", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"IntRateDomType", InputType::Enum, "enumCompoundRate", true},
    {"IntRateForType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kSpreadBinInputs[] = {
    {"ExerciseType", InputType::Enum, "enumExerciseType", false},
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsSP", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"Iterations", InputType::Int32, nullptr, false},
    {"QtyAsset1", InputType::Double, nullptr, true, 1.0, true},
    {"QtyAsset2", InputType::Double, nullptr, true, 1.0, true},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kRainbowBinInputs[] = {
    {"ExerciseType", InputType::Enum, "enumExerciseType", false},
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"ExtremeType", InputType::Enum, "enumLimit", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsSP", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"Iterations", InputType::Int32, nullptr, false},
    {"QtyAsset1", InputType::Double, nullptr, true, 1.0, true},
    {"QtyAsset2", InputType::Double, nullptr, true, 1.0, true},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kDualStrikeBinInputs[] = {
    {"ModelType", InputType::Enum, "enumFcnType", false},
    {"ExerciseType", InputType::Enum, "enumExerciseType", false},
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsTA", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"StrikePrice1", InputType::Double, nullptr, false},
    {"StrikePrice2", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"Iterations", InputType::Int32, nullptr, false},
    {"QtyAsset1", InputType::Double, nullptr, true, 1.0, true},
    {"QtyAsset2", InputType::Double, nullptr, true, 1.0, true},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kPortfolioBinInputs[] = {
    {"ExerciseType", InputType::Enum, "enumExerciseType", false},
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsTA", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"Iterations", InputType::Int32, nullptr, false},
    {"QtyAsset1", InputType::Double, nullptr, true, 1.0, true},
    {"QtyAsset2", InputType::Double, nullptr, true, 1.0, true},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kExchangeBinInputs[] = {
    {"ExerciseType", InputType::Enum, "enumExerciseType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsEX", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"Iterations", InputType::Int32, nullptr, false},
    {"QtyAsset1", InputType::Double, nullptr, true, 1.0, true},
    {"QtyAsset2", InputType::Double, nullptr, true, 1.0, true},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kCompoundBinInputs[] = {
    {"ExerciseType", InputType::Enum, "enumExerciseType", false},
    {"OptionType", InputType::Enum, "enumOptionTypeC", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsC", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikeOption", InputType::Double, nullptr, false},
    {"StrikeUnderly", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"Iterations", InputType::Int32, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kAsianMCInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"VariateType", InputType::Enum, "enumVariateType", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"NumSteps", InputType::Int32, nullptr, false},
    {"Iterations", InputType::Int32, nullptr, false},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kLookbackMCInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"NumSteps", InputType::Int32, nullptr, false},
    {"Iterations", InputType::Int32, nullptr, false},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kAsianSpreadMCInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"NumSteps", InputType::Int32, nullptr, false},
    {"Iterations", InputType::Int32, nullptr, false},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kBarrierPartialTAInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"BarrierType", InputType::Enum, "enumBarrierType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsSP", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"Barrier", InputType::Double, nullptr, false},
    {"TimeBarrier", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"BarrierMonitoring", InputType::Enum, "enumBarrierMonitoring", true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kAverageStrikeInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"AverageType", InputType::Enum, "enumAverageType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"ObserveFreq", InputType::Enum, "enumObserveFreq", true},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kBarrierPartialEndInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"BarrierType", InputType::Enum, "enumPartialEndType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"Barrier", InputType::Double, nullptr, false},
    {"TimeBarrier", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"BarrierMonitoring", InputType::Enum, "enumBarrierMonitoring", true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kBarrierSingleTriInputs[] = {
    {"ExerciseType", InputType::Enum, "enumExerciseType", false},
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"BarrierType", InputType::Enum, "enumBarrierType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"Barrier", InputType::Double, nullptr, false},
    {"Rebate", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"Iterations", InputType::Int32, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kTimeSwitchInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFunctions", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"NumTimeUnits", InputType::Int32, nullptr, false},
    {"AccruedAmt", InputType::Double, nullptr, false},
    {"TimeInterval", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kSupershareInputs[] = {
    {"OptionFunction", InputType::Enum, "enumOptionFncsSS", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"LowerStrike", InputType::Double, nullptr, false},
    {"UpperStrike", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kOptionsMCInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"AssetPrice", InputType::Double, nullptr, false},
    {"StrikePrice", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate", InputType::Double, nullptr, false},
    {"Iterations", InputType::Int32, nullptr, false},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRateType", InputType::Enum, "enumCompoundRate", true},
};
inline constexpr InputSpec kTwoAssetCorrInputs[] = {
    {"OptionType", InputType::Enum, "enumOptionType", false},
    {"OptionFunction", InputType::Enum, "enumOptionFncsTA", false},
    {"AssetPrice1", InputType::Double, nullptr, false},
    {"AssetPrice2", InputType::Double, nullptr, false},
    {"StrikePrice1", InputType::Double, nullptr, false},
    {"StrikePrice2", InputType::Double, nullptr, false},
    {"TimeExpire", InputType::Double, nullptr, false},
    {"Volatility1", InputType::Double, nullptr, false},
    {"Volatility2", InputType::Double, nullptr, false},
    {"InterestRate", InputType::Double, nullptr, false},
    {"YieldRate1", InputType::Double, nullptr, false},
    {"YieldRate2", InputType::Double, nullptr, false},
    {"Correlation", InputType::Double, nullptr, false},
    {"MarketPrice", InputType::Double, nullptr, true},
    {"TimeFormat", InputType::Enum, "enumTimeFormat", true},
    {"InterestRateType", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate1Type", InputType::Enum, "enumCompoundRate", true},
    {"YieldRate2Type", InputType::Enum, "enumCompoundRate", true},
};

inline constexpr MethodSpec kMethods[] = {
    {"Executive", 5, "Executive Option Model", 705, kExecutiveInputs},
    {"ForwardStart", 6, "Forward Start Option Model", 707, kForwardStartInputs},
    {"Chooser", 8, "Simple Chooser Option Model", 701, kChooserInputs},
    {"ComplexChooser", 9, "Complex Chooser Option Model", 702, kComplexChooserInputs},
    {"Compound", 10, "Compound Option Model", 703, kCompoundInputs},
    {"WriterExtendible", 11, "Writer Extendible Option Model", 706, kWriterExtendibleInputs},
    {"Exchange", 13, "Exchange Option Model", 602, kExchangeInputs},
    {"ExchOnExch", 14, "Exchange-on-Exchange Option Model", 604, kExchOnExchInputs},
    {"Rainbow", 15, "Rainbow Option Model", 607, kRainbowInputs},
    {"Spread", 16, "Spread Option Model", 609, kSpreadInputs},
    {"Lookback", 17, "Floating Strike Lookback Option Model", 502, kLookbackInputs},
    {"LookbackFixed", 18, "Fixed Strike Lookback Option Model", 503, kLookbackFixedInputs},
    {"LookbackPFloat", 19, "Partial Floatng Strike Lookback Option Model", 505, kLookbackPFloatInputs},
    {"LookbackPFixed", 20, "Partial Fixed Strike Lookback Option Model", 504, kLookbackPFixedInputs},
    {"ExtremeSpread", 21, "Extreme Spread Option Model", 501, kExtremeSpreadInputs},
    {"BarrierSingle", 22, "Single Barrier Option Model", 201, kBarrierSingleInputs},
    {"BarrierDouble", 23, "Double Barrier Option Model", 202, kBarrierDoubleInputs},
    {"BarrierPartialStart", 24, "Partial Start Barrier Option Model", 204, kBarrierPartialStartInputs},
    {"BarrierTwoAsset", 25, "Two Asset Barrier Option Model", 208, kBarrierTwoAssetInputs},
    {"BarrierLookback", 26, "Lookback Barrier Option Model", 203, kBarrierLookbackInputs},
    {"BarrierSoft", 27, "Soft Barrier Option Model", 206, kBarrierSoftInputs},
    {"Gap", 28, "Gap Option Model", 304, kGapInputs},
    {"CashOrNothing", 29, "Cash-or-Nothing Option Model", 302, kCashOrNothingInputs},
    {"AssetOrNothing", 30, "Asset-or-Nothing Option Model", 301, kAssetOrNothingInputs},
    {"CashOrNothingTA", 31, "Two Asset Cash-or-Nothing Option Model", 303, kCashOrNothingTAInputs},
    {"BinaryBarrier", 33, "Binary Barrier Option Model", 306, kBinaryBarrierInputs},
    {"AveragePrice", 34, "Average Price Model", 101, kAveragePriceInputs},
    {"ForeignEquity", 35, "Foreign Equity Model", 403, kForeignEquityInputs},
    {"Quanto", 36, "Quanto Model", 403, kQuantoInputs},
    {"EquityLinkedFX", 37, "Equity Linked Foreign Exchange Model", 402, kEquityLinkedFXInputs},
    {"TakeoverFX", 38, "Takeover Foreign Exchange Model", 404, kTakeoverFXInputs},
    {"SpreadBin", 41, "Spread Binomial Option Model", 610, kSpreadBinInputs},
    {"RainbowBin", 42, "Rainbow BinomialOption Model", 608, kRainbowBinInputs},
    {"DualStrikeBin", 43, "Dual Strike Binomial Option Model", 601, kDualStrikeBinInputs},
    {"PortfolioBin", 45, "Portfolio Binomial Option Model", 606, kPortfolioBinInputs},
    {"ExchangeBin", 46, "Exchange Binomial Option Model", 603, kExchangeBinInputs},
    {"CompoundBin", 49, "Compound Binomial Option Model", 704, kCompoundBinInputs},
    {"AsianMC", 52, "Average Price Model with Monte Carlo", 107, kAsianMCInputs},
    {"LookbackMC", 53, "Lookback Monte Carlo Option Model", 506, kLookbackMCInputs},
    {"AsianSpreadMC", 54, "Two Asset Asian Spread Model with Monte Carlo", 108, kAsianSpreadMCInputs},
    {"BarrierPartialTA", 2, "Partial Two Asset Barrier Option Model", 207, kBarrierPartialTAInputs},
    {"AverageStrike", 48, "Average Strike Model", 102, kAverageStrikeInputs},
    {"BarrierPartialEnd", 47, "Partial End Barrier Option Model", 205, kBarrierPartialEndInputs},
    {"BarrierSingleTri", 39, "Single Barrier Trinomial Option Model", 209, kBarrierSingleTriInputs},
    {"TimeSwitch", 40, "Time-Switch Option Model", 708, kTimeSwitchInputs},
    {"Supershare", 50, "Supershares Option Model", 305, kSupershareInputs},
    {"OptionsMC", 55, "Standard European Option with Monte Carlo Model", 709, kOptionsMCInputs},
    {"TwoAssetCorr", 56, "Two Asset Correlation Option Model", 611, kTwoAssetCorrInputs},
};
// clang-format on

// --- Enumerations: one member array each, then the table of enumerations ---

#define QUANTREL_ENUM_BEGIN(name) inline constexpr EnumMember k_##name[] = {
#define QUANTREL_ENUM_MEMBER(name, member, value) {#member, member},
#define QUANTREL_ENUM_END(name) \
  }                             \
  ;
#include "quantrel/enumerations.inc"
#undef QUANTREL_ENUM_BEGIN
#undef QUANTREL_ENUM_MEMBER
#undef QUANTREL_ENUM_END

#define QUANTREL_ENUM_BEGIN(name) {#name, k_##name},
#define QUANTREL_ENUM_MEMBER(name, member, value)
#define QUANTREL_ENUM_END(name)
inline constexpr EnumerationSpec kEnumerations[] = {
#include "quantrel/enumerations.inc"
};
#undef QUANTREL_ENUM_BEGIN
#undef QUANTREL_ENUM_MEMBER
#undef QUANTREL_ENUM_END

// --- Error codes ---

#define QUANTREL_ERROR(name, value, description, raised) {#name, name, description, raised},
inline constexpr ErrorSpec kErrors[] = {
#include "quantrel/error_codes.inc"
};
#undef QUANTREL_ERROR

// --- Every message a failure can carry, with its code ---

struct RaisedMessage {
  int32_t code;
  const char* text;
};

// clang-format off
inline constexpr RaisedMessage kMessages[] = {
    // the common input checks
    {ExerciseTypeErr, "The ExerciseType is invalid."},
    {OptionTypeErr, "The OptionType is invalid."},
    {IterationsMinErr, "The number of Iterations for the Numerical Models must be greater than or equal to 5."},
    {IterationsMaxErr, "The number of Iterations for the Numerical Models must be less than or equal to 500."},
    {NumStepsMinErr, "The NumSteps for the Monte Carlo Models must be greater than or equal to 5."},
    {NumStepsMaxErr, "The NumSteps for the Monte Carlo Models must be less than or equal to 1000."},
    {IterationsMinErr, "The Iterations for the Monte Carlo Models must be greater than or equal to 1."},
    {IterationsMaxErr, "The Iterations for the Monte Carlo Models must be less than or equal to 5000."},
    {AssetPriceErr, "AssetPrice must be greater than 0."},
    {AssetPriceErr, "AssetPrice must be a finite number."},
    {AssetPriceErr, "AssetPrice2 must be greater than 0."},
    {AssetPriceErr, "AssetPrice2 must be a finite number."},
    {StrikePriceErr, "StrikePrice must be greater than 0."},
    {StrikePriceErr, "StrikePrice must be a finite number."},
    {StrikePriceErr, "StrikePrice2 must be greater than 0."},
    {StrikePriceErr, "StrikePrice2 must be a finite number."},
    {TimeExpireErr, "TimeExpire must be greater than 0."},
    {TimeStartErr, "TimeStart must be greater than 0."},
    {TimeStartErr, "The intermediate time must be a number."},
    {TimeFormatErr, "The TimeFormat is invalid."},
    {VolGreaterZeroErr, "Volatility must be a number."},
    {VolGreaterZeroErr, "Volatility2 must be a number."},
    {CorrelationErr, "Correlation must be >= -1 and <= 1."},
    {Quantity1Err, "Quantity1 must be greater than 0."},
    {Quantity1Err, "Quantity1 must be a finite number."},
    {Quantity2Err, "Quantity2 must be greater than 0."},
    {Quantity2Err, "Quantity2 must be a finite number."},
    {ExchangeRateErr, "ExchangeRate must be greater than to 0."},
    {ExchangeRateErr, "ExchangeRate must be a finite number."},
    {RebateErr, "The Repate must be greater than or equal to 0."},
    {RebateErr, "The Rebate must be a finite number."},
    {PayoffErr, "The Payoff must be greater than or equal to 0."},
    {PayoffErr, "The Payoff must be a finite number."},
    {BarrierLowErr, "The Barrier must be greater than 0."},
    {BarrierLowErr, "The Barrier must be a finite number."},
    {BarrierHighErr, "The UpperBarrier must be greater than 0."},
    {BarrierHighErr, "The UpperBarrier must be a finite number."},
    {AlphaErr, "The Alpha must be greater than 0."},
    {InterestRateErr, "InterestRate must be greater than 0."},
    {InterestRateErr, "InterestRate must be a finite number."},
    {YieldRateErr, "The Yield Rate must be greater than -1 or -100% and less than 1E5."},
    {MktPriceNegErr, "MarketPrice cannot be a negative number."},
    {MktPriceGZErr, "MarketPrice must be greater than zero to calculate the Implied Volatility."},
    {MktPriceGZErr, "MarketPrice must be greater than zero to calculate the Implied Strike."},
    {MktPriceGZErr, "MarketPrice must be greater than zero to calculate the Implied Correlation."},
    {MktPriceGZErr, "MarketPrice must be a finite number."},
    // the discrete-monitoring barrier shift
    {MonitoringErr, "The Barrier Monitoring is invalid."},
    // the entry skeleton
    {OptionFunctionErr, "The OptionFunction is invalid."},
    // the entry skeleton: a double input that every rule let through but is not a finite number,
    // under the code of the rule that governs it (NonFiniteRule below)
    {TimeExpireErr, "TimeExpire must be a finite number."},
    {TimeStartErr, "TimeStart must be a finite number."},
    {VolGreaterZeroErr, "Volatility must be a finite number."},
    {YieldRateErr, "YieldRate must be a finite number."},
    {AlphaErr, "Alpha must be a finite number."},
    {JumpRateErr, "JumpRate must be a finite number."},
    {ChooserSTimeErr, "TimeChoose must be a finite number."},
    {ChooserTimeErr, "TimeChoose must be a finite number."},
    {TimeCallErr, "TimeCall must be a finite number."},
    {TimePutErr, "TimePut must be a finite number."},
    {StrikeCallErr, "StrikeCall must be a finite number."},
    {StrikePutErr, "StrikePut must be a finite number."},
    {TimeIntervalErr, "TimeInterval must be a finite number."},
    {StrikeOptionErr, "StrikeOption must be a finite number."},
    {StrikeUnderlyErr, "StrikeUnderly must be a finite number."},
    {TimeOptionErr, "TimeOption must be a finite number."},
    {TimeInitialErr, "TimeInitial must be a finite number."},
    {TimeExtendedErr, "TimeExtended must be a finite number."},
    {AssetMinMaxErr, "AssetMinMax must be a finite number."},
    {LambdaErr, "Lambda must be a finite number."},
    {Time1stPeriodErr, "Time1stPeriod must be a finite number."},
    {TimeToAverageErr, "TimeToAverage must be a finite number."},
    // ... and those of the two-asset inputs
    {AssetPriceErr, "AssetPrice1 must be a finite number."},
    {StrikePriceErr, "StrikePrice1 must be a finite number."},
    {VolGreaterZeroErr, "Volatility1 must be a finite number."},
    {VolGreaterZeroErr, "Volatility2 must be a finite number."},
    {YieldRateErr, "YieldRate1 must be a finite number."},
    {YieldRateErr, "YieldRate2 must be a finite number."},
    {CorrelationErr, "Correlation must be a finite number."},
    {Quantity1Err, "QtyAsset1 must be a finite number."},
    {Quantity2Err, "QtyAsset2 must be a finite number."},
    // ... and the currency and firm inputs
    {VolGreaterZeroErr, "VolAsset must be a finite number."},
    {VolGreaterZeroErr, "VolExch must be a finite number."},
    {VolGreaterZeroErr, "VolFirm must be a finite number."},
    {IntRateDomErr, "IntRateDom must be a finite number."},
    {IntRateForErr, "IntRateFor must be a finite number."},
    {AssetPriceErr, "ValueFirm must be a finite number."},
    {TimeBarrierErr, "TimeBarrier must be a finite number."},
    // rate conversion
    {IntRateTypeErr, "The InterestRateType is invalid."},
    {YeildRateTypeErr, "The YieldRateType is invalid."},
    {YieldRate2NegErr, "The Yield Rate is too negative for the conversion.  Either increase the Yield Rate or Decrease the Time until Expiration."},
    {IntRateTimeErr, "The Interest Rate multiplied by time cannot equal 360."},
    {YeildRateTimeErr, "The Yield Rate multiplied by time cannot equal 360."},
    {IntRate2NegErr, "The Interest Rate is too negative for the conversion.  Either increase the Interest Rate or Decrease the Time until Expiration."},
    // AveragePrice and AverageStrike
    {ObserveFreqErr, "The ObserveFreq is invalid."},
    {AverageTypeErr, "The AverageType is invalid."},
    {TimeToAverageErr, "The TimeExpire must be greater than the TimeToAverage."},
    {AssetPriceErr, "AveragePrice must be a finite number."},
    // ExtremeSpread
    {Time1stPeriodErr, "Time1stPeriod must be greater than 0."},
    {Time1stPeriodLimitErr, "Time1stPeriod must be less than TimeExpire."},
    {SpreadTypeErr, "The SpreadType is Invalid."},
    // LookbackFixed
    {AssetMinMaxErr, "AssetMinMax must be greater than 0."},
    // LookbackPFixed
    {TimeStartLimitErr, "TimeStart must be less than TimeExpire."},
    // LookbackPFloat
    {LambdaErr, "dblLambda must be greater than 0."},
    // Chooser
    {ChooserSTimeErr, "TimeChoose must be greater than 0 and less than the TimeExpire."},
    // ComplexChooser
    {ChooserTimeErr, "TimeChooser must be greater than 0 and less than both TimeCall and TimePut."},
    {TimeCallErr, "TimeCall must be greater than 0."},
    {TimePutErr, "TimePut must be greater than 0."},
    {StrikeCallErr, "StrikeCall must be greater than 0."},
    {StrikePutErr, "StrikePut must be greater than 0."},
    // Compound
    {TimeOptionErr, "TimeOption must be greater than 0 and less than TimeExpire."},
    {StrikeUnderlyErr, "StrikeUnderly must be greater than 0."},
    {StrikeOptionErr, "StrikeOption must be greater than 0."},
    // Executive
    {JumpRateErr, "JumpRate must be greater than 0."},
    // WriterExtendible
    {TimeInitialErr, "TimeInitial must be greater than 0 and less than the TimeExtended."},
    {TimeExtendedErr, "TimeExtended must be greater than 0."},
    {StrikePriceErr, "StrikeInitial must be a finite number."},
    {StrikePriceErr, "StrikeExtended must be a finite number."},
    // ForwardStart
    {TimeStartErr, "TimeStart must be greater than 0 and less than the TimeExpire."},
    // TimeSwitch
    {TimeIntervalErr, "TimeInterval must be greater than 0."},
    {PayoffErr, "AccruedAmt must be a finite number."},
    // SpreadBin, RainbowBin, DualStrikeBin, PortfolioBin and ExchangeBin (the two-asset lattice)
    {ModelTypeErr, "The ModelType is invalid."},
    {ExtremeTypeErr, "The ExtremeType is invalid."},
    {IterationsMaxErr, "The number of iterations for the Numerical Models must be less than or equal to 100."},
    {ImpliedCorrErr, "There is NO solution for the Implied Correlation."},
    // OptionsMC, AsianMC, LookbackMC and AsianSpreadMC
    {VariateTypeErr, "The VariateType is invalid."},
    // BarrierSingleTri and the barrier family
    {BarrierTypeErr, "The BarrierType is Invalid."},
    // ExchOnExch
    {TimeExpireErr, "TimeOption must be greater than 0 and less than TimeExpire."},
    {ExTypeErr, "The ExchangeType is Invalid."},
    // ForeignEquity
    {CurrencyTypeErr, "The CurrencyType must be either Domestic or Foreign."},
    // Quanto, EquityLinkedFX and TakeoverFX
    {IntRateDomErr, "IntRateDom must be greater than 0."},
    {IntRateForErr, "IntRateFor must be greater than 0."},
    // TakeoverFX
    {Quantity1Err, "NumCurrency must be a finite number."},
    // BarrierTwoAsset and BarrierPartialTA
    {TimeBarrierErr, "TimeBarrier must be greater than 0."},
    // CashOrNothingTA
    {OptionTypeErr, "The OptionType is Invalid."},
    // BarrierDouble and BarrierSoft
    {BarrierLowErr, "LowerCurvature must be a finite number."},
    {BarrierHighErr, "UpperCurvature must be a finite number."},
    {BarrierLowErr, "LowerBarrier must be a finite number."},
    // BarrierPartialStart, BarrierPartialEnd (and BarrierLookback's TimeBarrier above 0)
    {TimeBarrierLimitErr, "TimeBarrier must be less than TimeExpire."},
    // BarrierLookback, BarrierSoft
    {TimeBarrierErr, "The TimeExpire must be greater than the TimeBarrier."},
    // Gap
    {StrikePriceErr, "StrikeGap must be a finite number."},
    // Supershare
    {UpperLowerErr, "The UpperStrike must be greater than the LowerStrike."},
    {LowerStrikeErr, "LowerStrike must be greater than 0."},
    {LowerStrikeErr, "LowerStrike must be a finite number."},
    {UpperStrikeErr, "UpperStrike must be greater than 0."},
    {UpperStrikeErr, "UpperStrike must be a finite number."},
    // BinaryBarrier
    {TimePayoffErr, "The TimePayoff is Invalid."},
    {PayoffTypeErr, "The PayoffType is Invalid."},
};
// clang-format on

constexpr bool IsRaisedMessage(int32_t code, std::string_view text) {
  for (const RaisedMessage& m : kMessages) {
    if (m.code == code && text == m.text) return true;
  }
  return false;
}

// --- The rule a double input falls under when it is not a finite number ---

// An input X is governed by the error code named XErr; the second of a pair (AssetPrice2) by the
// rule of the first. These are the inputs whose rule is named otherwise; an entry naming a method
// applies to that method only and comes before the general one.
struct NonFiniteException {
  std::string_view method;  // empty: every method
  std::string_view input;
  int32_t code;
};

inline constexpr NonFiniteException kNonFiniteExceptions[] = {
    {"Chooser", "TimeChoose", ChooserSTimeErr},
    {"ComplexChooser", "TimeChoose", ChooserTimeErr},
    {"", "Volatility", VolGreaterZeroErr},
    {"", "MarketPrice", MktPriceGZErr},
    {"", "AccruedAmt", PayoffErr},
    {"", "AveragePrice", AssetPriceErr},
    {"", "StrikeInitial", StrikePriceErr},
    {"", "StrikeExtended", StrikePriceErr},
    {"", "Barrier", BarrierLowErr},
    {"", "QtyAsset1", Quantity1Err},
    {"", "QtyAsset2", Quantity2Err},
    {"", "VolAsset", VolGreaterZeroErr},
    {"", "VolExch", VolGreaterZeroErr},
    {"", "VolFirm", VolGreaterZeroErr},
    {"", "ValueFirm", AssetPriceErr},
    {"", "NumCurrency", Quantity1Err},
    {"", "LowerBarrier", BarrierLowErr},
    {"", "UpperBarrier", BarrierHighErr},
    {"", "LowerCurvature", BarrierLowErr},
    {"", "UpperCurvature", BarrierHighErr},
    {"", "StrikeGap", StrikePriceErr},
};

// The code under which `method` refuses a non-finite `input`; None when no rule is known.
constexpr int32_t NonFiniteRule(std::string_view method, std::string_view input) {
  for (const NonFiniteException& e : kNonFiniteExceptions) {
    if ((e.method.empty() || e.method == method) && e.input == input) return e.code;
  }
  for (const ErrorSpec& e : kErrors) {
    const std::string_view name = e.name;
    if (name.size() == input.size() + 3 && name.starts_with(input) && name.ends_with("Err")) {
      return e.code;
    }
  }
  if (!input.empty() && input.back() >= '0' && input.back() <= '9') {
    return NonFiniteRule(method, input.substr(0, input.size() - 1));
  }
  return None;
}

// Where kMessages lists "<input> must be a finite number." (or "The <input> ...") under `code`;
// -1 when it does not.
constexpr int NonFiniteMessageIndex(int32_t code, std::string_view input) {
  constexpr std::string_view kTail = " must be a finite number.";
  for (int i = 0; i < static_cast<int>(std::size(kMessages)); ++i) {
    std::string_view text = kMessages[i].text;
    if (kMessages[i].code != code || !text.ends_with(kTail)) continue;
    text.remove_suffix(kTail.size());
    if (text.starts_with("The ")) text.remove_prefix(4);
    if (text == input) return i;
  }
  return -1;
}

// --- Lookups, usable at compile time ---

// Whether the catalogue has the method. Tested before Method() where it must hold at compile
// time: a pointer compared with null there is no constant under the undefined-behaviour
// sanitizer of some compilers.
constexpr bool HasMethod(std::string_view name) {
  for (const MethodSpec& m : kMethods) {
    if (EqualsIgnoreCase(m.name, name)) return true;
  }
  return false;
}

constexpr const MethodSpec* Method(std::string_view name) {
  for (const MethodSpec& m : kMethods) {
    if (EqualsIgnoreCase(m.name, name)) return &m;
  }
  return nullptr;
}

constexpr const EnumerationSpec* Enumeration(std::string_view name) {
  for (const EnumerationSpec& e : kEnumerations) {
    if (EqualsIgnoreCase(e.name, name)) return &e;
  }
  return nullptr;
}

constexpr const ErrorSpec* Error(int32_t code) {
  for (const ErrorSpec& e : kErrors) {
    if (e.code == code) return &e;
  }
  return nullptr;
}

}  // namespace quantrel::published
