// Single barrier on a trinomial tree, European or American, the barrier watched continuously.
// Out-types pay the rebate at the hit; in-types run a plain tree and a knock-in tree side by side,
// the knock-in tree taking the plain value where the barrier is hit and paying the rebate at
// expiry where it never was. Sensitivities are the tree's own; implied values come from a
// bracketing and Brent search of the unit's own.
#include "models/numerical/BarrierSingleTri.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/ModelEntry.h"
#include "quantrel/enums.h"

namespace quantrel {

namespace numerical {
namespace {

constexpr double kOnBarrier = 1e-7;  // a node this close to the barrier is on it
constexpr int32_t kMaxTreeSteps = 500;

// The stretched spacing: the barrier (or the strike, without one) lies a whole number of up-moves
// from the asset price; one closer than a single move gets the stretch 1.025865888.
struct Geometry {
  int32_t n;
  double dt, a, u, pu, pm, pd, disc;
};

Geometry GeometryOf(const BarrierTreeContract& c) {
  Geometry g{};
  // Calls that skip validation are held to the limits too.
  g.n = std::clamp(c.steps, 3, kMaxTreeSteps);
  g.dt = c.T / g.n;
  const double root = std::sqrt(g.dt);
  const bool barrier = c.barrierType >= Down_Out && c.barrierType <= Up_In && c.H > 1e-6;
  const double L = std::fabs(std::log((barrier ? c.H : c.X) / c.S));
  const double f = L / (c.v * root), k = std::floor(f);
  const double lambda = k >= 1 ? f / k : 1.025865888;
  g.a = lambda * c.v * root;
  g.u = std::exp(g.a);
  const double drift = root * (c.r - c.q - c.v * c.v / 2) / (2 * lambda * c.v);
  const double even = 1 / (2 * lambda * lambda);
  g.pu = even + drift;
  g.pd = even - drift;
  g.pm = 1 - g.pu - g.pd;
  g.disc = std::exp(-c.r * g.dt);
  return g;
}

}  // namespace

bool BarrierTree::Admissible(const BarrierTreeContract& c) {
  const Geometry g = GeometryOf(c);
  const double product = g.pu * g.pd;
  return product >= 0 && product <= 1;
}

double BarrierTree::Value(const BarrierTreeContract& c) {
  const double value = Values(c).V0;
  return value >= 0 ? value : 0;
}

BarrierTreeValues BarrierTree::Values(const BarrierTreeContract& c) {
  BarrierTreeValues out{};
  const auto roll = [&]<int32_t Type>() {
    if (c.american) {
      RollBack<Type, true>(c, out);
    } else {
      RollBack<Type, false>(c, out);
    }
  };
  switch (c.barrierType) {
    case Down_Out:
      roll.template operator()<Down_Out>();
      break;
    case Down_In:
      roll.template operator()<Down_In>();
      break;
    case Up_Out:
      roll.template operator()<Up_Out>();
      break;
    case Up_In:
      roll.template operator()<Up_In>();
      break;
    default:
      roll.template operator()<0>();
      break;
  }
  return out;
}

// Node i of layer k (2k + 1 nodes, highest price first) has the price S u^(k - i), the price of
// node n - k + i of the last layer; its children are nodes i, i + 1 and i + 2 of layer k + 1.
template <int32_t Type, bool American>
void BarrierTree::RollBack(const BarrierTreeContract& c, BarrierTreeValues& out) {
  constexpr bool kDown = Type == Down_Out || Type == Down_In;
  constexpr bool kIn = Type == Down_In || Type == Up_In;
  constexpr bool kOut = Type == Down_Out || Type == Up_Out;
  const Geometry g = GeometryOf(c);
  const int32_t n = g.n;
  const size_t width = 2 * static_cast<size_t>(n) + 1;
  price_.resize(width);
  values_.resize(width);
  if constexpr (kIn) knockIn_.resize(width);
  for (int32_t i = 0; i <= 2 * n; ++i) price_[i] = c.S * std::exp((n - i) * g.a);

  const double X = c.X, H = c.H, R = c.R, eta = c.eta;
  // Knocked out, for an out-type (at or past the barrier); hit, for an in-type (past it or on it).
  auto knockedOut = [&](double P) { return kDown ? P <= H + kOnBarrier : P >= H - kOnBarrier; };
  auto hit = [&](double P) { return kDown ? P < H + kOnBarrier : P > H - kOnBarrier; };
  double* V = values_.data();
  double* K = knockIn_.data();

  for (int32_t i = 0; i <= 2 * n; ++i) {
    const double P = price_[i], plain = std::max(eta * (P - X), 0.0);
    if constexpr (kOut) {
      V[i] = knockedOut(P) ? R : plain;
    } else {
      V[i] = plain;
      if constexpr (kIn) K[i] = hit(P) ? plain : R;
    }
  }

  const double wu = g.disc * g.pu, wm = g.disc * g.pm, wd = g.disc * g.pd;
  const double* option = kIn ? K : V;
  for (int32_t k = n - 1; k >= 0; --k) {
    const double* P = &price_[n - k];
    for (int32_t i = 0; i <= 2 * k; ++i) {
      double value = wu * V[i] + wm * V[i + 1] + wd * V[i + 2];
      if constexpr (American) {
        const double gain = eta * (P[i] - X);
        if (gain > value) value = gain;
      }
      if constexpr (kOut) {
        V[i] = knockedOut(P[i]) ? R : value;
      } else {
        V[i] = value;
        if constexpr (kIn) {
          const double waiting = wu * K[i] + wm * K[i + 1] + wd * K[i + 2];
          K[i] = hit(P[i]) ? value : waiting;
        }
      }
    }
    if (k == 2) {
      out.V2uu = option[0], out.V2u = option[1], out.V2m = option[2];
      out.V2d = option[3], out.V2dd = option[4];
    } else if (k == 1) {
      out.V1u = option[0], out.V1m = option[1], out.V1d = option[2];
    }
  }
  out.V0 = option[0];
  out.u = g.u;
  out.dt = g.dt;
}

}  // namespace numerical

namespace {

using namespace core;
using numerical::BarrierTree;
using numerical::BarrierTreeContract;

// A relative step of 1e-5; an input within 1e-3 of 0 (a zero yield, a rate at its floor) moves by
// 1e-8 instead, where a relative step would vanish or drown in rounding.
double RelativeStep(double x) {
  return std::fabs(x) >= 1e-3 ? x * 1e-5 : 1e-8;
}

// Brent's method for a root of f bracketed by [a, b] (Press et al., zbrent): half the bracket
// below 2 * 3e-8 |b| + tolerance / 2 ends it. Nothing when the ends do not bracket a root or the
// iterations run out.
template <class F>
std::optional<double> Brent(F&& f, double a, double b, double tolerance) {
  constexpr double kEps = 3e-8;
  double fa = f(a), fb = f(b);
  if ((fa > 0 && fb > 0) || (fa < 0 && fb < 0)) return std::nullopt;
  double c = b, fc = fb, d = b - a, e = d;
  for (int iteration = 1; iteration <= 100; ++iteration) {
    if ((fb > 0 && fc > 0) || (fb < 0 && fc < 0)) {
      c = a, fc = fa;
      e = d = b - a;
    }
    if (std::fabs(fc) < std::fabs(fb)) {
      a = b, b = c, c = a;
      fa = fb, fb = fc, fc = fa;
    }
    const double tol1 = 2 * kEps * std::fabs(b) + 0.5 * tolerance;
    const double xm = 0.5 * (c - b);
    if (std::fabs(xm) <= tol1 || fb == 0) return b;
    if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
      const double s = fb / fa;
      double p, q;
      if (a == c) {
        p = 2 * xm * s;
        q = 1 - s;
      } else {
        const double qa = fa / fc, r = fb / fc;
        p = s * (2 * xm * qa * (qa - r) - (b - a) * (r - 1));
        q = (qa - 1) * (r - 1) * (s - 1);
      }
      if (p > 0) q = -q;
      p = std::fabs(p);
      const double min1 = 3 * xm * q - std::fabs(tol1 * q), min2 = std::fabs(e * q);
      if (2 * p < std::min(min1, min2)) {
        e = d;
        d = p / q;
      } else {
        d = xm;
        e = d;
      }
    } else {
      d = xm;
      e = d;
    }
    a = b, fa = fb;
    b += std::fabs(d) > tol1 ? d : (xm >= 0 ? tol1 : -tol1);
    fb = f(b);
  }
  return std::nullopt;
}

struct BarrierSingleTriModel {
  using Arguments = BarrierSingleTriArguments;
  struct Own {
    int32_t exercise, type, barrierType;
    double X, H, R;
    int32_t steps;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.exercise = a.ExerciseType,
            .type = a.OptionType,
            .barrierType = a.BarrierType,
            .X = a.StrikePrice,
            .H = a.Barrier,
            .R = a.Rebate,
            .steps = a.Iterations};
  }
  // Any exercise type is accepted: 0 is American, everything else European.
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type,
                                        .strikePrice = &Inputs::X,
                                        .barrier = &Inputs::H,
                                        .rebate = &Inputs::R,
                                        .latticeIterations = &Inputs::steps};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.barrierType < Down_Out || in.barrierType > Up_In) {
      Fail<BarrierTypeErr>(err, "The BarrierType is Invalid.");
    }
  }

  static BarrierTreeContract ContractOf(const Inputs& in) {
    return {.barrierType = in.barrierType,
            .american = in.exercise == American,
            .eta = in.type == CallOption  ? 1.0
                   : in.type == PutOption ? -1.0
                                          : 0.0,
            .S = in.S,
            .X = in.X,
            .H = in.H,
            .R = in.R,
            .T = in.T,
            .v = in.v,
            .r = in.r,
            .q = in.q,
            .steps = in.steps};
  }

  static double Value(const Inputs& in) {
    BarrierTree tree;
    return tree.Value(ContractOf(in));
  }

  static std::optional<double> OwnSensitivity(int32_t code, const Inputs& in, int32_t*) {
    BarrierTree tree;
    const numerical::BarrierTreeValues t = tree.Values(ContractOf(in));
    const double S = in.S, u = t.u;
    auto revalued = [&](double Inputs::*field) {
      Inputs moved = in;
      const double step = RelativeStep(in.*field);
      moved.*field += step;
      return (tree.Values(ContractOf(moved)).V0 - t.V0) / step;
    };
    switch (code) {
      case result::Delta:
      case result::Lambda:
        return (t.V1u - t.V1d) / (S * u - S / u);
      case result::Gamma:
        return ((t.V2uu - t.V2m) / (S * u * u - S) - (t.V2m - t.V2dd) / (S * (1 - 1 / (u * u)))) /
               ((u * u - 1 / (u * u)) * S / 2);
      case result::Theta:
        return (t.V1m - t.V0) / t.dt / 365;
      case result::Vega:
        return revalued(&Inputs::v);
      case result::Rho:
        return revalued(&Inputs::r);
      case result::Psi:
        return revalued(&Inputs::q);
      case result::StrikeSensitivity:
        return revalued(&Inputs::X);
      default:
        return std::nullopt;
    }
  }

  // The volatility or strike that prices the contract at its market price. From a small bracket
  // around 0.05, widened away from the end nearer the target until it holds a root (at most 50
  // times), then Brent's method. A volatility not bracketed that way is sought once more over the
  // range where the tree's probabilities are usable.
  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    const double M = in.marketPrice;
    if (!(M > 0)) return 0;
    const bool volatility = code == result::ImpliedVol;
    BarrierTree tree;
    auto contractAt = [&](double x) {
      BarrierTreeContract c = ContractOf(in);
      c.*(volatility ? &BarrierTreeContract::v : &BarrierTreeContract::X) = x;
      return c;
    };
    auto f = [&](double x) { return tree.Value(contractAt(x)) - M; };

    // Both inputs stay positive; a volatility also stays where the tree's prices are finite.
    const double steps = std::clamp(in.steps, 3, 500);
    const double ceiling = volatility ? std::max(300 / std::sqrt(steps * in.T), 1.0) : 1e12;
    double a = 0.049, b = 0.051;
    double fa = f(a), fb = f(b);
    auto bracketed = [&] { return (fa <= 0) != (fb <= 0) || fa == 0 || fb == 0; };
    bool found = bracketed();
    for (int attempt = 0; attempt < 50 && !found; ++attempt) {
      if (std::fabs(fa) < std::fabs(fb)) {
        const double next = a + 1.6 * (a - b);
        a = next > 0 ? next : a / 2;
        fa = f(a);
      } else {
        b = std::min(b + 1.6 * (b - a), ceiling);
        fb = f(b);
      }
      found = bracketed();
    }
    std::optional<double> root;
    if (found) {
      root = Brent(f, std::min(a, b), std::max(a, b), 1e-6);
    } else if (volatility) {
      // Where the up and down probabilities are usable: the lower end rises from 0, the upper
      // falls from ten times the starting 0.05, in steps of 0.0001.
      auto usable = [&](double v) { return v > 0 && BarrierTree::Admissible(contractAt(v)); };
      double low = 0, high = 0.5;
      for (int k = 0; k < 1000 && !usable(low); ++k) low += 0.0001;
      for (int k = 0; k < 1000 && !usable(high); ++k) high -= 0.0001;
      if (low > 0 && high > low) root = Brent(f, low, high, 1e-6);
    }
    return root && *root > 0 ? *root : 0;
  }
};

}  // namespace

QUANTREL_ENTRY(BarrierSingleTriModel)

}  // namespace quantrel
