// Numerical models: the two-asset binomial lattice (five payoffs), the compound binomial tree,
// Monte Carlo simulation and the trinomial single-barrier tree. Conventions: see quantrel/models.h.
#pragma once

#include <cstdint>
#include <string_view>

#include "quantrel/export.h"

namespace quantrel {

// --- Two-asset binomial lattice ---
//
// Iterations is the number of time steps, 5 to 100; each step branches into four equally likely
// children. ExerciseType American (0) may exercise at every node, European (1) at expiry only.
// Sensitivities are the lattice's own one-sided differences (gamma: a tenth of the price either
// side); implied volatilities, strikes and the correlation come from a bracketing search over
// whole lattices. QtyAsset1 and QtyAsset2 scale the two prices; the strike may be 0 or negative.

// Pays max(QtyAsset1 S1 - QtyAsset2 S2 - StrikePrice, 0) for a call, the reverse for a put.
QUANTREL_API double SpreadBin(int32_t ExerciseType, int32_t OptionType, int32_t OptionFunction,
                              double AssetPrice1, double AssetPrice2, double StrikePrice,
                              double TimeExpire, double Volatility1, double Volatility2,
                              double InterestRate, double YieldRate1, double YieldRate2,
                              double Correlation, int32_t Iterations, double QtyAsset1 = 1,
                              double QtyAsset2 = 1, double MarketPrice = 0, int32_t TimeFormat = 0,
                              int32_t InterestRateType = 0, int32_t YieldRate1Type = 0,
                              int32_t YieldRate2Type = 0, int32_t* ErrorCode = nullptr,
                              bool RawSensitivities = false, bool SkipValidation = false);

// A call or put struck at StrikePrice on the larger (ExtremeType MaxAsset) or the smaller
// (MinAsset) of QtyAsset1 S1 and QtyAsset2 S2.
QUANTREL_API double RainbowBin(int32_t ExerciseType, int32_t OptionType, int32_t ExtremeType,
                               int32_t OptionFunction, double AssetPrice1, double AssetPrice2,
                               double StrikePrice, double TimeExpire, double Volatility1,
                               double Volatility2, double InterestRate, double YieldRate1,
                               double YieldRate2, double Correlation, int32_t Iterations,
                               double QtyAsset1 = 1, double QtyAsset2 = 1, double MarketPrice = 0,
                               int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                               int32_t YieldRate1Type = 0, int32_t YieldRate2Type = 0,
                               int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                               bool SkipValidation = false);

// The better of two options, each on one asset with its own strike: a call (put) pays the largest
// of QtyAsset1 S1 - StrikePrice1, QtyAsset2 S2 - StrikePrice2 (their negatives) and 0. ModelType
// Reverse turns the second leg around: the call then takes StrikePrice2 - QtyAsset2 S2.
QUANTREL_API double DualStrikeBin(int32_t ModelType, int32_t ExerciseType, int32_t OptionType,
                                  int32_t OptionFunction, double AssetPrice1, double AssetPrice2,
                                  double StrikePrice1, double StrikePrice2, double TimeExpire,
                                  double Volatility1, double Volatility2, double InterestRate,
                                  double YieldRate1, double YieldRate2, double Correlation,
                                  int32_t Iterations, double QtyAsset1 = 1, double QtyAsset2 = 1,
                                  double MarketPrice = 0, int32_t TimeFormat = 0,
                                  int32_t InterestRateType = 0, int32_t YieldRate1Type = 0,
                                  int32_t YieldRate2Type = 0, int32_t* ErrorCode = nullptr,
                                  bool RawSensitivities = false, bool SkipValidation = false);

// An option on the portfolio QtyAsset1 S1 + QtyAsset2 S2, struck at StrikePrice.
QUANTREL_API double PortfolioBin(int32_t ExerciseType, int32_t OptionType, int32_t OptionFunction,
                                 double AssetPrice1, double AssetPrice2, double StrikePrice,
                                 double TimeExpire, double Volatility1, double Volatility2,
                                 double InterestRate, double YieldRate1, double YieldRate2,
                                 double Correlation, int32_t Iterations, double QtyAsset1 = 1,
                                 double QtyAsset2 = 1, double MarketPrice = 0,
                                 int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                                 int32_t YieldRate1Type = 0, int32_t YieldRate2Type = 0,
                                 int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                                 bool SkipValidation = false);

// The right to exchange QtyAsset2 of asset 2 for QtyAsset1 of asset 1: pays
// max(QtyAsset1 S1 - QtyAsset2 S2, 0). The lattice runs at an interest rate of 5%, continuously
// compounded, which the value depends on only through the lattice's discreteness.
QUANTREL_API double ExchangeBin(int32_t ExerciseType, int32_t OptionFunction, double AssetPrice1,
                                double AssetPrice2, double TimeExpire, double Volatility1,
                                double Volatility2, double YieldRate1, double YieldRate2,
                                double Correlation, int32_t Iterations, double QtyAsset1 = 1,
                                double QtyAsset2 = 1, double MarketPrice = 0,
                                int32_t TimeFormat = 0, int32_t YieldRate1Type = 0,
                                int32_t YieldRate2Type = 0, int32_t* ErrorCode = nullptr,
                                bool RawSensitivities = false, bool SkipValidation = false);

// --- Compound binomial tree ---

// An option (OptionType: Call_Call, Call_Put, Put_Call, Put_Put, the compound side first) struck
// at StrikeOption on a call or put struck at StrikeUnderly, both expiring at TimeExpire, on a
// recombining tree of Iterations steps (5 to 500), European or American. Delta, gamma and theta
// are read off the tree; the other sensitivities revalue it with one input moved.
QUANTREL_API double CompoundBin(int32_t ExerciseType, int32_t OptionType, int32_t OptionFunction,
                                double AssetPrice, double StrikeOption, double StrikeUnderly,
                                double TimeExpire, double Volatility, double InterestRate,
                                double YieldRate, int32_t Iterations, double MarketPrice = 0,
                                int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                                int32_t YieldRateType = 0, int32_t* ErrorCode = nullptr,
                                bool RawSensitivities = false, bool SkipValidation = false);

// --- Monte Carlo ---
//
// Each method simulates Iterations paths (5 to 5000; pairs of paths under antithetic variates)
// of NumSteps equal steps (5 to 1000) under the risk-neutral drift and returns the value only.
// Every call seeds its own generator: from the calling thread's Monte Carlo seed when one is set
// (SetMonteCarloSeed, MonteCarloSeed), else from the clock in whole seconds, so that without a
// seed two calls in different seconds differ and two in the same second agree.

// A European call or put, by antithetic variates over one step to expiry.
QUANTREL_API double OptionsMC(int32_t OptionType, double AssetPrice, double StrikePrice,
                              double TimeExpire, double Volatility, double InterestRate,
                              double YieldRate, int32_t Iterations, int32_t TimeFormat = 0,
                              int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                              int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                              bool SkipValidation = false);

// An average-price call or put: the arithmetic average of the NumSteps + 1 prices from now to
// expiry against StrikePrice. VariateType Antithetic or Control (the continuously sampled
// geometric average option in closed form as control variate).
QUANTREL_API double AsianMC(int32_t OptionType, int32_t VariateType, double AssetPrice,
                            double StrikePrice, double TimeExpire, double Volatility,
                            double InterestRate, double YieldRate, int32_t NumSteps,
                            int32_t Iterations, int32_t TimeFormat = 0,
                            int32_t InterestRateType = 0, int32_t YieldRateType = 0,
                            int32_t* ErrorCode = nullptr, bool RawSensitivities = false,
                            bool SkipValidation = false);

// A floating-strike lookback watched at every step: a call pays the final price less the lowest
// price, a put the highest less the final. StrikePrice is the extreme seen so far (the minimum for
// a call, the maximum for a put); one on the far side of AssetPrice counts as AssetPrice.
QUANTREL_API double LookbackMC(int32_t OptionType, double AssetPrice, double StrikePrice,
                               double TimeExpire, double Volatility, double InterestRate,
                               double YieldRate, int32_t NumSteps, int32_t Iterations,
                               int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                               int32_t YieldRateType = 0, int32_t* ErrorCode = nullptr,
                               bool RawSensitivities = false, bool SkipValidation = false);

// A call (put) on the average of asset 1 less the average of asset 2 over the NumSteps simulated
// prices, struck at StrikePrice: max(A1 - A2 - StrikePrice, 0) (the reverse for a put).
QUANTREL_API double AsianSpreadMC(int32_t OptionType, double AssetPrice1, double AssetPrice2,
                                  double StrikePrice, double TimeExpire, double Volatility1,
                                  double Volatility2, double InterestRate, double YieldRate1,
                                  double YieldRate2, double Correlation, int32_t NumSteps,
                                  int32_t Iterations, int32_t TimeFormat = 0,
                                  int32_t InterestRateType = 0, int32_t YieldRate1Type = 0,
                                  int32_t YieldRate2Type = 0, int32_t* ErrorCode = nullptr,
                                  bool RawSensitivities = false, bool SkipValidation = false);

// The Monte Carlo seed of the calling thread. While one is set, every Monte Carlo call on the
// thread seeds its own generator from it, so the same seed and inputs give the same value bit for
// bit on any thread and whatever ran before. Seeds are those of the clock: a seed equal to a time
// in whole seconds reproduces a clock-seeded call made in that second.
QUANTREL_API void SetMonteCarloSeed(uint32_t seed) noexcept;
// Back to seeding from the clock.
QUANTREL_API void ClearMonteCarloSeed() noexcept;
// True, with the seed, when one is set on the calling thread.
QUANTREL_API bool GetMonteCarloSeed(uint32_t* seed) noexcept;
// Whether a method (by name, in any case) draws random numbers and so takes a seed.
QUANTREL_API bool TakesMonteCarloSeed(std::string_view method) noexcept;

// Sets the calling thread's seed for the life of the object, then puts back what was there:
//   quantrel::MonteCarloSeed seed(42);
class MonteCarloSeed {
 public:
  explicit MonteCarloSeed(uint32_t seed) noexcept : hadSeed_(GetMonteCarloSeed(&previous_)) {
    SetMonteCarloSeed(seed);
  }
  ~MonteCarloSeed() {
    if (hadSeed_) {
      SetMonteCarloSeed(previous_);
    } else {
      ClearMonteCarloSeed();
    }
  }
  MonteCarloSeed(const MonteCarloSeed&) = delete;
  MonteCarloSeed& operator=(const MonteCarloSeed&) = delete;

 private:
  uint32_t previous_ = 0;
  bool hadSeed_;
};

// --- Trinomial single-barrier tree ---

// A knock-in or knock-out call or put (BarrierType Down_Out, Down_In, Up_Out, Up_In) watched
// continuously, on a trinomial tree of Iterations steps (5 to 500) stretched so that the barrier
// lies on a layer of nodes. A knock-out pays Rebate when the barrier is hit, a knock-in pays it at
// expiry when the barrier was never hit. ExerciseType 0 (American) may exercise a live option at
// any node; any other value is European. Delta, gamma and theta are read off the tree; vega, rho,
// psi and the strike sensitivity revalue it with the input moved by a relative 1e-5.
QUANTREL_API double BarrierSingleTri(int32_t ExerciseType, int32_t OptionType, int32_t BarrierType,
                                     int32_t OptionFunction, double AssetPrice, double StrikePrice,
                                     double Barrier, double Rebate, double TimeExpire,
                                     double Volatility, double InterestRate, double YieldRate,
                                     int32_t Iterations, double MarketPrice = 0,
                                     int32_t TimeFormat = 0, int32_t InterestRateType = 0,
                                     int32_t YieldRateType = 0, int32_t* ErrorCode = nullptr,
                                     bool RawSensitivities = false, bool SkipValidation = false);

}  // namespace quantrel
