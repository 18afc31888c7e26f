#include <gtest/gtest.h>

#include <cmath>

#include "core/OptionStatistics.h"
#include "quantrel/quantrel.h"
#include "support/SingleAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = CallOption;
  double S = 100, X = 110, T = 1;
  int32_t earned = 0;
  double amount = 5, interval = 1.0 / 365, v = 0.26, r = 0.06, q = 0;
  double market = 0;
  int32_t timeFormat = Years, rateType = Continuous, yieldType = Continuous;

  double operator()(int32_t function, int32_t* err = nullptr) const {
    return TimeSwitch(type, function, S, X, T, earned, amount, interval, v, r, q, market,
                      timeFormat, rateType, yieldType, err);
  }
  // Each fixing i*interval - elapsed pays amount*interval at T if the asset is on the right side.
  double Reference(double elapsed = 0) const {
    const int fixings = static_cast<int>(std::floor(T / interval + 1e-9));
    double sum = earned;
    for (int i = 1; i <= fixings; ++i) {
      const double t = i * interval - elapsed;
      const double d = (std::log(S / X) + (r - q - v * v / 2) * t) / (v * std::sqrt(t));
      sum += ExactN(type == CallOption ? d : -d);
    }
    const double value = amount * interval * std::exp(-r * (T - elapsed)) * sum;
    return value > 0 ? value : 0;
  }
};

TEST(TimeSwitch, ValueIsTheDiscountedExpectedEarnings) {
  struct Row {
    int32_t type;
    double X, interval;
    int32_t earned;
    double amount;
  };
  const Row rows[] = {
      {CallOption, 110, 1.0 / 365, 0, 5}, {PutOption, 110, 1.0 / 365, 0, 5},
      {CallOption, 90, 1.0 / 12, 3, 5},   {PutOption, 95, 0.3, 2, 1},
      {CallOption, 100, 2.0, 4, 5},  // interval beyond expiry: only what is earned
      {CallOption, 100, 0.25, -9, 5},     {PutOption, 100, 0.25, 2, -5},  // floored at 0
  };
  for (const Row& row : rows) {
    Contract c;
    c.type = row.type, c.X = row.X, c.interval = row.interval, c.earned = row.earned;
    c.amount = row.amount;
    EXPECT_NEAR(c(Theoretical), c.Reference(), 1e-6 * std::fabs(c.amount) * (1 + c.T))
        << row.type << " X " << row.X << " interval " << row.interval << " earned " << row.earned;
  }
}

TEST(TimeSwitch, TextbookValue) {
  EXPECT_NEAR(Contract{}(Theoretical), 1.3750, 5e-4);  // daily fixings, S 100, X 110, 5 a day
}

TEST(TimeSwitch, ADeepInTheMoneyCallEarnsEveryInterval) {
  Contract c;
  c.X = 1, c.interval = 0.1;
  EXPECT_NEAR(c(Theoretical), c.amount * std::exp(-c.r * c.T) * 10 * 0.1, 1e-9);
}

// Theta is the calendar moving on: expiry and every fixing draw nearer, nothing is earned within
// the step. Units already earned add only their discounting, never a jump of one unit.
TEST(TimeSwitch, ThetaFollowsTheScheduleAsTimePasses) {
  const double h = 1e-4;
  for (int32_t type : {CallOption, PutOption}) {
    for (double interval : {1.0 / 365, 1.0 / 12}) {
      Contract c;
      c.type = type, c.interval = interval;
      const double expected = -(c.Reference(-h) - c.Reference(h)) / (2 * h) / 365;
      EXPECT_NEAR(c(Theta), expected, 1e-8) << type << " " << interval;

      Contract earning = c;
      earning.earned = 5;
      const double discounting = c.r * interval * c.amount * std::exp(-c.r * c.T) * 5 / 365;
      EXPECT_NEAR(earning(Theta) - c(Theta), discounting, 1e-10) << type << " " << interval;
    }
  }
}

// Intervals that divide the year exactly keep every fixing after the day conversion.
TEST(TimeSwitch, DaysAndYearsAgree) {
  for (int perYear : {3, 12, 52}) {
    Contract years;
    years.interval = 1.0 / perYear;
    Contract days = years;
    days.timeFormat = Days, days.T = 365, days.interval = 365.0 / perYear;
    EXPECT_NEAR(years(Theoretical), years.Reference(), 1e-6) << perYear;
    for (int32_t function : {Theoretical, Delta, Theta, Vega}) {
      EXPECT_NEAR(days(function), years(function), 1e-9) << perYear << " function " << function;
    }
  }
}

// Past a million fixings the sum is taken by blocks; it must agree with the sum taken fixing by
// fixing (of the library's own normal distribution), however sharp the switch.
TEST(TimeSwitch, MillionsOfFixingsAgreeWithTheSumTakenOneByOne) {
  // The value with the calendar moved on by `elapsed`: the same fixings, each nearer.
  auto oneByOne = [](const Contract& c, double elapsed = 0) {
    const double fixings = std::floor(c.T / c.interval * (1 + 1e-12));
    const double drift = c.r - c.q - c.v * c.v / 2, z = c.type == CallOption ? 1 : -1;
    double sum = 0;
    for (double i = 1; i <= fixings; ++i) {
      const double t = i * c.interval - elapsed;
      sum += core::CumulativeNormal(z * (std::log(c.S / c.X) + drift * t) / (c.v * std::sqrt(t)));
    }
    return c.amount * std::exp(-c.r * (c.T - elapsed)) * c.interval * (sum + c.earned);
  };
  struct Row {
    const char* what;
    int32_t type;
    double X, T, v, r;
    int32_t earned;
  };
  const Row rows[] = {
      {"at the money: moves as the root of time", CallOption, 100, 1.5, 0.26, 0.06, 0},
      {"out of the money", CallOption, 120, 1.2, 0.26, 0.06, 3},
      {"a put", PutOption, 90, 1.3, 0.4, 0.02, 0},
      {"a sharp switch as the forward passes the strike", CallOption, 101, 1.2, 0.002, 0.06, 0},
      {"a switch within a few fixings", PutOption, 100.5, 1.1, 0.002, 3, 0},
  };
  for (const Row& row : rows) {
    Contract c;
    c.type = row.type, c.X = row.X, c.T = row.T, c.v = row.v, c.r = row.r, c.earned = row.earned;
    c.interval = 1e-6;  // more than a million fixings
    const double expected = oneByOne(c);
    EXPECT_NEAR(c(Theoretical), expected, 1e-10 * expected) << row.what;
  }
  // Theta moves the calendar forward by the step (the interval is shorter than it).
  Contract c;
  c.X = 100, c.T = 1.5, c.interval = 1e-6;
  const double h = 1e-5;
  EXPECT_NEAR(c(Theta), -(oneByOne(c, -h) - oneByOne(c)) / h / 365, 1e-9);
  // Ten million fixings (1e-9 days is floored to 1e-7 years): the limit of ever finer fixings,
  // never 0.
  Contract fine;
  fine.timeFormat = Days, fine.T = 365, fine.interval = 1e-9;
  Contract coarse;
  coarse.interval = 1e-6;
  EXPECT_NEAR(fine(Theoretical), oneByOne(coarse), 1e-5 * oneByOne(coarse));
}

TEST(TimeSwitch, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"interval before the option type", With(c, [](Contract& k) { k.interval = 0, k.type = 7; }),
       Theoretical, TimeIntervalErr, "TimeInterval must be greater than 0."},
      {"option type", With(c, [](Contract& k) { k.type = 0; }), Theoretical, OptionTypeErr,
       "The OptionType is invalid."},
      {"expiry", With(c, [](Contract& k) { k.T = 0; }), Theoretical, TimeExpireErr,
       "TimeExpire must be greater than 0."},
      {"negative market price", With(c, [](Contract& k) { k.market = -1; }), ImpliedStrike,
       MktPriceNegErr, "MarketPrice cannot be a negative number."},
      {"unserved code", c, 12, OptionFunctionErr, "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
