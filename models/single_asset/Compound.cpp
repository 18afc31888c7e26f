// Compound option (Geske 1979): at TimeOption the holder may pay StrikeOption for a European call
// or put on the asset struck at StrikeUnderly and expiring at TimeExpire.
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/Plainoptionsex.h"
#include "quantrel/enums.h"
#include "quantrel/single_asset.h"

namespace quantrel {
namespace {

using namespace core;

struct CompoundModel {
  struct Inputs {
    int32_t type;  // enumOptionTypeC: compound side first, underlying second
    double S;
    double X2;  // StrikeOption: paid at TimeOption for the underlying option
    double X1;  // StrikeUnderly
    double t1;  // TimeOption
    double T2;  // TimeExpire of the underlying option
    double v, r, q, marketPrice;
    int32_t timeFormat, rateType, yieldType;
  };

  static constexpr uint64_t kServed = Codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 34, 35, 36, 37});
  static constexpr Moves<Inputs> kMoves{
      .asset = {&Inputs::S},
      .times = {&Inputs::T2, &Inputs::t1},
      .vol = {&Inputs::v},
      .rate = {{{&Inputs::r, &Inputs::rateType}}},
      .yield = {{{&Inputs::q, &Inputs::yieldType}}},
      .strike = {&Inputs::X1, &Inputs::X2},
      .expiry = &Inputs::T2,
  };

  static bool CompoundIsCall(int32_t type) { return type == Call_Call || type == Call_Put; }
  static bool UnderlyingIsCall(int32_t type) { return type == Call_Call || type == Put_Call; }

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.type < Call_Call || in.type > Put_Put) {
      Fail(err, OptionTypeErr, "The OptionType is invalid.");
    }
    if (!(in.t1 > 0) || in.t1 > in.T2) {
      Fail(err, TimeOptionErr, "TimeOption must be greater than 0 and less than TimeExpire.");
    }
    if (in.t1 == in.T2) in.t1 -= 1e-10;  // the underlying keeps a sliver of life
    if (!(in.X1 > 0)) Fail(err, StrikeUnderlyErr, "StrikeUnderly must be greater than 0.");
    if (!(in.X2 > 0)) Fail(err, StrikeOptionErr, "StrikeOption must be greater than 0.");
  }

  template <class Bind>
  static void Slots(Bind& bind, Inputs& in) {
    bind(&CommonInputs::assetPrice, in.S);
    bind(&CommonInputs::strikePrice, in.X1);
    bind(&CommonInputs::timeExpire, in.T2);
    bind(&CommonInputs::timeStart, in.t1);
    bind(&CommonInputs::volatility, in.v);
    bind(&CommonInputs::interestRate, in.r);
    bind(&CommonInputs::yieldRate, in.q);
    bind(&CommonInputs::marketPrice, in.marketPrice);
    bind(&CommonInputs::timeFormat, in.timeFormat);
    bind(&CommonInputs::interestRateType, in.rateType);
    bind(&CommonInputs::yieldRateType, in.yieldType);
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
    const double tau = in.T2 - in.t1;
    if (!call && in.X2 >= in.X1 * std::exp(-in.r * tau)) return {Critical::NeverReached, 0};
    const std::optional<double> I = CriticalPriceSearch(
        [&](double price) {
          const ValueDelta u =
              BlackScholesValueDelta(call ? 1 : 2, price, in.X1, tau, in.v, in.r, in.q);
          return Gap{u.value - in.X2, u.delta};
        },
        in.X1, 1e-6);
    return I ? CriticalPrice{Critical::Found, *I} : CriticalPrice{Critical::Failed, 0};
  }

  static double Value(const Inputs& in) {
    if (in.type < Call_Call || in.type > Put_Put) return 0;
    const CriticalPrice critical = FindCriticalPrice(in);
    const double S = in.S, X1 = in.X1, X2 = in.X2, t1 = in.t1, T2 = in.T2, v = in.v;
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
    const Sought sought = code == 5 ? Sought::Volatility : Sought::Strike;
    double Inputs::*field = code == 5 ? &Inputs::v : code == 35 ? &Inputs::X1 : &Inputs::X2;
    FalsePositionEnds ends{1.0, 0.01};
    if (code == 35) {
      const double up = in.X1 + 0.1, down = in.X1 - 0.1;
      ends = {up > 0 ? up : in.X1, down > 0 ? down : in.X1};
    } else if (code == 37) {
      ends = CompoundIsCall(in.type) ? FalsePositionEnds{0.2, 0.1}
                                     : FalsePositionEnds{in.X2 - 0.1, in.X2 + 0.1};
      if (!(ends.second > 0)) ends.second = in.X2;
    }
    auto price = [&](double u) {
      Inputs moved = in;
      moved.*field = u;
      return Value(moved);
    };
    return FalsePositionSearch(price, sought, in.marketPrice, ends);
  }
};

}  // namespace

double Compound(int32_t OptionType, int32_t OptionFunction, double AssetPrice, double StrikeOption,
                double StrikeUnderly, double TimeOption, double TimeExpire, double Volatility,
                double InterestRate, double YieldRate, double MarketPrice, int32_t TimeFormat,
                int32_t InterestRateType, int32_t YieldRateType, int32_t* ErrorCode,
                bool RawSensitivities, bool SkipValidation) {
  return RunEntry<CompoundModel>(
      {OptionType, AssetPrice, StrikeOption, StrikeUnderly, TimeOption, TimeExpire, Volatility,
       InterestRate, YieldRate, MarketPrice, TimeFormat, InterestRateType, YieldRateType},
      OptionFunction, ErrorCode, RawSensitivities, SkipValidation);
}

}  // namespace quantrel
