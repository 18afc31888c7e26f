// Double barrier (Ikeda-Kunitomo): a call or put that dies, or comes alive, when the asset touches
// a lower or an upper barrier, each growing exponentially at its own curvature.
#include <algorithm>
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/Plainoptionsex.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

// The series runs over images n = -kImages..kImages; with the barriers apart the terms fall off
// like exp(-2 n^2 ln(U/L)^2 / (v^2 T)), far below the distribution functions' accuracy by then.
constexpr int kImages = 5;

struct Corridor {
  double S, X, L, U, T, v, r, q, dL, dU;
};

// N(a) - N(b) times e^logWeight, with a weight that may be huge where the difference is 0.
double Weighted(double logWeight, double a, double b) {
  const double difference = CumulativeNormal(a) - CumulativeNormal(b);
  return difference == 0 ? 0 : std::exp(logWeight) * difference;
}

// The value of a knock-out, not floored.
double KnockOutValue(int32_t type, const Corridor& c) {
  // A spot at or past either barrier has been knocked out already; so has every spot when the
  // barriers leave no room between them.
  if (!(c.S > c.L && c.S < c.U)) return 0;
  const double F = c.U * std::exp(c.dU * c.T);  // the barriers at expiry
  const double E = c.L * std::exp(c.dL * c.T);
  // Barriers that meet before expiry knock out every path (they meet at most once).
  if (!(F > E)) return 0;
  // The terminal prices that pay lie between the barriers at expiry: the formulas integrate the
  // payoff between two limits, the strike and a barrier, and only a strike inside the corridor
  // may stand in for a limit.
  const bool call = type == CallOption;
  const double lower = call ? std::max(c.X, E) : E;
  const double upper = call ? F : std::min(c.X, F);
  if (!(lower < upper)) return 0;

  const double b = c.r - c.q, v2 = c.v * c.v, s = c.v * std::sqrt(c.T);
  const double drift = (b + v2 / 2) * c.T;
  const double lnS = std::log(c.S), lnL = std::log(c.L), lnU = std::log(c.U);
  const double lnLower = std::log(lower), lnUpper = std::log(upper);
  double sum1 = 0, sum2 = 0;
  for (int n = -kImages; n <= kImages; ++n) {
    const double spread = c.dU - c.dL;
    const double mu1 = 2 * (b - c.dL - n * spread) / v2 + 1;
    const double mu2 = 2 * n * spread / v2;
    const double mu3 = 2 * (b - c.dL + n * spread) / v2 + 1;
    const double lnP1 = n * (lnU - lnL), lnP2 = lnL - lnS, lnP3 = (n + 1) * lnL - n * lnU - lnS;
    // ln(S U^2n / L^2n) and ln(L^(2n+2) / (S U^2n)), less a limit's logarithm
    const double up = lnS + 2 * n * (lnU - lnL), down = 2 * (n + 1) * lnL - lnS - 2 * n * lnU;
    // z1, z2 at the lower and upper limits (call: strike and F; put: E and strike)
    const double z1 = (up - lnLower + drift) / s, z2 = (up - lnUpper + drift) / s;
    const double z3 = (down - lnLower + drift) / s, z4 = (down - lnUpper + drift) / s;
    const double direct = mu1 * lnP1 + mu2 * lnP2, image = mu3 * lnP3;
    sum1 += Weighted(direct, z1, z2) - Weighted(image, z3, z4);
    sum2 +=
        Weighted(direct - 2 * lnP1, z1 - s, z2 - s) - Weighted(image - 2 * lnP3, z3 - s, z4 - s);
  }
  const double asset = c.S * std::exp(-c.q * c.T) * sum1, cash = c.X * std::exp(-c.r * c.T) * sum2;
  return call ? asset - cash : cash - asset;
}

struct BarrierDoubleModel {
  using Arguments = BarrierDoubleArguments;
  struct Own {
    int32_t type, barrierType;
    double X, L, U;  // strike, barriers (shifted once prepared)
    double dL, dU;   // curvatures
    int32_t monitoring;
    bool shifted;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .barrierType = a.BarrierType,
            .X = a.StrikePrice,
            .L = a.LowerBarrier,
            .U = a.UpperBarrier,
            .dL = a.LowerCurvature,
            .dU = a.UpperCurvature,
            .monitoring = a.BarrierMonitoring,
            .shifted = false};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type,
                                        .strikePrice = &Inputs::X,
                                        .barrier = &Inputs::L,
                                        .upperBarrier = &Inputs::U};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.barrierType != Knock_In && in.barrierType != Knock_Out) {
      Fail<BarrierTypeErr>(err, "The BarrierType is Invalid.");
    }
  }

  static void Prepare(Inputs& in, int32_t* err) {
    if (in.shifted) return;
    in.L = ShiftBarrier(in.S, in.L, in.v, in.monitoring, err);
    in.U = ShiftBarrier(in.S, in.U, in.v, in.monitoring, err);
    in.shifted = true;
  }

  static double Value(const Inputs& in) {
    if (in.type != CallOption && in.type != PutOption) return 0;
    const double out =
        KnockOutValue(in.type, {in.S, in.X, in.L, in.U, in.T, in.v, in.r, in.q, in.dL, in.dU});
    double value = 0;
    if (in.barrierType == Knock_Out) value = out;
    if (in.barrierType == Knock_In) {
      value = GeneralizedBlackScholes(in.type, in.S, in.X, in.T, in.v, in.r, in.q) - out;
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    return FalsePositionSearch<BarrierDoubleModel>(in, code,
                                                   StandardEnds<BarrierDoubleModel>(in, code));
  }
};

}  // namespace

QUANTREL_ENTRY(BarrierDoubleModel)

}  // namespace quantrel
