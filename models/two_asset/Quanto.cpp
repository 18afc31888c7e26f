// Quanto option: a European option on an asset quoted in a foreign currency, its payoff in
// foreign units converted to domestic currency at a rate fixed in advance (ExchangeRate). The
// asset drifts at the foreign rate less its yield and less the covariance with the exchange rate.
#include <cmath>

#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/TwoAssetSearch.h"

namespace quantrel {
namespace {

using namespace core;

struct QuantoModel {
  using Arguments = QuantoArguments;
  struct Own {
    int32_t type;
    double X, Ep;
  };
  using Inputs = TwoAssetContract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .X = a.StrikePrice, .Ep = a.ExchangeRate};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type, .strikePrice = &Inputs::X, .exchangeRate = &Inputs::Ep};
  static constexpr uint8_t kModelCode = kQuantoModels;
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}, .exchangeRate = &Inputs::Ep};

  // The common checks know one interest rate; both of these come first.
  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.r > 0)) Fail<IntRateDomErr>(err, "IntRateDom must be greater than 0.");
    if (!(in.r2 > 0)) Fail<IntRateForErr>(err, "IntRateFor must be greater than 0.");
  }

  static double Value(const Inputs& in) {
    const double T = in.T, sT = std::sqrt(T), vS = in.v;
    const double b = in.r2 - in.q - in.rho * vS * in.v2;
    const double d1 = (std::log(in.S / in.X) + (b + vS * vS / 2) * T) / (vS * sT);
    const double d2 = d1 - vS * sT;
    const double asset = in.S * std::exp((b - in.r) * T), strike = in.X * std::exp(-in.r * T);
    double value = 0;
    if (in.type == 1) {
      value = in.Ep * (asset * CumulativeNormal(d1) - strike * CumulativeNormal(d2));
    } else if (in.type == 2) {
      value = in.Ep * (strike * CumulativeNormal(-d2) - asset * CumulativeNormal(-d1));
    }
    return value >= 0 ? value : 0;
  }

  // The correlation enters only the drift, so any value prices: the search may go to +-100.
  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    TwoAssetBracket bracket = StandardBracket<QuantoModel>(in, code);
    if (code == result::ImpliedStrike) bracket.lo = 0.1, bracket.hi = 100.0;
    if (code == result::ImpliedCorrelation) bracket.min = -100, bracket.max = 100;
    return TwoAssetSearch<QuantoModel>(in, code, bracket, err);
  }
};

}  // namespace

QUANTREL_ENTRY(QuantoModel)

}  // namespace quantrel
