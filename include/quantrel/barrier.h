// Barrier and binary options on one asset. Conventions: see quantrel/models.h.
//
// BarrierMonitoring says how often a barrier is watched; a discretely watched barrier is priced as
// a continuous one moved away from the asset price (ContinuouslyM, the default, leaves it). A spot
// already at or past a barrier watched from now has hit it: a knock-out is worth what it pays at
// the hit, a knock-in the option it has become.
#pragma once

#include <cstdint>

#include "quantrel/export.h"

namespace quantrel {

// Gap option: a call pays S_T - (StrikePrice + StrikeGap) when S_T > StrikePrice, a put
// (StrikePrice + StrikeGap) - S_T when S_T < StrikePrice; StrikeGap may be negative.
QUANTREL_API double Gap(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                        double StrikePrice, double StrikeGap, double TimeExpire, double Volatility,
                        double InterestRate, double YieldRate, double MarketPrice = 0,
                        int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                        int32_t YieldRateType = 0, int32_t* ErrorCode = nullptr,
                        bool RawSensitivities = false, bool SkipValidation = false);

// Cash-or-nothing: pays Payoff at expiry when the option finishes in the money.
QUANTREL_API double CashOrNothing(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                                  double StrikePrice, double Payoff, double TimeExpire,
                                  double Volatility, double InterestRate, double YieldRate,
                                  double MarketPrice = 0, int32_t TimeFormat = 0,
                                  int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                  int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                  bool SkipValidation = false);

// Asset-or-nothing: pays the asset at expiry when the option finishes in the money.
QUANTREL_API double AssetOrNothing(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                                   double StrikePrice, double TimeExpire, double Volatility,
                                   double InterestRate, double YieldRate, double MarketPrice = 0,
                                   int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                                   int32_t YieldRateType = 0, int32_t* ErrorCode = nullptr,
                                   bool RawSensitivities = false, bool SkipValidation = false);

// Supershare: pays S_T / LowerStrike at expiry when LowerStrike < S_T < UpperStrike
// (enumOptionFncsSS: two strike sensitivities and two implied strikes).
QUANTREL_API double Supershare(int32_t OptionFunction, double AssetPrice, double LowerStrike,
                               double UpperStrike, double TimeExpire, double Volatility,
                               double InterestRate, double YieldRate, double MarketPrice = 0,
                               int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                               int32_t YieldRateType = 0, int32_t* ErrorCode = nullptr,
                               bool RawSensitivities = false, bool SkipValidation = false);

}  // namespace quantrel
