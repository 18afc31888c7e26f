// Supershare: a claim on S_T / LowerStrike, paid when the asset finishes between LowerStrike and
// UpperStrike.
#include <cmath>

#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"

namespace quantrel {
namespace {

using namespace core;

struct SupershareModel {
  using Arguments = SupershareArguments;
  struct Own {
    double XL, XH;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.XL = a.LowerStrike, .XH = a.UpperStrike};
  }
  // The common checks see a call struck at the neutral 1.0. The first strike of the strike codes
  // is the upper one.
  static constexpr Moves<Inputs> kMoves{.strike = {&Inputs::XH, &Inputs::XL}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.XH < in.XL) {
      Fail<UpperLowerErr>(err, "The UpperStrike must be greater than the LowerStrike.");
    }
    if (!(in.XL > 0)) Fail<LowerStrikeErr>(err, "LowerStrike must be greater than 0.");
    if (std::isinf(in.XL)) Fail<LowerStrikeErr>(err, "LowerStrike must be a finite number.");
    if (!(in.XH > 0)) Fail<UpperStrikeErr>(err, "UpperStrike must be greater than 0.");
    if (std::isinf(in.XH)) Fail<UpperStrikeErr>(err, "UpperStrike must be a finite number.");
  }

  static double Value(const Inputs& in) {
    double dL, dH, unused;
    if (!ComputeD1D2(1, in.S, in.XL, in.r, in.q, in.T, in.T, in.v, 1, 1, dL, unused)) return 0;
    if (!ComputeD1D2(1, in.S, in.XH, in.r, in.q, in.T, in.T, in.v, 1, 1, dH, unused)) return 0;
    const double value =
        in.S * std::exp(-in.q * in.T) / in.XL * (CumulativeNormal(dL) - CumulativeNormal(dH));
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t*) {
    return FalsePositionSearch<SupershareModel>(in, code, StandardEnds<SupershareModel>(in, code));
  }
};

}  // namespace

QUANTREL_ENTRY(SupershareModel)

}  // namespace quantrel
