#include <gtest/gtest.h>

#include <cmath>

#include "core/Plainoptionsex.h"
#include "quantrel/quantrel.h"
#include "support/SingleAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = CallOption;
  double S = 60, X = 64, T = 2, v = 0.38, r = 0.07, q = 0.03, jump = 0.15;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr) const {
    return Executive(type, function, S, X, T, v, r, q, jump, market, timeFormat, rateType,
                     yieldType, err);
  }
};

TEST(Executive, ValueIsThePlainValueTimesTheSurvivalProbability) {
  struct Row {
    int32_t type;
    double X, jump, years;
  };
  const Row rows[] = {{CallOption, 64, 0.15, 2}, {PutOption, 64, 0.15, 2}, {CallOption, 50, 0.1, 2},
                      {PutOption, 70, 0.1, 0.5}, {CallOption, 60, 0.0, 1}, {PutOption, 60, 2.0, 1}};
  for (const Row& row : rows) {
    for (int32_t format : {Years, Days}) {
      Contract c;
      c.type = row.type, c.X = row.X, c.jump = row.jump, c.timeFormat = format;
      c.T = format == Days ? row.years * 365 : row.years;  // the jump rate stays per year
      const double plain = PlainRef(row.type == CallOption, c.S, c.X, row.years, c.v, c.r, c.q);
      EXPECT_NEAR(c(Theoretical), std::exp(-row.jump * row.years) * plain, 1e-5 * c.S)
          << row.type << " X " << row.X << " jump " << row.jump << " format " << format;
    }
  }
}

TEST(Executive, TextbookValue) {
  Contract c;  // S 60, X 64, T 2, r 7%, q 3%, vol 38%, 15% departures a year
  EXPECT_NEAR(c(Theoretical), 9.1244, 5e-4);
}

TEST(Executive, NoDeparturesIsExactlyThePlainKernel) {
  Contract c;
  c.jump = 0;
  EXPECT_EQ(c(Theoretical), core::GeneralizedBlackScholes(c.type, c.S, c.X, c.T, c.v, c.r, c.q));
}

TEST(Executive, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  const char* kJump = "JumpRate must be greater than 0.";
  ExpectFailures<Contract>({
      {"jump rate before the option type", With(c, [](Contract& k) { k.jump = -0.01, k.type = 9; }),
       Theoretical, JumpRateErr, kJump},
      {"jump rate not a number", With(c, [](Contract& k) { k.jump = NAN; }), Theoretical,
       JumpRateErr, kJump},
      {"option type", With(c, [](Contract& k) { k.type = 3; }), Theoretical, OptionTypeErr,
       "The OptionType is invalid."},
      {"strike", With(c, [](Contract& k) { k.X = 0; }), Theoretical, StrikePriceErr,
       "StrikePrice must be greater than 0."},
      {"market price for the implied strike", c, ImpliedStrike, MktPriceGZErr,
       "MarketPrice must be greater than zero to calculate the Implied Strike."},
      {"input error before function error", With(c, [](Contract& k) { k.S = -1; }), 10,
       AssetPriceErr, "AssetPrice must be greater than 0."},
      {"unserved code", c, 10, OptionFunctionErr, "The OptionFunction is invalid."},
      {"two-asset code", c, 34, OptionFunctionErr, "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
