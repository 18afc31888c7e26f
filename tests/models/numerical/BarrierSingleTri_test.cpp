#include <gtest/gtest.h>

#include <cmath>

#include "models/numerical/BarrierSingleTri.h"
#include "quantrel/quantrel.h"
#include "support/Failures.h"
#include "support/Reference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t exercise = European, type = CallOption, barrierType = Down_Out;
  double S = 100, X = 100, H = 95, R = 3, T = 0.5, v = 0.25, r = 0.08, q = 0.04;
  int32_t steps = 400;
  double market = 0;

  double operator()(int32_t f, int32_t* err = nullptr) const {
    return BarrierSingleTri(exercise, type, barrierType, f, S, X, H, R, T, v, r, q, steps, market,
                            Years, 0, 0, err);
  }

  // The continuously watched barrier in closed form by reflection (Reiner and Rubinstein): a
  // knock-out pays R at the hit, a knock-in R at expiry if never hit.
  double Reference() const {
    const double b = r - q, mu = (b - v * v / 2) / (v * v);
    const double lambda = std::sqrt(mu * mu + 2 * r / (v * v)), s = v * std::sqrt(T);
    const double phi = type == CallOption ? 1 : -1;
    const double eta = barrierType == Down_Out || barrierType == Down_In ? 1 : -1;
    const double x1 = std::log(S / X) / s + (1 + mu) * s, x2 = std::log(S / H) / s + (1 + mu) * s;
    const double y1 = std::log(H * H / (S * X)) / s + (1 + mu) * s;
    const double y2 = std::log(H / S) / s + (1 + mu) * s, z = std::log(H / S) / s + lambda * s;
    const double growth = S * std::exp(-q * T), strike = X * std::exp(-r * T);
    const double h2 = std::pow(H / S, 2 * mu), h2p = std::pow(H / S, 2 * (mu + 1));
    auto leg = [&](double x, double power1, double power2, double sign) {
      return phi * growth * power1 * ExactN(sign * x) -
             phi * strike * power2 * ExactN(sign * x - sign * s);
    };
    const double A = leg(x1, 1, 1, phi), B = leg(x2, 1, 1, phi);
    const double C = leg(y1, h2p, h2, eta), D = leg(y2, h2p, h2, eta);
    const double E =
        R * std::exp(-r * T) * (ExactN(eta * x2 - eta * s) - h2 * ExactN(eta * y2 - eta * s));
    const double F = R * (std::pow(H / S, mu + lambda) * ExactN(eta * z) +
                          std::pow(H / S, mu - lambda) * ExactN(eta * z - 2 * eta * lambda * s));
    const bool high = X >= H, call = type == CallOption;
    switch (barrierType) {
      case Down_Out:
        return call ? (high ? A - C + F : B - D + F) : (high ? A - B + C - D + F : F);
      case Down_In:
        return call ? (high ? C + E : A - B + D + E) : (high ? B - C + D + E : A + E);
      case Up_Out:
        return call ? (high ? F : A - B + C - D + F) : (high ? B - D + F : A - C + F);
      default:
        return call ? (high ? A + E : B - C + D + E) : (high ? A - B + D + E : C + E);
    }
  }
};

Contract Make(int32_t type, int32_t barrierType, double X, double H, double R) {
  Contract c;
  c.type = type, c.barrierType = barrierType, c.X = X, c.H = H, c.R = R;
  return c;
}

// The published table of standard barrier options: S = 100, T = 0.5, r = 8%, carry 4%, volatility
// 25%, rebate 3, barrier 95 (down) or 105 (up); strikes 90, 100, 110.
const double kPublished[2][4][3] = {{{9.0246, 6.7924, 4.8759},
                                     {7.7627, 4.0109, 2.0576},
                                     {2.6789, 2.3580, 2.3453},
                                     {14.1112, 8.4482, 4.5910}},
                                    {{2.2798, 2.2947, 2.6252},
                                     {2.9586, 6.5677, 11.9752},
                                     {3.7760, 5.4932, 7.5187},
                                     {1.4653, 3.3721, 7.0846}}};

TEST(BarrierSingleTri, EuropeanValuesConvergeToTheClosedFormAndThePublishedTable) {
  for (int32_t type : {CallOption, PutOption}) {
    for (int32_t barrierType : {Down_Out, Down_In, Up_Out, Up_In}) {
      for (int i = 0; i < 3; ++i) {
        const double X = 90 + 10 * i, H = barrierType <= Down_In ? 95 : 105;
        const Contract c = Make(type, barrierType, X, H, 3);
        const double published = kPublished[type - 1][barrierType - 1][i];
        EXPECT_NEAR(c.Reference(), published, 5e-5) << type << " " << barrierType << " X " << X;
        EXPECT_NEAR(c(Theoretical), published, 0.003) << type << " " << barrierType << " X " << X;
      }
    }
  }
}

TEST(BarrierSingleTri, InAndOutMakeThePlainOption) {
  for (int32_t type : {CallOption, PutOption}) {
    for (double H : {90.0, 110.0}) {
      const int32_t in = H < 100 ? Down_In : Up_In, out = H < 100 ? Down_Out : Up_Out;
      const BlackScholesRef bs{100, 100, 0.5, 0.25, 0.08, 0.04};
      const double plain = type == CallOption ? bs.Call() : bs.Put();
      EXPECT_NEAR(Make(type, in, 100, H, 0)(Theoretical) + Make(type, out, 100, H, 0)(Theoretical),
                  plain, 0.01)
          << type << " H " << H;
    }
  }
}

TEST(BarrierSingleTri, AtTheBarrierAndEarlyExercise) {
  Contract on = Make(CallOption, Down_Out, 100, 100, 3);
  EXPECT_NEAR(on(Theoretical), 3, 1e-12);  // knocked out at once: the rebate
  on.barrierType = Down_In;                // knocked in at once: the plain option
  const BlackScholesRef plain{100, 100, 0.5, 0.25, 0.08, 0.04};
  EXPECT_NEAR(on(Theoretical), plain.Call(), 0.01);
  for (int32_t barrierType : {Down_Out, Down_In, Up_Out, Up_In}) {
    Contract c = Make(PutOption, barrierType, 105, barrierType <= Down_In ? 90 : 115, 2);
    const double european = c(Theoretical);
    c.exercise = 7;  // any value but 0 is European
    EXPECT_EQ(c(Theoretical), european);
    c.exercise = American;
    EXPECT_GE(c(Theoretical), european - 1e-12) << barrierType;
  }
}

TEST(BarrierSingleTri, TheBarrierLiesOnALayerOfNodes) {
  numerical::BarrierTree tree;
  for (double H : {80.0, 97.0, 99.9, 120.0}) {
    numerical::BarrierTreeContract c{Down_Out, false, 1, 100, 100, H, 0, 0.5, 0.25, 0.08, 0.04, 50};
    const double u = tree.Values(c).u, sigmaRootDt = 0.25 * std::sqrt(0.01);
    const double moves = std::fabs(std::log(H / 100)) / std::log(u);
    if (std::fabs(std::log(H / 100)) < sigmaRootDt) {
      EXPECT_DOUBLE_EQ(u, std::exp(1.025865888 * sigmaRootDt)) << H;  // closer than one move
    } else {
      EXPECT_NEAR(moves, std::round(moves), 1e-9) << H;
    }
  }
}

// Delta, gamma and theta come off the tree's first layers; vega, rho, psi and the strike
// sensitivity from a second tree, also at a rate or yield of 0.
TEST(BarrierSingleTri, SensitivitiesAgreeWithTheClosedForm) {
  Contract c = Make(CallOption, Down_Out, 100, 90, 2);
  c.q = 0;
  auto moved = [&](double Contract::*input, double h) {
    Contract up = c, down = c;
    up.*input += h, down.*input -= h;
    return std::pair{up.Reference(), down.Reference()};
  };
  const double value = c.Reference();
  const auto [sUp, sDown] = moved(&Contract::S, 0.5);
  EXPECT_NEAR(c(Delta), (sUp - sDown) / 1.0, 0.01);
  EXPECT_NEAR(c(Gamma), (sUp - 2 * value + sDown) / 0.25, 0.002);
  const auto [tUp, tDown] = moved(&Contract::T, 1e-3);
  EXPECT_NEAR(c(Theta), -(tUp - tDown) / 2e-3 / 365, 2e-4);
  const auto [qUp, qDown] = moved(&Contract::q, 1e-4);
  EXPECT_NEAR(c(Psi), (qUp - qDown) / 2e-4 * 0.01, 0.01);
  const auto [vUp, vDown] = moved(&Contract::v, 1e-4);
  EXPECT_NEAR(c(Vega), (vUp - vDown) / 2e-4 * 0.01, 0.01);
}

TEST(BarrierSingleTri, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"barrier type 0 first", With(c, [](Contract& k) { k.barrierType = 0, k.S = -1; }),
       Theoretical, BarrierTypeErr, "The BarrierType is Invalid."},
      {"barrier type 5", With(c, [](Contract& k) { k.barrierType = 5; }), Theoretical,
       BarrierTypeErr, "The BarrierType is Invalid."},
      {"501 steps", With(c, [](Contract& k) { k.steps = 501; }), Theoretical, IterationsMaxErr,
       "The number of Iterations for the Numerical Models must be less than or equal to 500."},
      {"rebate before barrier", With(c, [](Contract& k) { k.R = -1, k.H = 0; }), Theoretical,
       RebateErr, "The Repate must be greater than or equal to 0."},
      {"barrier", With(c, [](Contract& k) { k.H = 0; }), Theoretical, BarrierLowErr,
       "The Barrier must be greater than 0."},
      {"a two-asset function", c, Delta1_SP, OptionFunctionErr, "The OptionFunction is invalid."},
  });
}

}  // namespace
}  // namespace quantrel
