// The implied-value search of the two-asset and currency models: false position over the model's
// kernel for a volatility, a strike or the correlation, from a bracket of the model's choosing.
// Volatility and strike searches report failure as 0; a correlation search that finds none raises
// ImpliedCorrErr, since 0 is a correlation like any other.
#pragma once

#include <cmath>
#include <cstdint>
#include <utility>

#include "core/Failure.h"
#include "core/ImpliedSearch.h"
#include "core/MathGuard.h"
#include "core/ModelEntry.h"

namespace quantrel::core {

struct TwoAssetBracket {
  double lo, hi;    // the starting ends
  double min, max;  // every refined estimate must stay within these
  // A strike of any sign is an answer (a spread option's may be 0 or negative); otherwise a
  // result that is not > 0 is reported as 0 (volatilities and strikes).
  bool anySign = false;
};

inline constexpr int kTwoAssetSearchIterations = 1000;

// The usual bracket for the input `code` seeks: volatilities 0.01 to 1, the correlation -0.5 to
// 0.5 (within [-1, 1]), a strike from S - P to S + P with S the price of the strike's own asset
// (the given strike as the lower end when S - P is not > 0).
template <class Model>
TwoAssetBracket StandardBracket(const typename Model::Inputs& in, int32_t code) {
  switch (SoughtKind(code)) {
    case Sought::Volatility:
      return {0.01, 1.0, 0, 1e4};
    case Sought::Correlation:
      return {-0.5, 0.5, -1, 1};
    default: {
      const double S = in.*detail::kMovesOf<Model>.asset[KindOf(code).pair];
      const double lower = S - in.marketPrice;
      return {lower > 0 ? lower : in.*SoughtInput<Model>(code), S + in.marketPrice, 0, 1e12};
    }
  }
}

// The input `code` seeks such that the kernel prices the market price, every other input as
// given. The ends are put in price order (value rising from lo to hi); each estimate is the
// linear interpolation of the target between them and replaces the end on its side.
template <class Model>
double TwoAssetSearch(const typename Model::Inputs& in, int32_t code, TwoAssetBracket bracket,
                      int32_t* err) {
  const double target = in.marketPrice;
  if (!(target > 0)) return 0;
  const Sought sought = SoughtKind(code);
  double Model::Inputs::*field = SoughtInput<Model>(code);
  // The kernel at x, or NaN where it faulted (an estimate far outside any sensible range): the
  // search cannot go on from there.
  auto value = [&](double x) {
    typename Model::Inputs moved = in;
    moved.*field = x;
    const double v = Model::Value(moved);
    return detail::PendingFaults() ? NAN : v;
  };
  auto fail = [&]() -> double {
    if (sought == Sought::Correlation) {
      Fail<ImpliedCorrErr>(err, "There is NO solution for the Implied Correlation.");
    }
    return 0;
  };

  double lo = bracket.lo, hi = bracket.hi;
  double vLo = value(lo), vHi = value(hi);
  auto order = [&] {
    if (vHi < vLo) {
      std::swap(lo, hi);
      std::swap(vLo, vHi);
    }
  };
  double x = 0, vX = 0;
  // False when the ends price alike (or not at all): no estimate can be drawn from them.
  auto estimate = [&] {
    const double rise = vHi - vLo;
    if (!(rise != 0)) return false;
    x = lo + (target - vLo) * (hi - lo) / rise;
    return std::isfinite(x);
  };

  order();
  if (!estimate()) return fail();
  vX = value(x);  // the first estimate is taken as it comes
  for (int iteration = 1; !(std::fabs(target - vX) <= kImpliedTolerance); ++iteration) {
    if (iteration > kTwoAssetSearchIterations || std::isnan(vX)) return fail();
    if (vX < target) {
      lo = x, vLo = vX;
    } else {
      hi = x, vHi = vX;
    }
    order();
    if (!estimate() || !(x >= bracket.min && x <= bracket.max)) return fail();
    vX = value(x);
  }
  if (sought == Sought::Correlation) {
    return x >= bracket.min && x <= bracket.max ? x : fail();
  }
  return x > 0 || bracket.anySign ? x : 0;
}

// The search with the usual bracket.
template <class Model>
double TwoAssetSearch(const typename Model::Inputs& in, int32_t code, int32_t* err) {
  return TwoAssetSearch<Model>(in, code, StandardBracket<Model>(in, code), err);
}

}  // namespace quantrel::core
