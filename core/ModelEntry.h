// The one entry skeleton every model runs in: own checks, common normalisation, dispatch on the
// requested result, post-processing. The market inputs most methods share (Market) are bound to
// the common slots and given their standard moves here, so a model unit states only what is its
// own, as a traits type:
//
//   struct MyModel {
//     using Arguments = MyMethodArguments;     // the public method it serves (core/Arguments.h)
//     struct Own { ... };                      // its own inputs; Market holds the common ones
//     using Inputs = Contract<Own>;
//     static Own Bind(const auto& a, Market&); // its own inputs from the public ones, by name
//     static constexpr Slots<Inputs> kSlots{...};   // optional: common slots its inputs fill
//     static constexpr Moves<Inputs> kMoves{...};   // optional: what its sensitivities move
//     static constexpr uint8_t kModelCode = kClosedForm;   // optional
//     // optional: the enumeration whose codes it serves, where the method's own declares others
//     static constexpr std::string_view kFunctions = "enumOptionFncs..";
//     static void OwnChecks(Inputs&, int32_t* err);  // optional: checks and silent adjustments
//     // optional: what is done after the normalisation whether or not validation was skipped
//     // (a barrier shifted for its monitoring); it must leave prepared inputs as they are,
//     // since the Newton search re-enters with them
//     static void Prepare(Inputs&, int32_t* err);
//     static double Value(const Inputs&);            // the kernel: pure, floored where it says
//     static double Implied(int32_t code, const Inputs&, int32_t* err);  // optional searches
//     static Levels ReferenceLevels(const Inputs&, int32_t code);        // optional
//     // optional: a sensitivity computed the model's own way (before the 0.01 scaling and
//     // lambda), or std::nullopt to take the generic bumps
//     static std::optional<double> OwnSensitivity(int32_t code, const Inputs&, int32_t* err);
//   };
//   QUANTREL_ENTRY(MyModel)   // at namespace quantrel, after the model
//
// A result code is served when the method's OptionFunction enumeration lists it and the model has
// what it needs: an input to move for a sensitivity, a search and its sought input for an implied
// value.
//
// A two-asset model takes `TwoAssetContract<Own>` as its inputs: the second asset's price,
// volatility, rate, yield and the correlation (SecondAsset) are then bound by name, filled into
// their common slots and moved by the pair codes (Delta2, Vega2, RhoForeign, Psi2, Chi, ...) like
// the market inputs, so the model states only what is its own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <type_traits>

#include "core/Arguments.h"
#include "core/ExoticMaintenance.h"
#include "core/Failure.h"
#include "core/MathGuard.h"
#include "core/OptionStatistics.h"
#include "core/Published.h"
#include "core/ResultCodes.h"

namespace quantrel::core {

// The market inputs most methods share. The defaults are the neutral fillers of the common slots,
// which stand for an input a method does not have.
struct Market {
  double S = 1;            // AssetPrice
  double T = 1;            // TimeExpire: the time the rates are converted over
  double v = 1;            // Volatility
  double r = 1;            // InterestRate
  double q = 1;            // YieldRate
  double marketPrice = 1;  // MarketPrice
  int32_t timeFormat = 1;
  int32_t rateType = 0, yieldType = 0;  // Continuous
};

// A model's inputs: the market ones and its own.
template <class Own>
struct Contract : Market, Own {};

// What a two-asset or currency method adds to the market inputs: the second asset (or the
// exchange rate's volatility), the second interest rate (the foreign one) and the correlation.
// The defaults are the common slots' neutral fillers.
struct SecondAsset {
  double S2 = 1;                          // AssetPrice2
  double v2 = 1;                          // Volatility2, VolExch
  double r2 = 1;                          // IntRateFor
  double q2 = 1;                          // YieldRate2
  double rho = 1;                         // Correlation
  int32_t rate2Type = 0, yield2Type = 0;  // Continuous
};

template <class Own>
struct TwoAssetContract : Market, SecondAsset, Own {};

template <class In>
inline constexpr bool kTwoAssets = std::is_base_of_v<SecondAsset, In>;

// The market inputs of a public call, by name; what the method lacks keeps its filler.
template <class A>
Market MarketInputs(const A& a) {
  Market m;
  if constexpr (requires { a.AssetPrice; }) m.S = a.AssetPrice;
  if constexpr (requires { a.TimeExpire; }) m.T = a.TimeExpire;
  if constexpr (requires { a.Volatility; }) m.v = a.Volatility;
  if constexpr (requires { a.InterestRate; }) m.r = a.InterestRate;
  if constexpr (requires { a.YieldRate; }) m.q = a.YieldRate;
  if constexpr (requires { a.MarketPrice; }) m.marketPrice = a.MarketPrice;
  if constexpr (requires { a.TimeFormat; }) m.timeFormat = a.TimeFormat;
  if constexpr (requires { a.InterestRateType; }) m.rateType = a.InterestRateType;
  if constexpr (requires { a.YieldRateType; }) m.yieldType = a.YieldRateType;
  // The first asset of a two-asset method, the asset of a currency method, the domestic rate.
  if constexpr (requires { a.AssetPrice1; }) m.S = a.AssetPrice1;
  if constexpr (requires { a.Volatility1; }) m.v = a.Volatility1;
  if constexpr (requires { a.VolAsset; }) m.v = a.VolAsset;
  if constexpr (requires { a.YieldRate1; }) m.q = a.YieldRate1;
  if constexpr (requires { a.YieldRate1Type; }) m.yieldType = a.YieldRate1Type;
  if constexpr (requires { a.IntRateDom; }) m.r = a.IntRateDom;
  if constexpr (requires { a.IntRateDomType; }) m.rateType = a.IntRateDomType;
  return m;
}

// The second asset's inputs of a public call, by name; what the method lacks keeps its filler.
template <class A>
SecondAsset SecondAssetInputs(const A& a) {
  SecondAsset s;
  if constexpr (requires { a.AssetPrice2; }) s.S2 = a.AssetPrice2;
  if constexpr (requires { a.Volatility2; }) s.v2 = a.Volatility2;
  if constexpr (requires { a.VolExch; }) s.v2 = a.VolExch;
  if constexpr (requires { a.IntRateFor; }) s.r2 = a.IntRateFor;
  if constexpr (requires { a.IntRateForType; }) s.rate2Type = a.IntRateForType;
  if constexpr (requires { a.YieldRate2; }) s.q2 = a.YieldRate2;
  if constexpr (requires { a.YieldRate2Type; }) s.yield2Type = a.YieldRate2Type;
  if constexpr (requires { a.Correlation; }) s.rho = a.Correlation;
  return s;
}

// Which common slot each of a model's own inputs fills, by slot name.
template <class In>
struct Slots {
#define QUANTREL_SLOT_POINTER(type, name, filler) type In::*name = nullptr;
  QUANTREL_COMMON_SLOTS(QUANTREL_SLOT_POINTER)
#undef QUANTREL_SLOT_POINTER
};

// A quoted rate the model takes, with its convention. Rho and Psi bump the quote and convert
// each bumped value again, so the skeleton keeps the quote aside before normalisation.
template <class In>
struct RateInput {
  double In::*value = nullptr;
  int32_t In::*type = nullptr;
};

namespace detail {
// The second members of the pairs, for a model with a second asset.
template <class In>
constexpr std::array<double In::*, 2> PairOf(double In::*first, double SecondAsset::*second) {
  if constexpr (kTwoAssets<In>) {
    return {first, static_cast<double In::*>(second)};
  } else {
    return {first, nullptr};
  }
}
template <class In>
constexpr std::array<RateInput<In>, 2> RatePairOf(RateInput<In> first, double SecondAsset::*second,
                                                  int32_t SecondAsset::*secondType) {
  if constexpr (kTwoAssets<In>) {
    return {first, RateInput<In>{static_cast<double In::*>(second),
                                 static_cast<int32_t In::*>(secondType)}};
  } else {
    return {first, RateInput<In>{}};
  }
}
template <class In>
constexpr double In::*CorrelationOf() {
  if constexpr (kTwoAssets<In>) {
    return static_cast<double In::*>(&SecondAsset::rho);
  } else {
    return nullptr;
  }
}
}  // namespace detail

// Which inputs each sensitivity moves; the market ones (and a second asset's) by default. Index 0
// serves the single-asset codes and the first of a pair, index 1 the second of a pair.
template <class In>
struct Moves {
  // Delta, Gamma, Lambda
  std::array<double In::*, 2> asset = detail::PairOf<In>(&In::S, &SecondAsset::S2);
  std::array<double In::*, 3> times{&In::T};  // Theta moves all of these together
  std::array<double In::*, 2> vol = detail::PairOf<In>(&In::v, &SecondAsset::v2);  // Vega
  // Rho: the interest rate, then the foreign one
  std::array<RateInput<In>, 2> rate =
      detail::RatePairOf<In>({&In::r, &In::rateType}, &SecondAsset::r2, &SecondAsset::rate2Type);
  // Psi: the yield, then the second asset's
  std::array<RateInput<In>, 2> yield =
      detail::RatePairOf<In>({&In::q, &In::yieldType}, &SecondAsset::q2, &SecondAsset::yield2Type);
  std::array<double In::*, 2> strike{};                   // strike sensitivities
  double In::*correlation = detail::CorrelationOf<In>();  // Chi
  double In::*expiry = &In::T;                            // TimeExpire, in years once normalised
  // Theta may not lower the first time to or past this one (an intermediate date that must stay
  // before it): close to it the difference runs forward. A time at or below 0 sets no limit.
  double In::*thetaFloor = nullptr;
  double In::*exchangeRate = nullptr;  // the exchange-rate sensitivity
};

struct Levels {
  double L1 = -1, L2 = -2, L3 = -3;
};

// The codes of an enumeration by its name.
constexpr uint64_t EnumerationMask(std::string_view enumeration) {
  for (const EnumerationSpec& e : published::kEnumerations) {
    if (!EqualsIgnoreCase(e.name, enumeration)) continue;
    uint64_t mask = 0;
    for (const EnumMember& member : e.members) mask |= uint64_t{1} << member.value;
    return mask;
  }
  throw "no such enumeration in the catalogue";
}

// The result codes of a method's OptionFunction enumeration, from the catalogue; a method
// without that input returns its value only. The catalogue is walked without comparing a pointer
// into it with null: GCC's undefined-behaviour checks keep that from being evaluated at compile
// time.
constexpr uint64_t EnumerationCodes(std::string_view method) {
  for (const MethodSpec& m : published::kMethods) {
    if (!EqualsIgnoreCase(m.name, method)) continue;
    for (const InputSpec& input : m.inputs) {
      if (std::string_view(input.name) == "OptionFunction")
        return EnumerationMask(input.enumeration);
    }
    return uint64_t{1} << result::Theoretical;
  }
  throw "no such method in the catalogue";
}

namespace detail {

template <class Model>
inline constexpr Moves<typename Model::Inputs> kMovesOf = [] {
  if constexpr (requires { Model::kMoves; }) {
    return Model::kMoves;
  } else {
    return Moves<typename Model::Inputs>{};
  }
}();

template <class Model>
inline constexpr Slots<typename Model::Inputs> kSlotsOf = [] {
  if constexpr (requires { Model::kSlots; }) {
    return Model::kSlots;
  } else {
    return Slots<typename Model::Inputs>{};
  }
}();

template <class Model>
inline constexpr uint64_t kEnumerationCodesOf = [] {
  if constexpr (requires { Model::kFunctions; }) {
    return EnumerationMask(Model::kFunctions);
  } else {
    return EnumerationCodes(Model::Arguments::kMethod);
  }
}();

// The model's inputs into the common slots, and the normalised values back (the integer slots
// are only read by the normalisation).
template <class In>
void ToCommon(const Slots<In>& slots, const In& in, CommonInputs& common) {
  const Market& m = in;
  common.assetPrice = m.S;
  common.timeExpire = m.T;
  common.volatility = m.v;
  common.interestRate = m.r;
  common.yieldRate = m.q;
  common.marketPrice = m.marketPrice;
  common.timeFormat = m.timeFormat;
  common.interestRateType = m.rateType;
  common.yieldRateType = m.yieldType;
  if constexpr (kTwoAssets<In>) {
    const SecondAsset& s = in;
    common.assetPrice2 = s.S2;
    common.volatility2 = s.v2;
    common.interestRate2 = s.r2;
    common.yieldRate2 = s.q2;
    common.correlation = s.rho;
    common.interestRate2Type = s.rate2Type;
    common.yieldRate2Type = s.yield2Type;
  }
#define QUANTREL_TO_SLOT(type, name, filler) \
  if (slots.name) common.name = in.*slots.name;
  QUANTREL_COMMON_SLOTS(QUANTREL_TO_SLOT)
#undef QUANTREL_TO_SLOT
}

template <class In>
void FromCommon(const Slots<In>& slots, const CommonInputs& common, In& in) {
  Market& m = in;
  m.S = common.assetPrice;
  m.T = common.timeExpire;
  m.v = common.volatility;
  m.r = common.interestRate;
  m.q = common.yieldRate;
  m.marketPrice = common.marketPrice;
  if constexpr (kTwoAssets<In>) {
    SecondAsset& s = in;
    s.S2 = common.assetPrice2;
    s.v2 = common.volatility2;
    s.r2 = common.interestRate2;
    s.q2 = common.yieldRate2;
    s.rho = common.correlation;
  }
#define QUANTREL_FROM_SLOT(type, name, filler)    \
  if constexpr (std::is_same_v<type, double>) {   \
    if (slots.name) in.*slots.name = common.name; \
  }
  QUANTREL_COMMON_SLOTS(QUANTREL_FROM_SLOT)
#undef QUANTREL_FROM_SLOT
}

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

// The input(s) a code moves or seeks: plain inputs, or a quoted rate to be re-converted.
template <class In>
struct Target {
  std::array<double In::*, 3> fields{};
  const RateInput<In>* rate = nullptr;
  RateKind kind = RateKind::Interest;
  double quote = 0;
};

// False when the model has no such input.
template <class In>
bool FindTarget(const Moves<In>& m, const Quotes& q, int32_t code, Target<In>& t) {
  const ResultKind k = KindOf(code);
  switch (k.moved) {
    case Moved::AssetPrice:
      t.fields[0] = m.asset[k.pair];
      break;
    case Moved::Times:
      t.fields = m.times;
      break;
    case Moved::Volatility:
      t.fields[0] = m.vol[k.pair];
      break;
    case Moved::Strike:
      t.fields[0] = m.strike[k.pair];
      break;
    case Moved::Correlation:
      t.fields[0] = m.correlation;
      break;
    case Moved::ExchangeRate:
      t.fields[0] = m.exchangeRate;
      break;
    case Moved::InterestRate:
      t.rate = &m.rate[k.pair];
      t.quote = q.rate[k.pair];
      break;
    case Moved::Yield:
      t.rate = &m.yield[k.pair];
      t.quote = q.yield[k.pair];
      t.kind = RateKind::Yield;
      break;
    default:
      return false;
  }
  return t.rate ? t.rate->value != nullptr : t.fields[0] != nullptr;
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
  constexpr const Moves<In>& moves = kMovesOf<Model>;
  std::array<double, 3> x{};
  if (t.rate) {
    x[0] = t.quote;
  } else {
    for (int i = 0; i < 3; ++i) x[i] = t.fields[i] ? in.*t.fields[i] : 0;
  }
  const Levels L = LevelsFor<Model>(in, code);
  double floor = 0;
  if constexpr (moves.thetaFloor != nullptr) {
    if (code == result::Theta && in.*moves.thetaFloor > 0) floor = in.*moves.thetaFloor;
  }
  const Bumps b = SetUpBumps(code, x[0], x[1], x[2], L.L1, L.L2, L.L3, floor);

  auto at = [&](double BumpedInput::*which) {
    In moved = in;
    if (t.rate) {
      double rate = b.x[0].*which;
      ConvertRate(rate, in.*moves.expiry, in.*(t.rate->type), in.timeFormat, err, t.kind);
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
  const ResultKind kind = KindOf(code);
  if (kind.action == Action::Value) return Model::Value(in);
  if constexpr (kHasSearch<Model>) {
    if (kind.action == Action::Implied) return Model::Implied(code, in, err);
  }
  double result;
  if constexpr (requires { Model::OwnSensitivity(code, in, err); }) {
    const std::optional<double> own = Model::OwnSensitivity(code, in, err);
    result = own ? *own : Sensitivity<Model>(in, code, target, err);
  } else {
    result = Sensitivity<Model>(in, code, target, err);
  }
  if (kind.scaled && !raw) result *= 0.01;
  if (kind.lambda) {
    const double value = Model::Value(in);
    const double price = in.*kMovesOf<Model>.asset[kind.pair];
    result = value > 0 ? result * price / value : 0;
  }
  return result;
}

}  // namespace detail

// The model entry on the model's own inputs. Inputs arrive as the caller gave them; with
// `skipValidation` they are taken as already normalised (the implied-value searches re-enter
// this way).
template <class Model>
double Run(typename Model::Inputs in, int32_t optionFunction, int32_t* errorCode,
           bool rawSensitivities, bool skipValidation) {
  using In = typename Model::Inputs;
  constexpr const Moves<In>& moves = detail::kMovesOf<Model>;
  int32_t localSlot = None;
  int32_t* err = errorCode ? errorCode : &localSlot;
  const detail::Quotes quotes = detail::KeepQuotes(moves, in);

  if (!skipValidation) {
    if constexpr (requires { Model::OwnChecks(in, err); }) Model::OwnChecks(in, err);
    CommonInputs common;
    if constexpr (requires { Model::kModelCode; }) common.modelCode = Model::kModelCode;
    common.optionFunction = optionFunction;
    detail::ToCommon(detail::kSlotsOf<Model>, in, common);
    NormaliseInputs(common, err);
    detail::FromCommon(detail::kSlotsOf<Model>, common, in);
  }
  if constexpr (requires { Model::Prepare(in, err); }) Model::Prepare(in, err);

  detail::Target<In> target;
  const ResultKind kind = KindOf(optionFunction);
  bool served = InMask(detail::kEnumerationCodesOf<Model>, optionFunction);
  if (served && kind.action != Action::Value) {
    served = detail::FindTarget(moves, quotes, optionFunction, target) &&
             (kind.action != Action::Implied || detail::kHasSearch<Model>);
  }
  if (!served) Fail<OptionFunctionErr>(err, "The OptionFunction is invalid.");

  return RunGuarded(
      [&] { return detail::Dispatch<Model>(in, optionFunction, target, err, rawSensitivities); });
}

// The model entry on a public call's arguments: the market inputs by name, the model's own by its
// Bind, then Run.
template <class Model>
double RunEntry(const typename Model::Arguments& a, int32_t* errorCode, bool rawSensitivities,
                bool skipValidation) {
  typename Model::Inputs in{};
  Market& market = in;
  market = MarketInputs(a);
  if constexpr (kTwoAssets<typename Model::Inputs>) {
    static_cast<SecondAsset&>(in) = SecondAssetInputs(a);
  }
  static_cast<typename Model::Own&>(in) = Model::Bind(a, market);
  int32_t optionFunction = result::Theoretical;
  if constexpr (requires { a.OptionFunction; }) optionFunction = a.OptionFunction;
  return Run<Model>(in, optionFunction, errorCode, rawSensitivities, skipValidation);
}

}  // namespace quantrel::core

// Publishes a model as the entry of the method its Arguments name; at namespace quantrel.
#define QUANTREL_ENTRY(Model)                                                                      \
  double core::Enter(const Model::Arguments& arguments, int32_t* errorCode, bool rawSensitivities, \
                     bool skipValidation) {                                                        \
    return core::RunEntry<Model>(arguments, errorCode, rawSensitivities, skipValidation);          \
  }
