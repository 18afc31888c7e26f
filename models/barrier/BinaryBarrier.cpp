// Binary barrier options (Reiner-Rubinstein): cash- or asset-or-nothing calls and puts with a
// barrier, and payments that depend on the barrier alone (OptionType Both), at expiry or at the
// hit.
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "quantrel/enums.h"

namespace quantrel {
namespace {

using namespace core;

struct BinaryBarrierModel {
  using Arguments = BinaryBarrierArguments;
  struct Own {
    int32_t type, barrierType, payoffType, timePayoff;
    double X, H, K;  // strike, barrier (shifted once prepared), cash amount
    int32_t monitoring;
    bool shifted;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .barrierType = a.BarrierType,
            .payoffType = a.PayoffType,
            .timePayoff = a.TimePayoff,
            .X = a.StrikePrice,
            .H = a.Barrier,
            .K = a.Rebate,
            .monitoring = a.BarrierMonitoring,
            .shifted = false};
  }
  // The common checks see a call, so that Both passes them.
  static constexpr Slots<Inputs> kSlots{
      .strikePrice = &Inputs::X, .barrier = &Inputs::H, .rebate = &Inputs::K};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.barrierType < Down_Out || in.barrierType > Up_In) {
      Fail<BarrierTypeErr>(err, "The BarrierType is Invalid.");
    }
    if (in.timePayoff != At_Expiration && in.timePayoff != At_Hit) {
      Fail<TimePayoffErr>(err, "The TimePayoff is Invalid.");
    }
    if (in.payoffType != Cash_Nothing && in.payoffType != Asset_Nothing) {
      Fail<PayoffTypeErr>(err, "The PayoffType is Invalid.");
    }
    if (in.type < Call_Option || in.type > Both) {
      Fail<OptionTypeErr>(err, "The OptionType is invalid.");
    }
  }

  static void Prepare(Inputs& in, int32_t* err) {
    if (in.shifted) return;
    in.H = ShiftBarrier(in.S, in.H, in.v, in.monitoring, err);
    in.shifted = true;
  }

  // What is owed once the barrier has been hit: a knock-in call or put has become the plain
  // digital, a knock-in Both pays for certain (now if at the hit); a knock-out nothing.
  static double AfterTheHit(const Inputs& in, bool out, double plainCash, double plainAsset) {
    if (out) return 0;
    const bool cash = in.payoffType == Cash_Nothing;
    if (in.type != Both) return cash ? plainCash : plainAsset;
    if (in.timePayoff == At_Hit) return in.K;
    return cash ? in.K * std::exp(-in.r * in.T) : in.S * std::exp(-in.q * in.T);
  }

  static double Value(const Inputs& in) {
    if (in.type < Call_Option || in.type > Both || in.barrierType < Down_Out ||
        in.barrierType > Up_In ||
        (in.payoffType != Cash_Nothing && in.payoffType != Asset_Nothing)) {
      return 0;
    }
    const double S = in.S, X = in.X, H = in.H, T = in.T, v = in.v, r = in.r, q = in.q;
    const bool down = in.barrierType == Down_Out || in.barrierType == Down_In;
    const bool out = in.barrierType == Down_Out || in.barrierType == Up_Out;
    const double b = r - q, v2 = v * v;
    const double mu = (b - v2 / 2) / v2, lambda = std::sqrt(mu * mu + 2 * r / v2);
    const double s = v * std::sqrt(T);
    const double eta = down ? 1 : -1;
    double phi;
    if (in.type == Call_Option) {
      phi = 1;
    } else if (in.type == Put_Option) {
      phi = -1;
    } else {  // Both at expiry: which side of the barrier pays
      phi = in.barrierType == Down_Out || in.barrierType == Up_In ? 1 : -1;
    }
    const double x1 = std::log(S / X) / s + (1 + mu) * s;
    const double asset = S * std::exp(-q * T), cash = in.K * std::exp(-r * T);
    auto N = CumulativeNormal;
    const double A1 = asset * N(phi * x1), B1 = cash * N(phi * x1 - phi * s);

    // The formulas assume the spot on the live side of the barrier.
    if (down ? S <= H : S >= H) return AfterTheHit(in, out, B1, A1);

    const double x2 = std::log(S / H) / s + (1 + mu) * s;
    const double y1 = (std::log(H / S) + std::log(H / X)) / s + (1 + mu) * s;
    const double y2 = std::log(H / S) / s + (1 + mu) * s;
    const double z = std::log(H / S) / s + lambda * s;
    const double ratio = H / S;
    const double assetImage = std::pow(ratio, 2 * (mu + 1)), cashImage = std::pow(ratio, 2 * mu);
    const double A2 = asset * N(phi * x2), B2 = cash * N(phi * x2 - phi * s);
    const double A3 = asset * assetImage * N(eta * y1);
    const double B3 = cash * cashImage * N(eta * y1 - eta * s);
    const double A4 = asset * assetImage * N(eta * y2);
    const double B4 = cash * cashImage * N(eta * y2 - eta * s);
    const double A5 = in.K * (std::pow(ratio, mu + lambda) * N(eta * z) +
                              std::pow(ratio, mu - lambda) * N(eta * z - 2 * eta * lambda * s));

    const bool cashPaid = in.payoffType == Cash_Nothing;
    const double P1 = cashPaid ? B1 : A1, P2 = cashPaid ? B2 : A2, P3 = cashPaid ? B3 : A3,
                 P4 = cashPaid ? B4 : A4;
    double value = 0;
    if (in.type == Both) {
      if (in.timePayoff == At_Hit) {
        value = out ? 0 : A5;  // always the cash amount, whatever the payoff type
      } else {
        value = out ? P2 - P4 : P2 + P4;
      }
    } else if (X > H) {
      const bool call = in.type == Call_Option;
      switch (in.barrierType) {
        case Down_Out:
          value = call ? P1 - P3 : P1 - P2 + P3 - P4;
          break;
        case Down_In:
          value = call ? P3 : P2 - P3 + P4;
          break;
        case Up_Out:
          value = call ? 0 : P2 - P4;
          break;
        default:  // Up_In
          value = call ? P1 : P1 - P2 + P4;
          break;
      }
    } else {  // a strike on the barrier takes this column
      const bool call = in.type == Call_Option;
      switch (in.barrierType) {
        case Down_Out:
          value = call ? P2 - P4 : 0;
          break;
        case Down_In:
          value = call ? P1 - P2 + P4 : P1;
          break;
        case Up_Out:
          value = call ? P1 - P2 + P3 - P4 : P1 - P3;
          break;
        default:  // Up_In
          value = call ? P2 - P3 + P4 : P3;
          break;
      }
    }
    return value >= 0 ? value : 0;
  }

  static Levels ReferenceLevels(const Inputs& in, int32_t code) {
    if (code == result::Delta || code == result::Gamma) return {in.S, in.X, in.H};
    return {};
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    return FalsePositionSearch<BinaryBarrierModel>(in, code,
                                                   StandardEnds<BinaryBarrierModel>(in, code));
  }
};

}  // namespace

QUANTREL_ENTRY(BinaryBarrierModel)

}  // namespace quantrel
