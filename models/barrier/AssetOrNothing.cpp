// Asset-or-nothing: the asset itself paid at expiry when the option finishes in the money.
#include <algorithm>
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

struct AssetOrNothingModel {
  using Arguments = AssetOrNothingArguments;
  struct Own {
    int32_t type;
    double X;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .X = a.StrikePrice};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type, .strikePrice = &Inputs::X};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static double Value(const Inputs& in) {
    double d1, d2;
    if (!ComputeD1D2(1, in.S, in.X, in.r, in.q, in.T, in.T, in.v, 1, 1, d1, d2)) return 0;
    double value = 0;
    if (in.type == CallOption) value = in.S * std::exp(-in.q * in.T) * CumulativeNormal(d1);
    if (in.type == PutOption) value = in.S * std::exp(-in.q * in.T) * CumulativeNormal(-d1);
    return value >= 0 ? value : 0;
  }

  // Newton from the model's own seeds: a volatility without the usual factor 2/T, a strike at
  // the asset price whichever the side.
  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    double seed;
    if (code == result::ImpliedVol) {
      seed = std::sqrt(std::fabs(std::log(in.S / in.X) + std::max(in.r, 0.01) * in.T));
    } else {
      seed = in.S > 0 ? in.S : in.X;
    }
    return NewtonSearch<AssetOrNothingModel>(in, code, seed, err);
  }
};

}  // namespace

QUANTREL_ENTRY(AssetOrNothingModel)

}  // namespace quantrel
