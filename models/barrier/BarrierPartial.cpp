// Partial-time single barriers (Heynen-Kat): the barrier is watched from now until TimeBarrier
// (BarrierPartialStart) or from TimeBarrier until expiry (BarrierPartialEnd, which also offers
// One_Touch, knocked out by a touch from either side).
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/Plainoptionsex.h"
#include "models/barrier/PreciseNormal.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

enum class Window { Start, End };

struct Partial {
  int32_t type, barrierType;
  double S, X, H, t1, T, v, r, q;
  bool toExpiry;  // the window reaches expiry: t1 stands for T
};

bool IsOut(Window w, int32_t barrierType) {
  return w == Window::Start
             ? barrierType == Down_Out || barrierType == Up_Out
             : barrierType == Down_N_Out || barrierType == Up_N_Out || barrierType == One_Touch;
}

// The knock-out that matches a knock-in type.
int32_t OutType(Window w, int32_t inType) {
  if (w == Window::Start) return inType == Down_In ? Down_Out : Up_Out;
  return inType == Down_N_In ? Down_N_Out : Up_N_Out;
}

// The last member of the window's barrier-type enumeration.
int32_t HighestType(Window w) {
  return w == Window::Start ? int32_t{Up_In} : int32_t{One_Touch};
}

bool KnownType(Window w, int32_t barrierType) {
  return barrierType >= 1 && barrierType <= HighestType(w);
}

double Floored(double value) {
  return value >= 0 ? value : 0;
}

// Floored at 0; the puts' formulas take their calls unfloored, inline.
double PartialValue(Window w, const Partial& in) {
  if (in.type != CallOption && in.type != PutOption) return 0;
  if (!KnownType(w, in.barrierType)) return 0;
  if (!IsOut(w, in.barrierType)) {
    const double plain = GeneralizedBlackScholes(in.type, in.S, in.X, in.T, in.v, in.r, in.q);
    Partial out = in;
    out.barrierType = OutType(w, in.barrierType);
    return Floored(plain - PartialValue(w, out));
  }
  const bool down = in.barrierType == Down_Out || in.barrierType == Down_N_Out;
  // A barrier watched from now that the spot has already reached has knocked the option out.
  if (w == Window::Start && (down ? in.S <= in.H : in.S >= in.H)) return 0;
  const double H = in.H, X = in.X, T = in.T, v = in.v, r = in.r, q = in.q;
  // A window that reaches expiry is priced as its limit, with the correlation sqrt(t1/T) at 1.
  const double t1 = in.toExpiry ? T : in.t1;
  const double S = std::fabs(in.S - H) < 1e-6 ? in.S + 1e-5 : in.S;  // off the barrier
  const double b = r - q, v2 = v * v;
  const double mu = (b - v2 / 2) / v2, rho = std::sqrt(t1 / T);
  const double k1 = std::pow(H / S, 2 * (mu + 1)), k2 = std::pow(H / S, 2 * mu);
  const double P = S * std::exp(-q * T), Q = X * std::exp(-r * T);
  const double sT = v * std::sqrt(T), s1 = v * std::sqrt(t1);
  const double lnHS = std::log(H / S);
  const double d1 = (std::log(S / X) + (b + v2 / 2) * T) / sT, d2 = d1 - sT;
  const double f1 = (std::log(S / X) + 2 * lnHS + (b + v2 / 2) * T) / sT, f2 = f1 - sT;
  const double e1 = (std::log(S / H) + (b + v2 / 2) * t1) / s1, e2 = e1 - s1;
  const double e3 = e1 + 2 * lnHS / s1, e4 = e3 - s1;
  const double g1 = (std::log(S / H) + (b + v2 / 2) * T) / sT, g2 = g1 - sT;
  const double g3 = g1 + 2 * lnHS / sT, g4 = g3 - sT;
  auto M = barrier::PreciseBivariateNormal;
  auto N = barrier::PreciseNormal;
  const bool call = in.type == CallOption;

  double value;
  if (w == Window::Start) {
    const double eta = down ? 1 : -1;
    const double C = P * (M(d1, eta * e1, eta * rho) - k1 * M(f1, eta * e3, eta * rho)) -
                     Q * (M(d2, eta * e2, eta * rho) - k2 * M(f2, eta * e4, eta * rho));
    if (call) {
      value = C;
    } else {
      value = C - P * (N(eta * e1) - k1 * N(eta * e3)) + Q * (N(eta * e2) - k2 * N(eta * e4));
    }
  } else {
    const double D1 = M(d1, e1, rho) - k1 * M(f1, -e3, -rho);
    const double D2 = M(d2, e2, rho) - k2 * M(f2, -e4, -rho);
    const double D3 = M(-d1, -e1, rho) - k1 * M(-f1, e3, -rho);
    const double D4 = M(-d2, -e2, rho) - k2 * M(-f2, e4, -rho);
    const double Z3 = M(g2, e2, rho) - k2 * M(g4, -e4, -rho);
    const double Z4 = M(-g2, -e2, rho) - k2 * M(-g4, e4, -rho);
    const double Z7 = M(g1, e1, rho) - k1 * M(g3, -e3, -rho);
    const double Z8 = M(-g1, -e1, rho) - k1 * M(-g3, e3, -rho);
    double oneTouch, downOut, upOut;
    if (X >= H) {
      oneTouch = downOut = P * D1 - Q * D2;
      upOut = 0;
    } else {
      upOut = P * Z8 - Q * Z4 - P * D3 + Q * D4;
      downOut = P * Z7 - Q * Z3;
      oneTouch = upOut + downOut;
    }
    switch (in.barrierType) {
      case One_Touch:
        value = call ? oneTouch : Floored(oneTouch) - P * Z8 + Q * Z4 - P * Z7 + Q * Z3;
        break;
      case Down_N_Out:
        value = call ? downOut : downOut - P * Z7 + Q * Z3;
        break;
      default:  // Up_N_Out
        value = call ? upOut : upOut - P * Z8 + Q * Z4;
        break;
    }
  }
  return Floored(value);
}

template <Window kWindow, class Args>
struct PartialModel {
  using Arguments = Args;
  struct Own {
    int32_t type, barrierType;
    double X, H, t1;  // strike, barrier (shifted once prepared), the window's end or start
    int32_t monitoring;
    bool shifted;
    bool toExpiry;  // TimeBarrier was TimeExpire
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .barrierType = a.BarrierType,
            .X = a.StrikePrice,
            .H = a.Barrier,
            .t1 = a.TimeBarrier,
            .monitoring = a.BarrierMonitoring,
            .shifted = false,
            .toExpiry = false};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type,
                                        .strikePrice = &Inputs::X,
                                        .timeStart = &Inputs::t1,  // converted like a time
                                        .barrier = &Inputs::H};
  static constexpr Moves<Inputs> kMoves{.times = {&Inputs::t1, &Inputs::T}, .strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    // The start window takes the four single-barrier types only.
    if (!KnownType(kWindow, in.barrierType)) {
      Fail<BarrierTypeErr>(err, "The BarrierType is Invalid.");
    }
    if (!(in.t1 > 0)) Fail<TimeBarrierErr>(err, "TimeBarrier must be greater than 0.");
    if (in.t1 > in.T) Fail<TimeBarrierLimitErr>(err, "TimeBarrier must be less than TimeExpire.");
    // A window that reaches expiry keeps a sliver of its time for the common checks; the kernel
    // prices its limit.
    if (in.t1 == in.T) {
      in.t1 -= 1e-10;
      in.toExpiry = true;
    }
  }

  static void Prepare(Inputs& in, int32_t* err) {
    if (in.shifted) return;
    in.H = ShiftBarrier(in.S, in.H, in.v, in.monitoring, err);
    in.shifted = true;
  }

  static double Value(const Inputs& in) {
    return PartialValue(kWindow, {in.type, in.barrierType, in.S, in.X, in.H, in.t1, in.T, in.v,
                                  in.r, in.q, in.toExpiry || in.t1 >= in.T});
  }

  static Levels ReferenceLevels(const Inputs& in, int32_t code) {
    if (code == result::Delta || code == result::Gamma) return {in.S, in.X, in.H};
    return {};
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    return FalsePositionSearch<PartialModel>(in, code, StandardEnds<PartialModel>(in, code));
  }
};

using BarrierPartialStartModel = PartialModel<Window::Start, BarrierPartialStartArguments>;
using BarrierPartialEndModel = PartialModel<Window::End, BarrierPartialEndArguments>;

}  // namespace

QUANTREL_ENTRY(BarrierPartialStartModel)
QUANTREL_ENTRY(BarrierPartialEndModel)

}  // namespace quantrel
