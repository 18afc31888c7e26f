// Two-asset correlation option: a call pays max(S2 - X2, 0) at expiry provided S1 > X1, a put
// pays max(X2 - S2, 0) provided S1 < X1.
#include <cmath>

#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/TwoAssetSearch.h"

namespace quantrel {
namespace {

using namespace core;

struct TwoAssetCorrModel {
  using Arguments = TwoAssetCorrArguments;
  struct Own {
    int32_t type;
    double X1, X2;
  };
  using Inputs = TwoAssetContract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .X1 = a.StrikePrice1, .X2 = a.StrikePrice2};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type, .strikePrice = &Inputs::X1, .strikePrice2 = &Inputs::X2};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X1, &Inputs::X2}};

  static double Value(const Inputs& in) {
    const double sT = std::sqrt(in.T);
    const double y1 =
        (std::log(in.S / in.X1) + (in.r - in.q - in.v * in.v / 2) * in.T) / (in.v * sT);
    const double y2 =
        (std::log(in.S2 / in.X2) + (in.r - in.q2 - in.v2 * in.v2 / 2) * in.T) / (in.v2 * sT);
    const double asset = in.S2 * std::exp(-in.q2 * in.T), strike = in.X2 * std::exp(-in.r * in.T);
    const double v2T = in.v2 * sT, rho = in.rho;
    double value = 0;
    if (in.type == 1) {
      value = asset * BivariateNormal(y2 + v2T, y1 + rho * v2T, rho) -
              strike * BivariateNormal(y2, y1, rho);
    } else if (in.type == 2) {
      value = strike * BivariateNormal(-y2, -y1, rho) -
              asset * BivariateNormal(-y2 - v2T, -y1 - rho * v2T, rho);
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    return TwoAssetSearch<TwoAssetCorrModel>(in, code, err);
  }
};

}  // namespace

QUANTREL_ENTRY(TwoAssetCorrModel)

}  // namespace quantrel
