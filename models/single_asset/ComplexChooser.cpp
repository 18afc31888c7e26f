// Complex chooser: at TimeChoose the holder picks a call (StrikeCall, TimeCall) or a put
// (StrikePut, TimePut) (Rubinstein 1991). Rates are always continuously compounded.
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

struct ComplexChooserModel {
  struct Inputs {
    double S, Xc, Xp, t, Tc, Tp, v, r, q, marketPrice;
    int32_t timeFormat;
    // The method takes no rate conventions: Rho and Psi move continuous rates.
    int32_t rateType = Continuous, yieldType = Continuous;
  };

  static constexpr uint64_t kServed = Codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 34, 35, 36, 37});
  static constexpr Moves<Inputs> kMoves{
      .asset = {&Inputs::S},
      .times = {&Inputs::t, &Inputs::Tc, &Inputs::Tp},
      .vol = {&Inputs::v},
      .rate = {{{&Inputs::r, &Inputs::rateType}}},
      .yield = {{{&Inputs::q, &Inputs::yieldType}}},
      .strike = {&Inputs::Xc, &Inputs::Xp},
      .expiry = &Inputs::t,
  };

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.t > 0) || in.t > in.Tc || in.t > in.Tp) {
      Fail(err, ChooserTimeErr,
           "TimeChooser must be greater than 0 and less than both TimeCall and TimePut.");
    }
    // A choice at an expiry is made a sliver before it; at both expiries, two slivers before.
    const bool atCall = in.t == in.Tc, atPut = in.t == in.Tp;
    if (atCall) in.t -= 1e-10;
    if (atPut) in.t -= 1e-10;
    if (!(in.Tc > 0)) Fail(err, TimeCallErr, "TimeCall must be greater than 0.");
    if (!(in.Tp > 0)) Fail(err, TimePutErr, "TimePut must be greater than 0.");
    if (!(in.Xc > 0)) Fail(err, StrikeCallErr, "StrikeCall must be greater than 0.");
    if (!(in.Xp > 0)) Fail(err, StrikePutErr, "StrikePut must be greater than 0.");
  }

  template <class Bind>
  static void Slots(Bind& bind, Inputs& in) {
    bind(&CommonInputs::assetPrice, in.S);
    bind(&CommonInputs::strikePrice, in.Xc);
    bind(&CommonInputs::timeExpire, in.t);
    bind(&CommonInputs::timeStart, in.Tc);
    bind(&CommonInputs::time2, in.Tp);
    bind(&CommonInputs::volatility, in.v);
    bind(&CommonInputs::interestRate, in.r);
    bind(&CommonInputs::yieldRate, in.q);
    bind(&CommonInputs::marketPrice, in.marketPrice);
    bind(&CommonInputs::timeFormat, in.timeFormat);
  }

  // The asset price at TimeChoose at which the call and the put are worth the same, 0 when the
  // search fails. Call minus put rises from -Xp e^(-r(Tp-t)) without bound, so one such price
  // exists; Newton from S finds it.
  static double CriticalPrice(const Inputs& in) {
    const std::optional<double> I = CriticalPriceSearch(
        [&](double price) {
          const CallPutPair p =
              BlackScholesCallPutPair(price, in.Xc, in.Xp, in.t, in.Tc, in.Tp, in.v, in.r, in.q);
          return Gap{p.callValue - p.putValue, p.callDelta - p.putDelta};
        },
        in.S, 1e-5);
    return I.value_or(0);
  }

  static double Value(const Inputs& in) {
    const double I = CriticalPrice(in);
    const double b = in.r - in.q;
    double d1, d2;  // 0 and 0 when no critical price was found
    ComputeD1D2(1, in.S, I, in.r, in.q, in.t, in.t, in.v, 1, 1, d1, d2);
    const double vTc = in.v * std::sqrt(in.Tc), vTp = in.v * std::sqrt(in.Tp);
    const double y1 = (std::log(in.S / in.Xc) + (b + in.v * in.v / 2) * in.Tc) / vTc;
    const double y2 = (std::log(in.S / in.Xp) + (b + in.v * in.v / 2) * in.Tp) / vTp;
    const double rho1 = std::sqrt(in.t / in.Tc), rho2 = std::sqrt(in.t / in.Tp);
    const double value = in.S * std::exp(-in.q * in.Tc) * BivariateNormal(d1, y1, rho1) -
                         in.Xc * std::exp(-in.r * in.Tc) * BivariateNormal(d2, y1 - vTc, rho1) -
                         in.S * std::exp(-in.q * in.Tp) * BivariateNormal(-d1, -y2, rho2) +
                         in.Xp * std::exp(-in.r * in.Tp) * BivariateNormal(-d2, -y2 + vTp, rho2);
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    const double P = in.marketPrice;
    switch (code) {
      case 5:
        return NewtonSearch<ComplexChooserModel>(in, &Inputs::v, Sought::Volatility, 6, P,
                                                 ManasterKoehlerSeed(in.S, in.Xc, in.r, in.Tc),
                                                 err);
      case 35:
        return NewtonSearch<ComplexChooserModel>(in, &Inputs::Xc, Sought::Strike, 34, P,
                                                 StrikeSeed(true, in.S, P, in.Xc), err);
      default:
        return NewtonSearch<ComplexChooserModel>(in, &Inputs::Xp, Sought::Strike, 36, P,
                                                 StrikeSeed(false, in.S, P, in.Xp), err);
    }
  }
};

}  // namespace

double ComplexChooser(int32_t OptionFunction, double AssetPrice, double StrikeCall,
                      double StrikePut, double TimeChoose, double TimeCall, double TimePut,
                      double Volatility, double InterestRate, double YieldRate, double MarketPrice,
                      int32_t TimeFormat, int32_t* ErrorCode, bool RawSensitivities,
                      bool SkipValidation) {
  return RunEntry<ComplexChooserModel>(
      {AssetPrice, StrikeCall, StrikePut, TimeChoose, TimeCall, TimePut, Volatility, InterestRate,
       YieldRate, MarketPrice, TimeFormat},
      OptionFunction, ErrorCode, RawSensitivities, SkipValidation);
}

}  // namespace quantrel
