// Checks every model must pass, as one table of contracts: each sensitivity its OptionFunction
// enumeration offers against a difference of the reported value, implied values that reprice the
// contract they came from, and hostile inputs that never come back as a non-finite result. A new
// model adds rows here; its own test file keeps only what is its own.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "quantrel/enums.h"
#include "quantrel/errors.h"
#include "support/GenericRows.h"
#include "support/NamedContract.h"

namespace quantrel::testing {
namespace {

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

// A method without an OptionFunction input returns its value only.
constexpr EnumMember kValueOnlyMembers[] = {{"Theoretical", 1}};
constexpr EnumerationSpec kValueOnly{"", kValueOnlyMembers};

const EnumerationSpec& Functions(const NamedContract& c) {
  for (const InputSpec& s : c.Specs()) {
    if (std::string_view(s.name) == "OptionFunction") return *FindEnumeration(s.enumeration);
  }
  return kValueOnly;
}

// The public input a member moves or seeks, read from its name without the enumeration's suffix:
// Delta and Delta1 move AssetPrice and AssetPrice1, Vega2 Volatility2, VegaVolExch VolExch,
// RhoDomestic and RhoForeign IntRateDom and IntRateFor, Psi1 YieldRate1, Chi Correlation,
// Exchange ExchangeRate; the implied members seek what the matching sensitivity moves. The row's
// renames apply last. Empty for the value, Theta and the strike members.
std::string InputOf(const Row& row, std::string_view member) {
  const std::string_view root = member.substr(0, member.find('_'));
  auto after = [&](std::string_view prefix) { return std::string(root.substr(prefix.size())); };
  auto digit = [](const std::string& rest) { return rest.size() == 1 && std::isdigit(rest[0]); };
  std::string input;
  if (Starts(root, "Delta") || Starts(root, "Gamma") || Starts(root, "Lambda")) {
    input = "AssetPrice" + after(Starts(root, "Delta")   ? "Delta"
                                 : Starts(root, "Gamma") ? "Gamma"
                                                         : "Lambda");
  } else if (Starts(root, "Vega")) {
    const std::string rest = after("Vega");  // VegaVolAsset
    input = rest.empty() || digit(rest) ? "Volatility" + rest : rest;
  } else if (Starts(root, "ImpliedVol")) {
    const std::string rest = after("ImpliedVol");  // ImpliedVolAsset
    input = rest.empty() || digit(rest) ? "Volatility" + rest : "Vol" + rest;
  } else if (Starts(root, "Rho")) {
    const std::string rest = after("Rho");
    input = rest.empty() ? "InterestRate" : rest == "Domestic" ? "IntRateDom" : "IntRateFor";
  } else if (Starts(root, "Psi")) {
    input = "YieldRate" + after("Psi");
  } else if (root == "Chi" || root == "ImpliedCorr") {
    input = "Correlation";
  } else if (root == "Exchange") {
    input = "ExchangeRate";
  }
  for (const std::string& rename : Words(row.inputs)) {
    const size_t eq = rename.find('=');
    if (rename.substr(0, eq) == input) return rename.substr(eq + 1);
  }
  return input;
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

TEST(EveryModel, HasRowsInTheTable) {
  for (const MethodBinding& b : Bindings()) {
    bool found = false;
    for (const Row& row : GenericRows()) found |= EqualsIgnoreCase(row.method, b.method->name);
    EXPECT_TRUE(found) << b.method->name << " has no row in tests/models/*/GenericRows.cpp";
  }
}

TEST(EveryModel, SensitivitiesMatchDifferencesOfTheValue) {
  const double h = 1e-4;
  for (const Row& row : GenericRows()) {
    const NamedContract c(row.method, row.contract);
    const double value = c(1);
    for (const EnumMember& m : Functions(c).members) {
      const std::string_view name = m.name;
      if (Skipped(row, name)) continue;
      std::vector<std::string> inputs;
      double unit = 1;
      const std::string moved = InputOf(row, name);
      if (Starts(name, "Implied") && !Starts(name, "ImpliedStrike")) {
        continue;  // the implied inputs: their round trips are below
      } else if (!moved.empty() && !c.Has(moved)) {
        // A member whose input the model lacks (Rho for a method without an interest rate) is
        // not served.
        EXPECT_EQ(c.With("MarketPrice", 1).Price(m.value).status, OptionFunctionErr)
            << name << ": " << row.method;
        continue;
      } else if (!moved.empty()) {
        inputs = {moved};
        if (Starts(name, "Vega") || Starts(name, "Rho") || Starts(name, "Psi")) unit = 0.01;
      } else if (Starts(name, "Theta")) {
        inputs = ThetaTimes(row, c);
        unit = c.GetInt("TimeFormat") == Years ? -1.0 / 365 : -1.0;
      } else if (Starts(name, "StrikeSens") || Starts(name, "ImpliedStrike")) {
        // A model without the strike a code names serves neither its sensitivity nor its implied
        // value.
        if (Words(row.strikes).size() < (m.value >= 36 ? 2u : 1u)) {
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
      if (Starts(name, "Lambda")) expected *= c.Get(moved) / value;
      EXPECT_NEAR(c(m.value), expected, row.tolerance * (1 + std::fabs(expected)))
          << name << ": " << c.Describe();
    }
  }
}

// A closed form's delta and vega are the value at the input moved 1e-5 each way, differenced
// over 2e-5, to the last bit (a vega then per percentage point).
TEST(EveryModel, ClosedFormDeltasAndVegasAreExactCentralDifferences) {
  const double h = 1e-5;
  for (const Row& row : GenericRows()) {
    const std::string_view method = row.method;
    if (method != "Chooser" && method != "ForwardStart" && method != "Executive" &&
        method != "Lookback" && method != "LookbackFixed" && method != "AveragePrice" &&
        method != "Compound" && method != "WriterExtendible") {
      continue;
    }
    const NamedContract c(row.method, row.contract);
    for (const EnumMember& m : Functions(c).members) {
      const std::string_view name = m.name;
      const bool vega = name == "Vega" || Starts(name, "Vega_");
      if (!vega && name != "Delta" && !Starts(name, "Delta_")) continue;
      const char* input = vega ? "Volatility" : "AssetPrice";
      const double x = c.Get(input);
      const double difference = (c.With(input, x + h)(1) - c.With(input, x - h)(1)) / (h * 2);
      EXPECT_EQ(c(m.value), vega ? difference * 0.01 : difference) << name << ": " << c.Describe();
    }
  }
}

TEST(EveryModel, ImpliedValuesRepriceTheirContract) {
  for (const Row& row : GenericRows()) {
    const NamedContract priced(row.method, row.contract);
    const double target = priced(1);
    std::istringstream asks(row.implied);
    for (std::string ask; asks >> ask;) {
      const std::string member = ask.substr(0, ask.find('='));
      const double start = std::stod(ask.substr(ask.find('=') + 1));
      const EnumMember* code = FindMember(Functions(priced), member);
      ASSERT_NE(code, nullptr) << member;
      const std::string sought =
          Starts(member, "ImpliedStrike") ? StrikeOf(row, code->value) : InputOf(row, member);
      NamedContract asked = priced.With("MarketPrice", target).With(sought, start);
      const double implied = asked(code->value);
      const double repriced = priced.With(sought, implied)(1);
      EXPECT_NEAR(repriced, target, 1e-6 * (1 + target)) << member << ": " << priced.Describe();
      if (!row.repriceOnly) {
        EXPECT_NEAR(implied, priced.Get(sought), 1e-4 * (1 + std::fabs(priced.Get(sought))))
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
  for (const Row& row : GenericRows()) {
    if (row.method == last) continue;  // the first contract of each model
    last = row.method;
    NamedContract c(row.method, row.contract);
    if (c.Has("MarketPrice")) c.Set("MarketPrice", c(1));  // so that the implied functions search
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
