// The result codes an OptionFunction argument selects, shared by every option-function
// enumeration of the interface, and one table that says what each code is: the value, a
// sensitivity (which input it moves, with which step and scaling) or an implied input. The entry
// skeleton, the bump set-up and the input checks read this table; nothing else spells a code as a
// number.
#pragma once

#include <array>
#include <cstdint>

namespace quantrel::core {

namespace result {
enum Code : int32_t {
  Theoretical = 1,
  Delta = 2,
  Gamma = 3,
  Theta = 4,
  ImpliedVol = 5,
  Vega = 6,
  Rho = 7,
  Psi = 8,
  Lambda = 9,
  StrikeSensitivity = 11,
  ImpliedStrike = 13,
  Delta1 = 20,
  Delta2 = 21,
  Gamma1 = 22,
  Gamma2 = 23,
  ImpliedVol1 = 24,
  ImpliedVol2 = 25,
  Vega1 = 26,
  Vega2 = 27,
  Rho1 = 28,  // RhoDomestic
  Rho2 = 29,  // RhoForeign
  Psi1 = 30,
  Psi2 = 31,
  Lambda1 = 32,
  Lambda2 = 33,
  StrikeSensitivity1 = 34,
  ImpliedStrike1 = 35,
  StrikeSensitivity2 = 36,
  ImpliedStrike2 = 37,
  Chi = 38,
  ExchangeRateSensitivity = 39,
  ImpliedCorrelation = 40,
};
}  // namespace result

enum class Action : uint8_t { Invalid, Value, Sensitivity, Implied };

// The input a sensitivity moves, or the input an implied search solves for.
enum class Moved : uint8_t {
  None,
  AssetPrice,
  Times,
  Volatility,
  InterestRate,
  Yield,
  Strike,
  Correlation,
  ExchangeRate
};

struct ResultKind {
  Action action = Action::Invalid;
  Moved moved = Moved::None;
  uint8_t pair = 0;     // 0: the single-asset input or the first of a pair; 1: the second
  bool gamma = false;   // second difference with the larger step
  bool scaled = false;  // reported per percentage point (x 0.01) unless raw
  bool lambda = false;  // delta x price / value
};

inline constexpr int32_t kHighestCode = result::ImpliedCorrelation;

inline constexpr std::array<ResultKind, kHighestCode + 1> kResultKinds = [] {
  using enum Action;
  using enum Moved;
  std::array<ResultKind, kHighestCode + 1> k{};
  auto sensitivity = [](Moved m, uint8_t pair = 0) { return ResultKind{Sensitivity, m, pair}; };
  auto scaled = [](Moved m, uint8_t pair = 0) {
    return ResultKind{Sensitivity, m, pair, false, true};
  };
  auto gamma = [](uint8_t pair) { return ResultKind{Sensitivity, AssetPrice, pair, true}; };
  auto lambda = [](uint8_t pair) {
    return ResultKind{Sensitivity, AssetPrice, pair, false, false, true};
  };
  auto implied = [](Moved m, uint8_t pair = 0) { return ResultKind{Implied, m, pair}; };
  using namespace result;
  k[Theoretical] = {Value};
  k[Delta] = k[Delta1] = sensitivity(AssetPrice);
  k[Delta2] = sensitivity(AssetPrice, 1);
  k[Gamma] = k[Gamma1] = gamma(0);
  k[Gamma2] = gamma(1);
  k[Theta] = sensitivity(Times);
  k[Vega] = k[Vega1] = scaled(Volatility);
  k[Vega2] = scaled(Volatility, 1);
  k[Rho] = k[Rho1] = scaled(InterestRate);
  k[Rho2] = scaled(InterestRate, 1);
  k[Psi] = k[Psi1] = scaled(Yield);
  k[Psi2] = scaled(Yield, 1);
  k[Lambda] = k[Lambda1] = lambda(0);
  k[Lambda2] = lambda(1);
  k[StrikeSensitivity] = k[StrikeSensitivity1] = sensitivity(Strike);
  k[StrikeSensitivity2] = sensitivity(Strike, 1);
  k[Chi] = sensitivity(Correlation);
  k[ExchangeRateSensitivity] = sensitivity(ExchangeRate);
  k[ImpliedVol] = k[ImpliedVol1] = implied(Volatility);
  k[ImpliedVol2] = implied(Volatility, 1);
  k[ImpliedStrike] = k[ImpliedStrike1] = implied(Strike);
  k[ImpliedStrike2] = implied(Strike, 1);
  k[ImpliedCorrelation] = implied(Correlation);
  return k;
}();

// What a code is; Action::Invalid for a number that is no result code.
constexpr ResultKind KindOf(int32_t code) {
  return code >= 0 && code <= kHighestCode ? kResultKinds[code] : ResultKind{};
}

constexpr bool IsGammaCode(int32_t code) {
  return KindOf(code).gamma;
}
constexpr bool IsImplied(int32_t code, Moved sought) {
  const ResultKind k = KindOf(code);
  return k.action == Action::Implied && k.moved == sought;
}

// The sensitivity that goes with an implied value: Vega for a volatility, the same strike's
// sensitivity for a strike.
constexpr int32_t DerivativeOf(int32_t impliedCode) {
  switch (impliedCode) {
    case result::ImpliedVol:
      return result::Vega;
    case result::ImpliedVol1:
      return result::Vega1;
    case result::ImpliedVol2:
      return result::Vega2;
    case result::ImpliedStrike:
      return result::StrikeSensitivity;
    case result::ImpliedStrike1:
      return result::StrikeSensitivity1;
    case result::ImpliedStrike2:
      return result::StrikeSensitivity2;
    default:
      return result::Chi;
  }
}

// A set of result codes as a bit mask.
constexpr bool InMask(uint64_t mask, int32_t code) {
  return code >= 0 && code < 64 && ((mask >> code) & 1u);
}

}  // namespace quantrel::core
