// Compound option (Geske 1979): at TimeOption the holder may pay StrikeOption for a European call
// or put on the asset struck at StrikeUnderly and expiring at TimeExpire.
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/Plainoptionsex.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

struct CompoundModel {
  using Arguments = CompoundArguments;
  // T is the underlying option's expiry.
  struct Own {
    int32_t type;  // enumOptionTypeC: compound side first, underlying second
    double X1;     // StrikeUnderly
    double X2;     // StrikeOption: paid at TimeOption for the underlying option
    double t1;     // TimeOption
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .X1 = a.StrikeUnderly, .X2 = a.StrikeOption, .t1 = a.TimeOption};
  }
  static constexpr Slots<Inputs> kSlots{.strikePrice = &Inputs::X1, .timeStart = &Inputs::t1};
  static constexpr Moves<Inputs> kMoves{.times = {&Inputs::T, &Inputs::t1},
                                        .strike = {&Inputs::X1, &Inputs::X2}};

  static bool CompoundIsCall(int32_t type) { return type == Call_Call || type == Call_Put; }
  static bool UnderlyingIsCall(int32_t type) { return type == Call_Call || type == Put_Call; }

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.type < Call_Call || in.type > Put_Put) {
      Fail<OptionTypeErr>(err, "The OptionType is invalid.");
    }
    if (!(in.t1 > 0) || in.t1 > in.T) {
      Fail<TimeOptionErr>(err, "TimeOption must be greater than 0 and less than TimeExpire.");
    }
    if (in.t1 == in.T) in.t1 -= 1e-10;  // the underlying keeps a sliver of life
    if (!(in.X1 > 0)) Fail<StrikeUnderlyErr>(err, "StrikeUnderly must be greater than 0.");
    if (!(in.X2 > 0)) Fail<StrikeOptionErr>(err, "StrikeOption must be greater than 0.");
  }

  enum class Critical { Found, Failed, NeverReached };
  struct CriticalPrice {
    Critical kind;
    double I;
  };

  // The asset price at TimeOption at which the underlying option is worth StrikeOption, by Newton
  // from StrikeUnderly; a search that fails gives the value 0. An underlying put is worth less
  // than X1 e^(-r tau) at any price, so a StrikeOption at or above that is never reached.
  static CriticalPrice FindCriticalPrice(const Inputs& in) {
    const bool call = UnderlyingIsCall(in.type);
    const double tau = in.T - in.t1;
    if (!call && in.X2 >= in.X1 * std::exp(-in.r * tau)) return {Critical::NeverReached, 0};
    const std::optional<double> I = CriticalPriceSearch(
        [&](double price) {
          const ValueDelta u =
              BlackScholesValueDelta(call ? 1 : 2, price, in.X1, tau, in.v, in.r, in.q);
          return Gap{u.value - in.X2, u.delta};
        },
        in.X1, in.X2);
    return I ? CriticalPrice{Critical::Found, *I} : CriticalPrice{Critical::Failed, 0};
  }

  static double Value(const Inputs& in) {
    if (in.type < Call_Call || in.type > Put_Put) return 0;
    const CriticalPrice critical = FindCriticalPrice(in);
    const double S = in.S, X1 = in.X1, X2 = in.X2, t1 = in.t1, T2 = in.T, v = in.v;
    const double optionDiscount = std::exp(-in.r * t1);
    double value = 0;
    if (critical.kind == Critical::NeverReached) {
      // The underlying put is always worth less than StrikeOption: a call on it is never
      // exercised, a put on it always is.
      if (!CompoundIsCall(in.type)) {
        value = X2 * optionDiscount - GeneralizedBlackScholes(2, S, X1, T2, v, in.r, in.q);
      }
    } else if (critical.kind == Critical::Found && critical.I > 0) {
      const double I = critical.I, b = in.r - in.q;
      const double vt1 = v * std::sqrt(t1), vT2 = v * std::sqrt(T2);
      const double y1 = (std::log(S / I) + (b + v * v / 2) * t1) / vt1, y2 = y1 - vt1;
      const double z1 = (std::log(S / X1) + (b + v * v / 2) * T2) / vT2, z2 = z1 - vT2;
      const double rho = std::sqrt(t1 / T2);
      const double asset = S * std::exp(-in.q * T2), strike = X1 * std::exp(-in.r * T2);
      const double option = X2 * optionDiscount;
      switch (in.type) {
        case Call_Call:
          value = asset * BivariateNormal(z1, y1, rho) - strike * BivariateNormal(z2, y2, rho) -
                  option * CumulativeNormal(y2);
          break;
        case Put_Call:
          value = strike * BivariateNormal(z2, -y2, -rho) - asset * BivariateNormal(z1, -y1, -rho) +
                  option * CumulativeNormal(-y2);
          break;
        case Call_Put:
          value = strike * BivariateNormal(-z2, -y2, rho) - asset * BivariateNormal(-z1, -y1, rho) -
                  option * CumulativeNormal(-y2);
          break;
        default:  // Put_Put
          value = asset * BivariateNormal(-z1, y1, -rho) - strike * BivariateNormal(-z2, y2, -rho) +
                  option * CumulativeNormal(y2);
          break;
      }
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    FalsePositionEnds ends{1.0, 0.01};
    if (code == result::ImpliedStrike1) {
      const double up = in.X1 + 0.1, down = in.X1 - 0.1;
      ends = {up > 0 ? up : in.X1, down > 0 ? down : in.X1};
    } else if (code == result::ImpliedStrike2) {
      ends = CompoundIsCall(in.type) ? FalsePositionEnds{0.2, 0.1}
                                     : FalsePositionEnds{in.X2 - 0.1, in.X2 + 0.1};
      if (!(ends.second > 0)) ends.second = in.X2;
    }
    return FalsePositionSearch<CompoundModel>(in, code, ends);
  }
};

}  // namespace

QUANTREL_ENTRY(CompoundModel)

}  // namespace quantrel
