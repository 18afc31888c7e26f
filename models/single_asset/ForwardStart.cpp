// Forward-start option: bought now, struck at TimeStart at Alpha times the asset price of that
// date, expiring at TimeExpire.
#include "core/ImpliedSearch.h"
#include "core/ModelEntry.h"
#include "core/Plainoptionsex.h"

namespace quantrel {
namespace {

using namespace core;

struct ForwardStartModel {
  using Arguments = ForwardStartArguments;
  struct Own {
    int32_t type;
    double t1, alpha;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .t1 = a.TimeStart, .alpha = a.Alpha};
  }
  static constexpr Slots<Inputs> kSlots{
      .optionType = &Inputs::type, .timeStart = &Inputs::t1, .alpha = &Inputs::alpha};
  static constexpr Moves<Inputs> kMoves{.times = {&Inputs::t1, &Inputs::T}};

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (!(in.t1 > 0) || in.t1 > in.T) {
      Fail<TimeStartErr>(err, "TimeStart must be greater than 0 and less than the TimeExpire.");
    }
    if (in.t1 == in.T) in.t1 -= 1e-10;  // leave the option a sliver of life after its strike is set
  }

  // S e^(-q t1) times a European option on an asset worth 1, struck at alpha, living T - t1.
  static double Value(const Inputs& in) {
    const double value =
        in.S * std::exp(-in.q * in.t1) *
        GeneralizedBlackScholes(in.type, 1, in.alpha, in.T - in.t1, in.v, in.r, in.q);
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    // The seed looks at the whole life, not only the part after the strike is set.
    return NewtonSearch<ForwardStartModel>(in, code, ManasterKoehlerSeed(1, in.alpha, in.r, in.T),
                                           err);
  }
};

}  // namespace

QUANTREL_ENTRY(ForwardStartModel)

}  // namespace quantrel
