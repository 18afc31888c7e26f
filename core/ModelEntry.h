// The one entry skeleton every model runs in: own checks, common normalisation, dispatch on the
// requested result, post-processing. A model unit states only what is its own, as a traits type:
//
//   struct MyModel {
//     struct Inputs { ... };                         // the entry's inputs, normalised in place
//     static constexpr uint64_t kServed = Codes({1, 2, ...});
//     static constexpr Moves<Inputs> kMoves{...};    // what each sensitivity bumps
//     static constexpr uint8_t kModelCode = kClosedForm;   // optional
//     static void OwnChecks(Inputs&, int32_t* err);  // optional: checks and silent adjustments
//     template <class Bind> static void Slots(Bind& bind, Inputs& in);  // common slots it fills
//     static double Value(const Inputs&);            // the kernel: pure, floored where it says
//     static double Implied(int32_t code, const Inputs&, int32_t* err);  // optional searches
//     static Levels ReferenceLevels(const Inputs&, int32_t code);        // optional
//     // optional: a model that computes some sensitivity its own way returns it here (before
//     // the 0.01 scaling and lambda), or std::nullopt to take the generic bumps
//     static std::optional<double> OwnSensitivity(int32_t code, const Inputs&, int32_t* err);
//   };
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "core/ExoticMaintenance.h"
#include "core/Failure.h"
#include "core/MathGuard.h"
#include "core/OptionStatistics.h"

namespace quantrel::core {

// A set of OptionFunction codes (1 to 40) as a bit mask.
constexpr uint64_t Codes(std::initializer_list<int> codes) {
  uint64_t mask = 0;
  for (int c : codes) mask |= uint64_t{1} << c;
  return mask;
}
constexpr bool Serves(uint64_t mask, int32_t code) {
  return code >= 0 && code < 64 && ((mask >> code) & 1u);
}

// A quoted rate the model takes, with its convention. Rho and Psi bump the quote and convert
// each bumped value again, so the skeleton keeps the quote aside before normalisation.
template <class In>
struct RateInput {
  double In::*value = nullptr;
  int32_t In::*type = nullptr;
};

// Which inputs each sensitivity moves. Index 0 serves the single-asset codes and the first of a
// pair (Delta and Delta1, Rho and RhoDomestic, StrikeSensitivity and the first strike), index 1
// the second of a pair.
template <class In>
struct Moves {
  std::array<double In::*, 2> asset{};   // Delta, Gamma, Lambda
  std::array<double In::*, 3> times{};   // Theta moves all of these together
  std::array<double In::*, 2> vol{};     // Vega
  std::array<RateInput<In>, 2> rate{};   // Rho; RhoDomestic, RhoForeign
  std::array<RateInput<In>, 2> yield{};  // Psi; Psi1, Psi2
  std::array<double In::*, 2> strike{};  // strike sensitivities
  double In::*correlation = nullptr;     // Chi
  double In::*expiry = nullptr;          // TimeExpire, in years once normalised
  // Theta may not lower the first time to or past this one (an intermediate date that must stay
  // before it): close to it the difference runs forward. A time at or below 0 sets no limit.
  double In::*thetaFloor = nullptr;
};

struct Levels {
  double L1 = -1, L2 = -2, L3 = -3;
};

namespace detail {

// Copies a model's inputs into the common slots, or the normalised values back.
template <class In>
struct ToCommon {
  CommonInputs& common;
  void operator()(double CommonInputs::*slot, const double& field) { common.*slot = field; }
  void operator()(int32_t CommonInputs::*slot, const int32_t& field) { common.*slot = field; }
};
template <class In>
struct FromCommon {
  const CommonInputs& common;
  void operator()(double CommonInputs::*slot, double& field) { field = common.*slot; }
  void operator()(int32_t CommonInputs::*, const int32_t&) {}
};

// Quoted rates, kept before normalisation.
struct Quotes {
  std::array<double, 2> rate{}, yield{};
};

template <class In>
Quotes KeepQuotes(const Moves<In>& moves, const In& in) {
  Quotes q;
  for (int i = 0; i < 2; ++i) {
    if (moves.rate[i].value) q.rate[i] = in.*moves.rate[i].value;
    if (moves.yield[i].value) q.yield[i] = in.*moves.yield[i].value;
  }
  return q;
}

// The input(s) a sensitivity code moves: plain inputs, or a quoted rate to be re-converted.
template <class In>
struct Target {
  std::array<double In::*, 3> fields{};
  const RateInput<In>* rate = nullptr;
  RateKind kind = RateKind::Interest;
  double quote = 0;
};

template <class In>
bool FindTarget(const Moves<In>& m, const Quotes& q, int32_t code, Target<In>& t) {
  switch (code) {
    case 2:
    case 3:
    case 9:
    case 20:
    case 22:
    case 32:
      t.fields[0] = m.asset[0];
      break;
    case 21:
    case 23:
    case 33:
      t.fields[0] = m.asset[1];
      break;
    case 4:
      t.fields = m.times;
      break;
    case 6:
    case 26:
      t.fields[0] = m.vol[0];
      break;
    case 27:
      t.fields[0] = m.vol[1];
      break;
    case 11:
    case 34:
      t.fields[0] = m.strike[0];
      break;
    case 36:
      t.fields[0] = m.strike[1];
      break;
    case 38:
      t.fields[0] = m.correlation;
      break;
    case 7:
    case 28:
      t.rate = &m.rate[0];
      t.quote = q.rate[0];
      break;
    case 29:
      t.rate = &m.rate[1];
      t.quote = q.rate[1];
      break;
    case 8:
    case 30:
      t.rate = &m.yield[0];
      t.quote = q.yield[0];
      t.kind = RateKind::Yield;
      break;
    case 31:
      t.rate = &m.yield[1];
      t.quote = q.yield[1];
      t.kind = RateKind::Yield;
      break;
    default:
      return false;
  }
  return t.rate ? t.rate->value != nullptr : t.fields[0] != nullptr;
}

constexpr bool IsPassThrough(int32_t code) {
  return code == 1 || code == 5 || code == 13 || code == 24 || code == 25 || code == 35 ||
         code == 37 || code == 40;
}
constexpr bool IsScaledByOnePercent(int32_t code) {
  return code == 6 || code == 7 || code == 8 || (code >= 26 && code <= 31);
}
constexpr bool IsLambda(int32_t code) {
  return code == 9 || code == 32 || code == 33;
}

template <class Model>
Levels LevelsFor(const typename Model::Inputs& in, int32_t code) {
  if constexpr (requires { Model::ReferenceLevels(in, code); }) {
    return Model::ReferenceLevels(in, code);
  } else {
    return {};
  }
}

// A sensitivity: the kernel at the bumped inputs, differenced.
template <class Model>
double Sensitivity(const typename Model::Inputs& in, int32_t code,
                   const Target<typename Model::Inputs>& t, int32_t* err) {
  using In = typename Model::Inputs;
  std::array<double, 3> x{};
  if (t.rate) {
    x[0] = t.quote;
  } else {
    for (int i = 0; i < 3; ++i) x[i] = t.fields[i] ? in.*t.fields[i] : 0;
  }
  const Levels L = LevelsFor<Model>(in, code);
  double floor = 0;
  if constexpr (Model::kMoves.thetaFloor != nullptr) {
    if (code == 4 && in.*Model::kMoves.thetaFloor > 0) floor = in.*Model::kMoves.thetaFloor;
  }
  const Bumps b = SetUpBumps(code, x[0], x[1], x[2], L.L1, L.L2, L.L3, floor);

  auto at = [&](double BumpedInput::*which) {
    In moved = in;
    if (t.rate) {
      double rate = b.x[0].*which;
      static_assert(Model::kMoves.expiry != nullptr, "Rho and Psi need the model's expiry");
      const double T = in.*Model::kMoves.expiry;
      ConvertRate(rate, T, in.*(t.rate->type), in.timeFormat, err, t.kind);
      moved.*(t.rate->value) = rate;
    } else {
      for (int i = 0; i < 3; ++i) {
        if (t.fields[i]) moved.*t.fields[i] = b.x[i].*which;  // unmoved ones keep their value
      }
    }
    return Model::Value(moved);
  };
  const double fDown = at(&BumpedInput::down);
  const double fMid = IsGammaCode(code) ? at(&BumpedInput::mid) : 0;
  const double fUp = at(&BumpedInput::up);
  return FiniteDifference(code, fDown, fMid, fUp, b.divisor, b.step);
}

template <class Model>
constexpr bool kHasSearch = requires(const typename Model::Inputs& in, int32_t* err) {
  Model::Implied(int32_t{}, in, err);
};

template <class Model>
double Dispatch(const typename Model::Inputs& in, int32_t code,
                const Target<typename Model::Inputs>& target, int32_t* err, bool raw) {
  if (code == 1) return Model::Value(in);
  if constexpr (kHasSearch<Model>) {
    if (IsPassThrough(code)) return Model::Implied(code, in, err);
  }
  double result;
  if constexpr (requires { Model::OwnSensitivity(code, in, err); }) {
    const std::optional<double> own = Model::OwnSensitivity(code, in, err);
    result = own ? *own : Sensitivity<Model>(in, code, target, err);
  } else {
    result = Sensitivity<Model>(in, code, target, err);
  }
  if (IsScaledByOnePercent(code) && !raw) result *= 0.01;
  if (IsLambda(code)) {
    const double value = Model::Value(in);
    const double price = in.*(code == 33 ? Model::kMoves.asset[1] : Model::kMoves.asset[0]);
    result = value > 0 ? result * price / value : 0;
  }
  return result;
}

}  // namespace detail

// The model entry. Inputs arrive as the caller gave them; with `skipValidation` they are taken
// as already normalised (the implied-value searches re-enter this way).
template <class Model>
double RunEntry(typename Model::Inputs in, int32_t optionFunction, int32_t* errorCode,
                bool rawSensitivities, bool skipValidation) {
  using In = typename Model::Inputs;
  int32_t localSlot = None;
  int32_t* err = errorCode ? errorCode : &localSlot;
  const detail::Quotes quotes = detail::KeepQuotes(Model::kMoves, in);

  if (!skipValidation) {
    if constexpr (requires { Model::OwnChecks(in, err); }) Model::OwnChecks(in, err);
    CommonInputs common;
    if constexpr (requires { Model::kModelCode; }) common.modelCode = Model::kModelCode;
    common.optionFunction = optionFunction;
    detail::ToCommon<In> to{common};
    Model::Slots(to, in);
    NormaliseInputs(common, err);
    detail::FromCommon<In> from{common};
    Model::Slots(from, in);
  }

  // A code is served when the model lists it and has what it needs: a search for an implied
  // value, an input to move for a sensitivity.
  detail::Target<In> target;
  bool served = Serves(Model::kServed, optionFunction);
  if (served && optionFunction != 1) {
    served = detail::IsPassThrough(optionFunction)
                 ? detail::kHasSearch<Model>
                 : detail::FindTarget(Model::kMoves, quotes, optionFunction, target);
  }
  if (!served) Fail(err, OptionFunctionErr, "The OptionFunction is invalid.");

  return RunGuarded(
      [&] { return detail::Dispatch<Model>(in, optionFunction, target, err, rawSensitivities); });
}

}  // namespace quantrel::core
