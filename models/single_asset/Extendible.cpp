// Writer-extendible option: a European option (StrikeInitial, TimeInitial) that, ending out of the
// money, is extended to TimeExtended with the strike StrikeExtended. Rates are always
// continuously compounded.
#include <cmath>
#include <limits>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"
#include "core/Plainoptionsex.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

struct WriterExtendibleModel {
  using Arguments = WriterExtendibleArguments;
  // The first expiry T (TimeInitial) converts the rates and is checked as the expiry; the method
  // takes no rate conventions, so Rho and Psi move continuous rates.
  struct Own {
    int32_t type;
    double X1, X2, T2;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market& m) {
    m.T = a.TimeInitial;
    return {
        .type = a.OptionType, .X1 = a.StrikeInitial, .X2 = a.StrikeExtended, .T2 = a.TimeExtended};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type, .timeStart = &Inputs::T2};
  static constexpr Moves<Inputs> kMoves{.times = {&Inputs::T, &Inputs::T2},
                                        .strike = {&Inputs::X1, &Inputs::X2}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.T > 0) || in.T > in.T2) {
      Fail<TimeInitialErr>(err,
                           "TimeInitial must be greater than 0 and less than the TimeExtended.");
    }
    if (!(in.T2 > 0)) Fail<TimeExtendedErr>(err, "TimeExtended must be greater than 0.");
    if (in.T == in.T2) in.T -= 1e-10;  // the extension keeps a sliver of life
    // The strikes are taken as given, any sign, but they must be numbers.
    if (!std::isfinite(in.X1)) Fail<StrikePriceErr>(err, "StrikeInitial must be a finite number.");
    if (!std::isfinite(in.X2)) Fail<StrikePriceErr>(err, "StrikeExtended must be a finite number.");
  }

  // The strikes are not validated: they stay out of the common slots.

  // ln(S/X), where a strike that is not > 0 lies below every price: the limit +infinity, which the
  // normal distributions below take as certainty.
  static double LogMoneyness(double S, double X) {
    return X <= 0 ? std::numeric_limits<double>::infinity() : std::log(S / X);
  }

  static double Value(const Inputs& in) {
    const double S = in.S, X1 = in.X1, X2 = in.X2, t1 = in.T, T2 = in.T2, v = in.v;
    const double b = in.r - in.q;
    const bool call = in.type == 1;
    if (!call && in.type != 2) return 0;
    // A strike not > 0 leaves a call always exercised and a put never.
    const double V0 = X1 > 0 ? GeneralizedBlackScholes(in.type, S, X1, t1, v, in.r, in.q)
                      : call ? S * std::exp(-in.q * t1) - X1 * std::exp(-in.r * t1)
                             : 0;
    const double vt1 = v * std::sqrt(t1), vT2 = v * std::sqrt(T2);
    const double z1 = (LogMoneyness(S, X2) + (b + v * v / 2) * T2) / vT2;
    const double z2 = (LogMoneyness(S, X1) + (b + v * v / 2) * t1) / vt1;
    const double rho = std::sqrt(t1 / T2);
    const double asset = S * std::exp(-in.q * T2), strike = X2 * std::exp(-in.r * T2);
    const double value = call ? V0 + asset * BivariateNormal(z1, -z2, -rho) -
                                    strike * BivariateNormal(z1 - vT2, -z2 + vt1, -rho)
                              : V0 + strike * BivariateNormal(-z1 + vT2, z2 - vt1, -rho) -
                                    asset * BivariateNormal(-z1, z2, -rho);
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    const double P = in.marketPrice;
    const bool call = in.type == 1;
    double seed;
    if (code == result::ImpliedVol) {
      // Seeded from the initial option; from the extension when the initial strike is degenerate.
      seed = in.X1 > 0   ? ManasterKoehlerSeed(in.S, in.X1, in.r, in.T)
             : in.X2 > 0 ? ManasterKoehlerSeed(in.S, in.X2, in.r, in.T2)
                         : 0.25;
    } else {
      seed = StrikeSeed(call, in.S, P, code == result::ImpliedStrike1 ? in.X1 : in.X2);
    }
    return NewtonSearch<WriterExtendibleModel>(in, code, seed, err);
  }
};

}  // namespace

QUANTREL_ENTRY(WriterExtendibleModel)

}  // namespace quantrel
