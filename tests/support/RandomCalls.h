// Random late-bound calls drawn from the interface catalogue, for property tests, concurrency
// tests and fuzzing: every available method, every input, hostile or realistic values.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "quantrel/automation.h"
#include "quantrel/catalogue.h"
#include "server/ExoticOptionsImpl.h"

namespace quantrel::testing {

struct RandomCall {
  const MethodBinding* binding = nullptr;
  std::vector<Variant> inputs;  // in interface order; Missing for an omitted optional

  std::string Describe() const {
    std::ostringstream out;
    out.precision(17);
    out << binding->method->name << "(";
    for (size_t i = 0; i < inputs.size(); ++i) {
      out << (i ? ", " : "") << binding->method->inputs[i].name << "=";
      const Variant& v = inputs[i];
      if (v.type == Variant::Type::Missing) out << "<omitted>";
      if (v.type == Variant::Type::Int32) out << v.i4;
      if (v.type == Variant::Type::Double) out << v.r8;
    }
    return out.str() + ")";
  }
  int32_t Function() const {
    for (size_t i = 0; i < inputs.size(); ++i) {
      if (EqualsIgnoreCase(binding->method->inputs[i].name, "OptionFunction")) return inputs[i].i4;
    }
    return 0;
  }
  // A NaN or an infinity in any double input but `except`.
  bool HasNonFinite(std::string_view except) const {
    for (size_t i = 0; i < inputs.size(); ++i) {
      if (inputs[i].type == Variant::Type::Double && !std::isfinite(inputs[i].r8) &&
          !EqualsIgnoreCase(binding->method->inputs[i].name, except)) {
        return true;
      }
    }
    return false;
  }
};

struct CallResult {
  HRESULT status = S_OK;
  double value = 0;
  ExcepInfo info;
};

// Invokes through the late-bound path, positional arguments in the automation order.
inline CallResult Invoke(const RandomCall& call) {
  std::vector<Variant> reversed(call.inputs.rbegin(), call.inputs.rend());
  Variant out;
  CallResult r;
  r.status = server::InvokeMethod(call.binding->method->dispatchId, {reversed, {}}, &out, &r.info,
                                  nullptr);
  r.value = out.r8;
  return r;
}

constexpr bool IsImpliedCode(int32_t f) {
  return f == 5 || f == 13 || f == 24 || f == 25 || f == 35 || f == 37 || f == 40;
}

class CallGenerator {
 public:
  explicit CallGenerator(uint64_t seed) : random_(seed) {}

  // A realistic contract with some inputs replaced by anything at all: zeros, negatives, huge,
  // tiny, NaN, infinities, every enumeration value and its neighbours, every result code
  // (implied ones included), omitted optionals.
  RandomCall Hostile(const MethodBinding& binding) {
    RandomCall call = Realistic(binding);
    const double share = Chance(0.2) ? 1.0 : 0.15;  // now and then everything at once
    for (size_t i = 0; i < call.inputs.size(); ++i) {
      const InputSpec& in = binding.method->inputs[i];
      if (!Chance(share)) continue;
      if (in.optional && Chance(0.15)) {
        call.inputs[i] = Variant::Missing();
      } else if (in.type == InputType::Double) {
        call.inputs[i] = Variant::Of(HostileDouble());
      } else {
        call.inputs[i] = Variant::Of(HostileInteger(in));
      }
    }
    return call;
  }

  // Realistic contracts: values a trader would enter, every member of every enumeration, any
  // result code but the implied ones, times in years.
  RandomCall Realistic(const MethodBinding& binding) {
    RandomCall call{&binding, {}};
    for (const InputSpec& in : binding.method->inputs) {
      const std::string name = in.name;
      if (name == "TimeFormat") {
        call.inputs.push_back(Variant::Of(int32_t{1}));
      } else if (name == "OptionFunction") {
        const EnumerationSpec* e = FindEnumeration(in.enumeration);
        int32_t code;
        do {
          code = e->members[Pick(e->members.size())].value;
        } while (IsImpliedCode(code));
        call.inputs.push_back(Variant::Of(code));
      } else if (in.type == InputType::Enum) {
        const EnumerationSpec* e = FindEnumeration(in.enumeration);
        call.inputs.push_back(Variant::Of(e->members[Pick(e->members.size())].value));
      } else if (in.type == InputType::Int32) {
        call.inputs.push_back(Variant::Of(static_cast<int32_t>(5 + Pick(46))));
      } else {
        call.inputs.push_back(Variant::Of(RealisticDouble(name)));
      }
    }
    return call;
  }

 private:
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
  size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }
  double Uniform(double a, double b) {
    return std::uniform_real_distribution<double>(a, b)(random_);
  }

  double HostileDouble() {
    static constexpr double kSpecial[] = {0.0,   -0.0,   -1.0,  1.0,  0.5,   1e-300, -1e-300,
                                          1e300, -1e300, 1e7,   2e7,  365.0, 1e-7,   1e-12,
                                          -1e5,  1e5,    0.002, 1e30, 1e31,  100.0};
    switch (Pick(6)) {
      case 0:
        return std::numeric_limits<double>::quiet_NaN();
      case 1:
        return Chance(0.5) ? INFINITY : -INFINITY;
      case 2:
        return kSpecial[Pick(std::size(kSpecial))];
      case 3:
        return Uniform(-2, 2);
      case 4:
        return std::exp(Uniform(-20, 20)) * (Chance(0.1) ? -1 : 1);
      default:
        return Uniform(0, 200);
    }
  }

  int32_t HostileInteger(const InputSpec& in) {
    if (in.type == InputType::Enum && Chance(0.7)) {
      const EnumerationSpec* e = FindEnumeration(in.enumeration);
      const int32_t member = e->members[Pick(e->members.size())].value;
      return member + static_cast<int32_t>(Pick(3)) - 1;
    }
    static constexpr int32_t kSpecial[] = {0,
                                           -1,
                                           1,
                                           4,
                                           5,
                                           41,
                                           100,
                                           500,
                                           501,
                                           1000,
                                           1001,
                                           5000,
                                           5001,
                                           std::numeric_limits<int32_t>::min(),
                                           std::numeric_limits<int32_t>::max()};
    return Chance(0.8) ? kSpecial[Pick(std::size(kSpecial))] : static_cast<int32_t>(Pick(100)) - 10;
  }

  double RealisticDouble(const std::string& name) {
    auto has = [&](const char* part) { return name.find(part) != std::string::npos; };
    if (has("Vol")) return Uniform(0.05, 0.6);
    if (has("Correlation")) return Uniform(-0.9, 0.9);
    if (has("IntRate") || has("InterestRate")) return Uniform(0.01, 0.1);
    if (has("YieldRate")) return Uniform(0, 0.06);
    if (has("JumpRate")) return Uniform(0, 0.3);
    if (name == "TimeInterval") return Uniform(0.01, 0.1);
    if (has("Time")) return Uniform(0.05, 2);
    if (name == "Alpha" || name == "Lambda") return Uniform(0.8, 1.2);
    if (has("Qty") || name == "ExchangeRate" || name == "NumCurrency") return Uniform(0.5, 2);
    if (name == "AccruedAmt" || name == "Rebate" || name == "Payoff") return Uniform(0, 10);
    if (name == "MarketPrice") return Uniform(1, 20);
    if (has("Curvature")) return Uniform(-0.1, 0.1);
    return Uniform(50, 150);  // prices, strikes, barriers, extremes, averages, firm values
  }

  std::mt19937_64 random_;
};

}  // namespace quantrel::testing
