// Two-asset and currency models: options on two correlated assets, exchange options, rainbows,
// spreads, options struck or paid in a foreign currency, two-asset barriers and binaries.
// Conventions: see quantrel/models.h.
#pragma once

#include <cstdint>

#include "quantrel/export.h"

namespace quantrel {

// Two-asset correlation option: a call pays max(AssetPrice2 - StrikePrice2, 0) at expiry provided
// AssetPrice1 ends above StrikePrice1; a put pays max(StrikePrice2 - AssetPrice2, 0) provided
// AssetPrice1 ends below StrikePrice1.
QUANTREL_API double TwoAssetCorr(int32_t OptionType, int32_t OptionFunction, double AssetPrice1,
                                 double AssetPrice2, double StrikePrice1, double StrikePrice2,
                                 double TimeExpire, double Volatility1, double Volatility2,
                                 double InterestRate, double YieldRate1, double YieldRate2,
                                 double Correlation, double MarketPrice = 0, int32_t TimeFormat = 0,
                                 int32_t InterestRateType = 0, int32_t YieldRate1Type = 0,
                                 int32_t YieldRate2Type = 0, int32_t* ErrorCode = nullptr,
                                 bool RawSensitivities = false, bool SkipValidation = false);

}  // namespace quantrel
