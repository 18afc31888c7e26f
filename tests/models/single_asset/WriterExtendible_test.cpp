#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/SingleAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = CallOption;
  double S = 80, X1 = 90, X2 = 82, t1 = 0.5, T2 = 0.75, v = 0.3, r = 0.1, q = 0;
  double market = 0;
  int32_t timeFormat = Years;

  double operator()(int32_t function, int32_t* err = nullptr) const {
    return WriterExtendible(type, function, S, X1, X2, t1, T2, v, r, q, market, timeFormat, err);
  }
  // Exercised at t1 when in the money, otherwise extended to T2 with the new strike.
  double Reference() const {
    const bool call = type == CallOption;
    return DiscountedExpectation(
        S, t1, v, r, q,
        [&](double St) {
          const double intrinsic = call ? St - X1 : X1 - St;
          if (intrinsic > 0) return intrinsic;
          return X2 > 0
                     ? PlainRef(call, St, X2, T2 - t1, v, r, q)
                     : (call ? St * std::exp(-q * (T2 - t1)) - X2 * std::exp(-r * (T2 - t1)) : 0);
        },
        X1);
  }
  double Plain() const { return PlainRef(type == CallOption, S, X1, t1, v, r, q); }
};

// The last rows take strikes that are not > 0: a call struck there is always exercised, a put
// never; the value stays the expectation rather than a degenerate formula.
TEST(WriterExtendible, ValueIsTheExpectedExerciseOrExtension) {
  struct Row {
    int32_t type;
    double S, X1, X2, t1, T2, q;
  };
  const Row rows[] = {
      {CallOption, 80, 90, 82, 0.5, 0.75, 0},    {PutOption, 80, 90, 82, 0.5, 0.75, 0},
      {CallOption, 100, 95, 105, 0.25, 1, 0.04}, {PutOption, 100, 110, 95, 0.25, 1, 0.04},
      {CallOption, 80, 90, 0, 0.5, 0.75, 0},     {CallOption, 80, 90, -10, 0.5, 0.75, 0},
      {PutOption, 80, 90, 0, 0.5, 0.75, 0},      {CallOption, 80, 0, 82, 0.5, 0.75, 0},
      {CallOption, 80, -5, 82, 0.5, 0.75, 0},    {PutOption, 80, -5, 82, 0.5, 0.75, 0},
  };
  for (const Row& row : rows) {
    Contract c;
    c.type = row.type, c.S = row.S, c.X1 = row.X1, c.X2 = row.X2, c.t1 = row.t1, c.T2 = row.T2;
    c.q = row.q;
    for (int32_t function : {Theoretical_WE, Delta_WE, Theta_WE, StrikeSensExt_WE}) {
      EXPECT_TRUE(std::isfinite(c(function))) << row.X1 << " " << row.X2 << " " << function;
    }
    EXPECT_NEAR(c(Theoretical_WE), c.Reference(), 2e-5 * c.S)
        << row.type << " X1 " << row.X1 << " X2 " << row.X2;
  }
}

TEST(WriterExtendible, TextbookValue) {
  EXPECT_NEAR(Contract{}(Theoretical_WE), 6.8238, 5e-4);
}

TEST(WriterExtendible, DeepInTheMoneyIsAboutThePlainOption) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract c;
    c.type = type;
    c.X1 = type == CallOption ? 30 : 200;
    EXPECT_NEAR(c(Theoretical_WE), c.Plain(), 1e-6 * c.S) << type;
  }
}

TEST(WriterExtendible, NoExtensionTimeWithTheSameStrikeIsThePlainOption) {
  for (int32_t type : {CallOption, PutOption}) {
    Contract c;
    c.type = type, c.X2 = c.X1, c.T2 = c.t1;
    EXPECT_NEAR(c(Theoretical_WE), c.Plain(), 1e-5) << type;
  }
}

TEST(WriterExtendible, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  const char* kInitial = "TimeInitial must be greater than 0 and less than the TimeExtended.";
  ExpectFailures<Contract>({
      {"extension at 0 is an initial time after it", With(c, [](Contract& k) { k.T2 = 0; }),
       Theoretical_WE, TimeInitialErr, kInitial},
      {"initial time at 0 before the type", With(c, [](Contract& k) { k.t1 = 0, k.type = 3; }),
       Theoretical_WE, TimeInitialErr, kInitial},
      {"extension not a number", With(c, [](Contract& k) { k.T2 = NAN; }), Theoretical_WE,
       TimeExtendedErr, "TimeExtended must be greater than 0."},
      {"option type", With(c, [](Contract& k) { k.type = 3; }), Theoretical_WE, OptionTypeErr,
       "The OptionType is invalid."},
      {"market price", With(c, [](Contract& k) { k.market = 0; }), ImpliedStrikeExt_WE,
       MktPriceGZErr, "MarketPrice must be greater than zero to calculate the Implied Strike."},
      {"single strike sensitivity", c, StrikeSensitivity, OptionFunctionErr,
       "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
