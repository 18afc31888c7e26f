// Input normalisation shared by every model, and the bump set-up of finite-difference
// sensitivities.
#pragma once

#include <array>
#include <cstdint>

#include "core/ResultCodes.h"

namespace quantrel::core {

// Which common checks apply.
enum ModelCode : uint8_t {
  kClosedForm = 9,
  kSpreadModel = 11,
  kAverageRate = 12,
  kQuantoModels = 13,
  kLattice = 14,
  kMonteCarlo = 15,
};

// The inputs that models have in common, as one list: type, name, neutral filler. A model fills
// the slots it has; the fillers stand in for the slots it lacks, and pass every check.
#define QUANTREL_COMMON_SLOTS(X)   \
  X(int32_t, exerciseType, 1)      \
  X(int32_t, optionType, 1)        \
  X(double, assetPrice, 1.0)       \
  X(double, strikePrice, 1.0)      \
  X(double, timeExpire, 1.0)       \
  X(double, volatility, 1.0)       \
  X(double, interestRate, 1.0)     \
  X(double, yieldRate, 1.0)        \
  X(double, marketPrice, 1.0)      \
  X(int32_t, timeFormat, 1)        \
  X(int32_t, interestRateType, 0)  \
  X(int32_t, yieldRateType, 0)     \
  X(double, interestRate2, 1.0)    \
  X(double, yieldRate2, 1.0)       \
  X(double, timeStart, 1.0)        \
  X(double, time2, 1.0)            \
  X(double, assetPrice2, 1.0)      \
  X(double, strikePrice2, 1.0)     \
  X(double, volatility2, 1.0)      \
  X(double, correlation, 1.0)      \
  X(double, alpha, 1.0)            \
  X(double, quantity1, 1.0)        \
  X(double, quantity2, 1.0)        \
  X(double, barrier, 1.0)          \
  X(double, upperBarrier, 1.0)     \
  X(double, rebate, 1.0)           \
  X(double, payoff, 1.0)           \
  X(double, exchangeRate, 1.0)     \
  X(int32_t, numSteps, 5)          \
  X(int32_t, mcIterations, 5)      \
  X(int32_t, latticeIterations, 5) \
  X(int32_t, interestRate2Type, 0) \
  X(int32_t, yieldRate2Type, 0)

// barrier is the lower barrier; time2 a second intermediate time; numSteps and mcIterations the
// Monte Carlo time steps and paths, latticeIterations the lattice steps.
struct CommonInputs {
  uint8_t modelCode = kClosedForm;
  int32_t optionFunction = 1;
#define QUANTREL_DECLARE_SLOT(type, name, filler) type name = filler;
  QUANTREL_COMMON_SLOTS(QUANTREL_DECLARE_SLOT)
#undef QUANTREL_DECLARE_SLOT
};

// Checks the common inputs in their fixed order (the first failure raises), clamps them into
// working ranges, turns days into years and quoted rates into continuous ones, all in place.
// Returns false, leaving floors and rate conversions undone, when a yield is so negative that
// -q*T > 20.
bool NormaliseInputs(CommonInputs& in, int32_t* errorCode);

inline constexpr long double kDaysToYears = 1.0L / 365.0L;

struct BumpedInput {
  double down, mid, up;
};

// Up to three inputs moved together, and how to difference the kernel values at them.
struct Bumps {
  std::array<BumpedInput, 3> x;
  int32_t divisor;  // A: 2 central, 1 one-sided
  double step;      // h
};

// Lays out down, middle and up values of x1 (always moved) and x2, x3 (moved when not 0). All
// moved inputs share one scheme: central only when every one of them stays positive when
// lowered by the step (x1 must also stay above `floor1`, a limit the entry may set). Reference
// levels that coincide (all three, or the last two for a strike sensitivity) shift every input
// forward.
Bumps SetUpBumps(int32_t code, double x1, double x2 = 0, double x3 = 0, double L1 = -1,
                 double L2 = -2, double L3 = -3, double floor1 = 0);

// The barrier a discretely watched barrier is priced with (Broadie-Glasserman-Kou): moved away from
// the asset price S by a factor exp(0.5826 v sqrt(dt)) for a monitoring interval dt, up when it
// lies above S, down when below, unchanged at S or under continuous monitoring (0). A monitoring
// outside the enumBarrierMonitoring members fails with MonitoringErr.
double ShiftBarrier(double S, double H, double v, int32_t monitoring, int32_t* errorCode);

// The difference quotient of kernel values at the bumped inputs; Theta comes out per calendar day
// with the sign of time passing.
double FiniteDifference(int32_t code, double fDown, double fMid, double fUp, int32_t divisor,
                        double step);

}  // namespace quantrel::core
