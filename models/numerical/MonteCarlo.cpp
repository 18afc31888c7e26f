// Monte Carlo simulation of four European options on lognormal paths under the risk-neutral drift:
// a plain option (OptionsMC), an arithmetic average price (AsianMC), a floating-strike lookback
// (LookbackMC) and the average of one asset less the average of another (AsianSpreadMC). Each call
// seeds its own generator, from the thread's seed when one is set, else from the clock.
#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <memory>
#include <optional>
#include <string_view>

#include "core/ModelEntry.h"
#include "models/numerical/RandomSource.h"
#include "quantrel/catalogue.h"
#include "quantrel/enums.h"
#include "quantrel/models.h"

namespace quantrel {

namespace numerical {

const NormalTables& Tables() {
  static const std::unique_ptr<const NormalTables> tables = [] {
    auto t = std::make_unique<NormalTables>();
    t->radius[0] = 0;
    for (uint32_t k = 1; k < 65536; ++k) t->radius[k] = std::sqrt(-2 * std::log(k / 65535.0));
    for (uint32_t k = 0; k < 65536; ++k) t->cosine[k] = std::cos(6.28318530717958 * (k / 65535.0));
    return std::unique_ptr<const NormalTables>(std::move(t));
  }();
  return *tables;
}

}  // namespace numerical

namespace {

thread_local std::optional<uint32_t> t_seed;

}  // namespace

void SetMonteCarloSeed(uint32_t seed) noexcept {
  t_seed = seed;
}

void ClearMonteCarloSeed() noexcept {
  t_seed.reset();
}

bool GetMonteCarloSeed(uint32_t* seed) noexcept {
  if (t_seed && seed) *seed = *t_seed;
  return t_seed.has_value();
}

bool TakesMonteCarloSeed(std::string_view method) noexcept {
  for (std::string_view name : {"OptionsMC", "AsianMC", "LookbackMC", "AsianSpreadMC"}) {
    if (EqualsIgnoreCase(name, method)) return true;
  }
  return false;
}

namespace {

using namespace core;
using numerical::RandomSource;

constexpr int32_t kMaxPaths = 5000;
constexpr int32_t kMaxSteps = 1000;

// The generator of one call: the thread's seed, else the calendar time in whole seconds.
RandomSource CallSource() {
  uint32_t seed = 0;
  if (!GetMonteCarloSeed(&seed)) seed = static_cast<uint32_t>(std::time(nullptr));
  return RandomSource(seed);
}

double PayoffSign(int32_t type) {
  return type == CallOption ? 1.0 : type == PutOption ? -1.0 : 0.0;
}

double Floored(double value) {
  return value >= 0 ? value : 0;
}

// Calls that skip validation are held to the limits too, so that no call runs for minutes.
int32_t Paths(int32_t paths) {
  return std::clamp(paths, 1, kMaxPaths);
}
int32_t Steps(int32_t steps) {
  return std::clamp(steps, 1, kMaxSteps);
}

// One step of a path and of its antithetic twin: S e^((r - q) dt) exp(+-v sqrt(dt) z - v^2 dt / 2).
struct PathStep {
  double growth, scale, convexity;
  PathStep(const Market& m, double dt)
      : growth(std::exp((m.r - m.q) * dt)),
        scale(m.v * std::sqrt(dt)),
        convexity(m.v * m.v * dt / 2) {}
};

struct OptionsMCModel {
  using Arguments = OptionsMCArguments;
  struct Own {
    int32_t type;
    double X;
    int32_t paths;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType, .X = a.StrikePrice, .paths = a.Iterations};
  }
  // No time steps of its own: the step count's check sees its filler, 5.
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type,
                                        .strikePrice = &Inputs::X,
                                        .mcIterations = &Inputs::paths,
                                        .latticeIterations = &Inputs::paths};
  static constexpr uint8_t kModelCode = kMonteCarlo;

  // One step to expiry, a path and its antithetic twin per iteration.
  static double Value(const Inputs& in) {
    const int32_t N = Paths(in.paths);
    RandomSource random = CallSource();
    const double eta = PayoffSign(in.type), growth = std::exp(in.r * in.T);
    const double F = in.S * std::exp(-in.q * in.T) * growth;
    const double scale = in.v * std::sqrt(in.T), convexity = in.v * in.v * in.T / 2;
    double sum = 0;
    for (int32_t i = 0; i < N; ++i) {
      const double z = random.Normal();
      const double up = F * std::exp(scale * z - convexity);
      const double down = F * std::exp(-convexity - scale * z);
      sum +=
          std::max(eta * (up - in.X), 0.0) / growth + std::max(eta * (down - in.X), 0.0) / growth;
    }
    return Floored(sum / (2.0 * N));
  }
};

struct AsianMCModel {
  using Arguments = AsianMCArguments;
  struct Own {
    int32_t type, variate;
    double X;
    int32_t steps, paths;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {.type = a.OptionType,
            .variate = a.VariateType,
            .X = a.StrikePrice,
            .steps = a.NumSteps,
            .paths = a.Iterations};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type,
                                        .strikePrice = &Inputs::X,
                                        .numSteps = &Inputs::steps,
                                        .mcIterations = &Inputs::paths,
                                        .latticeIterations = &Inputs::paths};
  static constexpr uint8_t kModelCode = kMonteCarlo;

  static void OwnChecks(Inputs& in, int32_t* err) {
    if (in.variate != Antithetic && in.variate != Control) {
      Fail<VariateTypeErr>(err, "The VariateType is invalid.");
    }
  }

  // The average runs over the n + 1 prices from now to expiry.
  static double Value(const Inputs& in) {
    const int32_t N = Paths(in.paths), n = Steps(in.steps);
    const double dt = in.T / n, eta = PayoffSign(in.type);
    const PathStep step(in, dt);
    const double discount = std::pow(std::exp(in.r * dt), n), points = n + 1.0;
    RandomSource random = CallSource();
    if (in.variate == Control) {
      // The geometric average of the same path against its closed form (continuous sampling).
      const double closedForm =
          AveragePrice(in.type, Geometric, Theoretical, in.S, in.S, in.X, 0, in.T, in.v, in.r, in.q,
                       ContinuousSample, 0, Years, Continuous, Continuous, nullptr, false, true);
      const double logGrowth = (in.r - in.q) * dt;
      double arithmetic = 0, geometric = 0;
      for (int32_t i = 0; i < N; ++i) {
        double S = in.S, sum = in.S, logReturn = 0, logSum = 0;
        for (int32_t k = 0; k < n; ++k) {
          const double shock = step.scale * random.Normal() - step.convexity;
          S = S * step.growth * std::exp(shock);
          sum += S;
          logReturn += logGrowth + shock;
          logSum += logReturn;
        }
        const double G = in.S * std::exp(logSum / points);
        arithmetic += std::max(eta * (sum / points - in.X), 0.0) / discount;
        geometric += std::max(eta * (G - in.X), 0.0) / discount;
      }
      return Floored(arithmetic / N - (geometric / N - closedForm));
    }
    double total = 0;
    for (int32_t i = 0; i < N; ++i) {
      double S = in.S, twin = in.S, sum = in.S, twinSum = in.S;
      for (int32_t k = 0; k < n; ++k) {
        const double z = random.Normal();
        S = S * step.growth * std::exp(step.scale * z - step.convexity);
        twin = twin * step.growth * std::exp(-step.convexity - step.scale * z);
        sum += S;
        twinSum += twin;
      }
      total += std::max(eta * (sum / points - in.X), 0.0) / discount +
               std::max(eta * (twinSum / points - in.X), 0.0) / discount;
    }
    return Floored(total / (2.0 * N));
  }
};

struct LookbackMCModel {
  using Arguments = LookbackMCArguments;
  struct Own {
    int32_t type;
    double extreme;  // StrikePrice: the minimum (call) or maximum (put) seen so far
    int32_t steps, paths;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market&) {
    return {
        .type = a.OptionType, .extreme = a.StrikePrice, .steps = a.NumSteps, .paths = a.Iterations};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type,
                                        .strikePrice = &Inputs::extreme,
                                        .numSteps = &Inputs::steps,
                                        .mcIterations = &Inputs::paths,
                                        .latticeIterations = &Inputs::paths};
  static constexpr uint8_t kModelCode = kMonteCarlo;

  // A call pays the final price less the lowest price watched, a put the highest less the final.
  static double Value(const Inputs& in) {
    const int32_t N = Paths(in.paths), n = Steps(in.steps);
    const double dt = in.T / n, eta = PayoffSign(in.type);
    const PathStep step(in, dt);
    const double discount = std::pow(std::exp(in.r * dt), n);
    const bool call = in.type == CallOption;
    // An extreme on the far side of the asset price has been passed: the path starts there.
    const double start = call ? std::min(in.S, in.extreme) : std::max(in.S, in.extreme);
    RandomSource random = CallSource();
    double total = 0;
    for (int32_t i = 0; i < N; ++i) {
      double S = in.S, twin = in.S, extreme = start, twinExtreme = start;
      for (int32_t k = 0; k < n; ++k) {
        const double z = random.Normal();
        S = S * step.growth * std::exp(step.scale * z - step.convexity);
        twin = twin * step.growth * std::exp(-step.convexity - step.scale * z);
        if (call) {
          if (S < extreme) extreme = S;
          if (twin < twinExtreme) twinExtreme = twin;
        } else {
          if (S > extreme) extreme = S;
          if (twin > twinExtreme) twinExtreme = twin;
        }
      }
      total += std::max(eta * (S - extreme), 0.0) / discount +
               std::max(eta * (twin - twinExtreme), 0.0) / discount;
    }
    return Floored(total / (2.0 * N));
  }
};

struct AsianSpreadMCModel {
  using Arguments = AsianSpreadMCArguments;
  struct Own {
    int32_t type;
    double S2, X, v2, q2;
    int32_t q2Type;
    double rho;
    int32_t steps, paths;
  };
  using Inputs = Contract<Own>;
  static Own Bind(const Arguments& a, Market& m) {
    m.S = a.AssetPrice1;
    m.v = a.Volatility1;
    m.q = a.YieldRate1;
    m.yieldType = a.YieldRate1Type;
    return {.type = a.OptionType,
            .S2 = a.AssetPrice2,
            .X = a.StrikePrice,
            .v2 = a.Volatility2,
            .q2 = a.YieldRate2,
            .q2Type = a.YieldRate2Type,
            .rho = a.Correlation,
            .steps = a.NumSteps,
            .paths = a.Iterations};
  }
  static constexpr Slots<Inputs> kSlots{.optionType = &Inputs::type,
                                        .strikePrice = &Inputs::X,
                                        .yieldRate2 = &Inputs::q2,
                                        .assetPrice2 = &Inputs::S2,
                                        .volatility2 = &Inputs::v2,
                                        .correlation = &Inputs::rho,
                                        .numSteps = &Inputs::steps,
                                        .mcIterations = &Inputs::paths,
                                        .latticeIterations = &Inputs::paths,
                                        .yieldRate2Type = &Inputs::q2Type};
  static constexpr uint8_t kModelCode = kMonteCarlo;

  // The averages run over the n simulated prices of each asset, not the starting ones.
  static double Value(const Inputs& in) {
    const int32_t N = Paths(in.paths), n = Steps(in.steps);
    const double dt = in.T / n, root = std::sqrt(dt), eta = PayoffSign(in.type);
    const double mu1 = (in.r - in.q - in.v * in.v / 2) * dt, s1 = in.v * root;
    const double mu2 = (in.r - in.q2 - in.v2 * in.v2 / 2) * dt, s2 = in.v2 * root;
    const double own = std::sqrt(1 - in.rho * in.rho);
    RandomSource random = CallSource();
    double total = 0;
    for (int32_t i = 0; i < N; ++i) {
      double S1 = in.S, S2 = in.S2, sum1 = 0, sum2 = 0;
      for (int32_t k = 0; k < n; ++k) {
        const double z1 = random.Normal(), z2 = random.Normal();
        const double e2 = own * z2 + in.rho * z1;
        S1 = S1 * std::exp(s1 * z1 + mu1);
        S2 = S2 * std::exp(s2 * e2 + mu2);
        sum1 += S1;
        sum2 += S2;
      }
      total += std::max(eta * (sum1 / n - sum2 / n - in.X), 0.0);
    }
    return Floored(std::exp(-in.r * in.T) * total / N);
  }
};

}  // namespace

QUANTREL_ENTRY(OptionsMCModel)
QUANTREL_ENTRY(AsianMCModel)
QUANTREL_ENTRY(LookbackMCModel)
QUANTREL_ENTRY(AsianSpreadMCModel)

}  // namespace quantrel
