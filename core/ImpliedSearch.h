// Implied-value searches: the Newton search, which re-enters the model entry for the value and its
// derivative, and the bracketing false-position search, which prices the kernel directly. Both
// report failure as 0 and raise nothing of their own.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/ModelEntry.h"

namespace quantrel::core {

inline constexpr double kImpliedTolerance = 1e-6;
inline constexpr double kVolatilityCeiling = 100;  // Newton: volatilities lie in (0, 100)
// A Newton search whose error stalls above the tolerance without growing ends here, with 0.
inline constexpr int kNewtonIterationCap = 1000;

// Manaster-Koehler starting volatility, with the rate floored at 1%.
inline double ManasterKoehlerSeed(double S, double X, double r, double T) {
  const double rate = r > 0.01 ? r : 0.01;
  return std::sqrt(std::fabs(std::log(S / X) + rate * T) * 2 / T);
}

// Starting strike: S - P* for a call, S + P* for a put; the given strike when that is not > 0.
inline double StrikeSeed(bool call, double S, double target, double givenStrike) {
  const double seed = call ? S - target : S + target;
  return seed > 0 ? seed : givenStrike;
}

enum class Sought { Volatility, Strike, Correlation };

// Newton steps allowed for a critical price; a search that has not settled by then has failed.
inline constexpr int kCriticalPriceSteps = 200;

struct Gap {
  double value, slope;  // how far from the target at a price, and how fast that changes
};

// A critical price is settled when the gap is this small relative to `scale`, a price of the
// contract: the same contract in other units settles at the same point.
inline constexpr double kCriticalPriceTolerance = 1e-10;

// The asset price at which `gap(I)` vanishes (to kCriticalPriceTolerance times `scale`), by
// Newton from `start`. A step that would leave the positive prices halves the price instead, and
// a step below the price's own resolution ends the search as settled. Nothing when the slope
// vanishes or the steps run out.
template <class GapAt>
std::optional<double> CriticalPriceSearch(GapAt&& gap, double start, double scale) {
  const double tolerance = kCriticalPriceTolerance * scale;
  double I = start;
  for (int step = 0; step < kCriticalPriceSteps; ++step) {
    const Gap g = gap(I);
    if (std::fabs(g.value) <= tolerance) return I;
    if (g.slope == 0) return std::nullopt;
    const double next = I - g.value / g.slope;
    if (std::fabs(next - I) <= 1e-13 * I) return next;
    I = next > 0 ? next : I / 2;
  }
  return std::nullopt;
}

// Newton search for the input `field` that makes the model value equal `target`. `derivative`
// is the sensitivity code of that input (Vega for a volatility, the strike's sensitivity). A step
// that leaves a larger error than the one before ends the search once more than `patience` steps
// have run.
template <class Model>
double NewtonSearch(typename Model::Inputs in, double Model::Inputs::*field, Sought sought,
                    int32_t derivative, double target, double seed, int32_t* err,
                    int patience = 2) {
  if (!(target > 0)) return 0;
  // The open range of the sought input: (0, 100) for a volatility, (0, inf) for a strike,
  // (-1, 1) for a correlation.
  const double floor = sought == Sought::Correlation ? -1 : 0;
  const double ceiling = sought == Sought::Volatility    ? kVolatilityCeiling
                         : sought == Sought::Correlation ? 1
                                                         : std::numeric_limits<double>::infinity();
  double u = seed;
  double price = 0, slope = 0;
  auto evaluate = [&] {
    in.*field = u;
    price = Run<Model>(in, result::Theoretical, err, true, true);
    slope = Run<Model>(in, derivative, err, true, true);
  };
  evaluate();
  double error = std::fabs(target - price);
  for (int i = 0; error > kImpliedTolerance && slope != 0;) {
    u -= (price - target) / slope;
    if (!(u > floor) || u >= ceiling) return 0;
    evaluate();
    const double next = std::fabs(target - price);
    ++i;
    if (next > error && i > patience) return 0;  // diverging
    if (i >= kNewtonIterationCap) return 0;
    error = next;
  }
  if (sought == Sought::Correlation) return slope != 0 ? u : 0;  // a correlation may be <= 0
  return u > 0 && slope != 0 ? u : 0;
}

// False-position search over a kernel `price(u)` with every other input fixed. Volatility ends
// default to 1.0 and 0.01; strike ends are S + P* and S - P* (the given strike when S - P* is not
// > 0). The first-named end is the high end unless it prices below the second.
struct FalsePositionEnds {
  double first, second;
};

inline FalsePositionEnds StandardEnds(Sought sought, double S, double target, double givenStrike) {
  if (sought == Sought::Volatility) return {1.0, 0.01};
  const double lower = S - target;
  return {S + target, lower > 0 ? lower : givenStrike};
}

inline constexpr int kFalsePositionIterations = 1000;

// When the ends are put in price order: after every re-pricing, or only after the first.
enum class EndOrder { EveryStep, Once };

template <class Price>
double FalsePositionSearch(Price&& price, Sought sought, double target, FalsePositionEnds ends,
                           EndOrder endOrder = EndOrder::EveryStep) {
  if (!(target > 0)) return 0;
  const double limit = sought == Sought::Volatility ? 10000 : 1e12;
  double high = ends.first, low = ends.second;
  double pHigh = price(high), pLow = price(low);
  auto order = [&] {
    if (!(pHigh >= pLow)) {
      std::swap(high, low);
      std::swap(pHigh, pLow);
    }
  };
  auto next = [&](double& u) {
    const double spread = pHigh - pLow;
    if (spread == 0) return false;  // flat bracket: no iterate
    u = low + (target - pLow) * (high - low) / spread;
    return !std::isnan(u) && u >= 0 && u <= limit;
  };
  order();
  double u = 0;
  if (!next(u)) return 0;
  double pU = price(u);
  for (int iteration = 1; std::fabs(target - pU) > kImpliedTolerance; ++iteration) {
    if (iteration > kFalsePositionIterations) return 0;
    if (target <= pU) {
      high = u;
      pHigh = pU;
    } else {
      low = u;
      pLow = pU;
    }
    if (endOrder == EndOrder::EveryStep) order();
    if (!next(u)) return 0;
    pU = price(u);
  }
  return u > 0 ? u : 0;
}

// --- The searches on a model, by result code ---
//
// The code names what is sought (its volatility or which strike, as the model's moves name them)
// and the derivative that goes with it; the target is the model's market price.

using detail::SoughtInput;

constexpr Sought SoughtKind(int32_t code) {
  const Moved moved = KindOf(code).moved;
  if (moved == Moved::Correlation) return Sought::Correlation;
  return moved == Moved::Volatility ? Sought::Volatility : Sought::Strike;
}

// The Newton search for the input `code` asks for, from `seed`.
template <class Model>
double NewtonSearch(const typename Model::Inputs& in, int32_t code, double seed, int32_t* err,
                    int patience = 2) {
  return NewtonSearch<Model>(in, SoughtInput<Model>(code), SoughtKind(code), DerivativeOf(code),
                             in.marketPrice, seed, err, patience);
}

// The false-position search over the kernel for the input `code` asks for.
template <class Model>
double FalsePositionSearch(const typename Model::Inputs& in, int32_t code, FalsePositionEnds ends,
                           EndOrder endOrder = EndOrder::EveryStep) {
  double Model::Inputs::*field = SoughtInput<Model>(code);
  auto price = [&](double u) {
    typename Model::Inputs moved = in;
    moved.*field = u;
    return Model::Value(moved);
  };
  return FalsePositionSearch(price, SoughtKind(code), in.marketPrice, ends, endOrder);
}

// The standard ends for the input `code` asks for.
template <class Model>
FalsePositionEnds StandardEnds(const typename Model::Inputs& in, int32_t code) {
  return StandardEnds(SoughtKind(code), in.S, in.marketPrice, in.*SoughtInput<Model>(code));
}

}  // namespace quantrel::core
