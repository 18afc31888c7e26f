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

// A call or put knocked out, or brought alive, when the asset touches Barrier (BarrierType
// Down_Out, Down_In, Up_Out, Up_In). Rebate is paid at the hit by a knock-out, at expiry by a
// knock-in that never came alive.
QUANTREL_API double BarrierSingle(int32_t OptionType, int32_t BarrierType, int32_t OptionFunction,
                                  double AssetPrice, double StrikePrice, double Barrier,
                                  double Rebate, double TimeExpire, double Volatility,
                                  double InterestRate, double YieldRate, double MarketPrice = 0,
                                  int32_t BarrierMonitoring = 0, int32_t TimeFormat = 0,
                                  int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                  int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                  bool SkipValidation = false);

// A call or put that dies (Knock_Out) or comes alive (Knock_In) when the asset touches either
// barrier. The barriers grow at LowerCurvature and UpperCurvature a year: L e^(dL t), U e^(dU t).
QUANTREL_API double BarrierDouble(int32_t OptionType, int32_t BarrierType, int32_t OptionFunction,
                                  double AssetPrice, double StrikePrice, double LowerBarrier,
                                  double UpperBarrier, double TimeExpire, double Volatility,
                                  double InterestRate, double YieldRate, double LowerCurvature = 0,
                                  double UpperCurvature = 0, double MarketPrice = 0,
                                  int32_t BarrierMonitoring = 0, int32_t TimeFormat = 0,
                                  int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                  int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                  bool SkipValidation = false);

// A single-barrier call or put whose barrier is watched from now until TimeBarrier only.
QUANTREL_API double BarrierPartialStart(
    int32_t OptionType, int32_t BarrierType, int32_t OptionFunction, double AssetPrice,
    double StrikePrice, double Barrier, double TimeBarrier, double TimeExpire, double Volatility,
    double InterestRate, double YieldRate, double MarketPrice = 0, int32_t BarrierMonitoring = 0,
    int32_t TimeFormat = 0, int32_t InterestRateType = 0, int32_t YieldRateType = 0,
    int32_t* ErrorCode = nullptr, bool RawSensitivities = false, bool SkipValidation = false);

// A single-barrier call or put whose barrier is watched from TimeBarrier until expiry
// (enumPartialEndType); One_Touch is knocked out by a touch from either side.
QUANTREL_API double BarrierPartialEnd(int32_t OptionType, int32_t BarrierType,
                                      int32_t OptionFunction, double AssetPrice, double StrikePrice,
                                      double Barrier, double TimeBarrier, double TimeExpire,
                                      double Volatility, double InterestRate, double YieldRate,
                                      double MarketPrice = 0, int32_t BarrierMonitoring = 0,
                                      int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                                      int32_t YieldRateType = 0, int32_t* ErrorCode = nullptr,
                                      bool RawSensitivities = false, bool SkipValidation = false);

// Look-barrier: a fixed-strike lookback on the extreme from TimeBarrier to expiry (the maximum
// for the calls, the minimum for the puts), knocked out or in by Barrier watched until
// TimeBarrier (enumOptionTypeLB).
QUANTREL_API double BarrierLookback(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                                    double StrikePrice, double Barrier, double TimeBarrier,
                                    double TimeExpire, double Volatility, double InterestRate,
                                    double YieldRate, double MarketPrice = 0,
                                    int32_t BarrierMonitoring = 0, int32_t TimeFormat = 0,
                                    int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                    int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                    bool SkipValidation = false);

// Soft barrier (enumOptionTypeSB): knocked in or out in proportion to how far into the range
// [LowerBarrier, UpperBarrier] the asset falls (calls) or rises (puts).
QUANTREL_API double BarrierSoft(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                                double StrikePrice, double LowerBarrier, double UpperBarrier,
                                double TimeExpire, double Volatility, double InterestRate,
                                double YieldRate, double MarketPrice = 0,
                                int32_t BarrierMonitoring = 0, int32_t TimeFormat = 0,
                                int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                bool SkipValidation = false);

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

// Binary barrier: a cash (Rebate) or asset digital call or put with a barrier, or (OptionType
// Both) a payment that depends only on the barrier: at expiry, or Rebate at the hit (TimePayoff
// At_Hit).
QUANTREL_API double BinaryBarrier(int32_t OptionType, int32_t BarrierType, int32_t PayoffType,
                                  int32_t OptionFunction, double AssetPrice, double StrikePrice,
                                  double Barrier, double Rebate, double TimeExpire,
                                  double Volatility, double InterestRate, double YieldRate,
                                  double MarketPrice = 0, int32_t BarrierMonitoring = 0,
                                  int32_t TimePayoff = 0, int32_t TimeFormat = 0,
                                  int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                  int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                  bool SkipValidation = false);

}  // namespace quantrel
