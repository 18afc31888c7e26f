// The failures of the barrier and binary models, first broken rule first, with exact codes and
// messages.
#include <gtest/gtest.h>

#include <string>

#include "quantrel/quantrel.h"
#include "support/Failures.h"
#include "support/NamedContract.h"

namespace quantrel::testing {
namespace {

const std::string kMarket =
    "AssetPrice=100 TimeExpire=1 Volatility=0.25 InterestRate=0.08 YieldRate=0.03 "
    "TimeFormat=Years StrikePrice=100 ";
const std::string kSingle = kMarket + "OptionType=1 BarrierType=Down_Out Barrier=90 Rebate=1 ";
const std::string kDouble =
    kMarket + "OptionType=1 BarrierType=Knock_Out LowerBarrier=80 UpperBarrier=120 ";
const std::string kPartial = kMarket + "OptionType=1 BarrierType=1 Barrier=90 TimeBarrier=0.5 ";
const std::string kLookback = kMarket + "OptionType=Up_Out_Call Barrier=130 TimeBarrier=0.5 ";
const std::string kSoft = kMarket + "OptionType=Down_In_Call LowerBarrier=80 UpperBarrier=90 ";
const std::string kBinary =
    kMarket +
    "OptionType=Call_Option BarrierType=Down_Out PayoffType=Cash_Nothing Barrier=90 Rebate=1 ";
const std::string kSupershare =
    kMarket.substr(0, kMarket.find("StrikePrice")) + "LowerStrike=90 UpperStrike=110 ";

TEST(BarrierFamily, FailuresComeInOrderWithExactCodesAndMessages) {
  const char* kType = "The BarrierType is Invalid.";
  const char* kTypeCapital = "The OptionType is Invalid.";
  const char* kMonitoring = "The Barrier Monitoring is invalid.";
  const char* kFunction = "The OptionFunction is invalid.";
  const struct {
    const char* method;
    std::string contract;
    int32_t function, code;
    const char* message;
  } rows[] = {
      // clang-format off
      {"BarrierSingle", kSingle + "BarrierType=5 Rebate=-1", 1, BarrierTypeErr, kType},
      {"BarrierSingle", kSingle + "Rebate=-1 Barrier=0", 1, RebateErr, "The Repate must be greater than or equal to 0."},
      {"BarrierSingle", kSingle + "Barrier=0", 1, BarrierLowErr, "The Barrier must be greater than 0."},
      {"BarrierSingle", kSingle + "BarrierMonitoring=8", 10, MonitoringErr, kMonitoring},
      {"BarrierSingle", kSingle + "BarrierMonitoring=-1", 1, MonitoringErr, kMonitoring},
      {"BarrierSingle", kSingle, 10, OptionFunctionErr, kFunction},
      {"BarrierDouble", kDouble + "BarrierType=3 LowerBarrier=0", 1, BarrierTypeErr, kType},
      {"BarrierDouble", kDouble + "LowerCurvature=nan", 1, BarrierLowErr, "LowerCurvature must be a finite number."},
      {"BarrierDouble", kDouble + "LowerCurvature=nan LowerBarrier=0", 1, BarrierLowErr, "The Barrier must be greater than 0."},
      {"BarrierDouble", kDouble + "UpperCurvature=inf", 1, BarrierHighErr, "UpperCurvature must be a finite number."},
      {"BarrierDouble", kDouble + "LowerBarrier=0 UpperBarrier=0", 1, BarrierLowErr, "The Barrier must be greater than 0."},
      {"BarrierDouble", kDouble + "UpperBarrier=-1", 1, BarrierHighErr, "The UpperBarrier must be greater than 0."},
      {"BarrierDouble", kDouble + "BarrierMonitoring=8", 1, MonitoringErr, kMonitoring},
      {"BarrierPartialEnd", kPartial + "BarrierType=6 TimeBarrier=0", 1, BarrierTypeErr, kType},
      {"BarrierPartialStart", kPartial + "BarrierType=5", 1, BarrierTypeErr, kType},
      {"BarrierPartialEnd", kPartial + "TimeBarrier=0 Barrier=0", 1, TimeBarrierErr, "TimeBarrier must be greater than 0."},
      {"BarrierPartialStart", kPartial + "TimeBarrier=1.01", 1, TimeBarrierLimitErr, "TimeBarrier must be less than TimeExpire."},
      {"BarrierPartialStart", kPartial + "TimeBarrier=1e-11 TimeExpire=1e-11", 1, TimeStartErr, "TimeStart must be greater than 0."},
      {"BarrierPartialEnd", kPartial + "Barrier=0", 1, BarrierLowErr, "The Barrier must be greater than 0."},
      {"BarrierPartialEnd", kPartial + "BarrierMonitoring=8", 1, MonitoringErr, kMonitoring},
      {"BarrierLookback", kLookback + "OptionType=5 TimeBarrier=2", 1, OptionTypeErr, kTypeCapital},
      {"BarrierLookback", kLookback + "TimeBarrier=1.5 Barrier=0", 1, TimeBarrierErr, "The TimeExpire must be greater than the TimeBarrier."},
      {"BarrierLookback", kLookback + "TimeBarrier=0", 1, TimeBarrierErr, "TimeBarrier must be greater than 0."},
      {"BarrierLookback", kLookback + "Barrier=-5", 1, BarrierLowErr, "The Barrier must be greater than 0."},
      {"BarrierLookback", kLookback + "BarrierMonitoring=9", 1, MonitoringErr, kMonitoring},
      {"BarrierSoft", kSoft + "OptionType=0 LowerBarrier=0", 1, OptionTypeErr, kTypeCapital},
      {"BarrierSoft", kSoft + "LowerBarrier=0 UpperBarrier=0", 1, BarrierLowErr, "The Barrier must be greater than 0."},
      {"BarrierSoft", kSoft + "UpperBarrier=0", 1, BarrierHighErr, "The UpperBarrier must be greater than 0."},
      {"BarrierSoft", kSoft + "BarrierMonitoring=8", 14, MonitoringErr, kMonitoring},
      {"BinaryBarrier", kBinary + "BarrierType=0 TimePayoff=2", 1, BarrierTypeErr, kType},
      {"BinaryBarrier", kBinary + "TimePayoff=2 PayoffType=0", 1, TimePayoffErr, "The TimePayoff is Invalid."},
      {"BinaryBarrier", kBinary + "PayoffType=3 OptionType=4", 1, PayoffTypeErr, "The PayoffType is Invalid."},
      {"BinaryBarrier", kBinary + "OptionType=4 Rebate=-1", 1, OptionTypeErr, "The OptionType is invalid."},
      {"BinaryBarrier", kBinary + "Rebate=-1 Barrier=0", 1, RebateErr, "The Repate must be greater than or equal to 0."},
      {"BinaryBarrier", kBinary + "BarrierMonitoring=8", 1, MonitoringErr, kMonitoring},
      {"Gap", kMarket + "OptionType=1 StrikeGap=nan StrikePrice=0", 1, StrikePriceErr, "StrikePrice must be greater than 0."},
      {"Gap", kMarket + "OptionType=1 StrikeGap=-inf", 1, StrikePriceErr, "StrikeGap must be a finite number."},
      {"CashOrNothing", kMarket + "OptionType=1 Payoff=-1", 1, PayoffErr, "The Payoff must be greater than or equal to 0."},
      {"AssetOrNothing", kMarket + "OptionType=1", 34, OptionFunctionErr, kFunction},
      {"Supershare", kSupershare + "UpperStrike=-1", 1, UpperLowerErr, "The UpperStrike must be greater than the LowerStrike."},
      {"Supershare", kSupershare + "LowerStrike=nan UpperStrike=0", 1, LowerStrikeErr, "LowerStrike must be greater than 0."},
      {"Supershare", kSupershare + "UpperStrike=nan", 1, UpperStrikeErr, "UpperStrike must be greater than 0."},
      {"Supershare", kSupershare + "UpperStrike=inf", 1, UpperStrikeErr, "UpperStrike must be a finite number."},
      {"Supershare", kSupershare, StrikeSensitivity, OptionFunctionErr, kFunction},
      {"Supershare", kSupershare + "MarketPrice=1", ImpliedStrike, OptionFunctionErr, kFunction},
      // clang-format on
  };
  for (const auto& row : rows) {
    const cli::Outcome o = NamedContract(row.method, row.contract).Price(row.function);
    EXPECT_EQ(o.status, row.code) << row.method << " " << row.contract;
    EXPECT_EQ(o.message, row.message) << row.method << " " << row.contract;
  }
}

// The barrier shift raises its failure on calls that skip validation too.
TEST(BarrierFamily, MonitoringFailsWithValidationSkipped) {
  const ExpectedFailure expected{MonitoringErr, "The Barrier Monitoring is invalid."};
  ExpectFailure(
      [](int32_t* err) {
        return BarrierSingle(1, 1, 1, 100, 100, 90, 0, 1, 0.2, 0.05, 0, 0, 8, 1, 0, 0, err, false,
                             true);
      },
      expected, "single");
  ExpectFailure(
      [](int32_t* err) {
        return BarrierSoft(1, 1, 100, 100, 80, 90, 1, 0.2, 0.05, 0, 0, -1, 1, 0, 0, err, false,
                           true);
      },
      expected, "soft");
}

}  // namespace
}  // namespace quantrel::testing
