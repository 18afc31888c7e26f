// Single barrier (Reiner-Rubinstein): a European call or put that is knocked out, or comes alive,
// when the asset touches one barrier, with a cash rebate.
#include "models/barrier/BarrierSingle.h"

#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/Plainoptionsex.h"
#include "quantrel/enums.h"

namespace quantrel {

namespace barrier {

double SingleBarrierValue(int32_t type, int32_t barrierType, double S, double X, double H, double K,
                          double T, double v, double r, double q) {
  using core::CumulativeNormal;
  if ((type != CallOption && type != PutOption) || barrierType < Down_Out || barrierType > Up_In) {
    return 0;
  }
  const bool down = barrierType == Down_Out || barrierType == Down_In;
  const bool out = barrierType == Down_Out || barrierType == Up_Out;
  // The formulas below assume the spot on the live side; on the far side they mean nothing.
  if (down ? S <= H : S >= H) {
    if (out) return K;  // paid at the hit, which is now
    const double plain = core::GeneralizedBlackScholes(type, S, X, T, v, r, q);
    return plain >= 0 ? plain : 0;
  }

  const double b = r - q, v2 = v * v;
  const double mu = (b - v2 / 2) / v2, lambda = std::sqrt(mu * mu + 2 * r / v2);
  const double phi = type == CallOption ? 1 : -1, eta = down ? 1 : -1;
  const double s = v * std::sqrt(T);
  const double x1 = std::log(S / X) / s + (1 + mu) * s;
  const double x2 = std::log(S / H) / s + (1 + mu) * s;
  const double y1 = (std::log(H / S) + std::log(H / X)) / s + (1 + mu) * s;
  const double y2 = std::log(H / S) / s + (1 + mu) * s;
  const double z = std::log(H / S) / s + lambda * s;
  const double asset = S * std::exp(-q * T), cash = X * std::exp(-r * T);
  const double ratio = H / S;
  const double assetImage = std::pow(ratio, 2 * (mu + 1)), cashImage = std::pow(ratio, 2 * mu);
  auto N = CumulativeNormal;

  const double A = phi * asset * N(phi * x1) - phi * cash * N(phi * x1 - phi * s);
  const double B = phi * asset * N(phi * x2) - phi * cash * N(phi * x2 - phi * s);
  const double C =
      phi * asset * assetImage * N(eta * y1) - phi * cash * cashImage * N(eta * y1 - eta * s);
  const double D =
      phi * asset * assetImage * N(eta * y2) - phi * cash * cashImage * N(eta * y2 - eta * s);
  const double E =
      K * std::exp(-r * T) * (N(eta * x2 - eta * s) - cashImage * N(eta * y2 - eta * s));
  const double F = K * (std::pow(ratio, mu + lambda) * N(eta * z) +
                        std::pow(ratio, mu - lambda) * N(eta * z - 2 * eta * lambda * s));

  double value = 0;
  const bool call = type == CallOption;
  if (X >= H) {  // a strike on the barrier takes this column
    switch (barrierType) {
      case Down_Out:
        value = call ? A - C + F : A - B + C - D + F;
        break;
      case Down_In:
        value = call ? C + E : B - C + D + E;
        break;
      case Up_Out:
        value = call ? F : B - D + F;
        break;
      default:  // Up_In
        value = call ? A + E : A - B + D + E;
        break;
    }
  } else {
    switch (barrierType) {
      case Down_Out:
        value = call ? B - D + F : F;
        break;
      case Down_In:
        value = call ? A - B + D + E : A + E;
        break;
      case Up_Out:
        value = call ? A - B + C - D + F : A - C + F;
        break;
      default:  // Up_In
        value = call ? B - C + D + E : C + E;
        break;
    }
  }
  return value >= 0 ? value : 0;
}

}  // namespace barrier

namespace {

using namespace core;

struct BarrierSingleModel {
  using Arguments = BarrierSingleArguments;
  struct Own {
    int32_t type, barrierType;
    double X, H, K;  // strike, barrier (shifted once prepared), rebate
    int32_t monitoring;
    bool shifted;  // the barrier has been moved for its monitoring
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .barrierType = a.BarrierType,
            .X = a.StrikePrice,
            .H = a.Barrier,
            .K = a.Rebate,
            .monitoring = a.BarrierMonitoring,
            .shifted = false};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type,
                                        .strikePrice = &Inputs::X,
                                        .barrier = &Inputs::H,
                                        .rebate = &Inputs::K};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.barrierType < Down_Out || in.barrierType > Up_In) {
      Fail<BarrierTypeErr>(err, "The BarrierType is Invalid.");
    }
  }

  static void Prepare(Inputs& in, int32_t* err) {
    if (in.shifted) return;
    in.H = ShiftBarrier(in.S, in.H, in.v, in.monitoring, err);
    in.shifted = true;
  }

  static double Value(const Inputs& in) {
    return barrier::SingleBarrierValue(in.type, in.barrierType, in.S, in.X, in.H, in.K, in.T, in.v,
                                       in.r, in.q);
  }

  // Where spot, strike and barrier meet (or, for the strike sensitivity, strike and barrier), a
  // difference across the barrier would mix two formulas: step forward instead.
  static Levels ReferenceLevels(const Inputs& in, int32_t code) {
    if (code == result::Delta || code == result::Gamma || code == result::StrikeSensitivity) {
      return {in.S, in.X, in.H};
    }
    return {};
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    return FalsePositionSearch<BarrierSingleModel>(in, code,
                                                   StandardEnds<BarrierSingleModel>(in, code));
  }
};

}  // namespace

QUANTREL_ENTRY(BarrierSingleModel)

}  // namespace quantrel
