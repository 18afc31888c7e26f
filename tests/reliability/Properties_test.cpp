// Properties every available method must have, whatever it is called with: a finite result or a
// known error with its exact message; realistic contracts price without floating-point faults;
// threads get the serial answers. Driven by the catalogue, so new methods are covered unasked.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "core/Published.h"
#include "quantrel/errors.h"
#include "quantrel/numerical.h"
#include "support/RandomCalls.h"

namespace quantrel::testing {
namespace {

// Every (code, message) pair the library may raise, from its table of raised messages.
std::map<int32_t, std::set<std::string>> RaisedMessages() {
  std::map<int32_t, std::set<std::string>> messages;
  for (const published::RaisedMessage& m : published::kMessages) messages[m.code].insert(m.text);
  return messages;
}

struct Tally {
  int calls = 0, ok = 0, failed = 0;
};

void PrintTally(const char* title, const std::map<std::string, Tally>& tally) {
  std::cout << title << "\n";
  for (const auto& [name, t] : tally) {
    std::cout << "  " << name << ": " << t.calls << " calls, " << t.ok << " priced, " << t.failed
              << " refused\n";
  }
}

constexpr int kHostileCallsPerMethod = 10000;
constexpr int kRealisticCallsPerMethod = 1500;

TEST(Properties, HostileCallsGiveAFiniteResultOrAKnownErrorWithItsMessage) {
  const auto messages = RaisedMessages();
  CallGenerator generator(20261208);
  std::map<std::string, Tally> tally;
  for (const MethodBinding& binding : Bindings()) {
    for (int i = 0; i < kHostileCallsPerMethod; ++i) {
      const RandomCall call = generator.Hostile(binding);
      const auto start = std::chrono::steady_clock::now();
      const CallResult r = Invoke(call);
      const double seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      EXPECT_LT(seconds, 2.0) << "slow: " << call.Describe();
      Tally& t = tally[binding.method->name];
      ++t.calls;
      if (r.status == S_OK) {
        ++t.ok;
        ASSERT_TRUE(std::isfinite(r.value)) << call.Describe();
        // A NaN or infinite input is never priced (a market price only counts for an implied
        // value).
        const bool marketPriceRead = IsImpliedCode(call.Function());
        EXPECT_FALSE(call.HasNonFinite(marketPriceRead ? "" : "MarketPrice"))
            << "priced a non-finite input: " << call.Describe() << " = " << r.value;
        if (::testing::Test::HasFailure()) return;
        continue;
      }
      ++t.failed;
      ASSERT_EQ(r.status, DISP_E_EXCEPTION) << call.Describe();
      const auto known = messages.find(r.info.scode);
      ASSERT_NE(known, messages.end())
          << "unknown code " << std::hex << r.info.scode << ": " << call.Describe();
      ASSERT_TRUE(known->second.count(r.info.description))
          << ErrorName(r.info.scode) << " with \"" << r.info.description
          << "\": " << call.Describe();
    }
  }
  PrintTally("hostile calls", tally);
}

// Each double input of every method in turn, NaN, +inf or -inf in an otherwise priced contract:
// always refused with a known code and message, whatever rule governs the input. The market price
// is read only for an implied value; elsewhere it is ignored, so it must change nothing.
TEST(Properties, EveryDoubleInputRefusesNaNAndInfinities) {
  const auto messages = RaisedMessages();
  CallGenerator generator(31);
  constexpr int kContractsPerMethod = 6;
  for (const MethodBinding& binding : Bindings()) {
    const auto& inputs = binding.method->inputs;
    const size_t function = std::find_if(inputs.begin(), inputs.end(),
                                         [](const InputSpec& in) {
                                           return std::string_view(in.name) == "OptionFunction";
                                         }) -
                            inputs.begin();
    std::vector<int32_t> implied;  // the method's implied result codes
    if (function < inputs.size()) {
      for (const EnumMember& m : FindEnumeration(inputs[function].enumeration)->members) {
        if (IsImpliedCode(m.value)) implied.push_back(m.value);
      }
    }
    int contracts = 0;
    for (int attempt = 0; attempt < 500 && contracts < kContractsPerMethod; ++attempt) {
      RandomCall base = generator.Realistic(binding);
      if (attempt % 2 && !implied.empty()) {  // ask for an implied value: the market price counts
        base.inputs[function] = Variant::Of(implied[attempt / 2 % implied.size()]);
      }
      const CallResult priced = Invoke(base);
      if (priced.status != S_OK) continue;
      ++contracts;
      for (size_t i = 0; i < inputs.size(); ++i) {
        if (inputs[i].type != InputType::Double) continue;
        for (const double x : {NAN, INFINITY, -INFINITY}) {
          RandomCall call = base;
          call.inputs[i] = Variant::Of(x);
          const CallResult r = Invoke(call);
          if (std::string_view(inputs[i].name) == "MarketPrice" &&
              !IsImpliedCode(call.Function())) {
            EXPECT_TRUE(r.status == S_OK &&
                        std::memcmp(&r.value, &priced.value, sizeof r.value) == 0)
                << "an unread market price changed the answer: " << call.Describe();
            continue;
          }
          ASSERT_EQ(r.status, DISP_E_EXCEPTION) << "priced " << r.value << ": " << call.Describe();
          const auto known = messages.find(r.info.scode);
          ASSERT_TRUE(known != messages.end() && known->second.count(r.info.description))
              << std::hex << r.info.scode << " \"" << r.info.description
              << "\": " << call.Describe();
        }
      }
    }
    EXPECT_EQ(contracts, kContractsPerMethod) << binding.method->name;
  }
}

TEST(Properties, RealisticContractsPriceWithoutFloatingPointFaults) {
  const auto messages = RaisedMessages();
  CallGenerator generator(7);
  std::map<std::string, Tally> tally;
  for (const MethodBinding& binding : Bindings()) {
    for (int i = 0; i < kRealisticCallsPerMethod; ++i) {
      const RandomCall call = generator.Realistic(binding);
      const uint64_t faults = server::FloatingPointFaults();
      const CallResult r = Invoke(call);
      Tally& t = tally[binding.method->name];
      ++t.calls;
      ASSERT_EQ(server::FloatingPointFaults(), faults)
          << "floating-point fault: " << call.Describe();
      if (r.status == S_OK) {
        ++t.ok;
        ASSERT_TRUE(std::isfinite(r.value)) << call.Describe();
      } else {
        ++t.failed;
        const auto known = messages.find(r.info.scode);
        ASSERT_TRUE(known != messages.end() && known->second.count(r.info.description))
            << call.Describe();
      }
    }
    EXPECT_GT(tally[binding.method->name].ok, kRealisticCallsPerMethod / 4) << binding.method->name;
  }
  PrintTally("realistic calls", tally);
}

// Wherever a volatility reaches the market price, the implied volatility finds one that reprices
// it: realistic contracts, expiries down to a few days, priced and then asked for the volatility
// of their own price. At most one in a thousand may miss.
TEST(Properties, ImpliedVolatilitiesRepriceEveryReachablePrice) {
  CallGenerator generator(2026);
  std::mt19937_64 random(12);
  int asked = 0, missed = 0;
  for (const MethodBinding& binding : Bindings()) {
    const auto& inputs = binding.method->inputs;
    auto index = [&](std::string_view name) {
      for (size_t i = 0; i < inputs.size(); ++i) {
        if (EqualsIgnoreCase(inputs[i].name, name)) return static_cast<int>(i);
      }
      return -1;
    };
    const int function = index("OptionFunction"), vol = index("Volatility");
    const int market = index("MarketPrice");
    if (function < 0 || vol < 0 || market < 0) continue;
    const EnumerationSpec* functions = FindEnumeration(inputs[function].enumeration);
    if (std::none_of(functions->members.begin(), functions->members.end(),
                     [](const EnumMember& m) { return m.value == 5; })) {
      continue;
    }
    for (int n = 0; n < 400; ++n) {
      RandomCall call = generator.Realistic(binding);
      // Expiries from days to years: every time scaled together keeps their order.
      const double scale =
          std::exp(std::uniform_real_distribution<double>(std::log(0.01), 0)(random));
      for (size_t i = 0; i < inputs.size(); ++i) {
        if (std::string_view(inputs[i].name).starts_with("Time") &&
            inputs[i].type == InputType::Double) {
          call.inputs[i].r8 *= scale;
        }
      }
      call.inputs[function] = Variant::Of(int32_t{1});
      // A discretely watched barrier is moved once, with the caller's volatility, and held there
      // while the search moves the volatility; only a continuous barrier reprices at any other.
      if (const int m = index("BarrierMonitoring"); m >= 0)
        call.inputs[m] = Variant::Of(int32_t{0});
      auto price = [&](double v) {
        RandomCall at = call;
        at.inputs[vol] = Variant::Of(v);
        const CallResult r = Invoke(at);
        return r.status == S_OK ? r.value : std::nan("");
      };
      const double v = call.inputs[vol].r8, target = price(v);
      // Only prices a volatility can move by more than the search tolerance tell anything.
      if (!(target > 1e-4) || !(std::fabs(price(v * 1.05) - price(v / 1.05)) > 1e-4)) continue;
      RandomCall implied = call;
      implied.inputs[function] = Variant::Of(int32_t{5});
      implied.inputs[market] = Variant::Of(target);
      const CallResult r = Invoke(implied);
      ++asked;
      if (r.status != S_OK || !(std::fabs(price(r.value) - target) <= 1e-5 * (1 + target))) {
        ++missed;
        std::cout << "no repricing volatility: " << call.Describe() << " -> " << r.value << "\n";
      }
    }
  }
  std::cout << asked << " implied volatilities asked, " << missed << " missed\n";
  EXPECT_GT(asked, 1000);
  EXPECT_LE(missed * 1000, asked);
}

// The same calls on several threads at once give the serial answers bit for bit, and each
// thread's error information is its own.
TEST(Properties, ThreadsGiveTheSerialAnswers) {
  // The Monte Carlo methods draw from the same seed on every thread, not from the clock.
  const MonteCarloSeed seed(99);
  CallGenerator generator(99);
  std::vector<RandomCall> calls;
  for (const MethodBinding& binding : Bindings()) {
    for (int i = 0; i < 60; ++i) {
      calls.push_back(i % 2 ? generator.Hostile(binding) : generator.Realistic(binding));
    }
  }
  std::vector<CallResult> serial;
  for (const RandomCall& call : calls) serial.push_back(Invoke(call));

  constexpr int kThreads = 4;
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const MonteCarloSeed threadSeed(99);
      // Each thread walks the calls from its own starting point.
      for (size_t k = 0; k < calls.size(); ++k) {
        const size_t i = (k + t * calls.size() / kThreads) % calls.size();
        const CallResult r = Invoke(calls[i]);
        const bool same = r.status == serial[i].status &&
                          std::memcmp(&r.value, &serial[i].value, sizeof r.value) == 0 &&
                          r.info.scode == serial[i].info.scode &&
                          r.info.description == serial[i].info.description;
        if (!same) ++mismatches[t];
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
}  // namespace quantrel::testing
