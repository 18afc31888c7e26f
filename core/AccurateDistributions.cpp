#include "core/AccurateDistributions.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/OptionStatistics.h"

namespace quantrel::core::accurate {
namespace {

constexpr double kSqrt2 = 1.4142135623730951, kLogSqrt2Pi = 0.91893853320467274;
constexpr double kTau = 6.283185307179586;

double LogDensity(double x) {
  return -x * x / 2 - kLogSqrt2Pi;
}

// P(X > h, Y > k); Genz (2004), with Gauss-Legendre rules of 6, 12 or 20 points by |r|.
double Upper(double h, double k, double r) {
  static constexpr double w6[] = {0.1713244923791705, 0.3607615730481384, 0.4679139345726904};
  static constexpr double x6[] = {0.9324695142031522, 0.6612093864662647, 0.2386191860831970};
  static constexpr double w12[] = {0.04717533638651177, 0.1069393259953183, 0.1600783285433464,
                                   0.2031674267230659,  0.2334925365383547, 0.2491470458134029};
  static constexpr double x12[] = {0.9815606342467191, 0.9041172563704750, 0.7699026741943050,
                                   0.5873179542866171, 0.3678314989981802, 0.1252334085114692};
  static constexpr double w20[] = {0.01761400713915212, 0.04060142980038694, 0.06267204833410906,
                                   0.08327674157670475, 0.1019301198172404,  0.1181945319615184,
                                   0.1316886384491766,  0.1420961093183821,  0.1491729864726037,
                                   0.1527533871307259};
  static constexpr double x20[] = {0.9931285991850949, 0.9639719272779138, 0.9122344282513259,
                                   0.8391169718222188, 0.7463319064601508, 0.6360536807265150,
                                   0.5108670019508271, 0.3737060887154196, 0.2277858511416451,
                                   0.07652652113349733};
  if (r == 0) return Normal(-h) * Normal(-k);
  const double* w = w20;
  const double* x = x20;
  int n = 10;
  if (std::fabs(r) < 0.3) {
    w = w6, x = x6, n = 3;
  } else if (std::fabs(r) < 0.75) {
    w = w12, x = x12, n = 6;
  }
  double hk = h * k, bvn = 0;
  if (std::fabs(r) < 0.925) {
    const double hs = (h * h + k * k) / 2, asr = std::asin(r) / 2;
    for (int i = 0; i < n; ++i) {
      for (double sign : {-1.0, 1.0}) {
        const double sn = std::sin(asr * (1 + sign * x[i]));
        bvn += w[i] * std::exp((sn * hk - hs) / (1 - sn * sn));
      }
    }
    return bvn * asr / kTau + Normal(-h) * Normal(-k);
  }
  if (r < 0) k = -k, hk = -hk;
  if (std::fabs(r) < 1) {
    const double as = (1 - r) * (1 + r), bs = (h - k) * (h - k);
    double a = std::sqrt(as);
    const double c = (4 - hk) / 8, d = (12 - hk) / 80;
    double asr = -(bs / as + hk) / 2;
    if (asr > -100)
      bvn = a * std::exp(asr) * (1 - c * (bs - as) * (1 - d * bs) / 3 + c * d * as * as);
    if (hk > -100) {
      const double b = std::sqrt(bs), sp = std::sqrt(kTau) * Normal(-b / a);
      bvn -= std::exp(-hk / 2) * sp * b * (1 - c * bs * (1 - d * bs) / 3);
    }
    a /= 2;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
      for (double sign : {-1.0, 1.0}) {
        const double xs = (a * (1 + sign * x[i])) * (a * (1 + sign * x[i]));
        asr = -(bs / xs + hk) / 2;
        if (asr <= -100) continue;
        const double sp = 1 + c * xs * (1 + 5 * d * xs), rs = std::sqrt(1 - xs);
        const double ep = std::exp(-(hk / 2) * xs / ((1 + rs) * (1 + rs))) / rs;
        sum += w[i] * std::exp(asr) * (sp - ep);
      }
    }
    bvn = (a * sum - bvn) / kTau;
  }
  if (r > 0) return bvn + Normal(-std::max(h, k));
  if (h >= k) return -bvn;
  const double between = h < 0 ? Normal(k) - Normal(h) : Normal(-h) - Normal(-k);
  return between - bvn;
}

// 16-point Gauss-Legendre rule on [-1, 1].
struct Rule {
  std::array<double, 16> x, w;
  Rule() { GaussLegendreNodes(-1, 1, x, w); }
};

}  // namespace

double Normal(double x) {
  return 0.5 * std::erfc(-x / kSqrt2);
}

double LogNormal(double x) {
  if (x > -1) return std::log1p(-0.5 * std::erfc(x / kSqrt2));
  if (x > -30) return std::log(0.5 * std::erfc(-x / kSqrt2));
  // Mills' ratio series: N(x) = phi(x)/|x| * (1 - 1/x^2 + 3/x^4 - ...).
  const double z = 1 / (x * x);
  double term = 1, sum = 1;
  for (int i = 1; i <= 8; ++i) sum += (term *= -(2 * i - 1) * z);
  return LogDensity(x) - std::log(-x) + std::log(sum);
}

double ScaledNormal(double logScale, double x) {
  return logScale < 8 ? std::exp(logScale) * Normal(x) : std::exp(logScale + LogNormal(x));
}

double Bivariate(double a, double c, double rho) {
  if (std::isinf(a) || std::isinf(c)) {
    if (a == -INFINITY || c == -INFINITY) return 0;
    return a == INFINITY ? Normal(c) : Normal(a);
  }
  return std::clamp(Upper(-a, -c, rho), 0.0, 1.0);
}

double ScaledBivariate(double logScale, double a, double c, double rho) {
  // Up to e^8 the absolute accuracy of the product is still about 1e-13.
  const double s2 = (1 - rho) * (1 + rho);
  if (logScale < 8 || !(s2 > 0) || !std::isfinite(logScale + a + c)) {
    return std::exp(logScale) * Bivariate(a, c, rho);
  }
  if (a > c) std::swap(a, c);  // integrate over the variable with the lower bound
  const double s = std::sqrt(s2);
  // Integrand e^g(x) with g = logScale + ln phi(x) + ln N((c - rho x)/s), concave in x, on x < a.
  auto g = [&](double x) { return logScale + LogDensity(x) + LogNormal((c - rho * x) / s); };
  auto slope = [&](double x) {
    const double y = (c - rho * x) / s;
    return -x - rho / s * std::exp(LogDensity(y) - LogNormal(y));
  };
  // The peak: the end of the range or the root of the slope; g'' <= -1 confines the mass to it +-9.
  double peak = a;
  if (slope(a) < 0) {
    double lo = std::min(a, 0.0) - 1, hi = a;
    for (int i = 0; i < 64 && slope(lo) < 0; ++i) lo -= 2 * (hi - lo);
    for (int i = 0; i < 200 && hi - lo > 1e-13 * (1 + std::fabs(hi)); ++i) {
      const double mid = (lo + hi) / 2;
      (slope(mid) < 0 ? hi : lo) = mid;
    }
    peak = (lo + hi) / 2;
  }
  const double left = peak - 9.5, right = std::min(a, peak + 9.5);
  // Breaks graded geometrically towards the peak, whose width may be far below 1, and towards
  // the step of the conditional probability when the correlation is close to +-1.
  std::array<double, 96> breaks;
  size_t n = 0;
  breaks[n++] = left, breaks[n++] = right, breaks[n++] = peak;
  const double curvature = (slope(peak - 1e-6) - slope(peak)) / 1e-6;
  const double width = std::max(1e-7, 1 / std::sqrt(std::max(1.0, curvature)));
  for (double step = width; step < 9.5; step *= 2)
    breaks[n++] = peak - step, breaks[n++] = peak + step;
  if (rho != 0) {
    const double edge = c / rho, scale = s / std::fabs(rho);
    breaks[n++] = edge;
    for (double step = scale / 2; step < 10 * scale && step < 9.5; step *= 2) {
      breaks[n++] = edge - step, breaks[n++] = edge + step;
    }
  }
  for (size_t i = 0; i < n; ++i) breaks[i] = std::clamp(breaks[i], left, right);
  std::sort(breaks.begin(), breaks.begin() + n);
  static const Rule rule;
  double sum = 0;
  for (size_t i = 0; i + 1 < n; ++i) {
    const double half = (breaks[i + 1] - breaks[i]) / 2, mid = (breaks[i + 1] + breaks[i]) / 2;
    if (!(half > 0)) continue;
    for (size_t j = 0; j < rule.x.size(); ++j)
      sum += half * rule.w[j] * std::exp(g(mid + half * rule.x[j]));
  }
  return sum;
}

}  // namespace quantrel::core::accurate
