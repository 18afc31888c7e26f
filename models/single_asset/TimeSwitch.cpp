// Discrete time switch (Pechtl 1995): AccruedAmt is earned for every TimeInterval at whose end the
// asset is above the strike (call) or below it (put), paid at expiry, on top of what NumTimeUnits
// intervals have already earned.
#include <array>
#include <cmath>
#include <optional>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"

namespace quantrel {
namespace {

using namespace core;

// Up to this many remaining fixings are summed one by one. Beyond, the sum is taken by blocks of
// fixings: over a block where the summand is smooth, its integral plus the Euler-Maclaurin end
// corrections; a block where that estimate and those of its two halves disagree is split, down to
// fixings summed one by one (next to the first fixing at the money, around a sharp switch).
constexpr double kMaxFixings = 1e6;
// Fixing counts beyond this are not whole numbers in a double (only with SkipValidation).
constexpr double kMostFixings = 9007199254740992.0;

// The probability of one fixing as a smooth function of its time t, with its derivative.
struct FixingProbability {
  double Z, moneyness, drift, v;
  double X(double t) const { return Z * (moneyness + drift * t) / (v * std::sqrt(t)); }
  double At(double t) const { return CumulativeNormal(X(t)); }
  double Slope(double t) const {
    return NormalDensity(X(t)) * Z * (drift * t - moneyness) / (2 * v * t * std::sqrt(t));
  }
};

// Gauss-Legendre nodes and weights on [0, 1], computed once.
struct UnitNodes {
  static constexpr int kCount = 20;
  std::array<double, kCount> x{}, w{};
  UnitNodes() { GaussLegendreNodes(0, 1, x, w); }
};

// The sum of f at i*h - elapsed for the whole numbers i from `first` to `last`.
double SumOfFixings(const FixingProbability& f, double h, double elapsed, double first,
                    double last) {
  static const UnitNodes kNodes;
  constexpr double kOneByOne = 256;     // blocks this short are summed term by term
  constexpr double kTolerance = 1e-12;  // per fixing, between a block and its halves
  auto time = [&](double i) { return i * h - elapsed; };
  auto direct = [&](double p, double q) {
    double sum = 0;
    for (double i = p; i <= q; ++i) sum += f.At(time(i));
    return sum;
  };
  // Euler-Maclaurin: sum_{i=p}^{q} g(i) = integral of g over [p, q] + (g(p) + g(q))/2
  // + (g'(q) - g'(p))/12 + ..., with g(i) = f(time(i)).
  auto estimate = [&](double p, double q) {
    const double a = time(p), b = time(q);
    double integral = 0;
    for (int k = 0; k < UnitNodes::kCount; ++k) {
      integral += kNodes.w[k] * f.At(a + (b - a) * kNodes.x[k]);
    }
    integral *= (q - p);
    return integral + (f.At(a) + f.At(b)) / 2 + h * (f.Slope(b) - f.Slope(a)) / 12;
  };

  struct Block {
    double p, q, estimate;
  };
  // Depth first: each split replaces a block by its halves, so the stack holds the starting
  // blocks plus one per halving at most.
  constexpr int kStart = 64;
  std::array<Block, kStart + 64> pending;
  int top = 0;
  // Start from a few blocks, so that no feature hides inside one estimate.
  const double size = std::floor((last - first + 1) / kStart);
  if (size < kOneByOne) return direct(first, last);
  for (int k = kStart - 1; k >= 0; --k) {
    const double p = first + k * size, q = k == kStart - 1 ? last : p + size - 1;
    pending[top++] = {p, q, estimate(p, q)};
  }
  int splits = 100000;  // the summand switches once at most, so few are ever needed
  double sum = 0;
  while (top > 0) {
    const Block b = pending[--top];
    if (b.q - b.p < kOneByOne) {
      sum += direct(b.p, b.q);
      continue;
    }
    const double m = std::floor((b.p + b.q) / 2);
    const double left = estimate(b.p, m), right = estimate(m + 1, b.q);
    const bool settled = std::fabs(left + right - b.estimate) <= kTolerance * (b.q - b.p + 1);
    if (settled || --splits < 0 || top + 2 > static_cast<int>(pending.size())) {
      sum += left + right;
      continue;
    }
    pending[top++] = {m + 1, b.q, right};
    pending[top++] = {b.p, m, left};
  }
  return sum;
}

struct TimeSwitchModel {
  using Arguments = TimeSwitchArguments;
  struct Own {
    int32_t type;
    double X;
    int32_t earnedUnits;
    double amount, interval;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .X = a.StrikePrice,
            .earnedUnits = a.NumTimeUnits,
            .amount = a.AccruedAmt,
            .interval = a.TimeInterval};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type,
      .strikePrice = &Inputs::X,
      .timeStart = &Inputs::interval,  // converted and floored like a time
  };
  // Theta is the model's own (below).
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.interval > 0)) Fail<TimeIntervalErr>(err, "TimeInterval must be greater than 0.");
    // Any amount is accepted, negative included, but not one that is no number at all.
    if (!std::isfinite(in.amount)) Fail<PayoffErr>(err, "AccruedAmt must be a finite number.");
  }

  // Remaining fixings: whole intervals that fit before expiry. A ratio that is whole but for the
  // rounding of the day conversion (a third of 365 days into 365 days gives 2.9999999999999996)
  // counts as whole.
  static double Fixings(const Inputs& in) { return std::trunc(in.T / in.interval * (1 + 1e-12)); }

  // The value with `fixings` remaining fixings at i*interval - elapsed (i = 1..fixings) and
  // payment at T. `elapsed` lets theta move the schedule with the calendar.
  static double ValueOn(const Inputs& in, double fixings, double elapsed) {
    if (!(fixings <= kMostFixings)) throw MathFault();
    const double Z = in.type == 1 ? 1 : in.type == 2 ? -1 : 0;
    const double moneyness = std::log(in.S / in.X);
    const double drift = in.r - in.q - in.v * in.v / 2;
    double sum = 0;
    if (fixings > kMaxFixings) {
      const FixingProbability f{Z, moneyness, drift, in.v};
      sum = in.interval * SumOfFixings(f, in.interval, elapsed, 1, fixings);
    } else {
      for (double i = 1; i <= fixings; ++i) {
        const double t = i * in.interval - elapsed;
        sum += in.interval * CumulativeNormal(Z * (moneyness + drift * t) / (in.v * std::sqrt(t)));
      }
    }
    const double discounted = in.amount * std::exp(-in.r * in.T);
    const double value = discounted * sum + in.interval * discounted * in.earnedUnits;
    return value >= 0 ? value : 0;
  }

  static double Value(const Inputs& in) { return ValueOn(in, Fixings(in), 0); }

  // Theta as the calendar moves on: expiry and every remaining fixing draw nearer together, while
  // the earned units, the interval and the number of fixings to come stay as they are (a step of
  // 1e-5 years passes no fixing; where a step back would reach the next fixing or the expiry the
  // difference goes forward only).
  static std::optional<double> OwnSensitivity(int32_t code, const Inputs& in, int32_t*) {
    if (code != result::Theta) return std::nullopt;
    const double fixings = Fixings(in);
    const Bumps b = SetUpBumps(code, in.T, in.interval);
    auto at = [&](double T) {
      Inputs moved = in;
      moved.T = T;
      return ValueOn(moved, fixings, in.T - T);
    };
    return FiniteDifference(code, at(b.x[0].down), 0, at(b.x[0].up), b.divisor, b.step);
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    return FalsePositionSearch<TimeSwitchModel>(in, code, StandardEnds<TimeSwitchModel>(in, code));
  }
};

}  // namespace

QUANTREL_ENTRY(TimeSwitchModel)

}  // namespace quantrel
