// Look-barrier options: a fixed-strike lookback on the extreme from TimeBarrier to expiry (the
// maximum for the calls, the minimum for the puts), knocked out or in by a barrier watched from
// now until TimeBarrier.
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/Plainoptionsex.h"
#include "models/barrier/PreciseNormal.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

struct LookBarrier {
  bool call;
  double S, X, H, t1, T, v, r, q;
  bool toExpiry;  // the barrier is watched up to expiry: t1 stands for T
};

// The knock-out value, not floored. The carry b = r - q must stay clear of 0: the formula carries
// v^2 / (2b) times terms that vanish with b.
double KnockOutFormula(const LookBarrier& in) {
  const double X = in.X, H = in.H, T = in.T, v = in.v, r = in.r, q = in.q;
  const double t1 = in.toExpiry ? T : in.t1;
  const double S = std::fabs(in.S - H) < 1e-6 ? in.S + 1e-5 : in.S;  // off the barrier
  const double b = r - q, v2 = v * v;
  const double mu1 = b - v2 / 2, mu2 = b + v2 / 2;
  const double hh = std::log(H / S), K = std::log(X / S);
  const double rho = std::sqrt(t1 / T), c = v2 / (2 * b);
  const double eta = in.call ? 1 : -1;
  const double m = in.call ? std::fmin(hh, K) : std::fmax(hh, K);
  const double s1 = v * std::sqrt(t1), sT = v * std::sqrt(T);
  const double tau = T - t1, sTau = v * std::sqrt(tau);
  // mu tau / (v sqrt(tau)), which vanishes with tau
  auto drift = [&](double mu) { return tau > 0 ? mu * tau / sTau : 0; };
  auto N = barrier::PreciseNormal;
  auto M = barrier::PreciseBivariateNormal;
  const double image2 = std::exp(2 * mu2 * hh / v2), image1 = std::exp(2 * mu1 * hh / v2);
  auto g = [&](double mu, double image) {
    return (N(eta * (hh - mu * t1) / s1) - image * N(eta * (-hh - mu * t1) / s1)) -
           (N(eta * (m - mu * t1) / s1) - image * N(eta * (m - 2 * hh - mu * t1) / s1));
  };
  const double g1 = g(mu2, image2), g2 = g(mu1, image1);
  const double asset = S * std::exp(-q * T), discount = std::exp(-r * T);
  const double part1 =
      asset * (1 + c) *
      (M(eta * (m - mu2 * t1) / s1, eta * (mu2 * T - K) / sT, -rho) -
       image2 * M(eta * (m - 2 * hh - mu2 * t1) / s1, eta * (2 * hh - K + mu2 * T) / sT, -rho));
  const double part2 =
      -X * discount *
      (M(eta * (m - mu1 * t1) / s1, eta * (mu1 * T - K) / sT, -rho) -
       image1 * M(eta * (m - 2 * hh - mu1 * t1) / s1, eta * (2 * hh - K + mu1 * T) / sT, -rho));
  const double power = -2 * b / v2;
  const double part3 =
      -discount * c *
      (S * std::pow(S / X, power) * M(eta * (m + mu1 * t1) / s1, eta * (-K - mu1 * T) / sT, -rho) -
       H * std::pow(H / X, power) *
           M(eta * (m - 2 * hh + mu1 * t1) / s1, eta * (2 * hh - K - mu1 * T) / sT, -rho));
  const double part4 =
      asset *
          ((1 + c) * N(eta * drift(mu2)) + std::exp(-b * tau) * (1 - c) * N(-eta * drift(mu1))) *
          g1 -
      X * discount * g2;
  return eta * (part1 + part2 + part3 + part4);
}

// `value(q)` for the contract's yield q. Close to a carry of 0 a value is smooth in the carry but
// its formula is 0/0 there: interpolate between the values a small carry either side.
template <class Value>
double AcrossZeroCarry(const LookBarrier& in, Value value) {
  const double near = 1e-6 * in.v * in.v, b = in.r - in.q;
  if (!(std::fabs(b) < near)) return value(in.q);
  const double weight = (b + near) / (2 * near);
  return weight * value(in.r - near) + (1 - weight) * value(in.r + near);
}

double KnockOutValue(const LookBarrier& in) {
  // A barrier watched from now that the spot has already reached has knocked the option out.
  if (in.call ? in.S >= in.H : in.S <= in.H) return 0;
  return AcrossZeroCarry(in, [&](double q) {
    LookBarrier moved = in;
    moved.q = q;
    return KnockOutFormula(moved);
  });
}

// The partial-time fixed-strike lookback (the extreme watched from t1 to expiry) that a knock-in
// becomes, at a carry away from 0, not floored. The lookback model's own closed form, on the
// tail-accurate distribution functions of the knock-out it is paired with: its terms carry
// v^2 / (2b) too.
double LookbackFormula(const LookBarrier& in) {
  using barrier::PreciseBivariateNormal;
  using barrier::PreciseNormal;
  const double S = in.S, X = in.X, t1 = in.t1, T = in.T, v = in.v, r = in.r, q = in.q;
  const double b = r - q, v2 = v * v, rest = T - t1;
  const double sT = v * std::sqrt(T), s1 = v * std::sqrt(t1), sRest = v * std::sqrt(rest);
  const double d1 = (std::log(S / X) + (b + v2 / 2) * T) / sT, d2 = d1 - sT;
  const double e1 = (b + v2 / 2) * rest / sRest, e2 = e1 - sRest;
  const double f1 = (std::log(S / X) + (b + v2 / 2) * t1) / s1, f2 = f1 - s1;
  const double rho1 = std::sqrt(t1 / T), rho2 = std::sqrt(1 - t1 / T);
  const double K = S * std::exp(-r * T) * v2 / (2 * b), power = std::pow(S / X, -2 * b / v2);
  const double shiftT = 2 * b * std::sqrt(T) / v, shift1 = 2 * b * std::sqrt(t1) / v;
  const double dq = std::exp(-q * T), dr = std::exp(-r * T), growth = std::exp(b * T);
  const double tail = S * dq * std::exp(-b * rest) * (1 - v2 / (2 * b));
  auto N = PreciseNormal;
  auto M = PreciseBivariateNormal;
  if (in.call) {
    return S * dq * N(d1) - X * dr * N(d2) +
           K * (growth * M(e1, d1, rho2) - power * M(d1 - shiftT, -f1 + shift1, -rho1)) -
           S * dq * M(-e1, d1, -rho2) - X * dr * M(f2, -d2, -rho1) + tail * N(f1) * N(-e2);
  }
  return X * dr * N(-d2) - S * dq * N(-d1) +
         K * (power * M(-d1 + shiftT, f1 - shift1, -rho1) - growth * M(-e1, -d1, rho2)) +
         S * dq * M(e1, -d1, -rho2) + X * dr * M(-f2, d2, -rho1) - tail * N(-f1) * N(e2);
}

double LookbackValue(const LookBarrier& in) {
  if (in.toExpiry) {
    return GeneralizedBlackScholes(in.call ? CallOption : PutOption, in.S, in.X, in.T, in.v, in.r,
                                   in.q);
  }
  return AcrossZeroCarry(in, [&](double q) {
    LookBarrier moved = in;
    moved.q = q;
    return LookbackFormula(moved);
  });
}

struct BarrierLookbackModel {
  using Arguments = BarrierLookbackArguments;
  struct Own {
    int32_t type;
    double X, H, t1;  // strike, barrier (shifted once prepared), end of the barrier's watch
    int32_t monitoring;
    bool shifted;
    bool toExpiry;  // TimeBarrier was TimeExpire
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .X = a.StrikePrice,
            .H = a.Barrier,
            .t1 = a.TimeBarrier,
            .monitoring = a.BarrierMonitoring,
            .shifted = false,
            .toExpiry = false};
  }
  // The common checks see a call.
  static constexpr Slots<Inputs> kSlots{.strikePrice = &Inputs::X,
                                        .time2 = &Inputs::t1,  // converted like TimeExpire
                                        .barrier = &Inputs::H};
  static constexpr Moves<Inputs> kMoves{.times = {&Inputs::t1, &Inputs::T}, .strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.type < Up_Out_Call || in.type > Down_In_Put) {
      Fail<OptionTypeErr>(err, "The OptionType is Invalid.");
    }
    if (in.t1 > in.T) {
      Fail<TimeBarrierErr>(err, "The TimeExpire must be greater than the TimeBarrier.");
    }
    // The formulas divide by the square root of TimeBarrier.
    if (!(in.t1 > 0)) Fail<TimeBarrierErr>(err, "TimeBarrier must be greater than 0.");
    // A barrier watched up to expiry keeps a sliver of time for the lookback; the kernel prices
    // the limit.
    if (in.t1 == in.T) {
      in.t1 -= 1e-12;
      in.toExpiry = true;
    }
  }

  static void Prepare(Inputs& in, int32_t* err) {
    if (in.shifted) return;
    in.H = ShiftBarrier(in.S, in.H, in.v, in.monitoring, err);
    in.shifted = true;
  }

  static double Value(const Inputs& in) {
    if (in.type < Up_Out_Call || in.type > Down_In_Put) return 0;
    const bool call = in.type == Up_Out_Call || in.type == Up_In_Call;
    const LookBarrier contract{call, in.S, in.X, in.H, in.t1,
                               in.T, in.v, in.r, in.q, in.toExpiry || in.t1 >= in.T};
    const double out = KnockOutValue(contract), lookback = LookbackValue(contract);
    // A knock-out is worth between nothing and the lookback. At a very low volatility with a
    // strongly negative carry the formula's image factors outgrow double precision; a value
    // outside those bounds is no price, and fails as a numerical fault.
    const double slack = 1e-6 * (in.S + in.X + lookback);
    if (!(out >= -slack && out <= lookback + slack)) throw MathFault();
    const double value = in.type == Up_In_Call || in.type == Down_In_Put ? lookback - out : out;
    return value >= 0 ? value : 0;
  }

  static Levels ReferenceLevels(const Inputs& in, int32_t code) {
    if (code == result::Delta || code == result::Gamma) return {in.S, in.X, in.H};
    return {};
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    return FalsePositionSearch<BarrierLookbackModel>(in, code,
                                                     StandardEnds<BarrierLookbackModel>(in, code));
  }
};

}  // namespace

QUANTREL_ENTRY(BarrierLookbackModel)

}  // namespace quantrel
