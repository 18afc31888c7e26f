// Properties every available method must have, whatever it is called with: a finite result or a
// known error with its exact message; realistic contracts price without floating-point faults;
// threads get the serial answers. Driven by the catalogue, so new methods are covered unasked.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <iostream>
#include <map>
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
        // A NaN input is never priced (a market price only counts for an implied value).
        const bool marketPriceRead = IsImpliedCode(call.Function());
        EXPECT_FALSE(call.HasNaN(marketPriceRead ? "" : "MarketPrice"))
            << "priced a NaN input: " << call.Describe() << " = " << r.value;
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
