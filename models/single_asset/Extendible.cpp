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
#include "quantrel/single_asset.h"

namespace quantrel {
namespace {

using namespace core;

struct WriterExtendibleModel {
  struct Inputs {
    int32_t type;
    double S, X1, X2, t1, T2, v, r, q, marketPrice;
    int32_t timeFormat;
    // The method takes no rate conventions: Rho and Psi move continuous rates.
    int32_t rateType = Continuous, yieldType = Continuous;
  };

  static constexpr uint64_t kServed = Codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 34, 35, 36, 37});
  static constexpr Moves<Inputs> kMoves{
      .asset = {&Inputs::S},
      .times = {&Inputs::t1, &Inputs::T2},
      .vol = {&Inputs::v},
      .rate = {{{&Inputs::r, &Inputs::rateType}}},
      .yield = {{{&Inputs::q, &Inputs::yieldType}}},
      .strike = {&Inputs::X1, &Inputs::X2},
      .expiry = &Inputs::t1,
  };

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.t1 > 0) || in.t1 > in.T2) {
      Fail(err, TimeInitialErr,
           "TimeInitial must be greater than 0 and less than the TimeExtended.");
    }
    if (!(in.T2 > 0)) Fail(err, TimeExtendedErr, "TimeExtended must be greater than 0.");
    if (in.t1 == in.T2) in.t1 -= 1e-10;  // the extension keeps a sliver of life
    // The strikes are taken as given, any sign, but they must be numbers.
    if (!std::isfinite(in.X1)) Fail(err, StrikePriceErr, "StrikeInitial must be a finite number.");
    if (!std::isfinite(in.X2)) Fail(err, StrikePriceErr, "StrikeExtended must be a finite number.");
  }

  // The strikes are not validated: they stay out of the common slots.
  template <class Bind>
  static void Slots(Bind& bind, Inputs& in) {
    bind(&CommonInputs::optionType, in.type);
    bind(&CommonInputs::assetPrice, in.S);
    bind(&CommonInputs::timeExpire, in.t1);
    bind(&CommonInputs::timeStart, in.T2);
    bind(&CommonInputs::volatility, in.v);
    bind(&CommonInputs::interestRate, in.r);
    bind(&CommonInputs::yieldRate, in.q);
    bind(&CommonInputs::marketPrice, in.marketPrice);
    bind(&CommonInputs::timeFormat, in.timeFormat);
  }

  // ln(S/X), where a strike that is not > 0 lies below every price: the limit +infinity, which the
  // normal distributions below take as certainty.
  static double LogMoneyness(double S, double X) {
    return X <= 0 ? std::numeric_limits<double>::infinity() : std::log(S / X);
  }

  static double Value(const Inputs& in) {
    const double S = in.S, X1 = in.X1, X2 = in.X2, t1 = in.t1, T2 = in.T2, v = in.v;
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
    switch (code) {
      case 5: {
        // Seeded from the initial option; from the extension when the initial strike is degenerate.
        const double seed = in.X1 > 0   ? ManasterKoehlerSeed(in.S, in.X1, in.r, in.t1)
                            : in.X2 > 0 ? ManasterKoehlerSeed(in.S, in.X2, in.r, in.T2)
                                        : 0.25;
        return NewtonSearch<WriterExtendibleModel>(in, &Inputs::v, Sought::Volatility, 6, P, seed,
                                                   err);
      }
      case 35:
        return NewtonSearch<WriterExtendibleModel>(in, &Inputs::X1, Sought::Strike, 34, P,
                                                   StrikeSeed(call, in.S, P, in.X1), err);
      default:
        return NewtonSearch<WriterExtendibleModel>(in, &Inputs::X2, Sought::Strike, 36, P,
                                                   StrikeSeed(call, in.S, P, in.X2), err);
    }
  }
};

}  // namespace

double WriterExtendible(int32_t OptionType, int32_t OptionFunction, double AssetPrice,
                        double StrikeInitial, double StrikeExtended, double TimeInitial,
                        double TimeExtended, double Volatility, double InterestRate,
                        double YieldRate, double MarketPrice, int32_t TimeFormat,
                        int32_t* ErrorCode, bool RawSensitivities, bool SkipValidation) {
  return RunEntry<WriterExtendibleModel>(
      {OptionType, AssetPrice, StrikeInitial, StrikeExtended, TimeInitial, TimeExtended, Volatility,
       InterestRate, YieldRate, MarketPrice, TimeFormat},
      OptionFunction, ErrorCode, RawSensitivities, SkipValidation);
}

}  // namespace quantrel
