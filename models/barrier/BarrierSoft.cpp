// Soft barrier (Hart-Ross): the barrier is a range [L, U], and the option is knocked in (or out)
// in proportion to how deep into the range the asset falls (calls) or rises (puts): the average
// of the single-barrier options over every barrier level in the range.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/Plainoptionsex.h"
#include "models/barrier/BarrierSingle.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

// Six-point Gauss-Legendre rule on [-1, 1].
constexpr double kNode[6] = {-0.9324695142031521, -0.6612093864662645, -0.2386191860831969,
                             0.2386191860831969,  0.6612093864662645,  0.9324695142031521};
constexpr double kWeight[6] = {0.1713244923791704, 0.3607615730481386, 0.4679139345726910,
                               0.4679139345726910, 0.3607615730481386, 0.1713244923791704};

// (N(a + delta) - N(a)) / delta. Close to delta = 0 the distribution's 1e-7 approximation error
// would be divided by delta, so there the mean of the density over the step is integrated
// instead.
double NormalSlope(double a, double delta) {
  if (std::fabs(delta) >= 0.5) return (CumulativeNormal(a + delta) - CumulativeNormal(a)) / delta;
  double mean = 0;
  for (int i = 0; i < 6; ++i) mean += kWeight[i] * NormalDensity(a + delta * (1 + kNode[i]) / 2);
  return mean / 2;
}

// e^w [e^(ck) N(eta(k/s + (c - 1/2)s)) - e^(-s^2 c (c - 1)/2) N(eta(k/s - s/2))] / (2c): one
// barrier's share of the soft-barrier value, with k = ln(B^2 / (S X)). The written form divides
// by c, which reaches 0 with the carry (c = b / v^2) or at b = -v^2 (c = b / v^2 + 1): the
// bracket is split into a difference of normals and a difference of exponentials, each divided
// by c in a form that keeps its accuracy there.
double Share(double w, double c, double k, double s, double eta) {
  const double a0 = eta * (k / s - s / 2);
  const double normals = eta * s / 2 * NormalSlope(a0, eta * c * s);
  const double g = k + s * s * (c - 1) / 2;  // the exponents differ by c g
  const double exponentials = c == 0 ? g / 2 : -std::expm1(-c * g) / (2 * c);
  return std::exp(w + c * k) * (normals + CumulativeNormal(a0) * exponentials);
}

// The knock-in value over the range [L, U] (L < U) for a spot and a strike beyond it, not
// floored; nothing when its terms are so large against the prices that the distribution
// functions' errors would swamp the result (a strongly negative carry at a low volatility).
std::optional<double> KnockInFormula(bool call, double S, double X, double L, double U, double T,
                                     double v, double r, double q) {
  const double eta = call ? 1 : -1;
  const double b = r - q, v2 = v * v, s = v * std::sqrt(T);
  const double mu = (b + v2 / 2) / v2;
  const double lnS = std::log(S), lnX = std::log(X);
  const double kU = 2 * std::log(U) - lnS - lnX, kL = 2 * std::log(L) - lnS - lnX;
  // ln of S e^(-qT) S^(-2mu) (SX)^(mu + 1/2) and of X e^(-rT) S^(-2(mu - 1)) (SX)^(mu - 1/2)
  const double wAsset = lnS - q * T - 2 * mu * lnS + (mu + 0.5) * (lnS + lnX);
  const double wCash = lnX - r * T - 2 * (mu - 1) * lnS + (mu - 0.5) * (lnS + lnX);
  const double largest = std::max({wAsset + (mu + 0.5) * kU, wAsset + (mu + 0.5) * kL,
                                   wCash + (mu - 0.5) * kU, wCash + (mu - 0.5) * kL});
  if (!(largest < std::log(1e4 * (S + X)))) return std::nullopt;
  const double asset = Share(wAsset, mu + 0.5, kU, s, eta) - Share(wAsset, mu + 0.5, kL, s, eta);
  const double cash = Share(wCash, mu - 0.5, kU, s, eta) - Share(wCash, mu - 0.5, kL, s, eta);
  return eta / (U - L) * (asset - cash);
}

// The knock-in as what it is, the average over the range of single-barrier knock-ins, by
// Gauss-Legendre panels that break where the single barrier's value has a kink (at the strike
// and at the spot).
double AveragedKnockIn(bool call, double S, double X, double L, double U, double T, double v,
                       double r, double q) {
  static const auto rule = [] {
    std::array<std::array<double, 10>, 2> nodesWeights{};
    GaussLegendreNodes(-1, 1, nodesWeights[0], nodesWeights[1]);
    return nodesWeights;
  }();
  std::array<double, 4> cuts{L, std::clamp(X, L, U), std::clamp(S, L, U), U};
  std::sort(cuts.begin(), cuts.end());
  constexpr int kPanels = 4;
  double sum = 0;
  for (int c = 0; c + 1 < 4; ++c) {
    const double width = (cuts[c + 1] - cuts[c]) / kPanels;
    for (int p = 0; p < kPanels && width > 0; ++p) {
      const double middle = cuts[c] + (p + 0.5) * width;
      for (int i = 0; i < 10; ++i) {
        const double H = middle + rule[0][i] * width / 2;
        sum += rule[1][i] * width / 2 *
               barrier::SingleBarrierValue(call ? CallOption : PutOption, call ? Down_In : Up_In, S,
                                           X, H, 0, T, v, r, q);
      }
    }
  }
  return sum / (U - L);
}

struct BarrierSoftModel {
  using Arguments = BarrierSoftArguments;
  struct Own {
    int32_t type;
    double X, L, U;  // strike, the range (shifted once prepared)
    int32_t monitoring;
    bool shifted;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .X = a.StrikePrice,
            .L = a.LowerBarrier,
            .U = a.UpperBarrier,
            .monitoring = a.BarrierMonitoring,
            .shifted = false};
  }
  // The common checks see a call.
  static constexpr Slots<Inputs> kSlots{
      .strikePrice = &Inputs::X, .barrier = &Inputs::L, .upperBarrier = &Inputs::U};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static bool IsCall(int32_t type) { return type == Down_In_Call || type == Down_Out_Call; }

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.type < Down_In_Call || in.type > Up_Out_Put) {
      Fail<OptionTypeErr>(err, "The OptionType is Invalid.");
    }
  }

  // The implied search re-enters the entry with the barriers already moved: they move once.
  static void Prepare(Inputs& in, int32_t* err) {
    if (in.shifted) return;
    in.L = ShiftBarrier(in.S, in.L, in.v, in.monitoring, err);
    in.U = ShiftBarrier(in.S, in.U, in.v, in.monitoring, err);
    in.shifted = true;
  }

  static double Value(const Inputs& in) {
    if (in.type < Down_In_Call || in.type > Up_Out_Put) return 0;
    const bool call = IsCall(in.type);
    const double S = in.S, X = in.X, T = in.T, v = in.v, r = in.r, q = in.q;
    // The value is the same with the barriers either way round.
    double L = std::min(in.L, in.U), U = std::max(in.L, in.U);
    if (L == U) U += 1e-5;
    const double plain = GeneralizedBlackScholes(call ? CallOption : PutOption, S, X, T, v, r, q);
    // The formula takes the spot beyond the range. Barrier levels the spot has already passed
    // have knocked in: their share is the plain option, and the rest of the range is a soft
    // barrier of its own.
    // The closed form integrates the single barrier's formula for a strike beyond the range (at
    // or above it for calls, at or below it for puts); elsewhere it is wrong, and at low
    // volatility wildly so. There, and where it is ill-conditioned, the range is averaged by
    // quadrature instead.
    double knockIn;
    std::optional<double> formula;
    if (call ? X < U : X > L) {
      knockIn = AveragedKnockIn(call, S, X, L, U, T, v, r, q);
    } else if (call ? S <= L : S >= U) {
      knockIn = plain;
    } else if (S < U && S > L) {
      const double passed = call ? U - S : S - L;
      formula = call ? KnockInFormula(true, S, X, L, S, T, v, r, q)
                     : KnockInFormula(false, S, X, S, U, T, v, r, q);
      knockIn = formula ? (passed * plain + (U - L - passed) * *formula) / (U - L)
                        : AveragedKnockIn(call, S, X, L, U, T, v, r, q);
    } else {
      formula = KnockInFormula(call, S, X, L, U, T, v, r, q);
      knockIn = formula ? *formula : AveragedKnockIn(call, S, X, L, U, T, v, r, q);
    }
    const bool inType = in.type == Down_In_Call || in.type == Up_In_Put;
    const double value = inType ? knockIn : plain - knockIn;
    return value >= 0 ? value : 0;
  }

  // Newton with the model's own seeds, allowed more growing steps than the standard search.
  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    double seed;
    if (code == result::ImpliedVol) {
      seed = ManasterKoehlerSeed(in.S, in.X, in.r, in.T);
    } else {
      seed = in.type == Down_In_Call    ? in.S - in.marketPrice
             : in.type == Down_Out_Call ? in.S + in.marketPrice
                                        : in.X;
      if (!(seed > 0)) seed = in.X;
    }
    return NewtonSearch<BarrierSoftModel>(in, code, seed, err, 10);
  }
};

}  // namespace

QUANTREL_ENTRY(BarrierSoftModel)

}  // namespace quantrel
