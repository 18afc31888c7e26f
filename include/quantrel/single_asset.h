// Single-asset models with a time structure. Conventions: see quantrel/models.h.
#pragma once

#include <cstdint>

#include "quantrel/export.h"

namespace quantrel {

// Forward-start option: the strike is set at TimeStart to Alpha times the asset price then.
QUANTREL_API double ForwardStart(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                                 double TimeStart, double TimeExpire, double Volatility,
                                 double InterestRate, double YieldRate, double Alpha,
                                 double MarketPrice = 0, int32_t TimeFormat = 0,
                                 int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                 int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                 bool SkipValidation = false);

// Executive stock option: the plain option times the chance e^(-JumpRate T) that the holder has
// not left by expiry. JumpRate is per year whatever TimeFormat says.
QUANTREL_API double Executive(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                              double StrikePrice, double TimeExpire, double Volatility,
                              double InterestRate, double YieldRate, double JumpRate,
                              double MarketPrice = 0, int32_t TimeFormat = 0,
                              int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                              int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                              bool SkipValidation = false);

// Simple chooser: at TimeChoose the holder picks a call or a put, both struck at StrikePrice and
// expiring at TimeExpire.
QUANTREL_API double Chooser(int32_t OptionFunction, double AssetPrice, double StrikePrice,
                            double TimeChoose, double TimeExpire, double Volatility,
                            double InterestRate, double YieldRate, double MarketPrice = 0,
                            int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                            int32_t YieldRateType = 0, int32_t* ErrorCode = nullptr,
                            bool RawSensitivities = false, bool SkipValidation = false);

// Complex chooser: at TimeChoose the holder picks a call (StrikeCall, TimeCall) or a put
// (StrikePut, TimePut). Rates are continuously compounded.
QUANTREL_API double ComplexChooser(int32_t OptionFunction, double AssetPrice, double StrikeCall,
                                   double StrikePut, double TimeChoose, double TimeCall,
                                   double TimePut, double Volatility, double InterestRate,
                                   double YieldRate, double MarketPrice = 0, int32_t TimeFormat = 0,
                                   int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                   bool SkipValidation = false);

// Time switch: AccruedAmt per TimeInterval spent above (call) or below (put) the strike, paid at
// expiry, plus NumTimeUnits intervals already earned.
QUANTREL_API double TimeSwitch(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                               double StrikePrice, double TimeExpire, int32_t NumTimeUnits,
                               double AccruedAmt, double TimeInterval, double Volatility,
                               double InterestRate, double YieldRate, double MarketPrice = 0,
                               int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                               int32_t YieldRateType = 0, int32_t* ErrorCode = nullptr,
                               bool RawSensitivities = false, bool SkipValidation = false);

// Compound option (OptionType an enumOptionTypeC): at TimeOption pay StrikeOption for a call or
// put struck at StrikeUnderly expiring at TimeExpire.
QUANTREL_API double Compound(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                             double StrikeOption, double StrikeUnderly, double TimeOption,
                             double TimeExpire, double Volatility, double InterestRate,
                             double YieldRate, double MarketPrice = 0, int32_t TimeFormat = 0,
                             int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                             int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                             bool SkipValidation = false);

// Writer-extendible option: ending out of the money at TimeInitial, it is extended to
// TimeExtended with the strike StrikeExtended. Rates are continuously compounded.
QUANTREL_API double WriterExtendible(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                                     double StrikeInitial, double StrikeExtended,
                                     double TimeInitial, double TimeExtended, double Volatility,
                                     double InterestRate, double YieldRate, double MarketPrice = 0,
                                     int32_t TimeFormat = 0, int32_t* ErrorCode = nullptr,
                                     bool RawSensitivities = false, bool SkipValidation = false);

}  // namespace quantrel
