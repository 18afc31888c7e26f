// Complex chooser: at TimeChoose the holder picks a call (StrikeCall, TimeCall) or a put
// (StrikePut, TimePut) (Rubinstein 1991). Rates are always continuously compounded.
#include <algorithm>
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/Plainoptionsex.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

struct ComplexChooserModel {
  using Arguments = ComplexChooserArguments;
  // The choice date T converts the rates and is checked as the expiry; the method takes no rate
  // conventions, so Rho and Psi move continuous rates.
  struct Own {
    double Xc, Xp, Tc, Tp;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market& m) {
    m.T = a.TimeChoose;
    return {.Xc = a.StrikeCall, .Xp = a.StrikePut, .Tc = a.TimeCall, .Tp = a.TimePut};
  }
  static constexpr Slots<Inputs> kSlots{
      .strikePrice = &Inputs::Xc, .timeStart = &Inputs::Tc, .time2 = &Inputs::Tp};
  static constexpr Moves<Inputs> kMoves{.times = {&Inputs::T, &Inputs::Tc, &Inputs::Tp},
                                        .strike = {&Inputs::Xc, &Inputs::Xp}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.T > 0) || in.T > in.Tc || in.T > in.Tp) {
      Fail<ChooserTimeErr>(
          err, "TimeChooser must be greater than 0 and less than both TimeCall and TimePut.");
    }
    // A choice at an expiry is made a sliver before it; at both expiries, two slivers before.
    const bool atCall = in.T == in.Tc, atPut = in.T == in.Tp;
    if (atCall) in.T -= 1e-10;
    if (atPut) in.T -= 1e-10;
    if (!(in.Tc > 0)) Fail<TimeCallErr>(err, "TimeCall must be greater than 0.");
    if (!(in.Tp > 0)) Fail<TimePutErr>(err, "TimePut must be greater than 0.");
    if (!(in.Xc > 0)) Fail<StrikeCallErr>(err, "StrikeCall must be greater than 0.");
    if (!(in.Xp > 0)) Fail<StrikePutErr>(err, "StrikePut must be greater than 0.");
  }

  // The asset price at TimeChoose at which the call and the put are worth the same, 0 when the
  // search fails. Call minus put rises from -Xp e^(-r(Tp-t)) without bound, so one such price
  // exists; Newton from S finds it.
  static double CriticalPrice(const Inputs& in) {
    const double t = in.T;  // TimeChoose
    const std::optional<double> I = CriticalPriceSearch(
        [&](double price) {
          const CallPutPair p =
              BlackScholesCallPutPair(price, in.Xc, in.Xp, t, in.Tc, in.Tp, in.v, in.r, in.q);
          return Gap{p.callValue - p.putValue, p.callDelta - p.putDelta};
        },
        in.S, std::min(in.Xc, in.Xp));
    return I.value_or(0);
  }

  static double Value(const Inputs& in) {
    const double t = in.T;  // TimeChoose
    const double I = CriticalPrice(in);
    const double b = in.r - in.q;
    double d1, d2;  // 0 and 0 when no critical price was found
    ComputeD1D2(1, in.S, I, in.r, in.q, t, t, in.v, 1, 1, d1, d2);
    const double vTc = in.v * std::sqrt(in.Tc), vTp = in.v * std::sqrt(in.Tp);
    const double y1 = (std::log(in.S / in.Xc) + (b + in.v * in.v / 2) * in.Tc) / vTc;
    const double y2 = (std::log(in.S / in.Xp) + (b + in.v * in.v / 2) * in.Tp) / vTp;
    const double rho1 = std::sqrt(t / in.Tc), rho2 = std::sqrt(t / in.Tp);
    const double value = in.S * std::exp(-in.q * in.Tc) * BivariateNormal(d1, y1, rho1) -
                         in.Xc * std::exp(-in.r * in.Tc) * BivariateNormal(d2, y1 - vTc, rho1) -
                         in.S * std::exp(-in.q * in.Tp) * BivariateNormal(-d1, -y2, rho2) +
                         in.Xp * std::exp(-in.r * in.Tp) * BivariateNormal(-d2, -y2 + vTp, rho2);
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    const double P = in.marketPrice;
    const double seed = code == result::ImpliedVol ? ManasterKoehlerSeed(in.S, in.Xc, in.r, in.Tc)
                        : code == result::ImpliedStrike1 ? StrikeSeed(true, in.S, P, in.Xc)
                                                         : StrikeSeed(false, in.S, P, in.Xp);
    return NewtonSearch<ComplexChooserModel>(in, code, seed, err);
  }
};

}  // namespace

QUANTREL_ENTRY(ComplexChooserModel)

}  // namespace quantrel
