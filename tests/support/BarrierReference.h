// Independent references for the barrier models: a simulation that weights each path by the
// Brownian-bridge chance of having crossed no barrier between its steps (exact for barriers that
// are straight lines in the log price), and the knock-out value of a corridor from the
// eigenfunction expansion of the killed density. Neither restates a closed form of the library.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "support/Reference.h"

namespace quantrel::testing {

struct Estimate {
  double mean, error;  // the discounted expectation and its standard error
};

// A barrier at ln(level) + growth t, watched from `from` to `to`; the path lives on `side` of it
// (Touch: whichever side it is on when the watch begins, and dies by touching).
enum class Side { Above, Below, Touch };
struct WatchedLevel {
  double level, growth;
  Side side;
  double from = 0, to = std::numeric_limits<double>::infinity();
};

// e^(-rT) E[payoff(S_T), no watched level touched], by `paths` paths of `steps` equal steps.
template <class Payoff>
Estimate BridgeMonteCarlo(double S, double T, double v, double r, double q,
                          const std::vector<WatchedLevel>& levels, Payoff payoff, int steps = 100,
                          int paths = 20000, uint64_t seed = 7) {
  std::mt19937_64 random(seed);
  std::normal_distribution<double> normal;
  const double dt = T / steps, drift = (r - q - v * v / 2) * dt, spread = v * std::sqrt(dt);
  double sum = 0, sumSquares = 0;
  for (int p = 0; p < paths; ++p) {
    double x = 0, weight = 1;
    for (int i = 0; i < steps && weight > 0; ++i) {
      const double t0 = i * dt, t1 = t0 + dt, next = x + drift + spread * normal(random);
      for (const WatchedLevel& w : levels) {
        if (t1 <= w.from + 1e-12 || t0 >= w.to - 1e-12) continue;
        const double a0 = x - std::log(w.level / S) - w.growth * t0;
        const double a1 = next - std::log(w.level / S) - w.growth * t1;
        const bool crossed = w.side == Side::Above   ? a1 <= 0 || a0 <= 0
                             : w.side == Side::Below ? a1 >= 0 || a0 >= 0
                                                     : (a0 > 0) != (a1 > 0);
        weight *= crossed ? 0 : 1 - std::exp(-2 * a0 * a1 / (v * v * dt));
      }
      x = next;
    }
    const double value = weight * payoff(S * std::exp(x));
    sum += value;
    sumSquares += value * value;
  }
  const double mean = sum / paths, discount = std::exp(-r * T);
  return {discount * mean, discount * std::sqrt((sumSquares / paths - mean * mean) / paths)};
}

// The knock-out value of a call or put between flat barriers L < S < U, integrating the payoff
// against the killed density's sine series.
inline double CorridorKnockOut(bool call, double S, double X, double L, double U, double T,
                               double v, double r, double q) {
  const double a = std::log(L / S), width = std::log(U / L), m = r - q - v * v / 2;
  const int points = 4000;
  const double h = width / points;
  double sum = 0;
  for (int i = 0; i < points; ++i) {
    const double x = a + (i + 0.5) * h, price = S * std::exp(x);
    const double pay = call ? std::fmax(price - X, 0) : std::fmax(X - price, 0);
    if (pay == 0) continue;
    double density = 0;
    for (int k = 1; k < 1000; ++k) {
      const double w = k * M_PI / width, decay = std::exp(-w * w * v * v * T / 2);
      if (decay < 1e-18) break;
      density += std::sin(-w * a) * std::sin(w * (x - a)) * decay;
    }
    density *= 2 / width * std::exp(m * x / (v * v) - m * m * T / (2 * v * v));
    sum += pay * density * h;
  }
  return std::exp(-r * T) * sum;
}

}  // namespace quantrel::testing
