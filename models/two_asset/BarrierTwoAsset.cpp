// Two-asset barrier options (Heynen and Kat 1994): a European call or put on asset 1 that is
// knocked out or in when asset 2 crosses the barrier, watched over the whole life
// (BarrierTwoAsset) or only until TimeBarrier (BarrierPartialTA). A discretely watched barrier is
// priced as a continuous one moved away from asset 2's price.
#include <algorithm>
#include <array>
#include <cmath>

#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/TwoAsset.h"
#include "core/TwoAssetSearch.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

// e^A M(a, b; r), the reflected terms of the knock-out value. For a second asset with little
// volatility e^A is enormous and M(a, b; r) correspondingly far in the tail (the formula gives
// A <= b^2/2 there), so that neither factor can be computed apart: the product is integrated as
// the expectation of the conditional probability, e^A times the integral over y < b of n(y)
// N((a - r y)/sqrt(1 - r^2)), where e^A n(y) = e^(A - y^2/2)/sqrt(2 pi) stays finite. The same
// form serves every contract, so that no sensitivity straddles a change of method.
constexpr int kPanelNodes = 16;

struct Panel16 {
  std::array<double, kPanelNodes> nodes, weights;  // on [0, 1]
};
const Panel16& UnitPanel() {
  static const Panel16 panel = [] {
    Panel16 p;
    GaussLegendreNodes(0, 1, p.nodes, p.weights);
    return p;
  }();
  return panel;
}

double ScaledBivariate(double A, double a, double b, double r) {
  r = std::clamp(r, -0.9999999, 0.9999999);
  const double s = std::sqrt((1 - r) * (1 + r));
  auto integrand = [&](double y) {
    return std::exp(A - y * y / 2) * CumulativeNormal((a - r * y) / s);
  };
  // Where e^(-y^2/2) has fallen by e^-40 from its largest value on (-inf, b].
  double edges[6];
  int count;
  if (b >= 0) {
    const double top = std::min(b, 9.0);
    const double cut[] = {-9.0, -3.0, 0.0, std::min(top, 3.0), top};
    count = top > 3 ? 5 : top > 0 ? 4 : 3;
    std::copy(cut, cut + count, edges);
  } else {
    // The mass lies within 80/(|b| + sqrt(b^2 + 80)) below b, most of it near b: panels that
    // widen away from b.
    const double width = 80 / (-b + std::sqrt(b * b + 80));
    const double fractions[] = {0, 1.0 / 40, 1.0 / 10, 1.0 / 3, 1};
    count = 5;
    for (int i = 0; i < count; ++i) edges[i] = b - width * fractions[count - 1 - i];
  }
  const Panel16& unit = UnitPanel();
  double sum = 0;
  for (int p = 0; p + 1 < count; ++p) {
    const double lo = edges[p], length = edges[p + 1] - lo;
    if (!(length > 0)) continue;
    for (int i = 0; i < kPanelNodes; ++i) {
      sum += length * unit.weights[i] * integrand(lo + length * unit.nodes[i]);
    }
  }
  return sum / std::sqrt(kTwoPi);
}

// What the two methods share: their inputs, checks, barrier shift and kernel.
struct TwoAssetBarrier {
  struct Own {
    int32_t type, barrierType, monitoring;
    double X, H;
    double t1;             // the end of the watch (TimeBarrier); TimeExpire for the whole life
    bool partial = false;  // watched until t1 only
    bool shifted = false;  // H is already moved for the monitoring
  };
  using Inputs = TwoAssetContract<Own>;

  static bool IsDown(int32_t barrierType) {
    return barrierType == Down_Out || barrierType == Down_In;
  }
  static bool IsOut(int32_t barrierType) {
    return barrierType == Down_Out || barrierType == Up_Out;
  }

  static void CheckBarrierType(const Inputs& in, int32_t* err) {
    if (in.barrierType < Down_Out || in.barrierType > Up_In) {
      Fail<BarrierTypeErr>(err, "The BarrierType is Invalid.");
    }
  }

  // After the normalisation, validated or not: the barrier moved once for its monitoring,
  // against asset 2.
  static void Prepare(Inputs& in, int32_t* err) {
    if (in.shifted) return;
    in.H = ShiftBarrier(in.S2, in.H, in.v2, in.monitoring, err);
    in.shifted = true;
  }

  static double KnockOut(const Inputs& in) {
    const double S1 = in.S, S2 = in.S2, X = in.X, H = in.H, T = in.T, v1 = in.v, v2 = in.v2;
    const double rho = in.rho;
    // A watch that outlasts the option cannot matter after expiry.
    const double tau = in.partial ? std::min(in.t1, T) : T;
    const double rhoWatch = in.partial ? rho * std::sqrt(tau / T) : rho;
    const double mu1 = in.r - in.q - v1 * v1 / 2, mu2 = in.r - in.q2 - v2 * v2 / 2;
    const double hh = std::log(H / S2);
    const double sT = std::sqrt(T), sTau = std::sqrt(tau);
    // A strike at or below 0 (a strike search may try one) is sure to be passed by asset 1.
    const double moneyness = X > 0 ? std::log(S1 / X) : INFINITY;
    const double d1 = (moneyness + (mu1 + v1 * v1) * T) / (v1 * sT), d2 = d1 - v1 * sT;
    const double d3 = d1 + 2 * rho * hh / (v2 * sT), d4 = d2 + 2 * rho * hh / (v2 * sT);
    const double drift = mu2 + rho * v1 * v2;
    const double e1 = (hh - drift * tau) / (v2 * sTau), e2 = e1 + rho * v1 * sTau;
    const double e3 = e1 - 2 * hh / (v2 * sTau), e4 = e2 - 2 * hh / (v2 * sTau);
    const double eta = in.type == 1 ? 1 : -1, phi = IsDown(in.barrierType) ? -1 : 1;
    const double r = -eta * phi * rhoWatch;
    const double assetTerm = BivariateNormal(eta * d1, phi * e1, r) -
                             ScaledBivariate(2 * drift * hh / (v2 * v2), eta * d3, phi * e3, r);
    const double strikeTerm = BivariateNormal(eta * d2, phi * e2, r) -
                              ScaledBivariate(2 * mu2 * hh / (v2 * v2), eta * d4, phi * e4, r);
    return eta * S1 * std::exp(-in.q * T) * assetTerm - eta * X * std::exp(-in.r * T) * strikeTerm;
  }

  static double Value(const Inputs& in) {
    if ((in.type != 1 && in.type != 2) || in.barrierType < Down_Out || in.barrierType > Up_In) {
      return 0;
    }
    // Asset 2 at or beyond the barrier it is priced with has already crossed it: a knock-out
    // option is worth nothing (it pays no rebate), a knock-in one the plain option. The formula
    // holds only on the live side.
    const bool down = IsDown(in.barrierType);
    const bool crossed = down ? in.S2 <= in.H : in.S2 >= in.H;
    const double plain = EuropeanOrLimit(in.type, in.S, in.X, in.T, in.v, in.r, in.q);
    double value;
    if (crossed) {
      value = IsOut(in.barrierType) ? 0 : plain;
    } else {
      const double out = KnockOut(in);
      value = IsOut(in.barrierType) ? out : plain - out;
    }
    return value >= 0 ? value : 0;
  }
};

struct BarrierTwoAssetModel : TwoAssetBarrier {
  using Arguments = BarrierTwoAssetArguments;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .barrierType = a.BarrierType,
            .monitoring = a.BarrierMonitoring,
            .X = a.StrikePrice,
            .H = a.Barrier,
            .t1 = 0};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type, .strikePrice = &Inputs::X, .barrier = &Inputs::H};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) { CheckBarrierType(in, err); }

  // The deltas and gammas step forward where the asset price, the strike and the barrier meet.
  static Levels ReferenceLevels(const Inputs& in, int32_t code) {
    if (code == result::Delta1 || code == result::Gamma1) return {in.S, in.X, in.H};
    if (code == result::Delta2 || code == result::Gamma2) return {in.S2, in.X, in.H};
    return {};
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    TwoAssetBracket bracket = StandardBracket<BarrierTwoAssetModel>(in, code);
    if (code == result::ImpliedVol2) bracket.lo = 0.1;
    if (code != result::ImpliedStrike)
      return TwoAssetSearch<BarrierTwoAssetModel>(in, code, bracket, err);
    // The strike search starts from strikes of 0.1 and 10. Most puts are worth next to nothing at
    // both, which leaves it nowhere to go: where it finds nothing, it starts again around the
    // asset price, as the partial-time model does.
    bracket.min = -1e12;
    const double found =
        TwoAssetSearch<BarrierTwoAssetModel>(in, code, {0.1, 10.0, -1e12, 1e12}, err);
    return found > 0 ? found : TwoAssetSearch<BarrierTwoAssetModel>(in, code, bracket, err);
  }
};

struct BarrierPartialTAModel : TwoAssetBarrier {
  using Arguments = BarrierPartialTAArguments;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .barrierType = a.BarrierType,
            .monitoring = a.BarrierMonitoring,
            .X = a.StrikePrice,
            .H = a.Barrier,
            .t1 = a.TimeBarrier,
            .partial = true};
  }
  // TimeBarrier is converted and floored like a start time.
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type,
                                        .strikePrice = &Inputs::X,
                                        .timeStart = &Inputs::t1,
                                        .barrier = &Inputs::H};
  static constexpr Moves<Inputs> kMoves{.times = {&Inputs::t1, &Inputs::T}, .strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    CheckBarrierType(in, err);
    if (!(in.t1 > 0)) Fail<TimeBarrierErr>(err, "TimeBarrier must be greater than 0.");
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    TwoAssetBracket bracket = StandardBracket<BarrierPartialTAModel>(in, code);
    if (code == result::ImpliedVol2) bracket.lo = 0.025;
    if (code == result::ImpliedStrike) bracket.min = -1e12;
    return TwoAssetSearch<BarrierPartialTAModel>(in, code, bracket, err);
  }
};

}  // namespace

QUANTREL_ENTRY(BarrierTwoAssetModel)
QUANTREL_ENTRY(BarrierPartialTAModel)

}  // namespace quantrel
