// Takeover foreign-exchange option: a call on NumCurrency units of foreign currency at the strike
// exchange rate, paid at expiry only if the takeover of a foreign firm succeeds, that is, if the
// firm's value ends below NumCurrency units of currency.
#include <cmath>

#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/TwoAssetSearch.h"

namespace quantrel {
namespace {

using namespace core;

struct TakeoverFXModel {
  using Arguments = TakeoverFXArguments;
  struct Own {
    double N, X, E;
  };
  using Inputs = TwoAssetContract<Own>;
  // The firm's value and volatility take the asset's roles.
  static Own Bind(const Arguments& a, Market& m) {
    m.S = a.ValueFirm;
    m.v = a.VolFirm;
    return {.N = a.NumCurrency, .X = a.StrikePrice, .E = a.ExchangeRate};
  }
  static constexpr Slots<Inputs> kSlots{.strikePrice = &Inputs::X, .exchangeRate = &Inputs::E};
  // No yield: the method's declared enumeration offers Psi (and a plain Rho), which it refuses.
  static constexpr std::string_view kFunctions = "enumOptionFncsTX";
  static constexpr Moves<Inputs> kMoves{
      .yield = {}, .strike = {&Inputs::X}, .exchangeRate = &Inputs::E};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.r > 0)) Fail<IntRateDomErr>(err, "IntRateDom must be greater than 0.");
    if (!(in.r2 > 0)) Fail<IntRateForErr>(err, "IntRateFor must be greater than 0.");
    // Any amount is accepted, but not one that is no number at all.
    if (!std::isfinite(in.N)) Fail<Quantity1Err>(err, "NumCurrency must be a finite number.");
  }

  static double Value(const Inputs& in) {
    // The firm's value is positive, so a takeover bound to NumCurrency <= 0 never succeeds.
    if (!(in.N > 0)) return 0;
    const double T = in.T, sT = std::sqrt(T), vV = in.v, vE = in.v2, rho = in.rho;
    const double a1 =
        (std::log(in.S / in.N) + (in.r2 - rho * vE * vV - vV * vV / 2) * T) / (vV * sT);
    const double a2 = (std::log(in.E / in.X) + (in.r - in.r2 - vE * vE / 2) * T) / (vE * sT);
    const double value = in.N * (in.E * std::exp(-in.r2 * T) *
                                     BivariateNormal(a2 + vE * sT, -a1 - rho * vE * sT, -rho) -
                                 in.X * std::exp(-in.r * T) * BivariateNormal(-a1, a2, -rho));
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    TwoAssetBracket bracket = StandardBracket<TakeoverFXModel>(in, code);
    if (code == result::ImpliedStrike) bracket.lo = 0.1, bracket.hi = 100.0;
    return TwoAssetSearch<TakeoverFXModel>(in, code, bracket, err);
  }
};

}  // namespace

QUANTREL_ENTRY(TakeoverFXModel)

}  // namespace quantrel
