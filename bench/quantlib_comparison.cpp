// The same contracts priced by Quantrel and by QuantLib (when it is installed), side by side in one
// process: QuantLib recomputes its instrument (the spot quote moves each time), Quantrel makes one
// call. Google Benchmark reports each side; the table at the end gives each pair's ratio,
// QuantLib's time over Quantrel's, from the two sides timed in turn.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

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

#include "bench/Interleaved.h"
#include "quantrel/quantrel.h"

namespace ql = QuantLib;

namespace {

using quantrel::bench::NsPerCall;
using quantrel::bench::SpotAt;

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

using Instrument = ql::ext::shared_ptr<ql::Instrument>;

// Each side's call at a given spot: QuantLib recomputing its instrument (the spot quote moves, so
// nothing is cached), Quantrel making one call.
using Pricer = std::function<double(double)>;
Pricer QuantLibPricer(const Instrument& instrument) {
  return [instrument](double S) {
    TheMarket().spot->setValue(S);
    return instrument->NPV();
  };
}

template <class Price>
void Time(benchmark::State& state, Price price) {
  double sum = 0;
  int i = 0;
  for (auto _ : state) sum += price(SpotAt(++i));
  benchmark::DoNotOptimize(sum);
}

using namespace quantrel;
constexpr double r = 0.05, q = 0.02, v = 0.30;

Instrument QL_Vanilla() {
  Market& m = TheMarket();
  auto o = ql::ext::make_shared<ql::VanillaOption>(
      ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 100), m.At(365));
  o->setPricingEngine(ql::ext::make_shared<ql::AnalyticEuropeanEngine>(m.process));
  return o;
}
double Quantrel_Vanilla(double S) {
  // The plain option through a method with nothing else to it: no departures.
  return Executive(CallOption, Theoretical, S, 100, 1, v, r, q, 0, 0, Years);
}

Instrument QL_ForwardStart() {
  Market& m = TheMarket();
  auto o = ql::ext::make_shared<ql::ForwardVanillaOption>(
      1.1, m.In(91), ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 1.0),
      m.At(365));
  o->setPricingEngine(
      ql::ext::make_shared<ql::ForwardVanillaEngine<ql::AnalyticEuropeanEngine>>(m.process));
  return o;
}
double Quantrel_ForwardStart(double S) {
  return ForwardStart(CallOption, Theoretical_FS, S, 91, 365, v, r, q, 1.1, 0, Days);
}

Instrument QL_Chooser() {
  Market& m = TheMarket();
  auto o = ql::ext::make_shared<ql::SimpleChooserOption>(m.In(91), 100, m.At(365));
  o->setPricingEngine(ql::ext::make_shared<ql::AnalyticSimpleChooserEngine>(m.process));
  return o;
}
double Quantrel_Chooser(double S) {
  return Chooser(Theoretical, S, 100, 91, 365, v, r, q, 0, Days);
}

// QuantLib 1.29's complex chooser leaves its option's payoff empty and fails on pricing, so this
// contract is timed on our side only.
double Quantrel_ComplexChooser(double S) {
  return ComplexChooser(Theoretical_TS, S, 105, 95, 91, 365, 300, v, r, q, 0, Days);
}

Instrument QL_Compound() {
  Market& m = TheMarket();
  auto o = ql::ext::make_shared<ql::CompoundOption>(
      ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Put, 5), m.At(91),
      ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 100), m.At(365));
  o->setPricingEngine(ql::ext::make_shared<ql::AnalyticCompoundOptionEngine>(m.process));
  return o;
}
double Quantrel_Compound(double S) {
  return Compound(Put_Call, Theoretical_C, S, 5, 100, 91, 365, v, r, q, 0, Days);
}

Instrument QL_WriterExtendible() {
  Market& m = TheMarket();
  auto o = ql::ext::make_shared<ql::WriterExtensibleOption>(
      ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 100), m.At(182),
      ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 95), m.At(365));
  o->setPricingEngine(ql::ext::make_shared<ql::AnalyticWriterExtensibleOptionEngine>(m.process));
  return o;
}
double Quantrel_WriterExtendible(double S) {
  return WriterExtendible(CallOption, Theoretical_WE, S, 100, 95, 182, 365, v, r, q, 0, Days);
}

Instrument QL_Lookback() {
  Market& m = TheMarket();
  auto o = ql::ext::make_shared<ql::ContinuousFloatingLookbackOption>(
      90, ql::ext::make_shared<ql::FloatingTypePayoff>(ql::Option::Call), m.At(365));
  o->setPricingEngine(
      ql::ext::make_shared<ql::AnalyticContinuousFloatingLookbackEngine>(m.process));
  return o;
}
double Quantrel_Lookback(double S) {
  return Lookback(CallOption, Theoretical, S, 90, 365, v, r, q, 0, Days);
}

Instrument QL_LookbackFixed() {
  Market& m = TheMarket();
  auto o = ql::ext::make_shared<ql::ContinuousFixedLookbackOption>(
      110, ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 105), m.At(365));
  o->setPricingEngine(ql::ext::make_shared<ql::AnalyticContinuousFixedLookbackEngine>(m.process));
  return o;
}
double Quantrel_LookbackFixed(double S) {
  return LookbackFixed(CallOption, Theoretical, S, 110, 105, 365, v, r, q, 0, Days);
}

Instrument QL_LookbackPFixed() {
  Market& m = TheMarket();
  auto o = ql::ext::make_shared<ql::ContinuousPartialFixedLookbackOption>(
      m.In(182), ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 105), m.At(365));
  o->setPricingEngine(
      ql::ext::make_shared<ql::AnalyticContinuousPartialFixedLookbackEngine>(m.process));
  return o;
}
double Quantrel_LookbackPFixed(double S) {
  return LookbackPFixed(CallOption, Theoretical, S, 105, 182, 365, v, r, q, 0, Days);
}

Instrument QL_LookbackPFloat() {
  Market& m = TheMarket();
  auto o = ql::ext::make_shared<ql::ContinuousPartialFloatingLookbackOption>(
      90, 1.0, m.In(182), ql::ext::make_shared<ql::FloatingTypePayoff>(ql::Option::Call),
      m.At(365));
  o->setPricingEngine(
      ql::ext::make_shared<ql::AnalyticContinuousPartialFloatingLookbackEngine>(m.process));
  return o;
}
double Quantrel_LookbackPFloat(double S) {
  return LookbackPFloat(CallOption, Theoretical, S, 90, 1, 182, 365, v, r, q, 0, Days);
}

Instrument QL_AveragePrice() {
  Market& m = TheMarket();
  auto o = ql::ext::make_shared<ql::ContinuousAveragingAsianOption>(
      ql::Average::Geometric, ql::ext::make_shared<ql::PlainVanillaPayoff>(ql::Option::Call, 100),
      m.At(365));
  o->setPricingEngine(
      ql::ext::make_shared<ql::AnalyticContinuousGeometricAveragePriceAsianEngine>(m.process));
  return o;
}
double Quantrel_AveragePrice(double S) {
  return AveragePrice(CallOption, Geometric, Theoretical, S, S, 100, 0, 365, v, r, q,
                      ContinuousSample, 0, Days);
}

struct Contract {
  const char* name;
  Instrument (*quantlib)();  // null where QuantLib cannot price it
  double (*quantrel)(double);
};
#define QUANTREL_PAIR(name) \
  { #name, QL_##name, Quantrel_##name }
const Contract kContracts[] = {
    QUANTREL_PAIR(Vanilla),        QUANTREL_PAIR(ForwardStart),
    QUANTREL_PAIR(Chooser),        {"ComplexChooser", nullptr, Quantrel_ComplexChooser},
    QUANTREL_PAIR(Compound),       QUANTREL_PAIR(WriterExtendible),
    QUANTREL_PAIR(Lookback),       QUANTREL_PAIR(LookbackFixed),
    QUANTREL_PAIR(LookbackPFixed), QUANTREL_PAIR(LookbackPFloat),
    QUANTREL_PAIR(AveragePrice)};

// QuantLib's instrument for `c`, priced once; null with a message where it fails (QuantLib 1.29's
// complex chooser, for one, leaves its payoff empty).
Instrument Priced(const Contract& c) {
  if (!c.quantlib) return nullptr;
  Instrument instrument = c.quantlib();
  try {
    instrument->NPV();
  } catch (const std::exception& e) {
    std::printf("%s: QuantLib fails: %s\n", c.name, e.what());
    return nullptr;
  }
  return instrument;
}

// The ratio table: the two sides timed in turn, round after round, each keeping its fastest
// round. On a shared machine the speed swings for seconds at a time; timing both sides within the
// same second, many times over, keeps the swings out of the ratio.
void PrintRatios(int rounds) {
  std::printf("\nQuantLib's time over Quantrel's, each side's fastest of %d interleaved rounds\n",
              rounds);
  std::printf("%-18s %12s %12s %8s\n", "contract", "QuantLib ns", "Quantrel ns", "ratio");
  for (const Contract& c : kContracts) {
    const Instrument instrument = Priced(c);
    if (!instrument) continue;
    const Pricer theirs = QuantLibPricer(instrument);
    double (*const ours)(double) = c.quantrel;
    double theirBest = INFINITY, ourBest = INFINITY;
    for (int round = 0; round < rounds; ++round) {
      theirBest = std::min(theirBest, NsPerCall(theirs, 1000));
      ourBest = std::min(ourBest, NsPerCall(ours, 10000));
    }
    TheMarket().spot->setValue(100.0);
    std::printf("%-18s %12.1f %12.1f %7.1fx\n", c.name, theirBest, ourBest, theirBest / ourBest);
  }
}

}  // namespace

// Google Benchmark's own report of each side (left out with --ratios-only), then the interleaved
// ratio table (--rounds=N, 20 by default; --rounds=0 leaves it out).
int main(int argc, char** argv) {
  const quantrel::bench::TableOptions options =
      quantrel::bench::ParseTableOptions(argc, argv, "--ratios-only");
  if (options.tableOnly) {
    PrintRatios(options.rounds);
    return 0;
  }
  for (const Contract& c : kContracts) {
    if (const Instrument instrument = Priced(c)) {
      benchmark::RegisterBenchmark((std::string("QL_") + c.name).c_str(), Time<Pricer>,
                                   QuantLibPricer(instrument));
    }
    benchmark::RegisterBenchmark((std::string("Quantrel_") + c.name).c_str(),
                                 Time<double (*)(double)>, c.quantrel);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (options.rounds > 0) PrintRatios(options.rounds);
}
