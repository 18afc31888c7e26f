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
//     // optional: false where the bracketed scan that backs up every search would cost too much
//     static constexpr bool kBracketedFallback = true;
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
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <tuple>
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
// are only read by the normalisation). Inlined, so that the slot pointers fold away.
template <class In>
[[gnu::always_inline]] inline void ToCommon(const Slots<In>& slots, const In& in,
                                            CommonInputs& common) {
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
[[gnu::always_inline]] inline void FromCommon(const Slots<In>& slots, const CommonInputs& common,
                                              In& in) {
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
[[gnu::always_inline]] inline Quotes KeepQuotes(const Moves<In>& moves, const In& in) {
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
[[gnu::always_inline]] inline bool FindTarget(const Moves<In>& m, const Quotes& q,
                                              const ResultKind& k, Target<In>& t) {
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

// A sensitivity: the kernel at the bumped inputs, differenced. `in` is the entry's own copy; it
// is moved and put back in place, since copying it straight after the entry wrote it would stall.
template <class Model>
double Sensitivity(typename Model::Inputs& in, int32_t code, const ResultKind& kind,
                   const Target<typename Model::Inputs>& t, int32_t* err, bool ratesConverted) {
  using In = typename Model::Inputs;
  constexpr const Moves<In>& moves = kMovesOf<Model>;
  // The common case first: one plain input moved by the small step both ways, as SetUpBumps and
  // FiniteDifference would move and difference it, without working out the general case.
  if constexpr (!requires { Model::ReferenceLevels(in, code); }) {
    if (!t.rate && !t.fields[1] && !t.fields[2] && code != result::Theta && !kind.gamma) {
      constexpr double h = kSmallStep;
      const double x0 = in.*t.fields[0];
      if (x0 - h > 0) {
        in.*t.fields[0] = x0 - h;
        const double fDown = Model::Value(in);
        in.*t.fields[0] = x0 + h;
        const double fUp = Model::Value(in);
        in.*t.fields[0] = x0;
        return (fUp - fDown) / (h * 2);
      }
    }
  }
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
      // A bumped quote goes through the conversion the value's own rates went through: none when
      // the inputs came normalised or a yield too negative to convert left them as quoted.
      double rate = b.x[0].*which;
      if (ratesConverted) {
        ConvertRate(rate, in.*moves.expiry, in.*(t.rate->type), in.timeFormat, err, t.kind);
      }
      moved.*(t.rate->value) = rate;
    } else {
      for (int i = 0; i < 3; ++i) {
        if (t.fields[i]) moved.*t.fields[i] = b.x[i].*which;  // unmoved ones keep their value
      }
    }
    return Model::Value(moved);
  };
  const double fDown = at(&BumpedInput::down);
  const double fMid = kind.gamma ? at(&BumpedInput::mid) : 0;
  const double fUp = at(&BumpedInput::up);
  return FiniteDifference(code, fDown, fMid, fUp, b.divisor, b.step);
}

template <class Model>
constexpr bool kHasSearch = requires(const typename Model::Inputs& in, int32_t* err) {
  Model::Implied(int32_t{}, in, err);
};

// The input an implied code solves for, as the model's moves name it; null when it has none.
template <class Model>
double Model::Inputs::*SoughtInput(int32_t code) {
  const ResultKind k = KindOf(code);
  const Moves<typename Model::Inputs>& moves = kMovesOf<Model>;
  switch (k.moved) {
    case Moved::Volatility:
      return moves.vol[k.pair];
    case Moved::Strike:
      return moves.strike[k.pair];
    case Moved::Correlation:
      return moves.correlation;
    default:
      return nullptr;
  }
}

// Where the sought input may lie, scanned for a bracket when a model's own search finds nothing:
// volatilities from the floor of the normalisation to far beyond any quoted one, strikes over
// twelve orders of magnitude around the given one, correlations over their whole range.
inline constexpr int kScanPoints = 120;
struct ScanRange {
  double low, high;
  bool geometric;
};
inline ScanRange ScanRangeFor(Moved sought, double given) {
  switch (sought) {
    case Moved::Volatility:
      return {0.002, 1000, true};
    case Moved::Correlation:
      return {-1, 1, false};
    default:
      return {given * 1e-6, given * 1e6, true};
  }
}

// The fallback of every implied search: scan the sought input's whole range for a market price
// between two neighbouring points, then bisect to the search tolerance. 0 when no admissible
// input reprices the market price. Each trial is priced quietly: an input out of reach is skipped,
// never a fault of the call.
template <class Model>
double BracketedSearch(const typename Model::Inputs& in, int32_t code) {
  using In = typename Model::Inputs;
  constexpr double kTolerance = 1e-6;
  const double target = in.marketPrice;
  double In::*field = SoughtInput<Model>(code);
  if (!(target > 0) || !field || !(in.*field > 0 || KindOf(code).moved == Moved::Correlation)) {
    return 0;
  }
  auto gap = [&](double u) {
    In moved = in;
    moved.*field = u;
    const std::optional<double> price = RunQuietly([&] { return Model::Value(moved); });
    return price ? *price - target : std::numeric_limits<double>::quiet_NaN();
  };
  const ScanRange range = ScanRangeFor(KindOf(code).moved, in.*field);
  auto point = [&](int i) {
    const double f = static_cast<double>(i) / kScanPoints;
    return range.geometric ? range.low * std::pow(range.high / range.low, f)
                           : range.low + (range.high - range.low) * f;
  };
  // An input out of reach prices as NaN, which the quiet comparisons below (std::isless and
  // friends) pass over without raising the invalid-operation flag the guard would report.
  auto reprices = [](double g) { return std::islessequal(std::fabs(g), kTolerance); };
  auto opposite = [](double g1, double g2) { return std::isless(g1 * g2, 0.0); };
  double previous = point(0), gPrevious = gap(previous);
  if (reprices(gPrevious)) return previous;
  for (int i = 1; i <= kScanPoints; ++i) {
    const double next = point(i), gNext = gap(next);
    if (reprices(gNext)) return next;
    if (opposite(gPrevious, gNext)) {
      double a = previous, b = next, ga = gPrevious;
      for (int step = 0; step < 200; ++step) {
        const double mid = range.geometric ? std::sqrt(a * b) : (a + b) / 2;
        const double gm = gap(mid);
        if (std::isnan(gm) || mid == a || mid == b) break;
        if (reprices(gm)) return mid;
        if (opposite(ga, gm)) {
          b = mid;
        } else {
          a = mid, ga = gm;
        }
      }
    }
    previous = next, gPrevious = gNext;
  }
  return 0;
}

// Whether the sought input at `u` prices the market price to the searches' tolerance. A search
// of the model's own making, for an input only it knows, is taken at its word.
template <class Model>
bool Reprices(const typename Model::Inputs& in, int32_t code, double u) {
  double Model::Inputs::*field = SoughtInput<Model>(code);
  if (!field) return true;
  typename Model::Inputs moved = in;
  moved.*field = u;
  const std::optional<double> price = RunQuietly([&] { return Model::Value(moved); });
  return price && std::fabs(*price - in.marketPrice) <= 1e-6;
}

// A sensitivity or an implied value; the entry prices a value itself.
template <class Model>
double Dispatch(typename Model::Inputs& in, int32_t code, const ResultKind& kind,
                const Target<typename Model::Inputs>& target, int32_t* err, bool raw,
                bool ratesConverted) {
  if constexpr (kHasSearch<Model>) {
    if (kind.action == Action::Implied) {
      // The model's own search first; where it finds nothing (or trips over an input out of
      // reach), the bracketed scan decides whether any admissible input reprices the price.
      // 0 is the searches' word for none, except for a correlation, which may be any; whatever
      // they return must reprice the price.
      const std::optional<double> found = RunQuietly([&] { return Model::Implied(code, in, err); });
      const bool signless = kind.moved == Moved::Correlation;
      if (found && (signless || *found != 0) && Reprices<Model>(in, code, *found)) return *found;
      if constexpr (requires { Model::kBracketedFallback; }) {
        if (!Model::kBracketedFallback) return 0;
      }
      return BracketedSearch<Model>(in, code);
    }
  }
  double result;
  if constexpr (requires { Model::OwnSensitivity(code, in, err); }) {
    const std::optional<double> own = Model::OwnSensitivity(code, in, err);
    result = own ? *own : Sensitivity<Model>(in, code, kind, target, err, ratesConverted);
  } else {
    result = Sensitivity<Model>(in, code, kind, target, err, ratesConverted);
  }
  if (kind.scaled && !raw) result *= 0.01;
  if (kind.lambda) {
    const double value = Model::Value(in);
    const double price = in.*kMovesOf<Model>.asset[kind.pair];
    result = value > 0 ? result * price / value : 0;
  }
  return result;
}

// Every double input of the method has a rule to refuse it under when it is not a finite number,
// with its message listed.
constexpr bool EveryDoubleInputHasANonFiniteRule(std::string_view method) {
  if (!published::HasMethod(method)) return false;
  for (const InputSpec& input : published::Method(method)->inputs) {
    if (input.type != InputType::Double) continue;
    const int32_t code = published::NonFiniteRule(method, input.name);
    if (code == None || published::NonFiniteMessageIndex(code, input.name) < 0) return false;
  }
  return true;
}

// Refuses a double input that is not a finite number once every rule has run: the rules compare
// with "not > 0", clamp or bound one side only, so an infinity (and for some, a NaN) can pass
// them all and end in a meaningless price. The market price is read only by the implied-value
// searches, so elsewhere it is not looked at.
template <class A>
[[gnu::noinline, gnu::cold]] void RefuseFirstNonFinite(const A& a, int32_t optionFunction,
                                                       int32_t* err);

template <class A>
[[gnu::always_inline]] inline void RefuseNonFinite(const A& a, int32_t optionFunction,
                                                   int32_t* err) {
  // The common case inline: every double input finite, one pass with nothing to look up.
  const bool allFinite = std::apply(
      [](const auto&... values) {
        auto finite = [](const auto& value) {
          if constexpr (std::is_same_v<std::decay_t<decltype(value)>, double>) {
            return std::isfinite(value);
          } else {
            return true;
          }
        };
        return (finite(values) && ...);
      },
      a.Values());
  if (!allFinite) RefuseFirstNonFinite(a, optionFunction, err);
}

template <class A>
void RefuseFirstNonFinite(const A& a, int32_t optionFunction, int32_t* err) {
  static constexpr const MethodSpec* kMethod = published::Method(A::kMethod);
  const bool marketPriceRead = KindOf(optionFunction).action == Action::Implied;
  size_t index = 0;
  auto check = [&](const auto& value) {
    const InputSpec& input = kMethod->inputs[index++];
    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, double>) {
      if (std::isfinite(value)) return;
      const std::string_view name = input.name;
      if (name == "MarketPrice" && !marketPriceRead) return;
      const int32_t code = published::NonFiniteRule(A::kMethod, name);
      if (err) *err = code;
      throw PricingError(code,
                         published::kMessages[published::NonFiniteMessageIndex(code, name)].text);
    }
  };
  std::apply([&](const auto&... values) { (check(values), ...); }, a.Values());
}

// The model's own checks, the common normalisation and the model's preparation, on `in` in place;
// whether the quoted rates were converted. Inlined into the entry, so that the checks of slots
// the model never fills fold away.
template <class Model>
[[gnu::always_inline]] inline bool PrepareInputs(typename Model::Inputs& in, int32_t optionFunction,
                                                 int32_t* err, bool skipValidation,
                                                 const typename Model::Arguments* arguments) {
  bool ratesConverted = false;
  if (!skipValidation) {
    if constexpr (requires { Model::OwnChecks(in, err); }) Model::OwnChecks(in, err);
    CommonInputs common;
    if constexpr (requires { Model::kModelCode; }) common.modelCode = Model::kModelCode;
    common.optionFunction = optionFunction;
    ToCommon(kSlotsOf<Model>, in, common);
    ratesConverted = NormaliseInputs(common, err);
    FromCommon(kSlotsOf<Model>, common, in);
    if (arguments) RefuseNonFinite(*arguments, optionFunction, err);
  }
  if constexpr (requires { Model::Prepare(in, err); }) Model::Prepare(in, err);
  return ratesConverted;
}

// A model's inputs from a public call's arguments, as given: the market inputs by name, the
// model's own by its Bind.
template <class Model>
[[gnu::always_inline]] inline typename Model::Inputs BindInputs(
    const typename Model::Arguments& a) {
  typename Model::Inputs in{};
  Market& market = in;
  market = MarketInputs(a);
  if constexpr (kTwoAssets<typename Model::Inputs>) {
    static_cast<SecondAsset&>(in) = SecondAssetInputs(a);
  }
  static_cast<typename Model::Own&>(in) = Model::Bind(a, market);
  return in;
}

}  // namespace detail

// The model entry on the model's own inputs. Inputs arrive as the caller gave them; with
// `skipValidation` they are taken as already normalised (the implied-value searches re-enter
// this way). `arguments`, the public call the inputs came from, has its double inputs checked
// for non-finite values after the rules.
// `in` is worked on in place: the caller's copy is the only one, so a public call's inputs are
// not copied again straight after being written (a wide reload of narrow stores stalls).
template <class Model>
double RunInPlace(typename Model::Inputs& in, int32_t optionFunction, int32_t* errorCode,
                  bool rawSensitivities, bool skipValidation,
                  const typename Model::Arguments* arguments = nullptr) {
  using In = typename Model::Inputs;
  // Read before the checks below convert times in extended precision (which raises no fault).
  const int x87Before = detail::PendingX87Faults();
  constexpr const Moves<In>& moves = detail::kMovesOf<Model>;
  int32_t localSlot = None;
  int32_t* err = errorCode ? errorCode : &localSlot;
  const ResultKind kind = KindOf(optionFunction);
  // A rate's sensitivity re-converts the bumped quote, kept before normalisation converts it.
  detail::Quotes quotes;
  if (kind.moved == Moved::InterestRate || kind.moved == Moved::Yield) {
    quotes = detail::KeepQuotes(moves, in);
  }
  const bool ratesConverted =
      detail::PrepareInputs<Model>(in, optionFunction, err, skipValidation, arguments);

  bool served = InMask(detail::kEnumerationCodesOf<Model>, optionFunction);
  if (served && kind.action == Action::Value) {
    return RunGuarded([&] { return Model::Value(in); }, x87Before);
  }
  detail::Target<In> target;
  if (served) {
    served = detail::FindTarget(moves, quotes, kind, target) &&
             (kind.action != Action::Implied || detail::kHasSearch<Model>);
  }
  if (!served) Fail<OptionFunctionErr>(err, "The OptionFunction is invalid.");

  return RunGuarded(
      [&] {
        return detail::Dispatch<Model>(in, optionFunction, kind, target, err, rawSensitivities,
                                       ratesConverted);
      },
      x87Before);
}

template <class Model>
double Run(typename Model::Inputs in, int32_t optionFunction, int32_t* errorCode,
           bool rawSensitivities, bool skipValidation) {
  return RunInPlace<Model>(in, optionFunction, errorCode, rawSensitivities, skipValidation);
}

// The model entry on a public call's arguments: the market inputs by name, the model's own by its
// Bind, then Run.
template <class Model>
double RunEntry(const typename Model::Arguments& a, int32_t* errorCode, bool rawSensitivities,
                bool skipValidation) {
  static_assert(detail::EveryDoubleInputHasANonFiniteRule(Model::Arguments::kMethod),
                "a double input of this method has no rule for a non-finite value: list "
                "\"<Input> must be a finite number.\" under its code in published::kMessages");
  typename Model::Inputs in = detail::BindInputs<Model>(a);
  int32_t optionFunction = result::Theoretical;
  if constexpr (requires { a.OptionFunction; }) optionFunction = a.OptionFunction;
  return RunInPlace<Model>(in, optionFunction, errorCode, rawSensitivities, skipValidation, &a);
}

}  // namespace quantrel::core

// The public function has just stored the arguments, and GCC's straight-line vectoriser would
// reload them in pairs across those stores, which stalls every call: the entry reads them one by
// one.
#if defined(__GNUC__) && !defined(__clang__)
#define QUANTREL_NARROW_COPIES [[gnu::optimize("no-tree-slp-vectorize")]]
#else
#define QUANTREL_NARROW_COPIES
#endif

// Publishes a model as the entry of the method its Arguments name; at namespace quantrel. A
// program that compiles a model's source for its own ends (timing the kernel alone) may define
// it first.
#ifndef QUANTREL_ENTRY
#define QUANTREL_ENTRY(Model)                                                                      \
  QUANTREL_NARROW_COPIES double core::Enter(const Model::Arguments& arguments, int32_t* errorCode, \
                                            bool rawSensitivities, bool skipValidation) {          \
    return core::RunEntry<Model>(arguments, errorCode, rawSensitivities, skipValidation);          \
  }
#endif
