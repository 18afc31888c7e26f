#include "models/barrier/PreciseNormal.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/OptionStatistics.h"

namespace quantrel::barrier {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// The negative half of the Gauss-Legendre rules of 6, 12 and 20 points on [-1, 1].
struct HalfRule {
  int size;
  std::array<double, 10> node, weight;
};

HalfRule MakeRule(int points) {
  std::array<double, 20> nodes{}, weights{};
  core::GaussLegendreNodes(-1, 1, std::span<double>(nodes.data(), points),
                           std::span<double>(weights.data(), points));
  HalfRule rule{points / 2, {}, {}};
  for (int i = 0; i < rule.size; ++i) rule.node[i] = nodes[i], rule.weight[i] = weights[i];
  return rule;
}

const HalfRule& RuleFor(double absRho) {
  static const HalfRule k6 = MakeRule(6), k12 = MakeRule(12), k20 = MakeRule(20);
  return absRho < 0.3 ? k6 : absRho < 0.75 ? k12 : k20;
}

// The chance that X > h and Y > k.
double Upper(double h, double k, double r) {
  const HalfRule& rule = RuleFor(std::fabs(r));
  double hk = h * k, bvn = 0;
  if (std::fabs(r) < 0.925) {
    const double hs = (h * h + k * k) / 2, asr = std::asin(r);
    for (int i = 0; i < rule.size; ++i) {
      for (double side : {1.0, -1.0}) {
        const double sn = std::sin(asr * (side * rule.node[i] + 1) / 2);
        bvn += rule.weight[i] * std::exp((sn * hk - hs) / (1 - sn * sn));
      }
    }
    return bvn * asr / (2 * kTwoPi) + PreciseNormal(-h) * PreciseNormal(-k);
  }
  if (r < 0) k = -k, hk = -hk;
  if (std::fabs(r) < 1) {
    const double as = (1 - r) * (1 + r);
    double a = std::sqrt(as);
    const double bs = (h - k) * (h - k);
    const double c = (4 - hk) / 8, d = (12 - hk) / 16;
    bvn = a * std::exp(-(bs / as + hk) / 2) *
          (1 - c * (bs - as) * (1 - d * bs / 5) / 3 + c * d * as * as / 5);
    if (hk > -160) {
      const double b = std::sqrt(bs);
      bvn -= std::exp(-hk / 2) * std::sqrt(kTwoPi) * PreciseNormal(-b / a) * b *
             (1 - c * bs * (1 - d * bs / 5) / 3);
    }
    a /= 2;
    for (int i = 0; i < rule.size; ++i) {
      double xs = a * (rule.node[i] + 1);
      xs *= xs;
      double rs = std::sqrt(1 - xs);
      bvn += a * rule.weight[i] *
             (std::exp(-bs / (2 * xs) - hk / (1 + rs)) / rs -
              std::exp(-(bs / xs + hk) / 2) * (1 + c * xs * (1 + d * xs)));
      xs = as * (1 - rule.node[i]) * (1 - rule.node[i]) / 4;
      rs = std::sqrt(1 - xs);
      // One exponent for the product: apart, the second factor overflows where the first
      // vanishes.
      const double common = -(bs / xs + hk) / 2;
      bvn += a * rule.weight[i] *
             (std::exp(common - hk * xs / (2 * (1 + rs) * (1 + rs))) / rs -
              std::exp(common) * (1 + c * xs * (1 + d * xs)));
    }
    bvn = -bvn / kTwoPi;
  }
  if (r > 0) return bvn + PreciseNormal(-std::max(h, k));
  bvn = -bvn;
  if (k > h)
    bvn += h < 0 ? PreciseNormal(k) - PreciseNormal(h) : PreciseNormal(-h) - PreciseNormal(-k);
  return bvn;
}

}  // namespace

double PreciseNormal(double x) {
  return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

double PreciseBivariateNormal(double a, double b, double rho) {
  const double value = Upper(-a, -b, std::clamp(rho, -1.0, 1.0));
  return value > 0 ? value : 0;
}

}  // namespace quantrel::barrier
