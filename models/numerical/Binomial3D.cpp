// The two-asset binomial lattice and its five methods, which differ only in the payoff at a node.
// Sensitivities are the lattice's own one-sided differences; implied values come from a bracketing
// search over whole lattices.
#include "models/numerical/Binomial3D.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "core/ModelEntry.h"
#include "quantrel/enums.h"

namespace quantrel {

namespace numerical {
namespace {

template <int32_t Payoff>
inline double PayoffAt(double eta, double A, double B, double X, double X2) {
  if constexpr (Payoff == kSpread) {
    return std::max(eta * (A - B - X), 0.0);
  } else if constexpr (Payoff == kRainbowMax) {
    return std::max(eta * (std::max(A, B) - X), 0.0);
  } else if constexpr (Payoff == kRainbowMin) {
    return std::max(eta * (std::min(A, B) - X), 0.0);
  } else if constexpr (Payoff == kDualStrike) {
    return std::max(std::max(eta * (A - X), eta * (B - X2)), 0.0);
  } else if constexpr (Payoff == kDualStrikeReverse) {
    return std::max(std::max(eta * (A - X), eta * (X2 - B)), 0.0);
  } else if constexpr (Payoff == kPortfolio) {
    return std::max(eta * (A + B - X), 0.0);
  } else {
    return std::max(A - B, 0.0);
  }
}

}  // namespace

double TwoAssetLattice::Value(const TwoAssetContract& c) {
  const auto run = [&]<int32_t Payoff>() {
    return c.american ? Run<Payoff, true>(c) : Run<Payoff, false>(c);
  };
  switch (c.payoff) {
    case kSpread:
      return run.template operator()<kSpread>();
    case kRainbowMax:
      return run.template operator()<kRainbowMax>();
    case kRainbowMin:
      return run.template operator()<kRainbowMin>();
    case kDualStrike:
      return run.template operator()<kDualStrike>();
    case kDualStrikeReverse:
      return run.template operator()<kDualStrikeReverse>();
    case kPortfolio:
      return run.template operator()<kPortfolio>();
    case kExchange:
      return run.template operator()<kExchange>();
    default:
      return 0;
  }
}

// Node (i, k, j) at step i, k up-moves of asset 1 and j of asset 2:
//   S1 exp(i mu1 + (2k - i) a1)  and  S2 exp(i mu2 + (2j - i) b2 + (2k - i) c2),
// asset 2 leaning on asset 1 through c2 (the correlation) and moving on its own through b2. The
// exponentials come from tables over i and over 2k - i, so a step costs no exponential.
template <int32_t Payoff, bool American>
double TwoAssetLattice::Run(const TwoAssetContract& c) {
  const int32_t n = std::max(c.steps, 1);
  const size_t stride = static_cast<size_t>(n) + 1, moves = 2 * stride - 1;
  layer_.resize(stride * stride);
  pairs_.resize(stride + 1);
  nextPairs_.resize(stride + 1);
  drift1_.resize(stride), drift2_.resize(stride);
  spread1_.resize(moves), spread2_.resize(moves), lean_.resize(moves);
  asset2_.resize(stride);

  const double dt = c.T / n, root = std::sqrt(dt);
  const double mu1 = (c.r - c.q1 - c.v1 * c.v1 / 2) * dt;
  const double mu2 = (c.r - c.q2 - c.v2 * c.v2 / 2) * dt;
  const double a1 = c.v1 * root;
  const double b2 = c.v2 * root * std::sqrt(1 - c.rho * c.rho), c2 = c.v2 * c.rho * root;
  const double weight = std::exp(-c.r * dt) / 4;  // four equally likely children, discounted
  const double eta = c.eta, X = c.X, X2 = c.X2;
  for (int32_t i = 0; i <= n; ++i) {
    drift1_[i] = c.Q1 * c.S1 * std::exp(i * mu1);
    drift2_[i] = c.Q2 * c.S2 * std::exp(i * mu2);
  }
  for (int32_t m = -n; m <= n; ++m) {
    spread1_[m + n] = std::exp(m * a1);
    spread2_[m + n] = std::exp(m * b2);
    lean_[m + n] = std::exp(m * c2);
  }
  // Q1 S1 at (i, k) and the factors of Q2 S2: asset2_[j] of its own moves, lean_ of asset 1's.
  auto asset1 = [&](int32_t i, int32_t k) { return drift1_[i] * spread1_[2 * k - i + n]; };
  auto lean = [&](int32_t i, int32_t k) { return lean_[2 * k - i + n]; };
  auto asset2 = [&](int32_t i) {
    for (int32_t j = 0; j <= i; ++j) asset2_[j] = drift2_[i] * spread2_[2 * j - i + n];
  };

  asset2(n);
  for (int32_t k = 0; k <= n; ++k) {
    double* row = &layer_[k * stride];
    const double A = asset1(n, k), B = lean(n, k);
    for (int32_t j = 0; j <= n; ++j) row[j] = PayoffAt<Payoff>(eta, A, asset2_[j] * B, X, X2);
  }

  // Back one step at a time, in place: node (k, j) of step i takes its children (k, j), (k, j+1),
  // (k+1, j), (k+1, j+1) of step i + 1. Row k is rewritten only after its pair sums are taken, and
  // row k + 1 is still untouched when row k needs it. Early exercise replaces a node's value by
  // the payoff there when that is at least as much.
  for (int32_t i = n - 1; i >= 0; --i) {
    if constexpr (American) asset2(i);
    double* __restrict current = pairs_.data();
    double* __restrict next = nextPairs_.data();
    const double* first = &layer_[0];
    for (int32_t j = 0; j <= i; ++j) current[j] = first[j] + first[j + 1];
    for (int32_t k = 0; k <= i; ++k) {
      double* __restrict row = &layer_[k * stride];
      const double* __restrict below = &layer_[(k + 1) * stride];
      if constexpr (American) {
        const double A = asset1(i, k), B = lean(i, k);
        const double* __restrict own = asset2_.data();
        for (int32_t j = 0; j <= i; ++j) {
          next[j] = below[j] + below[j + 1];
          const double held = weight * (current[j] + next[j]);
          const double exercised = PayoffAt<Payoff>(eta, A, own[j] * B, X, X2);
          row[j] = exercised >= held ? exercised : held;
        }
      } else {
        for (int32_t j = 0; j <= i; ++j) {
          next[j] = below[j] + below[j + 1];
          row[j] = weight * (current[j] + next[j]);
        }
      }
      std::swap(current, next);
    }
  }
  const double value = layer_[0];
  return value >= 0 ? value : 0;
}

}  // namespace numerical

namespace {

using namespace core;
using numerical::TwoAssetContract;
using numerical::TwoAssetLattice;

constexpr int32_t kMaxLatticeSteps = 100;
constexpr double kBump = 1e-5;

// What every lattice method binds beyond the market inputs; the market ones are asset 1's.
struct LatticeOwn {
  int32_t exercise, type;
  int32_t payoff;  // a TwoAssetPayoff; -1 for a ModelType or ExtremeType outside its members
  int32_t steps;
  double S2, X, X2, v2, q2;
  int32_t q2Type;
  double rho, Q1, Q2;
  // The rates as quoted, before normalisation: rho and psi bump the quote and convert it again.
  double rateQuote, yield1Quote, yield2Quote;
};
using LatticeInputs = Contract<LatticeOwn>;

// The lattice inputs of a public call: asset 1 is the market asset, a single strike stands for
// both, and a method without a rate, option type or strike gets the constants it stands for.
template <class A>
LatticeOwn BindLattice(const A& a, Market& m, int32_t payoff) {
  m.S = a.AssetPrice1;
  m.v = a.Volatility1;
  m.q = a.YieldRate1;
  m.yieldType = a.YieldRate1Type;
  LatticeOwn own{};
  own.exercise = a.ExerciseType;
  own.type = CallOption;
  own.X = own.X2 = 1;
  if constexpr (requires { a.OptionType; }) own.type = a.OptionType;
  if constexpr (requires { a.StrikePrice; }) own.X = own.X2 = a.StrikePrice;
  if constexpr (requires { a.StrikePrice1; }) own.X = a.StrikePrice1, own.X2 = a.StrikePrice2;
  if constexpr (requires { a.InterestRate; }) {
    m.r = a.InterestRate;
  } else {
    m.r = 0.05, m.rateType = Continuous;
  }
  own.payoff = payoff;
  own.steps = a.Iterations;
  own.S2 = a.AssetPrice2;
  own.v2 = a.Volatility2;
  own.q2 = a.YieldRate2;
  own.q2Type = a.YieldRate2Type;
  own.rho = a.Correlation;
  own.Q1 = a.QtyAsset1;
  own.Q2 = a.QtyAsset2;
  own.rateQuote = m.r;
  own.yield1Quote = a.YieldRate1;
  own.yield2Quote = a.YieldRate2;
  return own;
}

// A market or own input, as an input of the lattice models.
constexpr double LatticeInputs::*Field(double LatticeInputs::*field) {
  return field;
}

TwoAssetContract ContractOf(const LatticeInputs& in) {
  return {.payoff = in.payoff,
          .american = in.exercise == American,
          .eta = in.type == CallOption  ? 1.0
                 : in.type == PutOption ? -1.0
                                        : 0.0,
          .S1 = in.S,
          .S2 = in.S2,
          .X = in.X,
          .X2 = in.X2,
          .Q1 = in.Q1,
          .Q2 = in.Q2,
          .T = in.T,
          .v1 = in.v,
          .v2 = in.v2,
          .r = in.r,
          .q1 = in.q,
          .q2 = in.q2,
          .rho = in.rho,
          // Calls that skip validation are held to the limit too: a lattice stays small.
          .steps = std::clamp(in.steps, 1, kMaxLatticeSteps)};
}

// The search's working steps: whole lattices, the first few coarse.
constexpr int32_t kCoarseSteps = 25;
constexpr double kSearchTolerance = 1e-5;
// A search whose error keeps shrinking too slowly to meet the tolerance ends here.
constexpr int kSearchIterations = 100;

struct LatticeModel {
  using Own = LatticeOwn;
  using Inputs = LatticeInputs;
  static constexpr Slots<Inputs> kSlots{
      .exerciseType = &Inputs::exercise,
      .optionType = &Inputs::type,
      .strikePrice = &Inputs::X,
      .yieldRate2 = &Inputs::q2,
      .assetPrice2 = &Inputs::S2,
      .strikePrice2 = &Inputs::X2,
      .volatility2 = &Inputs::v2,
      .correlation = &Inputs::rho,
      .quantity1 = &Inputs::Q1,
      .quantity2 = &Inputs::Q2,
      .latticeIterations = &Inputs::steps,
      .yieldRate2Type = &Inputs::q2Type,
  };
  static constexpr uint8_t kModelCode = kLattice;

  // After the ModelType or ExtremeType check of the method, which comes first.
  static void LatticeChecks(const Inputs& in, int32_t* err) {
    if (in.steps > kMaxLatticeSteps) {
      Fail<IterationsMaxErr>(
          err,
          "The number of iterations for the Numerical Models must be less than or equal to 100.");
    }
    // The strikes may be 0 or negative, but they must be numbers.
    if (!std::isfinite(in.X)) Fail<StrikePriceErr>(err, "StrikePrice must be a finite number.");
    if (!std::isfinite(in.X2)) Fail<StrikePriceErr>(err, "StrikePrice2 must be a finite number.");
  }

  static double Value(const Inputs& in) {
    TwoAssetLattice lattice;
    return lattice.Value(ContractOf(in));
  }

  static double Converted(double quote, int32_t type, const Inputs& in, int32_t* err,
                          RateKind kind) {
    ConvertRate(quote, in.T, type, in.timeFormat, err, kind);
    return quote;
  }

  // Every sensitivity from whole lattices with one input moved: (V(p + h) - V(p)) / h.
  static std::optional<double> OwnSensitivity(int32_t code, const Inputs& in, int32_t* err) {
    TwoAssetLattice lattice;
    auto at = [&](auto&& change) {
      Inputs moved = in;
      change(moved);
      return lattice.Value(ContractOf(moved));
    };
    const double value = lattice.Value(ContractOf(in));
    auto forward = [&](auto&& change) { return (at(change) - value) / kBump; };
    switch (code) {
      case result::Theta:
        return FiniteDifference(result::Theta, value, 0, at([](Inputs& m) { m.T += kBump; }), 1,
                                kBump);
      case result::Rho:
        return forward([&](Inputs& m) {
          m.r = Converted(in.rateQuote + kBump, in.rateType, in, err, RateKind::Interest);
        });
      case result::Psi1:
        return forward([&](Inputs& m) {
          m.q = Converted(in.yield1Quote + kBump, in.yieldType, in, err, RateKind::Yield);
        });
      case result::Psi2:
        return forward([&](Inputs& m) {
          m.q2 = Converted(in.yield2Quote + kBump, in.q2Type, in, err, RateKind::Yield);
        });
      case result::StrikeSensitivity:
      case result::StrikeSensitivity1:
        return forward([](Inputs& m) { m.X += kBump; });
      case result::StrikeSensitivity2:
        return forward([](Inputs& m) { m.X2 += kBump; });
      case result::Delta1:
      case result::Lambda1:
        return forward([](Inputs& m) { m.S += kBump; });
      case result::Delta2:
      case result::Lambda2:
        return forward([](Inputs& m) { m.S2 += kBump; });
      case result::Vega1:
        return forward([](Inputs& m) { m.v += kBump; });
      case result::Vega2:
        return forward([](Inputs& m) { m.v2 += kBump; });
      case result::Gamma1:
      case result::Gamma2: {
        double Inputs::*const price =
            code == result::Gamma1 ? Field(&Inputs::S) : Field(&Inputs::S2);
        const double h = 0.1 * in.*price;
        const double up = at([&](Inputs& m) { m.*price += h; });
        const double down = at([&](Inputs& m) { m.*price -= h; });
        return ((up - value) / h - (value - down) / h) / h;
      }
      case result::Chi:
        // A correlation within the step of 1 has no room above: difference backwards.
        if (in.rho + kBump > 1) return (value - at([](Inputs& m) { m.rho -= kBump; })) / kBump;
        return forward([](Inputs& m) { m.rho += kBump; });
      default:
        return std::nullopt;
    }
  }

  // False position over whole lattices: coarse lattices for the first estimate, then full ones.
  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    const double M = in.marketPrice;
    if (!(M > 0)) return 0;
    double Inputs::*field = nullptr;
    double a = 0, b = 0, low = 0, high = 0;
    const ResultKind kind = KindOf(code);
    const bool correlation = kind.moved == Moved::Correlation;
    const bool volatility = kind.moved == Moved::Volatility;
    if (volatility) {
      field = kind.pair == 0 ? Field(&Inputs::v) : Field(&Inputs::v2);
      const double v = in.*field;
      a = v >= 1 || v < 0.01 ? 0.01 : v - 0.01;
      b = v >= 1 || v < 0.01 ? 1 : v + 0.01;
      low = 0, high = 10000;
    } else if (correlation) {
      field = &Inputs::rho;
      const bool nearOne = in.rho <= -0.99 || in.rho >= 0.99;
      a = nearOne ? 0 : in.rho + 0.01;
      b = nearOne ? 0.5 : in.rho - 0.01;
      low = -1, high = 1;
    } else if (kind.pair == 0) {
      field = &Inputs::X;
      const double S1 = in.S, S2 = in.S2;
      if (in.payoff == numerical::kPortfolio) {
        a = S1 + S2 - 0.01, b = S1 + S2 + 0.01;
      } else if (in.payoff == numerical::kSpread) {
        a = S1 - S2 - 0.01, b = S1 - S2 + 0.01;
      } else {
        a = S1 - M, b = S1 + M;
      }
      if (!(a > 0)) a = in.X;
      low = -1e12, high = 1e12;
    } else {
      field = &Inputs::X2;
      a = in.S2 - M, b = in.S2 + M;
      if (!(a > 0)) a = in.X2;
      low = -1e12, high = 1e12;
    }

    auto noSolution = [&]() -> double {
      if (correlation) {
        Fail<ImpliedCorrErr>(err, "There is NO solution for the Implied Correlation.");
      }
      return 0;
    };
    auto inRange = [&](double x) { return x >= low && x <= high; };  // false for NaN

    TwoAssetLattice lattice;
    const int32_t steps = ContractOf(in).steps, coarse = std::min(steps, kCoarseSteps);
    struct End {
      double x, value;
      bool full;  // valued on the full lattice
    };
    auto valued = [&](double x, int32_t n) {
      Inputs moved = in;
      moved.*field = x;
      moved.steps = n;
      return End{x, lattice.Value(ContractOf(moved)), n == steps};
    };
    End lo = valued(a, coarse), hi = valued(b, coarse);
    // `hi` is the end with the larger value.
    auto order = [&] {
      if (lo.value > hi.value) std::swap(lo, hi);
    };
    // The next estimate; none from a flat bracket.
    auto estimate = [&](double& x) {
      const double spread = hi.value - lo.value;
      if (spread == 0) return false;
      x = lo.x + (M - lo.value) * (hi.x - lo.x) / spread;
      return true;
    };
    order();
    double x = 0;
    if (!estimate(x) || !inRange(x)) return noSolution();
    End guess = valued(x, coarse);
    double error = std::fabs(M - guess.value);
    if (error <= kSearchTolerance) return x > 0 ? x : 0;

    for (int iteration = 1; error > kSearchTolerance; ++iteration) {
      if (iteration > kSearchIterations) return noSolution();
      (M <= guess.value ? hi : lo) = guess;
      if (!lo.full) lo = valued(lo.x, steps);
      if (!hi.full) hi = valued(hi.x, steps);
      order();
      if (!estimate(x) || !inRange(x)) return noSolution();
      guess = valued(x, steps);
      const double next = std::fabs(M - guess.value);
      if (next > error && iteration > 5) return noSolution();  // diverging
      error = next;
    }
    // Strikes and correlations may be negative; a volatility may not.
    return !volatility || x > 0 ? x : 0;
  }
};

struct SpreadBinModel : LatticeModel {
  using Arguments = SpreadBinArguments;
  static Own Bind(const Arguments& a, Market& m) { return BindLattice(a, m, numerical::kSpread); }
  static constexpr Moves<Inputs> kMoves{
      .asset = {&Inputs::S, &Inputs::S2},
      .vol = {&Inputs::v, &Inputs::v2},
      .yield = {{{&Inputs::q, &Inputs::yieldType}, {&Inputs::q2, &Inputs::q2Type}}},
      .strike = {&Inputs::X},
      .correlation = &Inputs::rho};
  static void OwnChecks(Inputs& in, int32_t* err) { LatticeChecks(in, err); }
};

struct RainbowBinModel : LatticeModel {
  using Arguments = RainbowBinArguments;
  static Own Bind(const Arguments& a, Market& m) {
    const int32_t payoff = a.ExtremeType == MaxAsset   ? numerical::kRainbowMax
                           : a.ExtremeType == MinAsset ? numerical::kRainbowMin
                                                       : -1;
    return BindLattice(a, m, payoff);
  }
  static constexpr Moves<Inputs> kMoves = SpreadBinModel::kMoves;
  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.payoff < 0) Fail<ExtremeTypeErr>(err, "The ExtremeType is invalid.");
    LatticeChecks(in, err);
  }
};

struct DualStrikeBinModel : LatticeModel {
  using Arguments = DualStrikeBinArguments;
  static Own Bind(const Arguments& a, Market& m) {
    const int32_t payoff = a.ModelType == Standard  ? numerical::kDualStrike
                           : a.ModelType == Reverse ? numerical::kDualStrikeReverse
                                                    : -1;
    return BindLattice(a, m, payoff);
  }
  static constexpr Moves<Inputs> kMoves{
      .asset = {&Inputs::S, &Inputs::S2},
      .vol = {&Inputs::v, &Inputs::v2},
      .yield = {{{&Inputs::q, &Inputs::yieldType}, {&Inputs::q2, &Inputs::q2Type}}},
      .strike = {&Inputs::X, &Inputs::X2},
      .correlation = &Inputs::rho};
  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.payoff < 0) Fail<ModelTypeErr>(err, "The ModelType is invalid.");
    LatticeChecks(in, err);
  }
};

// One strike only: the second strike's functions are not served.
struct PortfolioBinModel : LatticeModel {
  using Arguments = PortfolioBinArguments;
  static Own Bind(const Arguments& a, Market& m) {
    return BindLattice(a, m, numerical::kPortfolio);
  }
  static constexpr Moves<Inputs> kMoves = SpreadBinModel::kMoves;
  static void OwnChecks(Inputs& in, int32_t* err) { LatticeChecks(in, err); }
};

// No strike and no rate of its own: a call struck at 1 with the rate at 5%, which the payoff
// ignores.
struct ExchangeBinModel : LatticeModel {
  using Arguments = ExchangeBinArguments;
  static Own Bind(const Arguments& a, Market& m) { return BindLattice(a, m, numerical::kExchange); }
  static constexpr Moves<Inputs> kMoves{
      .asset = {&Inputs::S, &Inputs::S2},
      .vol = {&Inputs::v, &Inputs::v2},
      .rate = {},
      .yield = {{{&Inputs::q, &Inputs::yieldType}, {&Inputs::q2, &Inputs::q2Type}}},
      .correlation = &Inputs::rho};
  static void OwnChecks(Inputs& in, int32_t* err) { LatticeChecks(in, err); }
};

}  // namespace

QUANTREL_ENTRY(SpreadBinModel)
QUANTREL_ENTRY(RainbowBinModel)
QUANTREL_ENTRY(DualStrikeBinModel)
QUANTREL_ENTRY(PortfolioBinModel)
QUANTREL_ENTRY(ExchangeBinModel)

}  // namespace quantrel
