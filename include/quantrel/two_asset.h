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

// Exchange option: the right to receive QtyAsset1 units of asset 1 for QtyAsset2 units of asset 2,
// at expiry (ExerciseType European) or at any time before (American, any ExerciseType 0). It
// depends on no interest rate.
QUANTREL_API double Exchange(int32_t ExerciseType, int32_t OptionFunction, double AssetPrice1,
                             double AssetPrice2, double TimeExpire, double Volatility1,
                             double Volatility2, double YieldRate1, double YieldRate2,
                             double Correlation, double QtyAsset1 = 1.0, double QtyAsset2 = 1.0,
                             double MarketPrice = 0, int32_t TimeFormat = 0,
                             int32_t YieldRate1Type = 0, int32_t YieldRate2Type = 0,
                             int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                             bool SkipValidation = false);

// Option on an exchange option: at TimeOption, buy (ExchExchFforA, ExchangeFforA) or sell
// (ExchangeAforF, ExchExchAforF) for QtyAsset2 units of asset 2 an option expiring at TimeExpire
// to exchange asset 2 for asset 1 (the first two types) or asset 1 for asset 2 (the last two).
// Rates are continuously compounded.
QUANTREL_API double ExchOnExch(int32_t ExchangeType, int32_t OptionFunction, double AssetPrice1,
                               double AssetPrice2, double QtyAsset2, double TimeOption,
                               double TimeExpire, double Volatility1, double Volatility2,
                               double YieldRate1, double YieldRate2, double Correlation,
                               double MarketPrice = 0, int32_t TimeFormat = 0,
                               int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                               bool SkipValidation = false);

// Rainbow option: a call pays max(E - StrikePrice, 0), a put max(StrikePrice - E, 0), where E is
// the larger (ExtremeType MaxAsset) or the smaller (MinAsset) of the two asset prices at expiry.
QUANTREL_API double Rainbow(int32_t OptionType, int32_t ExtremeType, int32_t OptionFunction,
                            double AssetPrice1, double AssetPrice2, double StrikePrice,
                            double TimeExpire, double Volatility1, double Volatility2,
                            double InterestRate, double YieldRate1, double YieldRate2,
                            double Correlation, double MarketPrice = 0, int32_t TimeFormat = 0,
                            int32_t InterestRateType = 0, int32_t YieldRate1Type = 0,
                            int32_t YieldRate2Type = 0, int32_t* ErrorCode = nullptr,
                            bool RawSensitivities = false, bool SkipValidation = false);

// Spread option: a call pays max(QtyAsset1 AssetPrice1 - QtyAsset2 AssetPrice2 - StrikePrice, 0)
// at expiry, a put max(StrikePrice - (QtyAsset1 AssetPrice1 - QtyAsset2 AssetPrice2), 0). The
// strike may be 0 or negative.
QUANTREL_API double Spread(int32_t OptionType, int32_t OptionFunction, double AssetPrice1,
                           double AssetPrice2, double StrikePrice, double TimeExpire,
                           double Volatility1, double Volatility2, double InterestRate,
                           double YieldRate1, double YieldRate2, double Correlation,
                           double QtyAsset1 = 1.0, double QtyAsset2 = 1.0, double MarketPrice = 0,
                           int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                           int32_t YieldRate1Type = 0, int32_t YieldRate2Type = 0,
                           int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                           bool SkipValidation = false);

// Foreign equity option on an asset quoted in foreign currency: Domestic pays the option on the
// asset's domestic value AssetPrice ExchangeRate struck at StrikePrice (domestic); Foreign pays
// the option struck at StrikePrice in foreign currency, converted at the rate at expiry.
QUANTREL_API double ForeignEquity(int32_t OptionType, int32_t CurrencyType, int32_t OptionFunction,
                                  double AssetPrice, double StrikePrice, double ExchangeRate,
                                  double TimeExpire, double VolAsset, double VolExch,
                                  double InterestRate, double YieldRate, double Correlation,
                                  double MarketPrice = 0, int32_t TimeFormat = 0,
                                  int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                                  int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                  bool SkipValidation = false);

// Quanto option: the option on a foreign asset (AssetPrice, StrikePrice in foreign currency),
// its payoff converted to domestic currency at the fixed rate ExchangeRate.
QUANTREL_API double Quanto(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                           double StrikePrice, double ExchangeRate, double TimeExpire,
                           double VolAsset, double VolExch, double IntRateDom, double IntRateFor,
                           double YieldRate, double Correlation, double MarketPrice = 0,
                           int32_t TimeFormat = 0, int32_t IntRateDomType = 0,
                           int32_t IntRateForType = 0, int32_t YieldRateType = 0,
                           int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                           bool SkipValidation = false);

// Equity-linked foreign-exchange option: an option on the exchange rate whose notional is the
// foreign asset's price; the Domestic call pays AssetPrice max(ExchangeRate - StrikePrice, 0).
QUANTREL_API double EquityLinkedFX(int32_t OptionType, int32_t CurrencyType, int32_t OptionFunction,
                                   double AssetPrice, double StrikePrice, double ExchangeRate,
                                   double TimeExpire, double VolAsset, double VolExch,
                                   double IntRateDom, double IntRateFor, double YieldRate,
                                   double Correlation, double MarketPrice = 0,
                                   int32_t TimeFormat = 0, int32_t IntRateDomType = 0,
                                   int32_t IntRateForType = 0, int32_t YieldRateType = 0,
                                   int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                   bool SkipValidation = false);

// Takeover foreign-exchange option: a call paying NumCurrency max(E - StrikePrice, 0), E the
// exchange rate at expiry, only if the foreign firm's value then is below NumCurrency units.
// OptionFunction takes the codes of enumOptionFncsTX (RhoDomestic 28 and RhoForeign 29 included,
// Rho 7 and Psi 8 refused).
QUANTREL_API double TakeoverFX(int32_t OptionFunction, double ValueFirm, double NumCurrency,
                               double StrikePrice, double ExchangeRate, double TimeExpire,
                               double VolFirm, double VolExch, double IntRateDom, double IntRateFor,
                               double Correlation, double MarketPrice = 0, int32_t TimeFormat = 0,
                               int32_t IntRateDomType = 0, int32_t IntRateForType = 0,
                               int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                               bool SkipValidation = false);

// Two-asset barrier: a call or put on asset 1 with strike StrikePrice, knocked out or in when
// asset 2 crosses Barrier at any time before expiry, watched as BarrierMonitoring says.
QUANTREL_API double BarrierTwoAsset(int32_t OptionType, int32_t BarrierType, int32_t OptionFunction,
                                    double AssetPrice1, double AssetPrice2, double StrikePrice,
                                    double Barrier, double TimeExpire, double Volatility1,
                                    double Volatility2, double InterestRate, double YieldRate1,
                                    double YieldRate2, double Correlation, double MarketPrice = 0,
                                    int32_t BarrierMonitoring = 0, int32_t TimeFormat = 0,
                                    int32_t InterestRateType = 0, int32_t YieldRate1Type = 0,
                                    int32_t YieldRate2Type = 0, int32_t* ErrorCode = nullptr,
                                    bool RawSensitivities = false, bool SkipValidation = false);

// Partial-time two-asset barrier: as BarrierTwoAsset, with the barrier on asset 2 watched only
// until TimeBarrier.
QUANTREL_API double BarrierPartialTA(int32_t OptionType, int32_t BarrierType,
                                     int32_t OptionFunction, double AssetPrice1, double AssetPrice2,
                                     double StrikePrice, double Barrier, double TimeBarrier,
                                     double TimeExpire, double Volatility1, double Volatility2,
                                     double InterestRate, double YieldRate1, double YieldRate2,
                                     double Correlation, double MarketPrice = 0,
                                     int32_t BarrierMonitoring = 0, int32_t TimeFormat = 0,
                                     int32_t InterestRateType = 0, int32_t YieldRate1Type = 0,
                                     int32_t YieldRate2Type = 0, int32_t* ErrorCode = nullptr,
                                     bool RawSensitivities = false, bool SkipValidation = false);

// Two-asset cash-or-nothing: Payoff at expiry when asset 1 ends above (Call_Options, Up_Down) or
// below (Put_Options, Down_Up) StrikePrice1 and asset 2 above (Call_Options, Down_Up) or below
// (Put_Options, Up_Down) StrikePrice2.
QUANTREL_API double CashOrNothingTA(int32_t OptionType, int32_t OptionFunction, double AssetPrice1,
                                    double AssetPrice2, double StrikePrice1, double StrikePrice2,
                                    double Payoff, double TimeExpire, double Volatility1,
                                    double Volatility2, double InterestRate, double YieldRate1,
                                    double YieldRate2, double Correlation, double MarketPrice = 0,
                                    int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                                    int32_t YieldRate1Type = 0, int32_t YieldRate2Type = 0,
                                    int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                    bool SkipValidation = false);

}  // namespace quantrel
