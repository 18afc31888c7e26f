// Gap option: the strike that decides whether the option pays (StrikePrice, the trigger) differs
// from the one the payment is measured from (StrikePrice + StrikeGap).
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

struct GapModel {
  using Arguments = GapArguments;
  struct Own {
    int32_t type;
    double X, G;  // the trigger strike, the gap to the payment strike
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .X = a.StrikePrice, .G = a.StrikeGap};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type, .strikePrice = &Inputs::X};
  // The strike sensitivity moves the trigger; the payment strike keeps its gap to it.
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static double Value(const Inputs& in) {
    double d1, d2;
    if (!ComputeD1D2(1, in.S, in.X, in.r, in.q, in.T, in.T, in.v, 1, 1, d1, d2)) return 0;
    const double payment = in.X + in.G;
    double value = 0;
    if (in.type == CallOption) {
      value = in.S * std::exp(-in.q * in.T) * CumulativeNormal(d1) -
              payment * std::exp(-in.r * in.T) * CumulativeNormal(d2);
    } else if (in.type == PutOption) {
      value = payment * std::exp(-in.r * in.T) * CumulativeNormal(-d2) -
              in.S * std::exp(-in.q * in.T) * CumulativeNormal(-d1);
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    return FalsePositionSearch<GapModel>(in, code, StandardEnds<GapModel>(in, code));
  }
};

}  // namespace

QUANTREL_ENTRY(GapModel)

}  // namespace quantrel
