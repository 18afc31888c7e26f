// Option on an exchange option (Carr 1988): at TimeOption the holder may buy (types 1 and 3) or
// sell (types 2 and 4) for QtyAsset2 units of asset 2 an option, expiring at TimeExpire, to
// exchange asset 2 for asset 1 (types 1 and 2) or asset 1 for asset 2 (types 3 and 4).
#include <cmath>
#include <limits>
#include <optional>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/TwoAsset.h"

namespace quantrel {
namespace {

using namespace core;

// Below this the volatility of the price ratio is taken as this: the formulas divide by it, and
// their value tends to that of a certain ratio as it goes to 0.
constexpr double kLeastRatioVolatility = 1e-10;
constexpr int kCriticalRatioSteps = 500;

struct ExchOnExchModel {
  using Arguments = ExchOnExchArguments;
  struct Own {
    int32_t type;  // enumExchangeType
    double Q;      // the compound strike, in units of asset 2
    double t1;     // TimeOption
  };
  using Inputs = TwoAssetContract<Own>;
  // The model has no interest rate of its own: a fixed continuous 5% (it cancels from the value).
  static Own Bind(const Arguments& a, Market& m) {
    m.r = 0.05;
    m.rateType = 0;
    return {.type = a.ExchangeType, .Q = a.QtyAsset2, .t1 = a.TimeOption};
  }
  static constexpr Slots<Inputs> kSlots{.timeStart = &Inputs::t1, .quantity2 = &Inputs::Q};
  static constexpr Moves<Inputs> kMoves{.times = {&Inputs::t1, &Inputs::T}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.t1 > 0) || in.t1 > in.T) {
      Fail<TimeExpireErr>(err, "TimeOption must be greater than 0 and less than TimeExpire.");
    }
    if (in.t1 == in.T) in.t1 -= 1e-10;  // the inner option keeps a sliver of life
    if (in.type < 1 || in.type > 4) Fail<ExTypeErr>(err, "The ExchangeType is Invalid.");
  }

  // The inner option's value at TimeOption per unit of asset 2, against the price ratio I:
  // I N(z1) - N(z2) for types 1 and 2 (rising from 0 without bound), N(-z2) - I N(-z1) for types
  // 3 and 4 (falling from 1 to 0).
  struct Inner {
    double value, slope;
  };
  static Inner InnerValue(bool firstForSecond, double I, double vTau) {
    const double z1 = (std::log(I) + vTau * vTau / 2) / vTau, z2 = z1 - vTau;
    if (firstForSecond)
      return {I * CumulativeNormal(z1) - CumulativeNormal(z2), CumulativeNormal(z1)};
    return {CumulativeNormal(-z2) - I * CumulativeNormal(-z1), -CumulativeNormal(-z1)};
  }

  // The critical ratio, where the inner option is worth Q: Newton from the forward ratio, kept
  // inside the bracket the evaluations so far have drawn (a step that leaves it, or a slope that
  // vanishes, halves the bracket geometrically instead), so that it settles for any Q the inner
  // value can reach. Nothing when it cannot (Q >= 1 for types 3 and 4).
  static std::optional<double> CriticalRatio(bool firstForSecond, double start, double vTau,
                                             double Q) {
    if (!firstForSecond && !(Q < 1)) return std::nullopt;
    double lo = 0, hi = std::numeric_limits<double>::infinity(), I = start;
    for (int step = 0; step < kCriticalRatioSteps; ++step) {
      const Inner f = InnerValue(firstForSecond, I, vTau);
      const double gap = f.value - Q;
      if (std::fabs(gap) <= 1e-6) return I;
      // The root lies above I where the gap has the sign of the value at small ratios.
      if ((gap < 0) == firstForSecond) {
        lo = I;
      } else {
        hi = I;
      }
      if (std::isfinite(hi) && hi - lo <= 1e-15 * hi) return I;  // settled at its resolution
      double next = f.slope != 0 ? I - gap / f.slope : NAN;
      if (!(next > lo && next < hi)) {
        next = std::isinf(hi) ? 2 * I : lo > 0 ? std::sqrt(lo * hi) : hi / 2;
      }
      I = next;
    }
    return std::nullopt;
  }

  static double Value(const Inputs& in) {
    if (in.type < 1 || in.type > 4) return 0;
    const double S1 = in.S, S2 = in.S2, t1 = in.t1, T2 = in.T, tau = T2 - t1;
    const double b1 = in.r - in.q, b2 = in.r - in.q2;
    const double v = std::fmax(CombinedVolatility(in.v, in.v2, in.rho), kLeastRatioVolatility);
    const bool firstForSecond = in.type <= 2;
    const double start = S1 * std::exp((b1 - in.r) * tau) / (S2 * std::exp((b2 - in.r) * tau));
    const std::optional<double> I = CriticalRatio(firstForSecond, start, v * std::sqrt(tau), in.Q);
    // Where the reverse exchange can never be worth Q (types 3 and 4, Q >= 1) the critical ratio
    // is 0: the purchase is never exercised, the sale always. A search that did not settle (for
    // types 1 and 2 it always does) leaves no value.
    if (!I && firstForSecond) return 0;
    const double logI = I ? std::log(*I) : -std::numeric_limits<double>::infinity();
    const double lnRatio = std::log(S1 / S2);
    const double vt1 = v * std::sqrt(t1), vT2 = v * std::sqrt(T2), rt = std::sqrt(t1 / T2);
    const double d1 = (lnRatio - logI + (b1 - b2 + v * v / 2) * t1) / vt1, d2 = d1 - vt1;
    const double d3 = (lnRatio + (b1 - b2 + v * v / 2) * T2) / vT2, d4 = d3 - vT2;
    const double d5 = (logI - lnRatio + (b2 - b1 + v * v / 2) * t1) / vt1, d6 = d5 - vt1;
    const double d7 = (-lnRatio + (b2 - b1 + v * v / 2) * T2) / vT2, d8 = d7 - vT2;
    const double A1 = S1 * std::exp(-in.q * T2), A2 = S2 * std::exp(-in.q2 * T2);
    const double K = in.Q * S2 * std::exp(-in.q2 * t1);
    double value = 0;
    switch (in.type) {
      case 1:
        value = A1 * BivariateNormal(d1, d3, rt) - A2 * BivariateNormal(d2, d4, rt) -
                K * CumulativeNormal(d2);
        break;
      case 2:
        value = K * CumulativeNormal(d5) + A2 * BivariateNormal(d5, d4, -rt) -
                A1 * BivariateNormal(d6, d3, -rt);
        break;
      case 3:
        value = A2 * BivariateNormal(d5, d7, rt) - A1 * BivariateNormal(d6, d8, rt) -
                K * CumulativeNormal(d5);
        break;
      default:
        value = K * CumulativeNormal(d2) + A1 * BivariateNormal(d1, d8, -rt) -
                A2 * BivariateNormal(d2, d7, -rt);
        break;
    }
    return value >= 0 ? value : 0;
  }

  // Newton searches: volatilities from the Manaster-Koehler seed on the price ratio, the
  // correlation from 0.
  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    const double seed =
        code == result::ImpliedCorrelation ? 0 : ManasterKoehlerSeed(in.S, in.S2, in.r, in.T);
    return NewtonSearch<ExchOnExchModel>(in, code, seed, err);
  }
};

}  // namespace

QUANTREL_ENTRY(ExchOnExchModel)

}  // namespace quantrel
