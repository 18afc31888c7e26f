// Two-asset cash-or-nothing option: Payoff is paid at expiry when each asset ends on its side of
// its own strike (both above, both below, the first above and the second below, or the reverse).
#include <cmath>

#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/TwoAssetSearch.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

struct CashOrNothingTAModel {
  using Arguments = CashOrNothingTAArguments;
  struct Own {
    int32_t type;  // enumOptionTypeTC
    double X1, X2, K;
  };
  using Inputs = TwoAssetContract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .X1 = a.StrikePrice1, .X2 = a.StrikePrice2, .K = a.Payoff};
  }
  // The common checks see a call: the four types are checked here.
  static constexpr Slots<Inputs> kSlots{
      .strikePrice = &Inputs::X1, .strikePrice2 = &Inputs::X2, .payoff = &Inputs::K};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X1, &Inputs::X2}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.type < Call_Options || in.type > Down_Up) {
      Fail<OptionTypeErr>(err, "The OptionType is Invalid.");
    }
  }

  static double Value(const Inputs& in) {
    const double sT = std::sqrt(in.T);
    const double y1 =
        (std::log(in.S / in.X1) + (in.r - in.q - in.v * in.v / 2) * in.T) / (in.v * sT);
    const double y2 =
        (std::log(in.S2 / in.X2) + (in.r - in.q2 - in.v2 * in.v2 / 2) * in.T) / (in.v2 * sT);
    const double cash = in.K * std::exp(-in.r * in.T), rho = in.rho;
    double value = 0;
    switch (in.type) {
      case Call_Options:
        value = cash * BivariateNormal(y1, y2, rho);
        break;
      case Put_Options:
        value = cash * BivariateNormal(-y1, -y2, rho);
        break;
      case Up_Down:
        value = cash * BivariateNormal(y1, -y2, -rho);
        break;
      case Down_Up:
        value = cash * BivariateNormal(-y1, y2, -rho);
        break;
      default:
        break;
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    return TwoAssetSearch<CashOrNothingTAModel>(in, code, err);
  }
};

}  // namespace

QUANTREL_ENTRY(CashOrNothingTAModel)

}  // namespace quantrel
