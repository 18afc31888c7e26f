// Path-dependent closed forms: lookbacks, extreme spreads, average options. Conventions: see
// quantrel/models.h.
#pragma once

#include <cstdint>

#include "quantrel/export.h"

namespace quantrel {

// Floating-strike lookback. StrikePrice is the extreme seen so far: the minimum for a call, the
// maximum for a put; StrikeSensitivity moves it and ImpliedStrike solves for it.
QUANTREL_API double Lookback(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                             double StrikePrice, double TimeExpire, double Volatility,
                             double InterestRate, double YieldRate, double MarketPrice = 0,
                             int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                             int32_t YieldRateType = 0, int32_t* ErrorCode = nullptr,
                             bool RawSensitivities = false, bool SkipValidation = false);

// Fixed-strike lookback. AssetMinMax is the extreme seen so far: the maximum for a call, the
// minimum for a put.
QUANTREL_API double LookbackFixed(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                                  double AssetMinMax, double StrikePrice, double TimeExpire,
                                  double Volatility, double InterestRate, double YieldRate,
                                  double MarketPrice = 0, int32_t TimeFormat = 0,
                                  int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                  int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                  bool SkipValidation = false);

// Partial-time floating-strike lookback: the extreme (StrikePrice, seen so far) is watched until
// TimeStart, and the strike is Lambda times it.
QUANTREL_API double LookbackPFloat(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                                   double StrikePrice, double Lambda, double TimeStart,
                                   double TimeExpire, double Volatility, double InterestRate,
                                   double YieldRate, double MarketPrice = 0, int32_t TimeFormat = 0,
                                   int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                   int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                   bool SkipValidation = false);

// Partial-time fixed-strike lookback: the extreme is watched from TimeStart to expiry.
QUANTREL_API double LookbackPFixed(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                                   double StrikePrice, double TimeStart, double TimeExpire,
                                   double Volatility, double InterestRate, double YieldRate,
                                   double MarketPrice = 0, int32_t TimeFormat = 0,
                                   int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                   int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                   bool SkipValidation = false);

// Extreme spread (SpreadType Standard or Reverse) over two periods split at Time1stPeriod;
// StrikePrice is the extreme of the first period seen so far.
QUANTREL_API double ExtremeSpread(int32_t SpreadType, int32_t OptionType, int32_t OptionFunction,
                                  double AssetPrice, double StrikePrice, double Time1stPeriod,
                                  double TimeExpire, double Volatility, double InterestRate,
                                  double YieldRate, double MarketPrice = 0, int32_t TimeFormat = 0,
                                  int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                  int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                  bool SkipValidation = false);

// Average-price option, geometric (sampled at ObserveFreq) or arithmetic (continuous). A positive
// TimeToAverage is the time until averaging starts; a negative one says averaging began that
// long ago, AveragePrice being the average so far.
QUANTREL_API double AveragePrice(int32_t OptionType, int32_t AverageType, int32_t OptionFunction,
                                 double AssetPrice, double AveragePrice, double StrikePrice,
                                 double TimeToAverage, double TimeExpire, double Volatility,
                                 double InterestRate, double YieldRate, int32_t ObserveFreq = 0,
                                 double MarketPrice = 0, int32_t TimeFormat = 0,
                                 int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                 int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                 bool SkipValidation = false);

// Average-strike option, averaging from now to expiry. Serves neither StrikeSensitivity nor
// ImpliedStrike.
QUANTREL_API double AverageStrike(int32_t OptionType, int32_t AverageType, int32_t OptionFunction,
                                  double AssetPrice, double TimeExpire, double Volatility,
                                  double InterestRate, double YieldRate, int32_t ObserveFreq = 0,
                                  double MarketPrice = 0, int32_t TimeFormat = 0,
                                  int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                  int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                  bool SkipValidation = false);

}  // namespace quantrel
