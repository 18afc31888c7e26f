// Single-asset models with a time structure. Conventions: see quantrel/models.h.
#pragma once

#include <cstdint>

namespace quantrel {

// Forward-start option: the strike is set at TimeStart to Alpha times the asset price then.
double ForwardStart(int32_t OptionType, int32_t OptionFunction, double AssetPrice, double TimeStart,
                    double TimeExpire, double Volatility, double InterestRate, double YieldRate,
                    double Alpha, double MarketPrice = 0, int32_t TimeFormat = 0,
                    int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                    int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                    bool SkipValidation = false);

}  // namespace quantrel
