// Simple chooser: at TimeChoose the holder decides whether the contract is a call or a put, both
// struck at StrikePrice and expiring at TimeExpire (Rubinstein 1991).
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/OptionStatistics.h"

namespace quantrel {
namespace {

using namespace core;

struct ChooserModel {
  using Arguments = ChooserArguments;
  struct Own {
    double X, t;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) { return {.X = a.StrikePrice, .t = a.TimeChoose}; }
  static constexpr Slots<Inputs> kSlots{.strikePrice = &Inputs::X, .timeStart = &Inputs::t};
  static constexpr Moves<Inputs> kMoves{.times = {&Inputs::t, &Inputs::T}, .strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.t > 0) || in.t > in.T) {
      Fail<ChooserSTimeErr>(err, "TimeChoose must be greater than 0 and less than the TimeExpire.");
    }
    if (in.t == in.T) in.t -= 1e-10;  // the choice is made a sliver before expiry
  }

  // The call to expiry plus a put that pays only where the call is the worse choice at t.
  static double Value(const Inputs& in) {
    const double b = in.r - in.q;
    const double moneyness = std::log(in.S / in.X);
    const double vT = in.v * std::sqrt(in.T), vt = in.v * std::sqrt(in.t);
    const double d = (moneyness + (b + in.v * in.v / 2) * in.T) / vT;
    const double y = (moneyness + b * in.T + in.v * in.v * in.t / 2) / vt;
    const double asset = in.S * std::exp(-in.q * in.T), strike = in.X * std::exp(-in.r * in.T);
    const double value = asset * CumulativeNormal(d) - strike * CumulativeNormal(d - vT) -
                         asset * CumulativeNormal(-y) + strike * CumulativeNormal(-y + vt);
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    // Call and put alike: no side to take S -/+ P* from, so the given strike starts a strike
    // search.
    const double seed =
        code == result::ImpliedVol ? ManasterKoehlerSeed(in.S, in.X, in.r, in.T) : in.X;
    return NewtonSearch<ChooserModel>(in, code, seed, err);
  }
};

}  // namespace

QUANTREL_ENTRY(ChooserModel)

}  // namespace quantrel
