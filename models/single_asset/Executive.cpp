// Executive stock option: a European option forfeited when the holder leaves the firm, departures
// arriving at a constant yearly rate.
#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/Plainoptionsex.h"

namespace quantrel {
namespace {

using namespace core;

struct ExecutiveModel {
  using Arguments = ExecutiveArguments;
  struct Own {
    int32_t type;
    double X;
    double jumpRate;  // per year whatever the time format: never normalised
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .X = a.StrikePrice, .jumpRate = a.JumpRate};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type, .strikePrice = &Inputs::X};
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::X}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    // A rate that is not a number is no rate at all: refuse it rather than price it as a fault.
    if (!(in.jumpRate >= 0)) Fail<JumpRateErr>(err, "JumpRate must be greater than 0.");
  }

  // The plain value times the probability that the holder is still with the firm at expiry.
  static double Value(const Inputs& in) {
    const double survival = std::exp(-in.jumpRate * in.T);
    const double value =
        survival * GeneralizedBlackScholes(in.type, in.S, in.X, in.T, in.v, in.r, in.q);
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    const double seed = code == result::ImpliedVol
                            ? ManasterKoehlerSeed(in.S, in.X, in.r, in.T)
                            : StrikeSeed(in.type == 1, in.S, in.marketPrice, in.X);
    return NewtonSearch<ExecutiveModel>(in, code, seed, err);
  }
};

}  // namespace

QUANTREL_ENTRY(ExecutiveModel)

}  // namespace quantrel
