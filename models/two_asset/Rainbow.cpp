// Rainbow option (Stulz 1982, Johnson 1987): a European call or put on the larger (MaxAsset) or
// the smaller (MinAsset) of two asset prices at expiry, against one strike. The puts follow from
// the calls by parity, with the exchange value for the expected maximum or minimum.
#include <cmath>

#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/TwoAsset.h"
#include "core/TwoAssetSearch.h"
#include "models/two_asset/Exchange.h"

namespace quantrel {
namespace {

using namespace core;

struct RainbowModel {
  using Arguments = RainbowArguments;
  struct Own {
    int32_t type, extreme;  // enumOptionType, enumLimit
    double X;
  };
  using Inputs = TwoAssetContract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .extreme = a.ExtremeType, .X = a.StrikePrice};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type, .strikePrice = &Inputs::X};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.extreme != 1 && in.extreme != 2) {
      Fail<ExtremeTypeErr>(err, "The ExtremeType is invalid.");
    }
  }

  // The call on the maximum (max = true) or the minimum.
  static double Call(const Inputs& in, bool max) {
    const double S1 = in.S, S2 = in.S2, X = in.X, T = in.T, v1 = in.v, v2 = in.v2, rho = in.rho;
    const double sT = std::sqrt(T), b1 = in.r - in.q, b2 = in.r - in.q2;
    const double asset1 = S1 * std::exp(-in.q * T), asset2 = S2 * std::exp(-in.q2 * T);
    const double v = CombinedVolatility(v1, v2, rho);
    if (!(X > 0)) {
      // Sure to be exercised (a strike search may try one): the expected extreme less the strike.
      const double exchange = EuropeanExchangeValue(S1, S2, T, v1, v2, in.q, in.q2, rho);
      return (max ? asset2 + exchange : asset1 - exchange) - X * std::exp(-in.r * T);
    }
    if (v * sT <= kNoSpread) {
      // The price ratio is certain: the maximum is the asset with the larger forward, the
      // minimum the other, each a plain call.
      const bool firstLarger = asset1 >= asset2;
      return firstLarger == max ? EuropeanOrLimit(1, S1, X, T, v1, in.r, in.q)
                                : EuropeanOrLimit(1, S2, X, T, v2, in.r, in.q2);
    }
    const double d = (std::log(S1 / S2) + (b1 - b2 + v * v / 2) * T) / (v * sT);
    const double y1 = (std::log(S1 / X) + (b1 + v1 * v1 / 2) * T) / (v1 * sT);
    const double y2 = (std::log(S2 / X) + (b2 + v2 * v2 / 2) * T) / (v2 * sT);
    const double rho1 = (v1 - rho * v2) / v, rho2 = (v2 - rho * v1) / v;
    const double strike = X * std::exp(-in.r * T);
    if (max) {
      return asset1 * BivariateNormal(y1, d, rho1) +
             asset2 * BivariateNormal(y2, v * sT - d, rho2) -
             strike * (1 - BivariateNormal(v1 * sT - y1, v2 * sT - y2, rho));
    }
    return asset1 * BivariateNormal(y1, -d, -rho1) +
           asset2 * BivariateNormal(y2, d - v * sT, -rho2) -
           strike * BivariateNormal(y1 - v1 * sT, y2 - v2 * sT, rho);
  }

  static double Value(const Inputs& in) {
    if ((in.type != 1 && in.type != 2) || (in.extreme != 1 && in.extreme != 2)) return 0;
    const bool max = in.extreme == 1;
    double value = Call(in, max);
    if (in.type == 2) {
      const double exchange =
          EuropeanExchangeValue(in.S, in.S2, in.T, in.v, in.v2, in.q, in.q2, in.rho);
      const double strike = in.X * std::exp(-in.r * in.T);
      value += max ? strike - in.S2 * std::exp(-in.q2 * in.T) - exchange
                   : strike - in.S * std::exp(-in.q * in.T) + exchange;
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    TwoAssetBracket bracket = StandardBracket<RainbowModel>(in, code);
    if (code == result::ImpliedStrike) bracket.min = -1e12;  // a negative estimate goes on
    return TwoAssetSearch<RainbowModel>(in, code, bracket, err);
  }
};

}  // namespace

QUANTREL_ENTRY(RainbowModel)

}  // namespace quantrel
