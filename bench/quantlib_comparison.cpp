// The same contracts priced by Quantrel and by QuantLib (when it is installed), side by side in one
// process: QuantLib recomputes its instrument (the spot quote moves each time), Quantrel makes one
// call. The table at the end gives each pair's ratio, QuantLib's time over Quantrel's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <ql/experimental/exoticoptions/analyticcompoundoptionengine.hpp>
#include <ql/experimental/exoticoptions/analyticsimplechooserengine.hpp>
#include <ql/experimental/exoticoptions/analyticwriterextensibleoptionengine.hpp>
#include <ql/experimental/exoticoptions/compoundoption.hpp>
#include <ql/experimental/exoticoptions/simplechooseroption.hpp>
#include <ql/experimental/exoticoptions/writerextensibleoption.hpp>
#include <ql/instruments/asianoption.hpp>
#include <ql/instruments/forwardvanillaoption.hpp>
#include <ql/instruments/lookbackoption.hpp>
#include <ql/instruments/vanillaoption.hpp>
#include <ql/pricingengines/asian/analytic_cont_geom_av_price.hpp>
#include <ql/pricingengines/forward/forwardengine.hpp>
#include <ql/pricingengines/lookback/analyticcontinuousfixedlookback.hpp>
#include <ql/pricingengines/lookback/analyticcontinuousfloatinglookback.hpp>
#include <ql/pricingengines/lookback/analyticcontinuouspartialfixedlookback.hpp>
#include <ql/pricingengines/lookback/analyticcontinuouspartialfloatinglookback.hpp>
#include <ql/pricingengines/vanilla/analyticeuropeanengine.hpp>
#include <ql/processes/blackscholesprocess.hpp>
#include <ql/quotes/simplequote.hpp>
#include <ql/termstructures/volatility/equityfx/blackconstantvol.hpp>
#include <ql/termstructures/yield/flatforward.hpp>
#include <ql/time/calendars/nullcalendar.hpp>
#include <ql/time/daycounters/actual365fixed.hpp>

#include "quantrel/quantrel.h"

namespace ql = QuantLib;

namespace {

// One market for every contract: S = 100, r = 5%, q = 2%, v = 30%; dates in whole days.
struct Market {
  ql::Date today{8, ql::December, 2026};
  ql::DayCounter dc = ql::Actual365Fixed();
  ql::ext::shared_ptr<ql::SimpleQuote> spot = ql::ext::make_shared<ql::SimpleQuote>(100.0);
  ql::ext::shared_ptr<ql::BlackScholesMertonProcess> process;

  Market() {
    ql::Settings::instance().evaluationDate() = today;
    auto flat = [&](double rate) {
      return ql::Handle<ql::YieldTermStructure>(
          ql::ext::make_shared<ql::FlatForward>(today, rate, dc));
    };
    process = ql::ext::make_shared<ql::BlackScholesMertonProcess>(
        ql::Handle<ql::Quote>(spot), flat(0.02), flat(0.05),
        ql::Handle<ql::BlackVolTermStructure>(
            ql::ext::make_shared<ql::BlackConstantVol>(today, ql::NullCalendar(), 0.30, dc)));
  }
  ql::Date In(int days) const { return today + days; }
  ql::ext::shared_ptr<ql::Exercise> At(int days) const {
    return ql::ext::make_shared<ql::EuropeanExercise>(In(days));
  }
};

Market& TheMarket() {
  static Market m;
  return m;
}

// Times QuantLib recomputing `instrument`: the spot moves between two values so nothing is cached.
void TimeQuantLib(benchmark::State& state, ql::Instrument& instrument) {
  Market& m = TheMarket();
  try {
    instrument.NPV();
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return;
  }
  double sum = 0;
  int i = 0;
  for (auto _ : state) {
    m.spot->setValue(++i % 2 ? 100.0 : 100.0 + 1e-9);
    sum += instrument.NPV();
  }
  benchmark::DoNotOptimize(sum);
  m.spot->setValue(100.0);
}

template <class Call>
void TimeQuantrel(benchmark::State& state, Call call) {
  double sum = 0;
  int i = 0;
  for (auto _ : state) sum += call(++i % 2 ? 100.0 : 100.0 + 1e-9);
  benchmark::DoNotOptimize(sum);
}

using namespace quantrel;
constexpr double r = 0.05, q = 0.02, v = 0.30;

void QL_Vanilla(benchmark::State& state) {
  Market& m = TheMarket();
  ql::VanillaOption o(ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 100),
                      m.At(365));
  o.setPricingEngine(ql::ext::make_shared<ql::AnalyticEuropeanEngine>(m.process));
  TimeQuantLib(state, o);
}
void Quantrel_Vanilla(benchmark::State& state) {
  // The plain option through a method with nothing else to it: no departures.
  TimeQuantrel(state, [](double S) {
    return Executive(CallOption, Theoretical, S, 100, 1, v, r, q, 0, 0, Years);
  });
}

void QL_ForwardStart(benchmark::State& state) {
  Market& m = TheMarket();
  ql::ForwardVanillaOption o(1.1, m.In(91),
                             ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 1.0),
                             m.At(365));
  o.setPricingEngine(
      ql::ext::make_shared<ql::ForwardVanillaEngine<ql::AnalyticEuropeanEngine>>(m.process));
  TimeQuantLib(state, o);
}
void Quantrel_ForwardStart(benchmark::State& state) {
  TimeQuantrel(state, [](double S) {
    return ForwardStart(CallOption, Theoretical_FS, S, 91, 365, v, r, q, 1.1, 0, Days);
  });
}

void QL_Chooser(benchmark::State& state) {
  Market& m = TheMarket();
  ql::SimpleChooserOption o(m.In(91), 100, m.At(365));
  o.setPricingEngine(ql::ext::make_shared<ql::AnalyticSimpleChooserEngine>(m.process));
  TimeQuantLib(state, o);
}
void Quantrel_Chooser(benchmark::State& state) {
  TimeQuantrel(state,
               [](double S) { return Chooser(Theoretical, S, 100, 91, 365, v, r, q, 0, Days); });
}

// QuantLib 1.29's complex chooser leaves its option's payoff empty and fails on pricing, so this
// contract is timed on our side only.
void Quantrel_ComplexChooser(benchmark::State& state) {
  TimeQuantrel(state, [](double S) {
    return ComplexChooser(Theoretical_TS, S, 105, 95, 91, 365, 300, v, r, q, 0, Days);
  });
}

void QL_Compound(benchmark::State& state) {
  Market& m = TheMarket();
  ql::CompoundOption o(ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Put, 5), m.At(91),
                       ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 100),
                       m.At(365));
  o.setPricingEngine(ql::ext::make_shared<ql::AnalyticCompoundOptionEngine>(m.process));
  TimeQuantLib(state, o);
}
void Quantrel_Compound(benchmark::State& state) {
  TimeQuantrel(state, [](double S) {
    return Compound(Put_Call, Theoretical_C, S, 5, 100, 91, 365, v, r, q, 0, Days);
  });
}

void QL_WriterExtendible(benchmark::State& state) {
  Market& m = TheMarket();
  ql::WriterExtensibleOption o(
      ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 100), m.At(182),
      ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 95), m.At(365));
  o.setPricingEngine(ql::ext::make_shared<ql::AnalyticWriterExtensibleOptionEngine>(m.process));
  TimeQuantLib(state, o);
}
void Quantrel_WriterExtendible(benchmark::State& state) {
  TimeQuantrel(state, [](double S) {
    return WriterExtendible(CallOption, Theoretical_WE, S, 100, 95, 182, 365, v, r, q, 0, Days);
  });
}

void QL_Lookback(benchmark::State& state) {
  Market& m = TheMarket();
  ql::ContinuousFloatingLookbackOption o(
      90, ql::ext::make_shared<ql::FloatingTypePayoff>(ql::Option::Call), m.At(365));
  o.setPricingEngine(ql::ext::make_shared<ql::AnalyticContinuousFloatingLookbackEngine>(m.process));
  TimeQuantLib(state, o);
}
void Quantrel_Lookback(benchmark::State& state) {
  TimeQuantrel(state, [](double S) {
    return Lookback(CallOption, Theoretical, S, 90, 365, v, r, q, 0, Days);
  });
}

void QL_LookbackFixed(benchmark::State& state) {
  Market& m = TheMarket();
  ql::ContinuousFixedLookbackOption o(
      110, ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 105), m.At(365));
  o.setPricingEngine(ql::ext::make_shared<ql::AnalyticContinuousFixedLookbackEngine>(m.process));
  TimeQuantLib(state, o);
}
void Quantrel_LookbackFixed(benchmark::State& state) {
  TimeQuantrel(state, [](double S) {
    return LookbackFixed(CallOption, Theoretical, S, 110, 105, 365, v, r, q, 0, Days);
  });
}

void QL_LookbackPFixed(benchmark::State& state) {
  Market& m = TheMarket();
  ql::ContinuousPartialFixedLookbackOption o(
      m.In(182), ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 105), m.At(365));
  o.setPricingEngine(
      ql::ext::make_shared<ql::AnalyticContinuousPartialFixedLookbackEngine>(m.process));
  TimeQuantLib(state, o);
}
void Quantrel_LookbackPFixed(benchmark::State& state) {
  TimeQuantrel(state, [](double S) {
    return LookbackPFixed(CallOption, Theoretical, S, 105, 182, 365, v, r, q, 0, Days);
  });
}

void QL_LookbackPFloat(benchmark::State& state) {
  Market& m = TheMarket();
  ql::ContinuousPartialFloatingLookbackOption o(
      90, 1.0, m.In(182), ql::ext::make_shared<ql::FloatingTypePayoff>(ql::Option::Call),
      m.At(365));
  o.setPricingEngine(
      ql::ext::make_shared<ql::AnalyticContinuousPartialFloatingLookbackEngine>(m.process));
  TimeQuantLib(state, o);
}
void Quantrel_LookbackPFloat(benchmark::State& state) {
  TimeQuantrel(state, [](double S) {
    return LookbackPFloat(CallOption, Theoretical, S, 90, 1, 182, 365, v, r, q, 0, Days);
  });
}

void QL_AveragePrice(benchmark::State& state) {
  Market& m = TheMarket();
  ql::ContinuousAveragingAsianOption o(
      ql::Average::Geometric, ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 100),
      m.At(365));
  o.setPricingEngine(
      ql::ext::make_shared<ql::AnalyticContinuousGeometricAveragePriceAsianEngine>(m.process));
  TimeQuantLib(state, o);
}
void Quantrel_AveragePrice(benchmark::State& state) {
  TimeQuantrel(state, [](double S) {
    return AveragePrice(CallOption, Geometric, Theoretical, S, S, 100, 0, 365, v, r, q,
                        ContinuousSample, 0, Days);
  });
}

// Under repetitions each side also reports its fastest repetition: on a shared machine the
// slower ones measure the neighbours as much as the code.
double Fastest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}
#define QUANTREL_TIMED(function) BENCHMARK(function)->ComputeStatistics("min", Fastest)
#define QUANTREL_PAIR(name)  \
  QUANTREL_TIMED(QL_##name); \
  QUANTREL_TIMED(Quantrel_##name);
QUANTREL_PAIR(Vanilla)
QUANTREL_PAIR(ForwardStart)
QUANTREL_PAIR(Chooser)
QUANTREL_TIMED(Quantrel_ComplexChooser);
QUANTREL_PAIR(Compound)
QUANTREL_PAIR(WriterExtendible)
QUANTREL_PAIR(Lookback)
QUANTREL_PAIR(LookbackFixed)
QUANTREL_PAIR(LookbackPFixed)
QUANTREL_PAIR(LookbackPFloat)
QUANTREL_PAIR(AveragePrice)

// The console report, then one line per pair: both times and their ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // One time per benchmark: the fastest repetition where repetitions give one, else the run's
    // own.
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string& name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name == "min") {
          times_[name] = run.GetAdjustedCPUTime();
          aggregated_.insert(name);
        }
      } else if (!aggregated_.contains(name)) {
        times_[name] = run.GetAdjustedCPUTime();
      }
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-18s %12s %12s %8s\n", "contract", "QuantLib ns", "Quantrel ns", "ratio");
    for (const auto& [name, time] : times_) {
      if (name.rfind("QL_", 0) != 0) continue;
      const std::string contract = name.substr(3);
      const auto ours = times_.find("Quantrel_" + contract);
      if (ours == times_.end()) continue;
      std::printf("%-18s %12.1f %12.1f %7.1fx\n", contract.c_str(), time, ours->second,
                  time / ours->second);
    }
  }

 private:
  std::map<std::string, double> times_;
  std::set<std::string> aggregated_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}
