#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/Failures.h"

namespace quantrel {
namespace {

using quantrel::testing::ExpectFailure;

struct Contract {
  int32_t type = CallOption;
  double S = 100, M = 100, X = 105, T = 0.5, v = 0.3, r = 0.1, q = 0;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr, bool raw = false,
                    bool skip = false) const {
    return LookbackFixed(type, function, S, M, X, T, v, r, q, market, timeFormat, rateType,
                         yieldType, err, raw, skip);
  }
};

// Fixed-strike lookback calls, S = M = 100, T = 0.5, r = b = 10% (Conze and Viswanathan; the
// standard textbook table).
TEST(LookbackFixed, TextbookCallValues) {
  struct Row {
    double X, v, value;
  };
  const Row rows[] = {{95, 0.1, 13.2687}, {95, 0.2, 18.9263},  {95, 0.3, 24.9857},
                      {100, 0.1, 8.5126}, {100, 0.2, 14.1702}, {100, 0.3, 20.2296},
                      {105, 0.1, 4.3908}, {105, 0.2, 9.8905}};
  for (const Row& row : rows) {
    Contract c;
    c.X = row.X, c.v = row.v;
    EXPECT_NEAR(c(Theoretical), row.value, 1e-4) << "X " << row.X << " v " << row.v;
  }
}

// A call struck at the maximum so far takes the in-the-money branch, a put struck at the minimum
// likewise; the out-of-the-money branch just beside it gives the same value.
TEST(LookbackFixed, BranchesMeetWhereTheStrikeEqualsTheExtreme) {
  for (int32_t type : {CallOption, PutOption}) {
    for (double q : {0.0, 0.05}) {
      Contract c;
      c.type = type, c.q = q;
      c.M = type == CallOption ? 110 : 90;
      c.X = c.M;
      const double tie = c(Theoretical);
      Contract beside = c;
      beside.X = type == CallOption ? c.M * (1 + 1e-12) : c.M * (1 - 1e-12);
      EXPECT_NEAR(tie, beside(Theoretical), 1e-8) << type << " q " << q;
    }
  }
}

// Already in the money: the sure part M - X is paid on top of a lookback struck at the extreme.
TEST(LookbackFixed, InTheMoneyCallCarriesTheSurePart) {
  Contract atM;
  atM.M = atM.X = 110;
  Contract deep = atM;
  deep.X = 80;
  EXPECT_NEAR(deep(Theoretical) - atM(Theoretical), (110 - 80) * std::exp(-atM.r * atM.T), 1e-9);
}

TEST(LookbackFixed, EqualRatesUseASmallCarry) {
  Contract c;
  c.q = c.r;
  Contract tiny = c;
  tiny.q = c.r - 1e-9;
  EXPECT_NEAR(c(Theoretical), tiny(Theoretical), 1e-6);
  EXPECT_GT(c(Theoretical), 0);
}

TEST(LookbackFixed, FailuresComeInOrderWithExactCodesAndMessages) {
  quantrel::testing::ExpectFailures<Contract>({
      {"extreme before everything",
       [](Contract& c) { c.M = 0, c.type = 7, c.S = -1; },
       10,
       {AssetMinMaxErr, "AssetMinMax must be greater than 0."}},
      {"extreme not a number",
       [](Contract& c) { c.M = std::nan(""); },
       Theoretical,
       {AssetMinMaxErr, "AssetMinMax must be greater than 0."}},
      {"option type",
       [](Contract& c) { c.type = 3; },
       Theoretical,
       {OptionTypeErr, "The OptionType is invalid."}},
      {"strike",
       [](Contract& c) { c.X = -5; },
       Theoretical,
       {StrikePriceErr, "StrikePrice must be greater than 0."}},
      {"market price",
       [](Contract& c) { c.market = 0; },
       ImpliedStrike,
       {MktPriceGZErr, "MarketPrice must be greater than zero to calculate the Implied Strike."}},
      {"function", [](Contract&) {}, 12, {OptionFunctionErr, "The OptionFunction is invalid."}},
  });
}

}  // namespace
}  // namespace quantrel
