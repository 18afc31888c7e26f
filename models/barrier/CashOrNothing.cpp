// Cash-or-nothing: Payoff paid at expiry when the option finishes in the money.
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

struct CashOrNothingModel {
  using Arguments = CashOrNothingArguments;
  struct Own {
    int32_t type;
    double X, K;  // strike, cash paid
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .X = a.StrikePrice, .K = a.Payoff};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type, .strikePrice = &Inputs::X, .payoff = &Inputs::K};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static double Value(const Inputs& in) {
    double d1, d2;
    if (!ComputeD1D2(1, in.S, in.X, in.r, in.q, in.T, in.T, in.v, 1, 1, d1, d2)) return 0;
    double value = 0;
    if (in.type == CallOption) value = in.K * std::exp(-in.r * in.T) * CumulativeNormal(d2);
    if (in.type == PutOption) value = in.K * std::exp(-in.r * in.T) * CumulativeNormal(-d2);
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    return FalsePositionSearch<CashOrNothingModel>(in, code,
                                                   StandardEnds<CashOrNothingModel>(in, code));
  }
};

}  // namespace

QUANTREL_ENTRY(CashOrNothingModel)

}  // namespace quantrel
