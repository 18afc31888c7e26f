// Equity-linked foreign-exchange option: a European option on the exchange rate whose notional is
// the price of a foreign asset; the Domestic call pays S max(E - X, 0).
#include <cmath>

#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/TwoAssetSearch.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

struct EquityLinkedFXModel {
  using Arguments = EquityLinkedFXArguments;
  struct Own {
    int32_t type, currency;  // the currency type is not checked: any other one is worth 0
    double X, E;
  };
  using Inputs = TwoAssetContract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {
        .type = a.OptionType, .currency = a.CurrencyType, .X = a.StrikePrice, .E = a.ExchangeRate};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type, .strikePrice = &Inputs::X, .exchangeRate = &Inputs::E};
  static constexpr uint8_t kModelCode = kQuantoModels;
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}, .exchangeRate = &Inputs::E};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.r > 0)) Fail<IntRateDomErr>(err, "IntRateDom must be greater than 0.");
    if (!(in.r2 > 0)) Fail<IntRateForErr>(err, "IntRateFor must be greater than 0.");
  }

  static double Value(const Inputs& in) {
    if (in.currency != Domestic && in.currency != Foreign) return 0;
    const double T = in.T, sT = std::sqrt(T), vE = in.v2;
    const double covariance = in.rho * in.v * vE;
    const double d1 =
        (std::log(in.E / in.X) + (in.r - in.r2 + covariance + vE * vE / 2) * T) / (vE * sT);
    const double d2 = d1 - vE * sT;
    const double g = std::exp((in.r2 - in.r - in.q - covariance) * T);
    const double received = (in.currency == Domestic ? in.S * in.E : in.S) * std::exp(-in.q * T);
    const double paid = (in.currency == Domestic ? in.S * in.X : in.S * in.E * in.X) * g;
    double value = 0;
    if (in.type == 1) {
      value = received * CumulativeNormal(d1) - paid * CumulativeNormal(d2);
    } else if (in.type == 2) {
      value = paid * CumulativeNormal(-d2) - received * CumulativeNormal(-d1);
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    TwoAssetBracket bracket = StandardBracket<EquityLinkedFXModel>(in, code);
    if (code == result::ImpliedStrike) bracket.lo = 0.1, bracket.hi = 100.0;
    if (code == result::ImpliedCorrelation) bracket.min = -100, bracket.max = 100;
    return TwoAssetSearch<EquityLinkedFXModel>(in, code, bracket, err);
  }
};

}  // namespace

QUANTREL_ENTRY(EquityLinkedFXModel)

}  // namespace quantrel
