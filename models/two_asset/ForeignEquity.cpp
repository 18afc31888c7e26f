// Foreign equity option: a European option on an asset quoted in a foreign currency, struck in
// domestic currency on the asset's domestic value S E (Domestic), or struck in foreign currency
// and converted at the exchange rate at expiry (Foreign).
#include <cmath>

#include "core/ModelEntry.h"
#include "core/TwoAsset.h"
#include "core/TwoAssetSearch.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

struct ForeignEquityModel {
  using Arguments = ForeignEquityArguments;
  struct Own {
    int32_t type, currency;
    double X, E;
  };
  using Inputs = TwoAssetContract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {
        .type = a.OptionType, .currency = a.CurrencyType, .X = a.StrikePrice, .E = a.ExchangeRate};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type, .strikePrice = &Inputs::X, .exchangeRate = &Inputs::E};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}, .exchangeRate = &Inputs::E};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.currency != Domestic && in.currency != Foreign) {
      Fail<CurrencyTypeErr>(err, "The CurrencyType must be either Domestic or Foreign.");
    }
  }

  // A plain option on A struck at K, with the volatility of the asset's domestic value (product:
  // the correlation adds) or of the asset against the foreign strike (ratio: it subtracts).
  static double Value(const Inputs& in) {
    double A, K, v;
    if (in.currency == Domestic) {
      A = in.S * in.E, K = in.X, v = CombinedVolatility(in.v, in.v2, -in.rho);
    } else if (in.currency == Foreign) {
      A = in.S, K = in.E * in.X, v = CombinedVolatility(in.v, in.v2, in.rho);
    } else {
      return 0;
    }
    const double value = EuropeanOrLimit(in.type, A, K, in.T, v, in.r, in.q);
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    TwoAssetBracket bracket = StandardBracket<ForeignEquityModel>(in, code);
    if (code == result::ImpliedStrike) bracket.lo = 0.1, bracket.hi = 100.0;
    return TwoAssetSearch<ForeignEquityModel>(in, code, bracket, err);
  }
};

}  // namespace

QUANTREL_ENTRY(ForeignEquityModel)

}  // namespace quantrel
