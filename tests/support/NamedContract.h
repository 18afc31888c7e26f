// A contract of any available method written as a person writes it ("AssetPrice=60 Volatility=0.3
// TimeFormat=Years"), priced through the late-bound path, so that generic checks need nothing but
// the catalogue's names.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "quantrel/catalogue.h"
#include "tools/quantrel/Pricing.h"

namespace quantrel::testing {

class NamedContract {
 public:
  // Name=Value pairs separated by blanks; a later pair overrides an earlier one.
  NamedContract(std::string_view method, std::string_view assignments)
      : binding_(cli::FindAvailableMethod(method)) {
    if (!binding_) throw std::invalid_argument("no such method: " + std::string(method));
    inputs_.resize(Specs().size());
    std::istringstream words{std::string(assignments)};
    for (std::string word; words >> word;) {
      const size_t eq = word.find('=');
      Set(word.substr(0, eq), word.substr(eq + 1));
    }
  }

  const MethodSpec& Method() const { return *binding_->method; }
  std::span<const InputSpec> Specs() const { return binding_->method->inputs; }

  NamedContract& Set(std::string_view name, std::string_view text) {
    const size_t i = Index(name);
    Argument value{};
    std::string error;
    if (!cli::ParseInput(Specs()[i], text, value, error)) throw std::invalid_argument(error);
    inputs_[i] = value;
    return *this;
  }
  NamedContract& Set(std::string_view name, double value) {
    const size_t i = Index(name);
    Argument a{};
    if (Specs()[i].type == InputType::Double) {
      a.d = value;
    } else {
      a.i = static_cast<int32_t>(value);
    }
    inputs_[i] = a;
    return *this;
  }
  NamedContract With(std::string_view name, double value) const {
    NamedContract c = *this;
    c.Set(name, value);
    return c;
  }
  // A double input's value (0 when omitted).
  double Get(std::string_view name) const {
    const std::optional<Argument>& a = inputs_[Index(name)];
    return a ? a->d : 0;
  }
  int32_t GetInt(std::string_view name) const {
    const std::optional<Argument>& a = inputs_[Index(name)];
    return a ? a->i : 0;
  }
  bool Has(std::string_view name) const {
    for (const InputSpec& s : Specs()) {
      if (EqualsIgnoreCase(s.name, name)) return true;
    }
    return false;
  }

  cli::Outcome Price(int32_t function) const {
    NamedContract c = *this;
    if (Has("OptionFunction")) c.Set("OptionFunction", function);
    return cli::Price(*binding_, c.inputs_);
  }
  // The result of a call that must succeed.
  double operator()(int32_t function) const {
    const cli::Outcome o = Price(function);
    EXPECT_TRUE(o.ok()) << Describe() << " function " << function << ": " << o.message;
    return o.result;
  }

  std::string Describe() const {
    std::ostringstream out;
    out.precision(17);
    out << Method().name;
    for (size_t i = 0; i < inputs_.size(); ++i) {
      if (!inputs_[i]) continue;
      out << " " << Specs()[i].name << "=";
      if (Specs()[i].type == InputType::Double) {
        out << inputs_[i]->d;
      } else {
        out << inputs_[i]->i;
      }
    }
    return out.str();
  }

 private:
  size_t Index(std::string_view name) const {
    for (size_t i = 0; i < Specs().size(); ++i) {
      if (EqualsIgnoreCase(Specs()[i].name, name)) return i;
    }
    throw std::invalid_argument(std::string(Method().name) + " has no input " + std::string(name));
  }

  const MethodBinding* binding_;
  std::vector<std::optional<Argument>> inputs_;
};

}  // namespace quantrel::testing
