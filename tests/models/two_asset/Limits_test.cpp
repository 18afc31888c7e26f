// The two-asset and currency models where their formulas divide by a correlation or volatility
// term that vanishes: correlation at +-1 (the clamp), equal volatilities, a volatility at its
// floor, quantities far from 1. Every result stays finite, and the value between its bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "quantrel/errors.h"
#include "server/ExoticOptionsImpl.h"
#include "support/NamedContract.h"

namespace quantrel::testing {
namespace {

struct Limit {
  const char* method;
  const char* contract;
  double upper;  // no value above this, per unit of the larger quantity where there are any
};

// clang-format off
const Limit kLimits[] = {
    {"TwoAssetCorr", "OptionType=CallOption AssetPrice1=52 AssetPrice2=65 StrikePrice1=50 StrikePrice2=70 TimeExpire=0.5 Volatility1=0.3 Volatility2=0.3 InterestRate=0.1 YieldRate1=0 YieldRate2=0 Correlation=0.75 TimeFormat=Years", 65},
    {"Exchange", "ExerciseType=European AssetPrice1=22 AssetPrice2=20 TimeExpire=0.5 Volatility1=0.25 Volatility2=0.25 YieldRate1=0.06 YieldRate2=0.04 Correlation=0.3 TimeFormat=Years", 22},
    {"Exchange", "ExerciseType=American AssetPrice1=22 AssetPrice2=20 TimeExpire=0.5 Volatility1=0.25 Volatility2=0.25 YieldRate1=0.06 YieldRate2=0 Correlation=0.3 TimeFormat=Years", 22},
    {"ExchOnExch", "ExchangeType=ExchExchFforA AssetPrice1=105 AssetPrice2=100 QtyAsset2=0.1 TimeOption=0.75 TimeExpire=1 Volatility1=0.25 Volatility2=0.25 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.3 TimeFormat=Years", 105},
    {"ExchOnExch", "ExchangeType=ExchExchAforF AssetPrice1=105 AssetPrice2=100 QtyAsset2=0.1 TimeOption=0.75 TimeExpire=1 Volatility1=0.25 Volatility2=0.25 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.3 TimeFormat=Years", 100},
    {"Rainbow", "OptionType=CallOption ExtremeType=MaxAsset AssetPrice1=100 AssetPrice2=105 StrikePrice=98 TimeExpire=0.5 Volatility1=0.16 Volatility2=0.16 InterestRate=0.05 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.63 TimeFormat=Years", 205},
    {"Rainbow", "OptionType=PutOption ExtremeType=MinAsset AssetPrice1=100 AssetPrice2=105 StrikePrice=98 TimeExpire=0.5 Volatility1=0.16 Volatility2=0.16 InterestRate=0.05 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.63 TimeFormat=Years", 98},
    {"Spread", "OptionType=CallOption AssetPrice1=122 AssetPrice2=120 StrikePrice=3 TimeExpire=0.5 Volatility1=0.25 Volatility2=0.25 InterestRate=0.1 YieldRate1=0.03 YieldRate2=0.05 Correlation=0.4 TimeFormat=Years", 122},
    {"Spread", "OptionType=PutOption AssetPrice1=122 AssetPrice2=120 StrikePrice=3 TimeExpire=0.5 Volatility1=0.25 Volatility2=0.25 InterestRate=0.1 YieldRate1=0.03 YieldRate2=0.05 Correlation=0.4 TimeFormat=Years", 123},
    {"ForeignEquity", "OptionType=CallOption CurrencyType=Foreign AssetPrice=100 StrikePrice=60 ExchangeRate=1.5 TimeExpire=0.5 VolAsset=0.12 VolExch=0.12 InterestRate=0.08 YieldRate=0.05 Correlation=0.45 TimeFormat=Years", 100},
    {"ForeignEquity", "OptionType=PutOption CurrencyType=Domestic AssetPrice=100 StrikePrice=160 ExchangeRate=1.5 TimeExpire=0.5 VolAsset=0.12 VolExch=0.12 InterestRate=0.08 YieldRate=0.05 Correlation=0.45 TimeFormat=Years", 160},
    {"Quanto", "OptionType=CallOption AssetPrice=100 StrikePrice=105 ExchangeRate=1.5 TimeExpire=0.5 VolAsset=0.1 VolExch=0.1 IntRateDom=0.08 IntRateFor=0.05 YieldRate=0.04 Correlation=0.3 TimeFormat=Years", 160},
    {"EquityLinkedFX", "OptionType=CallOption CurrencyType=Domestic AssetPrice=100 StrikePrice=1.52 ExchangeRate=1.5 TimeExpire=0.25 VolAsset=0.12 VolExch=0.12 IntRateDom=0.08 IntRateFor=0.05 YieldRate=0.04 Correlation=0.4 TimeFormat=Years", 150},
    {"TakeoverFX", "ValueFirm=100 NumCurrency=105 StrikePrice=1.55 ExchangeRate=1.5 TimeExpire=1 VolFirm=0.25 VolExch=0.25 IntRateDom=0.08 IntRateFor=0.06 Correlation=0.1 TimeFormat=Years", 158},
    {"BarrierTwoAsset", "OptionType=CallOption BarrierType=Down_Out AssetPrice1=100 AssetPrice2=100 StrikePrice=90 Barrier=95 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.2 InterestRate=0.08 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.5 TimeFormat=Years", 100},
    {"BarrierTwoAsset", "OptionType=PutOption BarrierType=Up_In AssetPrice1=100 AssetPrice2=100 StrikePrice=105 Barrier=110 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.2 InterestRate=0.02 YieldRate1=0.08 YieldRate2=0 Correlation=0.5 BarrierMonitoring=DailyM TimeFormat=Years", 105},
    {"BarrierPartialTA", "OptionType=CallOption BarrierType=Up_Out AssetPrice1=100 AssetPrice2=100 StrikePrice=95 Barrier=120 TimeBarrier=0.25 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.2 InterestRate=0.08 YieldRate1=0.02 YieldRate2=0.03 Correlation=0.5 TimeFormat=Years", 100},
    {"CashOrNothingTA", "OptionType=Up_Down AssetPrice1=100 AssetPrice2=100 StrikePrice1=110 StrikePrice2=90 Payoff=10 TimeExpire=0.5 Volatility1=0.2 Volatility2=0.2 InterestRate=0.1 YieldRate1=0.05 YieldRate2=0.04 Correlation=0.5 TimeFormat=Years", 10},
};
// clang-format on

const char* const kDegenerate[] = {
    "Correlation=1", "Correlation=-1", "Correlation=0.99999999999",
    // a volatility at its floor, alone and with perfect correlation
    "Volatility2=0 VolExch=0", "Volatility1=0 VolAsset=0 VolFirm=0",
    "Volatility1=0 Volatility2=0 VolAsset=0 VolExch=0 VolFirm=0 Correlation=1",
    "QtyAsset1=1e-6 QtyAsset2=1e6", "QtyAsset1=1e6 QtyAsset2=1e-6"};

TEST(TwoAssetLimits, VanishingTermsGiveFiniteResultsWithinBounds) {
  for (const Limit& limit : kLimits) {
    const NamedContract base(limit.method, limit.contract);
    for (const char* change : kDegenerate) {
      NamedContract c = base;
      bool applies = false;
      std::istringstream words(change);
      for (std::string word; words >> word;) {
        const std::string name = word.substr(0, word.find('='));
        if (!c.Has(name)) continue;
        c.Set(name, word.substr(word.find('=') + 1));
        applies = true;
      }
      if (!applies) continue;
      double scale = 1;
      for (const char* q : {"QtyAsset1", "QtyAsset2"}) {
        if (c.Has(q) && c.Get(q) > scale) scale = c.Get(q);
      }
      const double value = c(1);
      EXPECT_GE(value, 0) << change << ": " << c.Describe();
      EXPECT_LE(value, limit.upper * scale) << change << ": " << c.Describe();
      // Every sensitivity and the implied correlation too: a result or a refusal, never a
      // floating-point fault. (A volatility or strike search that strays where the kernel faults
      // reports 0, its answer for none.)
      c.Set("MarketPrice", value > 0 ? value : 1);
      for (int32_t code = 1; code <= 40; ++code) {
        const uint64_t faults = server::FloatingPointFaults();
        const cli::Outcome o = c.Price(code);
        EXPECT_TRUE(!o.ok() || std::isfinite(o.result)) << code << " " << change;
        const bool volatilityOrStrikeSearch =
            code == 5 || code == 13 || code == 24 || code == 25 || code == 35 || code == 37;
        if (volatilityOrStrikeSearch) continue;
        EXPECT_EQ(server::FloatingPointFaults(), faults)
            << code << " " << change << ": " << c.Describe();
      }
    }
  }
}

}  // namespace
}  // namespace quantrel::testing
