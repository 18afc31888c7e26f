// Average-rate options: AveragePrice (the average replaces the terminal price) and AverageStrike
// (the average replaces the strike), on a geometric average sampled at ObserveFreq or on a
// continuous arithmetic average matched to a lognormal law by its first two moments. An
// average-strike option is valued as an average-price option with the roles changed: the asset
// price stands for the average and the strike, call and put trade places and so do the rates.
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "core/AcrossSingularity.h"
#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/Plainoptionsex.h"

namespace quantrel {
namespace {

using namespace core;

// Years between observations; 0 for continuous sampling or a frequency that was never checked.
double SamplingInterval(int32_t observeFreq) {
  static constexpr double kInterval[] = {0,       1.0 / 252, 1.0 / 365, 1.0 / 52, 1.0 / 12,
                                         1.0 / 6, 1.0 / 3,   1.0 / 2,   1.0};
  return observeFreq >= 0 && observeFreq <= 8 ? kInterval[observeFreq] : 0;
}

// The kernels' view of a contract: normalised, with the average-strike roles already changed.
struct Averaging {
  int32_t type;
  double S, SA, X, t2, T, v, r, q, h;
};

double GeometricValue(const Averaging& c) {
  const double b = c.r - c.q, v2 = c.v * c.v;
  double h = c.h;
  double tau, t0, elapsed;
  if (c.t2 > 0) {
    tau = c.T - c.t2, t0 = c.t2, elapsed = 0;
  } else {
    tau = c.T, t0 = 0, elapsed = -c.t2;
  }
  if (c.t2 == c.T && h == 0) h = 1e-9;  // an averaging period of no length
  const double D = elapsed + tau + h;
  // Before averaging has begun the weights are exactly 1 and 0, and the powers exactly S and 1
  // (pow is within 0.52 ulp, so x^1 can only be x): S itself, without the two powers.
  const double G0 = elapsed == 0 ? c.S : std::pow(c.S, (tau + h) / D) * std::pow(c.SA, elapsed / D);
  const double sigma = std::sqrt(v2 * (t0 + tau * (tau + h) * (2 * tau + h) / (6 * D * D)));
  const double mu = (b - v2 / 2) * (t0 + tau * (tau + h) / (2 * D));
  const double d1 = sigma + (std::log(G0 / c.X) + mu) / sigma, d2 = d1 - sigma;
  const double forward = G0 * std::exp(mu + sigma * sigma / 2), dr = std::exp(-c.r * c.T);

  double value = 0;
  if (c.type == 1) {
    value = dr * (forward * CumulativeNormal(d1) - c.X * CumulativeNormal(d2));
  } else if (c.type == 2) {
    value = dr * (c.X * CumulativeNormal(-d2) - forward * CumulativeNormal(-d1));
  }
  return value >= 0 ? value : 0;
}

double ArithmeticValueAtYield(const Averaging& c, double q);

// The moments divide by the carry b and by v^2 + 2b, each of which can reach 0: where either
// times the averaging period L is below 1e-3 (the band in the yield capped at 1e-2), the value
// is interpolated across.
double ArithmeticValue(const Averaging& c) {
  const double S = c.S, T = c.T, r = c.r;
  const double P = T - c.t2;  // the whole averaging period
  // Averaging that has not begun by expiry is a single observation at expiry: a plain option.
  if (P == 0) return std::max(GeneralizedBlackScholes(c.type, S, c.X, T, c.v, r, c.q), 0.0);
  const double band = std::min(1e-3 / (T - std::max(c.t2, 0.0)), 1e-2);
  auto priced = [&](double q) { return ArithmeticValueAtYield(c, q); };
  const double zeroWeight = r + c.v * c.v / 2;  // the yield at which v^2 + 2b = 0
  if (std::fabs(c.q - r) < band) return AcrossSingularity(c.q, r, band, priced);
  return AcrossSingularity(c.q, zeroWeight, band, priced);
}

double ArithmeticValueAtYield(const Averaging& c, double q) {
  const double S = c.S, T = c.T, v2 = c.v * c.v, r = c.r;
  const double P = T - c.t2;
  const double b = r - q;
  const double dr = std::exp(-r * T);

  // The prices still to be averaged run over the last L years of the life: all of it when
  // averaging is under way, the part after `start` when it has yet to begin.
  const double start = c.t2 > 0 ? c.t2 : 0, L = T - start;
  const double elapsed = c.t2 < 0 ? -c.t2 : 0;

  // Present value of the expected average; e^(bL) - 1 kept accurate for a small carry.
  const double growth = std::expm1(b * L) / b;
  const double A = S * dr * std::exp(b * start) * growth / P;

  const double w = v2 + 2 * b;
  // [(e^(wL) - 1)/w - (e^(b'L) - 1)/b'] / (v^2 + b') with w = b' + (v^2 + b'): a divided
  // difference, written so that it keeps its accuracy as v^2 + b' goes to 0.
  const double z = (v2 + b) * L;
  const double phi = z == 0 ? 1 : std::expm1(z) / z;
  const double x = b * L;
  const double F = (x * std::exp(x) * phi - std::expm1(x)) / (b * w);
  const double M2 = 2 * S * S * std::exp(w * start) * F / (P * P);
  // ln M2 - 2 (ln A + rT): the log of the second moment over the squared first.
  const double variance = v2 * start + std::log(2 * F / (growth * growth));

  const double Xadj = c.X - c.SA * elapsed / P;  // the strike less the average carried
  const double Xpv = Xadj * dr;
  double value = 0;
  if (!(Xadj > 0)) {
    // The average already carried is enough: the call is sure to be exercised.
    value = c.type == 1 ? A - Xpv : 0;
  } else if (!(variance > 0)) {
    // No spread left in the average: the payoff is known.
    value = c.type == 1 ? A - Xpv : Xpv - A;
  } else {
    const double sigma = std::sqrt(variance);
    const double d1 = (std::log(M2) / 2 - std::log(Xadj)) / sigma, d2 = d1 - sigma;
    const double call = A * CumulativeNormal(d1) - Xpv * CumulativeNormal(d2);
    if (c.type == 1) value = call;
    if (c.type == 2) value = Xpv + call - A;
  }
  return value >= 0 ? value : 0;
}

struct AveragePriceModel {
  using Arguments = AveragePriceArguments;
  struct Own {
    int32_t type, averageType;
    double SA, X, t2;  // the average so far, the strike, the time to the start of averaging
    int32_t observeFreq;
    double h;  // the sampling interval belongs to the call, so concurrent calls cannot mix them
    bool averageStrike;  // S also stands for the average and the strike; r and q trade places
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .averageType = a.AverageType,
            .SA = a.AveragePrice,
            .X = a.StrikePrice,
            .t2 = a.TimeToAverage,
            .observeFreq = a.ObserveFreq,
            .h = SamplingInterval(a.ObserveFreq),
            .averageStrike = false};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type,
      .strikePrice = &Inputs::X,
      .timeStart = &Inputs::t2,  // signed: this model code neither checks nor floors it
  };
  static constexpr uint8_t kModelCode = kAverageRate;
  // Rho and Psi bump the caller's quotes; the kernel's view decides which of its rates each is.
  static constexpr Moves<Inputs> kMoves{
      .strike = {&Inputs::X},
      .thetaFloor = &Inputs::t2,  // Theta lowers TimeExpire, never past a future start of averaging
  };

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.observeFreq < 0 || in.observeFreq > 8) {
      Fail<ObserveFreqErr>(err, "The ObserveFreq is invalid.");
    }
    if (in.averageType != 1 && in.averageType != 2) {
      Fail<AverageTypeErr>(err, "The AverageType is invalid.");
    }
    if (in.t2 > in.T || std::isnan(in.t2)) {  // nothing later checks this time
      Fail<TimeToAverageErr>(err, "The TimeExpire must be greater than the TimeToAverage.");
    }
    // The average so far is taken as given, but it must be a number.
    if (!in.averageStrike && !std::isfinite(in.SA)) {
      Fail<AssetPriceErr>(err, "AveragePrice must be a finite number.");
    }
  }

  static Averaging View(const Inputs& in) {
    if (in.averageStrike) {
      return {in.type, in.S, in.S, in.S, in.t2, in.T, in.v, in.q, in.r, in.h};
    }
    return {in.type, in.S, in.SA, in.X, in.t2, in.T, in.v, in.r, in.q, in.h};
  }

  static double Value(const Inputs& in) {
    const Averaging c = View(in);
    if (in.averageType == 1) return GeometricValue(c);
    if (in.averageType == 2) return ArithmeticValue(c);
    return 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    const FalsePositionEnds ends = code == result::ImpliedVol
                                       ? FalsePositionEnds{1.0, 0.1}
                                       : StandardEnds<AveragePriceModel>(in, code);
    return FalsePositionSearch<AveragePriceModel>(in, code, ends, EndOrder::Once);
  }
};

// The average-strike option has no strike of its own to move or solve for. A call on S less the
// average is valued as a put on the average struck at S; only the two valid types trade places,
// so an invalid one is still reported as such.
struct AverageStrikeModel : AveragePriceModel {
  using Arguments = AverageStrikeArguments;
  static Own Bind(const Arguments& a, Market& m) {
    const int32_t type = a.OptionType;
    return {.type = type == 1   ? 2
                    : type == 2 ? 1
                                : type,
            .averageType = a.AverageType,
            .SA = m.S,
            .X = m.S,
            .t2 = 0.0,
            .observeFreq = a.ObserveFreq,
            .h = SamplingInterval(a.ObserveFreq),
            .averageStrike = true};
  }
  static constexpr Moves<Inputs> kMoves{};
};

}  // namespace

QUANTREL_ENTRY(AveragePriceModel)
QUANTREL_ENTRY(AverageStrikeModel)

}  // namespace quantrel
