// Both two-asset barrier methods: the barrier on asset 2 watched for the whole life or until
// TimeBarrier.
#include <gtest/gtest.h>

#include <cmath>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t type = CallOption, barrierType = Down_Out;
  double S1 = 100, S2 = 100, X = 90, H = 95, t1 = 0.5, T = 0.5, v1 = 0.2, v2 = 0.2, r = 0.08;
  double q1 = 0.02, q2 = 0.03, rho = 0.5, market = 0;
  int32_t monitoring = ContinuouslyM;
  bool partial = false;

  double operator()(int32_t function = Theoretical_SP, int32_t* err = nullptr,
                    bool skipValidation = false) const {
    if (partial) {
      return BarrierPartialTA(type, barrierType, function, S1, S2, X, H, t1, T, v1, v2, r, q1, q2,
                              rho, market, monitoring, Years, Continuous, Continuous, Continuous,
                              err, false, skipValidation);
    }
    return BarrierTwoAsset(type, barrierType, function, S1, S2, X, H, T, v1, v2, r, q1, q2, rho,
                           market, monitoring, Years, Continuous, Continuous, Continuous, err,
                           false, skipValidation);
  }
  bool Down() const { return barrierType == Down_Out || barrierType == Down_In; }
  double Plain() const { return PlainRef(type == CallOption, S1, X, T, v1, r, q1); }
  // Over asset 2's log-return x at the end of the watch, with the density of paths that never
  // crossed the barrier on the way (the reflection principle); given x, asset 1 at expiry is
  // lognormal, its driver correlated with asset 2's up to then.
  double KnockOutReference() const {
    const double watch = partial ? t1 : T, s = v2 * std::sqrt(watch);
    const double mu = r - q2 - v2 * v2 / 2, b = std::log(H / S2);
    const double spread1 = v1 * std::sqrt((T - rho * rho * watch) / T);
    const int points = 20000;
    const double lo = Down() ? b : b - 12 * s, hi = Down() ? b + 12 * s : b, h = (hi - lo) / points;
    double sum = 0;
    for (int i = 0; i < points; ++i) {
      const double x = lo + (i + 0.5) * h, z = (x - mu * watch) / s,
                   zr = (x - 2 * b - mu * watch) / s;
      const double density =
          (std::exp(-z * z / 2) - std::exp(2 * mu * b / (v2 * v2) - zr * zr / 2)) /
          (std::sqrt(2 * M_PI) * s);
      const double w2 = z * std::sqrt(watch);  // asset 2's Brownian motion at the watch's end
      const double given = S1 * std::exp(v1 * rho * w2 - v1 * v1 * rho * rho * watch / 2);
      sum += density * PlainRef(type == CallOption, given, X, T, spread1, r, q1);
    }
    return sum * h;
  }
};

TEST(BarrierTwoAsset, KnockOutIsTheExpectedPayoffOfSurvivingPaths) {
  for (bool partial : {false, true}) {
    for (int32_t type : {CallOption, PutOption}) {
      for (double rho : {-0.7, 0.0, 0.5}) {
        for (auto [barrierType, H] : {std::pair{Down_Out, 92.0}, std::pair{Up_Out, 112.0}}) {
          Contract c;
          c.partial = partial, c.t1 = 0.2, c.type = type, c.rho = rho;
          c.barrierType = barrierType, c.H = H;
          EXPECT_NEAR(c(), c.KnockOutReference(), 2e-6 * c.S1)
              << partial << " " << type << " " << rho << " " << barrierType;
        }
      }
    }
  }
}

TEST(BarrierTwoAsset, KnockInAndKnockOutMakeThePlainOption) {
  for (bool partial : {false, true}) {
    for (int32_t type : {CallOption, PutOption}) {
      for (auto [out, in, H] : {std::tuple{Down_Out, Down_In, 92.0}, {Up_Out, Up_In, 112.0}}) {
        Contract c;
        c.partial = partial, c.t1 = 0.2, c.type = type, c.barrierType = out, c.H = H;
        Contract knockIn = c;
        knockIn.barrierType = in;
        EXPECT_NEAR(c() + knockIn(), c.Plain(), 2e-6 * c.S1)
            << partial << " " << type << " " << out;
      }
    }
  }
}

TEST(BarrierTwoAsset, WatchedUntilExpiryThePartialIsTheWholeLife) {
  for (int32_t barrierType : {Down_Out, Down_In, Up_Out, Up_In}) {
    Contract whole;
    whole.barrierType = barrierType, whole.H = barrierType <= Down_In ? 95 : 110;
    Contract partial = whole;
    partial.partial = true, partial.t1 = whole.T;
    EXPECT_NEAR(partial(), whole(), 1e-12) << barrierType;
    partial.t1 = 2 * whole.T;  // a watch beyond expiry adds nothing
    EXPECT_NEAR(partial(), whole(), 1e-12) << barrierType;
  }
}

// Asset 2 already at or beyond the barrier: the knock-out is worth nothing, the knock-in the
// plain option, decided with the barrier as priced (a barrier at asset 2's price is not moved).
TEST(BarrierTwoAsset, AssetTwoBeyondTheBarrierHasCrossedIt) {
  for (bool partial : {false, true}) {
    for (int32_t monitoring : {ContinuouslyM, DailyM}) {
      for (auto [barrierType, H] :
           {std::pair{Down_Out, 105.0}, {Down_Out, 100.0}, {Up_Out, 95.0}, {Up_Out, 100.0}}) {
        Contract c;
        c.partial = partial, c.t1 = 0.2, c.monitoring = monitoring, c.barrierType = barrierType;
        c.H = H;
        EXPECT_EQ(c(), 0.0) << partial << " " << H;
        c.barrierType = barrierType + 1;  // the matching knock-in
        EXPECT_NEAR(c(), c.Plain(), 1e-6 * c.S1) << partial << " " << H;
      }
    }
  }
}

// Asset 2 at the volatility floor follows its drift: the barrier is crossed or it is not.
TEST(BarrierTwoAsset, AssetTwoWithoutVolatilityCrossesOrNot) {
  Contract c;
  c.v2 = 0, c.barrierType = Up_Out, c.H = 110;  // drifts up 5% a year: never reaches 110
  EXPECT_NEAR(c(), c.Plain(), 1e-6 * c.S1);
  c.barrierType = Down_Out, c.H = 95, c.q2 = 0.25;  // drifts down 17% a year: crosses 95
  EXPECT_NEAR(c(), 0, 1e-6 * c.S1);
  c.barrierType = Down_In;
  EXPECT_NEAR(c(), c.Plain(), 1e-6 * c.S1);
  // Crossing at expiry: between the two, and on the right side of the reference at 2% volatility.
  c.barrierType = Down_Out, c.H = 100 * std::exp((c.r - c.q2) * c.T);
  EXPECT_GT(c(), 0.2 * c.Plain());
  EXPECT_LT(c(), 0.8 * c.Plain());
  c.v2 = 0.02, c.H = 96;
  EXPECT_NEAR(c(), c.KnockOutReference(), 2e-6 * c.S1);
}

// A barrier watched daily is a continuous one moved away from asset 2 by its own volatility.
TEST(BarrierTwoAsset, DailyMonitoringMovesTheBarrierAgainstAssetTwo) {
  Contract daily;
  daily.monitoring = DailyM, daily.v2 = 0.3;
  Contract moved = daily;
  moved.monitoring = ContinuouslyM, moved.H = 95 * std::exp(-0.5826 * 0.3 * std::sqrt(1 / 365.0));
  EXPECT_NEAR(daily(), moved(), 1e-12);
}

TEST(BarrierTwoAsset, FailuresComeInOrderWithExactCodesAndMessages) {
  Contract partial;
  partial.partial = true;
  ExpectFailures<Contract>({
      {"barrier type before the watch",
       With(partial, [](Contract& k) { k.barrierType = 5, k.t1 = 0; }), Theoretical_SP,
       BarrierTypeErr, "The BarrierType is Invalid."},
      {"watch before the common checks", With(partial, [](Contract& k) { k.t1 = 0, k.S1 = -1; }),
       Theoretical_SP, TimeBarrierErr, "TimeBarrier must be greater than 0."},
      {"barrier", With(partial, [](Contract& k) { k.H = 0; }), Theoretical_SP, BarrierLowErr,
       "The Barrier must be greater than 0."},
      {"monitoring before the function", With(partial, [](Contract& k) { k.monitoring = 8; }),
       Delta, MonitoringErr, "The Barrier Monitoring is invalid."},
      {"single-asset delta", partial, Delta, OptionFunctionErr, "The OptionFunction is invalid."},
      {"a price no correlation reaches", With(partial, [](Contract& k) { k.market = 60; }),
       ImpliedCorr_SP, ImpliedCorrErr, "There is NO solution for the Implied Correlation."},
  });
  Contract skipped;
  skipped.monitoring = -1;  // the shift runs on unvalidated calls too
  ExpectFailure([&](int32_t* err) { return skipped(Theoretical_SP, err, true); },
                {MonitoringErr, "The Barrier Monitoring is invalid."}, "unvalidated monitoring");
}

}  // namespace
}  // namespace quantrel
