// Checks every model must pass, as one table of contracts: each sensitivity its OptionFunction
// enumeration offers against a difference of the reported value, implied values that reprice the
// contract they came from, and hostile inputs that never come back as a non-finite result. A new
// model adds rows here; its own test file keeps only what is its own.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "quantrel/enums.h"
#include "quantrel/errors.h"
#include "support/NamedContract.h"

namespace quantrel::testing {
namespace {

struct Row {
  const char* method;
  std::string contract;  // Name=Value pairs, later ones overriding earlier ones
  // Implied round trips: "Member=start ..." prices the contract, then asks for the member's
  // implied input from `start`; it must come back to the contract's own value.
  std::string implied = "";
  double tolerance = 1e-5;      // sensitivities, relative to 1 + |difference|
  const char* times = nullptr;  // what Theta moves; default every Time* input but TimeFormat
  // The first and second strike of the strike codes; none for a model without a strike.
  const char* strikes = "StrikePrice";
  const char* skip = "";     // members whose sensitivity is the model's own
  bool repriceOnly = false;  // the implied input need not be unique
};

std::string Varied(const char* base, const char* changes = "") {
  return std::string(base) + " " + changes;
}

// --- The contracts ---

constexpr const char* kForwardStart =
    "OptionType=CallOption AssetPrice=60 TimeStart=0.25 TimeExpire=1 Volatility=0.3 "
    "InterestRate=0.08 YieldRate=0.04 Alpha=1.1 TimeFormat=Years";
constexpr const char* kExecutive =
    "OptionType=CallOption AssetPrice=60 StrikePrice=64 TimeExpire=2 Volatility=0.38 "
    "InterestRate=0.07 YieldRate=0.03 JumpRate=0.15 TimeFormat=Years";
constexpr const char* kChooser =
    "AssetPrice=50 StrikePrice=50 TimeChoose=0.25 TimeExpire=0.5 Volatility=0.25 "
    "InterestRate=0.08 YieldRate=0 TimeFormat=Years";
constexpr const char* kComplexChooser =
    "AssetPrice=50 StrikeCall=55 StrikePut=48 TimeChoose=0.25 TimeCall=0.5 TimePut=0.5833 "
    "Volatility=0.35 InterestRate=0.1 YieldRate=0.05 TimeFormat=Years";
constexpr const char* kTimeSwitch =
    "OptionType=CallOption AssetPrice=100 StrikePrice=110 TimeExpire=1 NumTimeUnits=0 "
    "AccruedAmt=5 TimeInterval=0.00273972602739726 Volatility=0.26 InterestRate=0.06 YieldRate=0 "
    "TimeFormat=Years";
constexpr const char* kCompound =
    "OptionType=Put_Call AssetPrice=500 StrikeOption=50 StrikeUnderly=520 TimeOption=0.25 "
    "TimeExpire=0.5 Volatility=0.35 InterestRate=0.08 YieldRate=0 TimeFormat=Years";
constexpr const char* kWriterExtendible =
    "OptionType=CallOption AssetPrice=80 StrikeInitial=90 StrikeExtended=82 TimeInitial=0.5 "
    "TimeExtended=0.75 Volatility=0.3 InterestRate=0.1 YieldRate=0 TimeFormat=Years";
constexpr const char* kLookback =
    "OptionType=CallOption AssetPrice=120 StrikePrice=100 TimeExpire=0.5 Volatility=0.3 "
    "InterestRate=0.1 YieldRate=0.04 TimeFormat=Years";
constexpr const char* kLookbackFixed =
    "OptionType=CallOption AssetPrice=100 AssetMinMax=100 StrikePrice=105 TimeExpire=0.5 "
    "Volatility=0.3 InterestRate=0.1 YieldRate=0 TimeFormat=Years";
constexpr const char* kLookbackPFloat =
    "OptionType=CallOption AssetPrice=100 StrikePrice=90 Lambda=1 TimeStart=0.5 TimeExpire=1 "
    "Volatility=0.25 InterestRate=0.07 YieldRate=0.03 TimeFormat=Years";
constexpr const char* kLookbackPFixed =
    "OptionType=CallOption AssetPrice=100 StrikePrice=100 TimeStart=0.5 TimeExpire=1 "
    "Volatility=0.25 InterestRate=0.07 YieldRate=0.03 TimeFormat=Years";
constexpr const char* kExtremeSpread =
    "SpreadType=Standard OptionType=CallOption AssetPrice=100 StrikePrice=105 Time1stPeriod=0.4 "
    "TimeExpire=1 Volatility=0.3 InterestRate=0.08 YieldRate=0.05 TimeFormat=Years";
constexpr const char* kAveragePrice =
    "OptionType=CallOption AverageType=Geometric AssetPrice=100 AveragePrice=100 StrikePrice=100 "
    "TimeToAverage=0 TimeExpire=1 Volatility=0.2 InterestRate=0.05 YieldRate=0.02 TimeFormat=Years";
constexpr const char* kAverageStrike =
    "OptionType=CallOption AverageType=Geometric AssetPrice=100 TimeExpire=1 Volatility=0.2 "
    "InterestRate=0.05 YieldRate=0.02 TimeFormat=Years";

// clang-format off
const std::vector<Row> kRows = {
    {"ForwardStart", Varied(kForwardStart), "ImpliedVol_FS=0.4", 1e-7},
    {"ForwardStart", Varied(kForwardStart, "OptionType=PutOption"), "ImpliedVol_FS=0.4", 1e-7},
    {"ForwardStart", Varied(kForwardStart, "InterestRateType=Annually YieldRateType=Annually"), "", 1e-7},
    {"ForwardStart", Varied(kForwardStart, "InterestRateType=Quarterly YieldRateType=Quarterly"), "", 1e-7},
    {"ForwardStart", Varied(kForwardStart, "Volatility=0.05"), "ImpliedVol_FS=0.4"},
    {"ForwardStart", Varied(kForwardStart, "Volatility=0.6 OptionType=PutOption"), "ImpliedVol_FS=0.4"},
    {"ForwardStart", Varied(kForwardStart, "Volatility=1.5"), "ImpliedVol_FS=0.4"},
    {"ForwardStart", Varied(kForwardStart, "Volatility=0.05 OptionType=PutOption"), "ImpliedVol_FS=0.4"},

    {"Executive", Varied(kExecutive, "InterestRateType=Annually"), "", 1e-6},
    {"Executive", Varied(kExecutive, "InterestRateType=Annually OptionType=PutOption"), "", 1e-6},
    {"Executive", Varied(kExecutive), "ImpliedVol=0.5 ImpliedStrike=60"},
    {"Executive", Varied(kExecutive, "OptionType=PutOption"), "ImpliedVol=0.5 ImpliedStrike=60"},
    {"Executive", Varied(kExecutive, "Volatility=0.1"), "ImpliedVol=0.5"},
    {"Executive", Varied(kExecutive, "Volatility=0.9"), "ImpliedVol=0.5"},
    {"Executive", Varied(kExecutive, "Volatility=0.1 OptionType=PutOption"), "ImpliedVol=0.5"},
    {"Executive", Varied(kExecutive, "Volatility=0.9 OptionType=PutOption"), "ImpliedVol=0.5"},
    {"Executive", Varied(kExecutive, "StrikePrice=50"), "ImpliedStrike=60"},
    {"Executive", Varied(kExecutive, "StrikePrice=75"), "ImpliedStrike=60"},
    {"Executive", Varied(kExecutive, "StrikePrice=50 OptionType=PutOption"), "ImpliedStrike=60"},
    {"Executive", Varied(kExecutive, "StrikePrice=75 OptionType=PutOption"), "ImpliedStrike=60"},

    {"Chooser", Varied(kChooser, "InterestRateType=Quarterly YieldRateType=Quarterly YieldRate=0.03"), "", 1e-6},
    {"Chooser", Varied(kChooser, "Volatility=0.08"), "ImpliedVol=0.4"},
    {"Chooser", Varied(kChooser), "ImpliedVol=0.4"},
    {"Chooser", Varied(kChooser, "Volatility=0.8"), "ImpliedVol=0.4"},
    // The value rises with the strike on the side where the put dominates.
    {"Chooser", Varied(kChooser, "StrikePrice=55"), "ImpliedStrike=58"},
    {"Chooser", Varied(kChooser, "StrikePrice=65"), "ImpliedStrike=58"},

    {"ComplexChooser", Varied(kComplexChooser), "", 1e-6, nullptr, "StrikeCall StrikePut"},
    {"ComplexChooser", Varied(kComplexChooser, "Volatility=0.2"), "ImpliedVol_TS=0.4", 1e-6, nullptr, "StrikeCall StrikePut"},
    {"ComplexChooser", Varied(kComplexChooser, "Volatility=0.7"), "ImpliedVol_TS=0.3", 1e-6, nullptr, "StrikeCall StrikePut"},
    {"ComplexChooser", Varied(kComplexChooser, "StrikeCall=52"), "ImpliedStrikeCall_TS=58", 1e-6, nullptr, "StrikeCall StrikePut"},
    {"ComplexChooser", Varied(kComplexChooser, "StrikePut=51"), "ImpliedStrikePut_TS=45", 1e-6, nullptr, "StrikeCall StrikePut"},

    // The time switch's theta moves the fixing schedule with the calendar: its own test checks it.
    {"TimeSwitch", Varied(kTimeSwitch, "Volatility=0.15"), "ImpliedVol=0.6", 1e-5, nullptr, "StrikePrice", "Theta"},
    {"TimeSwitch", Varied(kTimeSwitch, "Volatility=0.15 OptionType=PutOption"), "ImpliedVol=0.6", 1e-5, nullptr, "StrikePrice", "Theta"},
    {"TimeSwitch", Varied(kTimeSwitch, "Volatility=0.4"), "ImpliedVol=0.6", 1e-5, nullptr, "StrikePrice", "Theta", true},
    {"TimeSwitch", Varied(kTimeSwitch, "Volatility=0.4 OptionType=PutOption"), "ImpliedVol=0.6", 1e-5, nullptr, "StrikePrice", "Theta", true},
    {"TimeSwitch", Varied(kTimeSwitch, "StrikePrice=105"), "ImpliedStrike=120", 1e-5, nullptr, "StrikePrice", "Theta"},
    {"TimeSwitch", Varied(kTimeSwitch, "StrikePrice=105 OptionType=PutOption"), "ImpliedStrike=120", 1e-5, nullptr, "StrikePrice", "Theta"},

    {"Compound", Varied(kCompound, "OptionType=Call_Call InterestRateType=Annually"), "", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Put_Put InterestRateType=Annually"), "", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "Volatility=0.35"), "ImpliedVol_C=0.5", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Call_Call Volatility=0.2"), "ImpliedVol_C=0.5", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Call_Put Volatility=0.6"), "ImpliedVol_C=0.3", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "StrikeUnderly=520"), "ImpliedStrikeUnderly_C=500", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Call_Call StrikeUnderly=500"), "ImpliedStrikeUnderly_C=520", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "StrikeOption=50"), "ImpliedStrikeOption_C=40", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Put_Put StrikeOption=30"), "ImpliedStrikeOption_C=35", 1e-6, nullptr, "StrikeUnderly StrikeOption"},
    {"Compound", Varied(kCompound, "OptionType=Call_Put StrikeOption=40"), "ImpliedStrikeOption_C=35", 1e-6, nullptr, "StrikeUnderly StrikeOption"},

    {"WriterExtendible", Varied(kWriterExtendible, "YieldRate=0.02"), "", 1e-6, nullptr, "StrikeInitial StrikeExtended"},
    {"WriterExtendible", Varied(kWriterExtendible, "YieldRate=0.02 OptionType=PutOption"), "", 1e-6, nullptr, "StrikeInitial StrikeExtended"},
    {"WriterExtendible", Varied(kWriterExtendible), "ImpliedVol_WE=0.6 ImpliedStrikeInt_WE=80 ImpliedStrikeExt_WE=90", 1e-6, nullptr, "StrikeInitial StrikeExtended"},
    {"WriterExtendible", Varied(kWriterExtendible, "OptionType=PutOption Volatility=0.8"), "ImpliedVol_WE=0.3", 1e-6, nullptr, "StrikeInitial StrikeExtended"},
    {"WriterExtendible", Varied(kWriterExtendible, "OptionType=PutOption StrikeInitial=75"), "ImpliedStrikeInt_WE=90", 1e-6, nullptr, "StrikeInitial StrikeExtended"},
    {"WriterExtendible", Varied(kWriterExtendible, "OptionType=PutOption StrikeExtended=70"), "ImpliedStrikeExt_WE=80", 1e-6, nullptr, "StrikeInitial StrikeExtended"},

    {"Lookback", Varied(kLookback), "ImpliedVol=0.6 ImpliedStrike=110"},
    {"Lookback", Varied(kLookback, "OptionType=PutOption StrikePrice=130"), "ImpliedVol=0.6 ImpliedStrike=110"},

    {"LookbackFixed", Varied(kLookbackFixed, "StrikePrice=90 YieldRate=0.03")},
    {"LookbackFixed", Varied(kLookbackFixed, "StrikePrice=110 YieldRate=0.03")},
    {"LookbackFixed", Varied(kLookbackFixed, "StrikePrice=90 YieldRate=0.03 OptionType=PutOption")},
    {"LookbackFixed", Varied(kLookbackFixed, "StrikePrice=110 YieldRate=0.03 OptionType=PutOption")},
    {"LookbackFixed", Varied(kLookbackFixed), "ImpliedVol=0.1 ImpliedStrike=100"},
    {"LookbackFixed", Varied(kLookbackFixed, "OptionType=PutOption StrikePrice=95"), "ImpliedVol=0.1 ImpliedStrike=100"},

    {"LookbackPFloat", Varied(kLookbackPFloat, "Lambda=1.05 StrikePrice=95"), "", 1e-5, "TimeExpire"},
    {"LookbackPFloat", Varied(kLookbackPFloat, "OptionType=PutOption Lambda=0.95 StrikePrice=105"), "", 1e-5, "TimeExpire"},
    {"LookbackPFloat", Varied(kLookbackPFloat), "ImpliedVol=0.5", 1e-5, "TimeExpire"},
    {"LookbackPFloat", Varied(kLookbackPFloat, "OptionType=PutOption StrikePrice=110"), "ImpliedVol=0.5", 1e-5, "TimeExpire"},

    {"LookbackPFixed", Varied(kLookbackPFixed, "StrikePrice=105"), "ImpliedVol=0.6 ImpliedStrike=100", 1e-5, "TimeExpire"},
    {"LookbackPFixed", Varied(kLookbackPFixed, "OptionType=PutOption StrikePrice=95"), "ImpliedVol=0.6 ImpliedStrike=100", 1e-5, "TimeExpire"},

    {"ExtremeSpread", Varied(kExtremeSpread), "ImpliedVol=0.9", 1e-5, "TimeExpire"},
    {"ExtremeSpread", Varied(kExtremeSpread, "SpreadType=Reverse StrikePrice=95"), "", 1e-5, "TimeExpire"},
    // The reverse spread is cheapest near 10%: priced well above it.
    {"ExtremeSpread", Varied(kExtremeSpread, "SpreadType=Reverse StrikePrice=95 Volatility=0.6"), "ImpliedVol=0.9", 1e-5, "TimeExpire"},
    {"ExtremeSpread", Varied(kExtremeSpread), "ImpliedStrike=120", 1e-5, "TimeExpire", "StrikePrice", "", true},

    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=-0.25 ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=0.3 ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "AverageType=Arithmetic TimeToAverage=-0.25 ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "AverageType=Arithmetic ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "AverageType=Arithmetic TimeToAverage=0.3 ObserveFreq=MonthlySample InterestRateType=Quarterly"), "", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=-0.1"), "ImpliedVol=0.7 ImpliedStrike=120", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=-0.1 OptionType=PutOption"), "ImpliedVol=0.7 ImpliedStrike=120", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=-0.1 AverageType=Arithmetic"), "ImpliedVol=0.7 ImpliedStrike=120", 1e-5, "TimeExpire"},
    {"AveragePrice", Varied(kAveragePrice, "TimeToAverage=-0.1 AverageType=Arithmetic OptionType=PutOption"), "ImpliedVol=0.7 ImpliedStrike=120", 1e-5, "TimeExpire"},

    {"AverageStrike", Varied(kAverageStrike), "ImpliedVol=0.5", 1e-5, "TimeExpire", ""},
    {"AverageStrike", Varied(kAverageStrike, "AverageType=Arithmetic"), "ImpliedVol=0.5", 1e-5, "TimeExpire", ""},
};
// clang-format on

// --- What a member of an OptionFunction enumeration asks for, read from its name ---

bool Starts(std::string_view name, std::string_view prefix) {
  return name.substr(0, prefix.size()) == prefix;
}

std::vector<std::string> Words(const char* text) {
  std::vector<std::string> words;
  std::istringstream in(text ? text : "");
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::vector<std::string> ThetaTimes(const Row& row, const NamedContract& c) {
  if (row.times) return Words(row.times);
  std::vector<std::string> times;
  for (const InputSpec& s : c.Specs()) {
    if (Starts(s.name, "Time") && s.type == InputType::Double) times.push_back(s.name);
  }
  return times;
}

// The strike a strike code names: the first for StrikeSensitivity and the first of a pair (codes
// 11, 13, 34, 35), the second for the second of a pair.
std::string StrikeOf(const Row& row, int32_t code) {
  const std::vector<std::string> strikes = Words(row.strikes);
  return code >= 36 ? strikes.at(1) : strikes.at(0);
}

const EnumerationSpec& Functions(const NamedContract& c) {
  for (const InputSpec& s : c.Specs()) {
    if (std::string_view(s.name) == "OptionFunction") return *FindEnumeration(s.enumeration);
  }
  throw std::logic_error("no OptionFunction");
}

bool Skipped(const Row& row, std::string_view member) {
  for (const std::string& word : Words(row.skip)) {
    if (Starts(member, word)) return true;
  }
  return false;
}

// The value moved along some inputs by `step` each, in the caller's units.
double Moved(const NamedContract& c, const std::vector<std::string>& inputs, double step) {
  NamedContract moved = c;
  for (const std::string& name : inputs) moved.Set(name, c.Get(name) + step);
  return moved(1);
}

TEST(EveryModel, SensitivitiesMatchDifferencesOfTheValue) {
  const double h = 1e-4;
  for (const Row& row : kRows) {
    const NamedContract c(row.method, row.contract);
    const double value = c(1);
    for (const EnumMember& m : Functions(c).members) {
      const std::string_view name = m.name;
      if (Skipped(row, name)) continue;
      std::vector<std::string> inputs;
      double unit = 1;
      if (Starts(name, "Delta") || Starts(name, "Gamma") || Starts(name, "Lambda")) {
        inputs = {"AssetPrice"};
      } else if (Starts(name, "Theta")) {
        inputs = ThetaTimes(row, c);
        unit = c.GetInt("TimeFormat") == Years ? -1.0 / 365 : -1.0;
      } else if (Starts(name, "Vega")) {
        inputs = {"Volatility"}, unit = 0.01;
      } else if (Starts(name, "Rho")) {
        inputs = {"InterestRate"}, unit = 0.01;
      } else if (Starts(name, "Psi")) {
        inputs = {"YieldRate"}, unit = 0.01;
      } else if (Starts(name, "StrikeSens") || Starts(name, "ImpliedStrike")) {
        if (Words(row.strikes).empty()) {  // a model without a strike serves neither
          EXPECT_EQ(c.With("MarketPrice", 1).Price(m.value).status, OptionFunctionErr)
              << name << ": " << row.method;
          continue;
        }
        if (Starts(name, "ImpliedStrike")) continue;
        inputs = {StrikeOf(row, m.value)};
      } else {
        continue;  // the value and the implied inputs
      }
      // An input within the step of 0 is differenced one-sided by design (the bump set-up's own
      // tests check that scheme), which a central difference here would not match.
      bool nearZero = false;
      for (const std::string& input : inputs) nearZero |= std::fabs(c.Get(input)) < 1e-4;
      if (nearZero) continue;
      double expected;
      if (Starts(name, "Gamma")) {
        const double step = 100 * h;
        expected = (Moved(c, inputs, step) - 2 * value + Moved(c, inputs, -step)) / (step * step);
      } else {
        expected = unit * (Moved(c, inputs, h) - Moved(c, inputs, -h)) / (2 * h);
      }
      if (Starts(name, "Lambda")) expected *= c.Get("AssetPrice") / value;
      EXPECT_NEAR(c(m.value), expected, row.tolerance * (1 + std::fabs(expected)))
          << name << ": " << c.Describe();
    }
  }
}

TEST(EveryModel, ImpliedValuesRepriceTheirContract) {
  for (const Row& row : kRows) {
    const NamedContract priced(row.method, row.contract);
    const double target = priced(1);
    std::istringstream asks(row.implied);
    for (std::string ask; asks >> ask;) {
      const std::string member = ask.substr(0, ask.find('='));
      const double start = std::stod(ask.substr(ask.find('=') + 1));
      const EnumMember* code = FindMember(Functions(priced), member);
      ASSERT_NE(code, nullptr) << member;
      const std::string sought =
          Starts(member, "ImpliedVol") ? "Volatility" : StrikeOf(row, code->value);
      NamedContract asked = priced.With("MarketPrice", target).With(sought, start);
      const double implied = asked(code->value);
      const double repriced = priced.With(sought, implied)(1);
      EXPECT_NEAR(repriced, target, 1e-6 * (1 + target)) << member << ": " << priced.Describe();
      if (!row.repriceOnly) {
        EXPECT_NEAR(implied, priced.Get(sought), 1e-4 * (1 + priced.Get(sought)))
            << member << ": " << priced.Describe();
      }
    }
  }
}

// Whatever a spreadsheet cell holds, every function of every model answers with a finite number
// or a failure.
TEST(EveryModel, HostileInputsNeverComeBackAsNonFiniteResults) {
  const double hostile[] = {std::nan(""), INFINITY, -INFINITY, 0.0, -1.0, 1e308, 1e-308};
  std::string last;
  for (const Row& row : kRows) {
    if (row.method == last) continue;  // the first contract of each model
    last = row.method;
    NamedContract c(row.method, row.contract);
    c.Set("MarketPrice", c(1));  // so that the implied functions search
    for (const InputSpec& input : c.Specs()) {
      if (input.type != InputType::Double) continue;
      for (double x : hostile) {
        const NamedContract hurt = c.With(input.name, x);
        for (const EnumMember& m : Functions(c).members) {
          const cli::Outcome o = hurt.Price(m.value);
          EXPECT_TRUE(!o.ok() || std::isfinite(o.result))
              << input.name << "=" << x << " " << m.name << ": " << row.method;
        }
      }
    }
  }
}

}  // namespace
}  // namespace quantrel::testing
