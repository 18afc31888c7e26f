// Every two-asset and currency model where its terms vanish: correlation at +-1, equal
// volatilities, a volatility at its floor, quantities far from 1. Each result is finite and free
// of floating-point faults (but for a volatility or strike search that strays: it reports 0), and
// the value lies between 0 and a bound per unit of the larger quantity.
#include <gtest/gtest.h>

#include <algorithm>

#include "server/ExoticOptionsImpl.h"
#include "support/GenericRows.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

TEST(TwoAssetLimits, VanishingTermsGiveFiniteResultsWithinBounds) {
  const std::pair<const char*, double> bounds[] = {
      {"TwoAssetCorr", 65},     {"Exchange", 22},          {"ExchOnExch", 105},
      {"Rainbow", 205},         {"Spread", 122},           {"ForeignEquity", 150},
      {"Quanto", 160},          {"EquityLinkedFX", 150},   {"TakeoverFX", 158},
      {"BarrierTwoAsset", 100}, {"BarrierPartialTA", 100}, {"CashOrNothingTA", 10}};
  const char* const degenerate[] = {
      "Correlation=1",
      "Correlation=-1",
      "Volatility2=0 VolExch=0",
      "Volatility1=0 VolAsset=0 VolFirm=0",
      "Volatility1=0 Volatility2=0 VolAsset=0 VolExch=0 VolFirm=0 Correlation=1",
      "QtyAsset1=1e-6 QtyAsset2=1e6",
      "QtyAsset1=1e6 QtyAsset2=1e-6",
      "ExerciseType=American YieldRate2=0 Correlation=1",
      "ExerciseType=American YieldRate2=-0.05 Volatility1=0 Volatility2=0"};
  for (auto [method, upper] : bounds) {
    // The method's first generic contract, with equal volatilities.
    const Row& row = *std::find_if(GenericRows().begin(), GenericRows().end(),
                                   [&](const Row& r) { return std::string(r.method) == method; });
    NamedContract base(method, row.contract);
    if (base.Has("Volatility2")) base.Set("Volatility2", base.Get("Volatility1"));
    if (base.Has("VolExch"))
      base.Set("VolExch", base.Get(base.Has("VolAsset") ? "VolAsset" : "VolFirm"));
    for (const char* change : degenerate) {
      std::string applies;
      std::istringstream words(change);
      for (std::string w; words >> w;) {
        if (base.Has(w.substr(0, w.find('=')))) applies += " " + w;
      }
      if (applies.empty()) continue;
      NamedContract c = Changed(base, applies);
      double scale = 1;
      for (const char* q : {"QtyAsset1", "QtyAsset2"})
        scale = std::max(scale, c.Has(q) ? c.Get(q) : 1);
      const double value = c(1);
      EXPECT_TRUE(value >= 0 && value <= upper * scale) << change << ": " << c.Describe();
      c.Set("MarketPrice", value > 0 ? value : 1);
      for (int32_t code = 1; code <= 40; ++code) {
        const uint64_t faults = server::FloatingPointFaults();
        const cli::Outcome o = c.Price(code);
        EXPECT_TRUE(!o.ok() || std::isfinite(o.result)) << code << " " << change;
        const bool search =
            code == 5 || code == 13 || code == 24 || code == 25 || code == 35 || code == 37;
        EXPECT_TRUE(search || server::FloatingPointFaults() == faults)
            << code << " " << c.Describe();
      }
    }
  }
}

}  // namespace
}  // namespace quantrel::testing
