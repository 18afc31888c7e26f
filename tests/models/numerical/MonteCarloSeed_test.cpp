// A fixed Monte Carlo seed through every way of calling: the C++ scope, the C functions, the
// late-bound Seed argument, and the program's --seed and Seed column.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>
#include <thread>
#include <vector>

#include "quantrel/quantrel.h"
#include "quantrel/quantrel_c.h"
#include "tools/quantrel/Batch.h"
#include "tools/quantrel/Csv.h"
#include "tools/quantrel/Pricing.h"

namespace quantrel {
namespace {

double Asian() {
  return AsianMC(CallOption, Antithetic, 100, 100, 1, 0.25, 0.05, 0.01, 20, 200, Years);
}
// One of each method, seeded, summed: a change anywhere shows.
double EveryMethod() {
  return Asian() + OptionsMC(PutOption, 100, 105, 1, 0.3, 0.05, 0.01, 200, Years) +
         LookbackMC(CallOption, 100, 100, 1, 0.3, 0.05, 0.01, 20, 200, Years) +
         AsianSpreadMC(CallOption, 100, 95, 3, 1, 0.3, 0.2, 0.05, 0.01, 0.02, 0.3, 20, 200, Years);
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(MonteCarloSeed, TheSameSeedGivesTheSameBitsOnEveryThread) {
  double serial = 0;
  {
    const MonteCarloSeed seed(42);
    serial = EveryMethod();
    EXPECT_TRUE(SameBits(EveryMethod(), serial));  // nothing carries over from the last call
    {
      const MonteCarloSeed inner(43);
      EXPECT_FALSE(SameBits(EveryMethod(), serial));
    }
    uint32_t now = 0;
    EXPECT_TRUE(GetMonteCarloSeed(&now));
    EXPECT_EQ(now, 42u);
  }
  EXPECT_FALSE(GetMonteCarloSeed(nullptr));
  std::vector<double> results(4);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      const MonteCarloSeed seed(42);
      for (int i = 0; i <= t; ++i) results[t] = EveryMethod();
    });
  }
  for (auto& th : threads) th.join();
  for (double r : results) EXPECT_TRUE(SameBits(r, serial));
}

// Without a seed, a call seeds from the clock in whole seconds: that second as seed repeats it.
TEST(MonteCarloSeed, TheClockIsTheDefaultSeed) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    const std::time_t before = std::time(nullptr);
    const double first = Asian(), second = Asian();
    if (std::time(nullptr) != before) continue;  // a second went by: try again
    EXPECT_TRUE(SameBits(first, second));
    const MonteCarloSeed seed(static_cast<uint32_t>(before));
    EXPECT_TRUE(SameBits(Asian(), first));
    return;
  }
}

TEST(MonteCarloSeed, CFunctionsAndLateBoundCallsTakeTheSeed) {
  double expected = 0, c = 0;
  {
    const MonteCarloSeed seed(7);
    expected = Asian();
  }
  Quantrel_SetSeed(7);
  ASSERT_EQ(Quantrel_AsianMC(CallOption, Antithetic, 100, 100, 1, 0.25, 0.05, 0.01, 20, 200, Years,
                             0, 0, &c),
            0);
  Quantrel_ClearSeed();
  EXPECT_TRUE(SameBits(c, expected));
  EXPECT_FALSE(GetMonteCarloSeed(nullptr));

  const char* names[] = {"OptionType", "VariateType", "AssetPrice",   "StrikePrice",
                         "TimeExpire", "Volatility",  "InterestRate", "YieldRate",
                         "NumSteps",   "Iterations",  "TimeFormat",   "seed"};
  double values[] = {1, 1, 100, 100, 1, 0.25, 0.05, 0.01, 20, 200, 1, 7};
  double late = 0;
  ASSERT_EQ(Quantrel_Invoke("AsianMC", 12, names, values, &late), 0);
  EXPECT_TRUE(SameBits(late, expected));
  values[11] = -1;
  EXPECT_EQ(Quantrel_Invoke("AsianMC", 12, names, values, &late), DISP_E_OVERFLOW);
  EXPECT_FALSE(GetMonteCarloSeed(nullptr));  // a seed for one call leaves none behind

  // A method that draws no random numbers has no such input.
  const char* forward[] = {"Seed"};
  EXPECT_EQ(Quantrel_Invoke("ForwardStart", 1, forward, values, &late), DISP_E_UNKNOWNNAME);
}

std::string Batch(const std::string& csv, unsigned threads, size_t chunk,
                  std::optional<uint32_t> seed) {
  std::istringstream in(csv);
  std::ostringstream out;
  cli::BatchOptions options;
  options.threads = threads, options.chunkRows = chunk, options.seed = seed;
  cli::RunBatch(in, out, options);
  return out.str();
}

// Every row gets its own seed: its value depends neither on the threads nor on the chunks.
TEST(MonteCarloSeed, ABatchPricesEachRowWithItsSeed) {
  std::string csv =
      "Id,Method,OptionType,AssetPrice,StrikePrice,TimeExpire,Volatility,InterestRate,"
      "YieldRate,Iterations,TimeFormat,Alpha,TimeStart,OptionFunction,Seed\n";
  for (int i = 0; i < 300; ++i) {
    csv += std::to_string(i) + ",OptionsMC,1,100," + std::to_string(90 + i % 20) +
           ",1,0.3,0.05,0,100,1,,,," + (i % 3 ? std::to_string(i % 7) : "") + "\n";
  }
  csv += "x,ForwardStart,1,60,,1,0.3,0.08,0.04,,1,1.1,0.25,1,5\n";
  csv += "y,OptionsMC,1,100,100,1,0.3,0.05,0,100,1,,,,-3\n";
  const std::string output = Batch(csv, 1, 8192, 11);
  EXPECT_EQ(Batch(csv, 3, 7, 11), output);
  EXPECT_NE(Batch(csv, 1, 8192, 12), output);  // rows without a seed take the run's

  std::istringstream in(output);
  cli::CsvReader reader(in);
  cli::CsvRecord row;
  reader.Next(row);
  for (int i = 0; i < 300 && reader.Next(row); ++i) {
    const MonteCarloSeed seed(i % 3 ? i % 7 : 11);
    const double expected = OptionsMC(1, 100, 90 + i % 20, 1, 0.3, 0.05, 0, 100, Years);
    EXPECT_EQ(row.fields[15], cli::FormatNumber(expected)) << i;
  }
  ASSERT_TRUE(reader.Next(row));
  EXPECT_EQ(row.fields[17], "ForwardStart has no input Seed");
  ASSERT_TRUE(reader.Next(row));
  EXPECT_EQ(row.fields[17], "seed '-3' is not a whole number from 0 to 4294967295");
}

TEST(MonteCarloSeed, TheProgramTakesASeed) {
  const std::string command = std::string(QUANTREL_PROGRAM) +
                              " LookbackMC OptionType=PutOption AssetPrice=100 StrikePrice=100 "
                              "TimeExpire=1 Volatility=0.3 InterestRate=0.05 YieldRate=0.01 "
                              "NumSteps=20 Iterations=200 TimeFormat=Years --seed 4000000000";
  FILE* pipe = ::popen(command.c_str(), "r");
  char buffer[64] = {};
  const size_t n = std::fread(buffer, 1, sizeof buffer - 1, pipe);
  ::pclose(pipe);
  const MonteCarloSeed seed(4000000000u);
  const double expected = LookbackMC(PutOption, 100, 100, 1, 0.3, 0.05, 0.01, 20, 200, Years);
  EXPECT_EQ(std::string(buffer, n), cli::FormatNumber(expected) + "\n");
}

}  // namespace
}  // namespace quantrel
