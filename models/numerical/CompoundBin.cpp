// Compound option on a binomial tree: an option struck at StrikeOption on a call or put struck at
// StrikeUnderly, both expiring at TimeExpire, European or American. Both options live on one
// recombining tree (Cox, Ross and Rubinstein); delta, gamma and theta are read off its first two
// steps, the other sensitivities revalue it with one input moved.
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

constexpr int32_t kMaxTreeSteps = 500;
constexpr double kBump = 1e-5;

// The root and the nodes of the first two steps: u up, d down.
struct TreeValues {
  double C0, Cu, Cd, Cuu, Cud, Cdd;
  double u, d, dt;
};

struct CompoundBinModel {
  using Arguments = CompoundBinArguments;
  struct Own {
    int32_t exercise, type;  // enumOptionTypeC: compound side first, underlying second
    double Xo, Xu;           // StrikeOption, StrikeUnderly
    int32_t steps;
    // The rates as quoted, before normalisation: rho and psi bump the quote and convert it again.
    double rateQuote, yieldQuote;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market& m) {
    return {.exercise = a.ExerciseType,
            .type = a.OptionType,
            .Xo = a.StrikeOption,
            .Xu = a.StrikeUnderly,
            .steps = a.Iterations,
            .rateQuote = m.r,
            .yieldQuote = m.q};
  }
  // The option type is not a call/put code: the common check sees a call.
  static constexpr Slots<Inputs> kSlots{.exerciseType = &Inputs::exercise,
                                        .strikePrice = &Inputs::Xu,
                                        .latticeIterations = &Inputs::steps};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::Xu, &Inputs::Xo}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.type < Call_Call || in.type > Put_Put) {
      Fail<OptionTypeErr>(err, "The OptionType is invalid.");
    }
    if (!(in.Xu > 0)) Fail<StrikeUnderlyErr>(err, "StrikeUnderly must be greater than 0.");
    if (!(in.Xo > 0)) Fail<StrikeOptionErr>(err, "StrikeOption must be greater than 0.");
  }

  // Two arrays of node values (underlying option U, compound option C) rolled back in place from
  // expiry; node j of step k (j down-moves) has the price S u^(k - 2j).
  static TreeValues Tree(const Inputs& in) {
    const bool compoundCall = in.type == Call_Call || in.type == Call_Put;
    const bool underlyingCall = in.type == Call_Call || in.type == Put_Call;
    const double etaO = compoundCall ? 1 : -1, etaU = underlyingCall ? 1 : -1;
    // Calls that skip validation are held to the limits too: the tree stays small, and it needs
    // two steps for its sensitivities.
    const int32_t n = std::clamp(in.steps, 2, kMaxTreeSteps);
    const double dt = in.T / n, step = in.v * std::sqrt(dt);
    const double u = std::exp(step), d = 1 / u;
    const double disc = std::exp(-in.r * dt);
    const double p = (std::exp(-in.q * dt) / disc - d) / (u - d);
    const bool american = in.exercise == American;

    std::vector<double> price(2 * static_cast<size_t>(n) + 1), U(n + 1), C(n + 1);
    for (int32_t m = -n; m <= n; ++m) price[m + n] = in.S * std::exp(m * step);
    for (int32_t j = 0; j <= n; ++j) {
      U[j] = std::max(etaU * (price[n - 2 * j + n] - in.Xu), 0.0);
      C[j] = std::max(etaO * (U[j] - in.Xo), 0.0);
    }
    TreeValues t{};
    t.u = u, t.d = d, t.dt = dt;
    for (int32_t k = n - 1; k >= 0; --k) {
      for (int32_t j = 0; j <= k; ++j) {
        U[j] = disc * (p * U[j] + (1 - p) * U[j + 1]);
        C[j] = disc * (p * C[j] + (1 - p) * C[j + 1]);
        if (american) {
          const double exercisedU = etaU * (price[k - 2 * j + n] - in.Xu);
          if (exercisedU >= U[j]) U[j] = exercisedU;
          const double exercisedC = etaO * (U[j] - in.Xo);
          if (exercisedC >= C[j]) C[j] = exercisedC;
        }
      }
      // The down-down node is read off the tree itself: worked back from Cd it would miss an
      // early exercise there and divide by 1 - p.
      if (k == 2) t.Cuu = C[0], t.Cud = C[1], t.Cdd = C[2];
      if (k == 1) t.Cu = C[0], t.Cd = C[1];
    }
    t.C0 = C[0];
    return t;
  }

  static bool ValidType(const Inputs& in) { return in.type >= Call_Call && in.type <= Put_Put; }

  static double Value(const Inputs& in) {
    if (!ValidType(in)) return 0;
    const double value = Tree(in).C0;
    return value >= 0 ? value : 0;
  }

  static double Converted(double quote, int32_t type, const Inputs& in, int32_t* err,
                          RateKind kind) {
    ConvertRate(quote, in.T, type, in.timeFormat, err, kind);
    return quote;
  }

  static std::optional<double> OwnSensitivity(int32_t code, const Inputs& in, int32_t* err) {
    if (!ValidType(in)) return 0.0;
    const TreeValues t = Tree(in);
    const double S = in.S, u = t.u, d = t.d;
    auto revalued = [&](auto&& change) {
      Inputs moved = in;
      change(moved);
      return (Tree(moved).C0 - t.C0) / kBump;
    };
    switch (code) {
      case result::Delta:
      case result::Lambda:
        return (t.Cu - t.Cd) / ((u - d) * S);
      case result::Gamma:
        return ((t.Cuu - t.Cud) / (S * (u * u - u * d)) - (t.Cud - t.Cdd) / (S * (u * d - d * d))) *
               2 / (S * (u * u - d * d));
      case result::Theta:
        return (t.Cud - t.C0) / (2 * t.dt) / 365;
      case result::Vega:
        return revalued([](Inputs& m) { m.v += kBump; });
      case result::Rho:
        return revalued([&](Inputs& m) {
          m.r = Converted(in.rateQuote + kBump, in.rateType, in, err, RateKind::Interest);
        });
      case result::Psi:
        return revalued([&](Inputs& m) {
          m.q = Converted(in.yieldQuote + kBump, in.yieldType, in, err, RateKind::Yield);
        });
      case result::StrikeSensitivity1:
        return revalued([](Inputs& m) { m.Xu += kBump; });
      case result::StrikeSensitivity2:
        return revalued([](Inputs& m) { m.Xo += kBump; });
      default:
        return std::nullopt;
    }
  }

  // False position on the tree value. Its ends are re-priced at every step; a tree is a pure
  // function of its inputs, so the last few prices are kept rather than built again.
  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    FalsePositionEnds ends{1.0, 0.01};
    if (code == result::ImpliedStrike1) {
      const double up = in.Xu + 0.1, down = in.Xu - 0.1;
      ends = {up > 0 ? up : in.Xu, down > 0 ? down : in.Xu};
    } else if (code == result::ImpliedStrike2) {
      ends = in.type == Call_Call || in.type == Call_Put
                 ? FalsePositionEnds{0.2, 0.1}
                 : FalsePositionEnds{in.Xo - 0.1, in.Xo + 0.1};
      if (!(ends.first > 0)) ends.first = in.Xo;
      if (!(ends.second > 0)) ends.second = in.Xo;
    }
    double Inputs::*field = SoughtInput<CompoundBinModel>(code);
    std::pair<double, double> known[3] = {};
    int filled = 0, next = 0;
    auto price = [&](double x) {
      for (int i = 0; i < filled; ++i) {
        if (known[i].first == x) return known[i].second;
      }
      Inputs moved = in;
      moved.*field = x;
      const double value = Value(moved);
      known[next] = {x, value};
      next = (next + 1) % 3;
      filled = std::min(filled + 1, 3);
      return value;
    };
    return FalsePositionSearch(price, SoughtKind(code), in.marketPrice, ends);
  }
};

}  // namespace

QUANTREL_ENTRY(CompoundBinModel)

}  // namespace quantrel
