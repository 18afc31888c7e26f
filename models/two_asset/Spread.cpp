// Spread option: a European call pays max(Q1 S1 - Q2 S2 - X, 0) at expiry, a put
// max(X - (Q1 S1 - Q2 S2), 0). Conditional on asset 2's normal driver, asset 1 is lognormal and
// the option is a plain one; the conditional values are integrated over the driver by 40-point
// Gauss-Legendre quadrature on [-5, 5].
#include <array>
#include <cmath>

#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/TwoAsset.h"
#include "core/TwoAssetSearch.h"

namespace quantrel {
namespace {

using namespace core;

constexpr int kNodes = 40;

struct Rule {
  std::array<double, kNodes> nodes, weights;
};

// The rule is the same for every contract; computed once, it gives the same bits as computing it
// for every evaluation.
const Rule& SpreadRule() {
  static const Rule rule = [] {
    Rule r;
    GaussLegendreNodes(-5, 5, r.nodes, r.weights);
    return r;
  }();
  return rule;
}

// The value of the payoff F L - K at T (call) or K - F L (put) when positive, L lognormal with
// mean 1 and volatility v, discounted at r with the yield q on F. F and K may take any sign (a
// negative strike, or a quantity of 0 or below): where the sign of F L - K is certain the option
// is worth its forward or nothing, and a negative F with a negative K swaps call and put.
double ConditionalValue(int32_t type, double F, double K, double T, double v, double r, double q) {
  if (F > 0 && K > 0) return EuropeanOrLimit(type, F, K, T, v, r, q);
  const double forward = F * std::exp(-q * T) - K * std::exp(-r * T);
  if (F >= 0 && K <= 0) return type == 1 ? forward : 0;   // never below the strike
  if (F <= 0 && K >= 0) return type == 1 ? 0 : -forward;  // never above it
  return EuropeanOrLimit(3 - type, -F, -K, T, v, r, q);
}

struct SpreadModel {
  using Arguments = SpreadArguments;
  struct Own {
    int32_t type;
    double X, Q1, Q2;
  };
  using Inputs = TwoAssetContract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .X = a.StrikePrice, .Q1 = a.QtyAsset1, .Q2 = a.QtyAsset2};
  }
  // The strike goes to the common checks, which do not check it for this model: it may take any
  // sign. The quantities are not checked either.
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type, .strikePrice = &Inputs::X};
  static constexpr uint8_t kModelCode = kSpreadModel;
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  // Any sign is accepted, but not a number that is no number or no finite one.
  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!std::isfinite(in.X)) Fail<StrikePriceErr>(err, "StrikePrice must be a finite number.");
    if (!std::isfinite(in.Q1)) Fail<Quantity1Err>(err, "Quantity1 must be a finite number.");
    if (!std::isfinite(in.Q2)) Fail<Quantity2Err>(err, "Quantity2 must be a finite number.");
  }

  static double Value(const Inputs& in) {
    if (in.type != 1 && in.type != 2) return 0;
    const double T = in.T, sT = std::sqrt(T), v1 = in.v, v2 = in.v2;
    // The correlation clamped to where it has a meaning (a bump may push it past 1), and the
    // conditional volatility in a form that keeps its accuracy near +-1.
    const double rho = std::fmax(-1.0, std::fmin(1.0, in.rho));
    const double v = v1 * std::sqrt((1 - rho) * (1 + rho));
    const double drift2 = (in.r - in.q2 - v2 * v2 / 2) * T;
    const Rule& rule = SpreadRule();
    double value = 0;
    for (int i = 0; i < kNodes; ++i) {
      const double x = rule.nodes[i];
      const double F1 = in.Q1 * in.S * std::exp(rho * v1 * sT * x - rho * rho * v1 * v1 * T / 2);
      const double K = in.Q2 * in.S2 * std::exp(drift2 + v2 * sT * x) + in.X;
      value +=
          rule.weights[i] * NormalDensity(x) * ConditionalValue(in.type, F1, K, T, v, in.r, in.q);
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    TwoAssetBracket bracket = StandardBracket<SpreadModel>(in, code);
    if (code == result::ImpliedStrike) {
      // A spread's strike may be 0 or negative: the search may go there and so may its answer.
      bracket.min = -1e12;
      bracket.anySign = true;
    }
    return TwoAssetSearch<SpreadModel>(in, code, bracket, err);
  }
};

}  // namespace

QUANTREL_ENTRY(SpreadModel)

}  // namespace quantrel
