// Identities the barrier and binary models keep with one another and with the plain option:
// in-out parities, barriers already hit or out of reach, limits, digital decompositions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/NamedContract.h"
#include "support/Reference.h"

namespace quantrel::testing {
namespace {

// S = 100, T = 1, v = 25%, r = 8%, q = 3%.
const std::string kMarket =
    "AssetPrice=100 TimeExpire=1 Volatility=0.25 InterestRate=0.08 YieldRate=0.03 "
    "TimeFormat=Years ";
constexpr double kTolerance = 2e-4;  // the approximations' 1e-7 on a price of 100, and some

double Value(const char* method, const std::string& contract, int32_t function = 1) {
  return NamedContract(method, kMarket + contract)(function);
}
std::string Strike(double X) {
  return " StrikePrice=" + std::to_string(X);
}
// The option without a barrier, exact normal.
double Plain(bool call, double X) {
  const BlackScholesRef bs{100, X, 1, 0.25, 0.08, 0.03};
  return call ? bs.Call() : bs.Put();
}

// Knock-in plus knock-out (no rebate) is the option without the barrier, for strikes below, on
// and above the barriers; the look-barriers add up to the partial-time lookback.
TEST(BarrierFamily, InOutParity) {
  const struct {
    bool call;
    const char* method;
    std::string contract, in, out;
  } rows[] = {
      // clang-format off
      {true, "BarrierSingle", "OptionType=1 Rebate=0 Barrier=90", "BarrierType=Down_In", "BarrierType=Down_Out"},
      {false, "BarrierSingle", "OptionType=2 Rebate=0 Barrier=115", "BarrierType=Up_In", "BarrierType=Up_Out"},
      {true, "BarrierDouble", "OptionType=1 LowerBarrier=80 UpperBarrier=120 UpperCurvature=0.1", "BarrierType=1", "BarrierType=2"},
      {false, "BarrierDouble", "OptionType=2 LowerBarrier=80 UpperBarrier=120 LowerCurvature=-0.2", "BarrierType=1", "BarrierType=2"},
      {true, "BarrierPartialStart", "OptionType=1 Barrier=115 TimeBarrier=0.4", "BarrierType=4", "BarrierType=3"},
      {false, "BarrierPartialStart", "OptionType=2 Barrier=90 TimeBarrier=0.4", "BarrierType=2", "BarrierType=1"},
      {true, "BarrierPartialEnd", "OptionType=1 Barrier=90 TimeBarrier=0.4", "BarrierType=2", "BarrierType=1"},
      {false, "BarrierPartialEnd", "OptionType=2 Barrier=115 TimeBarrier=0.4", "BarrierType=4", "BarrierType=3"},
      {true, "BarrierSoft", "LowerBarrier=80 UpperBarrier=95", "OptionType=1", "OptionType=2"},
      {false, "BarrierSoft", "LowerBarrier=105 UpperBarrier=120", "OptionType=3", "OptionType=4"},
      {true, "BarrierLookback", "Barrier=125 TimeBarrier=0.5", "OptionType=2", "OptionType=1"},
      {false, "BarrierLookback", "Barrier=80 TimeBarrier=0.5", "OptionType=4", "OptionType=3"},
      // clang-format on
  };
  for (const auto& row : rows) {
    for (double X : {70.0, 90.0, 100.0, 115.0, 140.0}) {
      const std::string c = row.contract + Strike(X) + " ";
      double whole = Plain(row.call, X);
      if (std::string(row.method) == "BarrierLookback") {
        whole = Value("LookbackPFixed",
                      "TimeStart=0.5 OptionType=" + std::string(row.call ? "1" : "2") + Strike(X));
      }
      EXPECT_NEAR(Value(row.method, c + row.in) + Value(row.method, c + row.out), whole, kTolerance)
          << row.method << " " << c;
    }
  }
}

// Binary barriers add up to the plain digital in both strike columns (the strike on the barrier
// included), and to the certain payment for the payments that depend on the barrier alone.
TEST(BarrierFamily, BinaryInOutParity) {
  for (const char* type : {"Call_Option", "Put_Option", "Both"}) {
    for (bool cash : {true, false}) {
      for (double X : {90.0, 100.0, 110.0}) {
        for (double S : {110.0, 90.0}) {  // above a down barrier at 100, below an up one
          const std::string c = std::string("OptionType=") + type +
                                " AssetPrice=" + std::to_string(S) + Strike(X) +
                                " Barrier=100 Rebate=15 PayoffType=" + (cash ? "1 " : "2 ");
          const std::string side = std::string(type[0] == 'C' ? "OptionType=1" : "OptionType=2") +
                                   " AssetPrice=" + std::to_string(S) + Strike(X);
          double whole = cash ? 15 * std::exp(-0.08) : S * std::exp(-0.03);
          if (type[0] != 'B')
            whole =
                cash ? Value("CashOrNothing", side + " Payoff=15") : Value("AssetOrNothing", side);
          EXPECT_NEAR(Value("BinaryBarrier", c + (S > 100 ? "BarrierType=2" : "BarrierType=4")) +
                          Value("BinaryBarrier", c + (S > 100 ? "BarrierType=1" : "BarrierType=3")),
                      whole, 1e-10)
              << c;
        }
      }
    }
  }
}

// A spot on a barrier watched from now, or past it, has hit it: a knock-out is worth what it pays
// at the hit (the single barrier's rebate, undiscounted; nothing for the others), a knock-in the
// option it has become. A daily watch moves a barrier away from the spot, never across it.
TEST(BarrierFamily, SpotAtOrPastABarrierHasHitIt) {
  const double call = Plain(true, 105), put = Plain(false, 105);
  const double lookback = Value("LookbackPFixed", "OptionType=1 TimeStart=0.5 StrikePrice=105");
  const struct {
    const char* method;
    std::string contract;
    double value;
  } rows[] = {
      // clang-format off
      {"BarrierSingle", "OptionType=1 BarrierType=Down_Out Barrier=100 Rebate=3", 3},
      {"BarrierSingle", "OptionType=2 BarrierType=Down_Out Barrier=110 Rebate=3", 3},
      {"BarrierSingle", "OptionType=2 BarrierType=Up_Out Barrier=90 Rebate=3", 3},
      {"BarrierSingle", "OptionType=2 BarrierType=Up_In Barrier=100 Rebate=3", put},
      {"BarrierSingle", "OptionType=1 BarrierType=Down_In Barrier=101 Rebate=3 BarrierMonitoring=DailyM", call},
      {"BarrierDouble", "OptionType=1 BarrierType=Knock_Out LowerBarrier=101 UpperBarrier=120", 0},
      {"BarrierDouble", "OptionType=2 BarrierType=Knock_In LowerBarrier=80 UpperBarrier=100", put},
      {"BarrierDouble", "OptionType=2 BarrierType=Knock_In LowerBarrier=120 UpperBarrier=80", put},
      {"BarrierPartialStart", "OptionType=1 BarrierType=Up_Out Barrier=99 TimeBarrier=0.5", 0},
      {"BarrierPartialStart", "OptionType=1 BarrierType=Down_In Barrier=100 TimeBarrier=0.5", call},
      {"BarrierLookback", "OptionType=Up_Out_Call Barrier=100 TimeBarrier=0.5", 0},
      {"BarrierLookback", "OptionType=Up_In_Call Barrier=90 TimeBarrier=0.5", lookback},
      {"BarrierSoft", "OptionType=Down_In_Call LowerBarrier=100 UpperBarrier=110", call},
      {"BarrierSoft", "OptionType=Up_Out_Put LowerBarrier=90 UpperBarrier=100", 0},
      {"BinaryBarrier", "OptionType=Both BarrierType=Down_In Barrier=100 Rebate=15 PayoffType=2 TimePayoff=At_Hit", 15},
      {"BinaryBarrier", "OptionType=Both BarrierType=Up_In Barrier=99 Rebate=15 PayoffType=1", 15 * std::exp(-0.08)},
      {"BinaryBarrier", "OptionType=Call_Option BarrierType=Up_Out Barrier=90 Rebate=15 PayoffType=1", 0},
      // clang-format on
  };
  for (const auto& row : rows) {
    EXPECT_NEAR(Value(row.method, row.contract + Strike(105)), row.value, kTolerance)
        << row.method << " " << row.contract;
  }
  EXPECT_GT(Value("BarrierSingle",
                  "OptionType=1 BarrierType=1 Barrier=99.9 Rebate=3 BarrierMonitoring=DailyM" +
                      Strike(105)),
            3);
  // Where spot, strike and barrier meet, delta steps forward on the live side.
  const std::string met = "OptionType=1 BarrierType=Down_Out Barrier=100 Rebate=0" + Strike(100);
  EXPECT_NEAR(Value("BarrierSingle", met, 2),
              Value("BarrierSingle", met + " AssetPrice=100.001") / 1e-3, 0.01);
}

// Barriers out of reach leave the option without them; a range out of reach knocks nothing in.
// Watched up to expiry, a partial-time start window and a look-barrier are the single barrier; an
// end window watches the final price alone; a soft range of no width is a single barrier.
TEST(BarrierFamily, BarriersOutOfReachAndLimits) {
  const double lookback = Value("LookbackPFixed", "OptionType=1 TimeStart=0.5 StrikePrice=95");
  const double cash = Value("CashOrNothing", "OptionType=1 StrikePrice=90 Payoff=1");
  const struct {
    const char* method;
    std::string contract;
    double value;
  } rows[] = {
      // clang-format off
      {"BarrierSingle", "OptionType=1 BarrierType=Down_Out Barrier=1 Rebate=0 StrikePrice=95", Plain(true, 95)},
      {"BarrierSingle", "OptionType=2 BarrierType=Up_Out Barrier=1e4 Rebate=0 StrikePrice=95", Plain(false, 95)},
      {"BarrierDouble", "OptionType=2 BarrierType=Knock_Out LowerBarrier=1 UpperBarrier=1e4 StrikePrice=95", Plain(false, 95)},
      {"BarrierPartialEnd", "OptionType=1 BarrierType=Down_N_Out Barrier=1 TimeBarrier=0.5 StrikePrice=95", Plain(true, 95)},
      {"BarrierSoft", "OptionType=Down_In_Call LowerBarrier=1 UpperBarrier=2 StrikePrice=95", 0},
      {"BarrierLookback", "OptionType=Up_Out_Call Barrier=1e5 TimeBarrier=0.5 StrikePrice=95", lookback},
      {"BarrierPartialEnd", "OptionType=1 BarrierType=Down_N_Out Barrier=90 TimeBarrier=1 StrikePrice=80", Plain(true, 90) + 10 * cash},
      {"BarrierPartialEnd", "OptionType=2 BarrierType=One_Touch Barrier=90 TimeBarrier=1 StrikePrice=80", Plain(false, 80)},
      {"BarrierPartialEnd", "OptionType=1 BarrierType=Up_N_Out Barrier=90 TimeBarrier=1 StrikePrice=90", 0},
      // clang-format on
  };
  for (const auto& row : rows) {
    EXPECT_NEAR(Value(row.method, row.contract), row.value, kTolerance)
        << row.method << " " << row.contract;
  }
  const struct {
    const char* method;
    std::string contract;
    std::string single;
  } limits[] = {
      // clang-format off
      {"BarrierPartialStart", "OptionType=1 BarrierType=Down_Out Barrier=90 TimeBarrier=1", "OptionType=1 BarrierType=Down_Out Barrier=90"},
      {"BarrierPartialStart", "OptionType=2 BarrierType=Up_In Barrier=110 TimeBarrier=1", "OptionType=2 BarrierType=Up_In Barrier=110"},
      {"BarrierLookback", "OptionType=Up_In_Call Barrier=120 TimeBarrier=1", "OptionType=1 BarrierType=Up_In Barrier=120"},
      {"BarrierLookback", "OptionType=Down_Out_Put Barrier=85 TimeBarrier=1", "OptionType=2 BarrierType=Down_Out Barrier=85"},
      {"BarrierSoft", "OptionType=Down_In_Call LowerBarrier=90 UpperBarrier=90", "OptionType=1 BarrierType=Down_In Barrier=90"},
      // clang-format on
  };
  for (const auto& row : limits) {
    for (double X : {85.0, 100.0, 115.0}) {
      if (std::string(row.method) == "BarrierSoft" && X < 90)
        continue;  // the range's formula takes X >= U
      EXPECT_NEAR(Value(row.method, row.contract + Strike(X)),
                  Value("BarrierSingle", row.single + " Rebate=0" + Strike(X)), kTolerance)
          << row.method << " " << row.contract << " X " << X;
    }
  }
}

// A plain call is an asset-or-nothing call less X cash-or-nothing calls; a gap option is the same
// with X + G cash, and without a gap the plain option; a supershare is the difference of two
// asset-or-nothing calls per unit of the lower strike; calls and puts together pay for certain.
TEST(BarrierFamily, DigitalDecompositions) {
  for (bool call : {true, false}) {
    for (double X : {80.0, 100.0, 125.0}) {
      const std::string c = (call ? "OptionType=1" : "OptionType=2") + Strike(X);
      const double asset = Value("AssetOrNothing", c),
                   cash = Value("CashOrNothing", c + " Payoff=1");
      const double sign = call ? 1 : -1;
      EXPECT_NEAR(sign * (asset - X * cash), Plain(call, X), kTolerance) << c;
      EXPECT_NEAR(Value("Gap", c + " StrikeGap=0"), Plain(call, X), kTolerance) << c;
      EXPECT_NEAR(Value("Gap", c + " StrikeGap=-4"), std::fmax(sign * (asset - (X - 4) * cash), 0),
                  1e-12)
          << c;
      EXPECT_NEAR(Value("AssetOrNothing", Strike(X) + " OptionType=1") +
                      Value("AssetOrNothing", Strike(X) + " OptionType=2"),
                  100 * std::exp(-0.03), 1e-12);
      EXPECT_NEAR(Value("CashOrNothing", Strike(X) + " Payoff=7 OptionType=1") +
                      Value("CashOrNothing", Strike(X) + " Payoff=7 OptionType=2"),
                  7 * std::exp(-0.08), 1e-12);
      const double high =
          Value("AssetOrNothing", "OptionType=1 StrikePrice=" + std::to_string(X + 20));
      EXPECT_NEAR(Value("Supershare", "LowerStrike=" + std::to_string(X) +
                                          " UpperStrike=" + std::to_string(X + 20)),
                  (Value("AssetOrNothing", "OptionType=1" + Strike(X)) - high) / X, 1e-12);
    }
  }
}

}  // namespace
}  // namespace quantrel::testing
