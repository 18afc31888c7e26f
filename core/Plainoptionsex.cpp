#include "core/Plainoptionsex.h"

#include <algorithm>
#include <cmath>

#include "core/OptionStatistics.h"

namespace quantrel::core {

double GeneralizedBlackScholes(int32_t type, double S, double X, double T, double v, double r,
                               double q) {
  double d1, d2;
  ComputeD1D2(1, S, X, r, q, T, T, v, 1, 1, d1, d2);
  const double s = S == 0 ? 1e-17 : S;
  if (type == 1)
    return s * std::exp(-q * T) * CumulativeNormal(d1) -
           X * std::exp(-r * T) * CumulativeNormal(d2);
  if (type == 2)
    return X * std::exp(-r * T) * CumulativeNormal(-d2) -
           s * std::exp(-q * T) * CumulativeNormal(-d1);
  return 0;
}

CallPutPair BlackScholesCallPutPair(double S, double Xc, double Xp, double t, double Tc, double Tp,
                                    double v, double r, double q) {
  const double tc = Tc - t;
  const double tp = Tp - t;
  CallPutPair out;
  double d1, d2;
  ComputeD1D2(1, S, Xc, r, q, tc, tc, v, 1, 1, d1, d2);
  out.callValue =
      S * std::exp(-q * tc) * CumulativeNormal(d1) - Xc * std::exp(-r * tc) * CumulativeNormal(d2);
  out.callDelta = std::exp(-q * tc) * CumulativeNormal(d1);
  ComputeD1D2(1, S, Xp, r, q, tp, tp, v, 1, 1, d1, d2);
  out.putValue = Xp * std::exp(-r * tp) * CumulativeNormal(-d2) -
                 S * std::exp(-q * tp) * CumulativeNormal(-d1);
  out.putDelta = -std::exp(-q * tp) * CumulativeNormal(-d1);
  return out;
}

ValueDelta BlackScholesValueDelta(int32_t type, double S, double X, double T, double v, double r,
                                  double q) {
  double d1, d2;
  ComputeD1D2(1, S, X, r, q, T, T, v, 1, 1, d1, d2);
  const double carry = std::exp(-q * T);
  const double discount = std::exp(-r * T);
  if (type == 1) {
    return {S * carry * CumulativeNormal(d1) - X * discount * CumulativeNormal(d2),
            carry * CumulativeNormal(d1)};
  }
  return {X * discount * CumulativeNormal(-d2) - S * carry * CumulativeNormal(-d1),
          -carry * CumulativeNormal(-d1)};
}

double BjerksundStenslandPhi(double S, double T, double gamma, double H, double I, double r,
                             double b, double v, bool& overflow) {
  if (!(H > 0)) {
    overflow = true;
    return 0;
  }
  const double v2 = v * v;
  const double lambda = (-r + gamma * b + gamma * (gamma - 1) * v2 / 2) * T;
  if (lambda > 50) {
    overflow = true;
    return 0;
  }
  if (gamma * std::log10(S) > 50) overflow = true;
  const double kappa = 2 * b / v2 + (2 * gamma - 1);
  if (kappa * std::log10(I / S) > 50) overflow = true;
  if (overflow) return 0;
  const double vt = v * std::sqrt(T);
  const double d = -(std::log(S / H) + (b + (gamma - 0.5) * v2) * T) / vt;
  return std::exp(lambda) * std::pow(S, gamma) *
         (CumulativeNormal(d) -
          std::pow(I / S, kappa) * CumulativeNormal(d - 2 * std::log(I / S) / vt));
}

double BjerksundStenslandCall(double S, double X, double T, double v, double r, double b) {
  if (b >= r) return GeneralizedBlackScholes(1, S, X, T, v, r, r - b);

  const double v2 = v * v;
  const double beta = (0.5 - b / v2) + std::sqrt((b / v2 - 0.5) * (b / v2 - 0.5) + 2 * r / v2);
  const double bInfinity = beta / (beta - 1) * X;
  const double b0 = std::max(X, r / (r - b) * X);
  const double h = -(b * T + 2 * v * std::sqrt(T)) * b0 / (bInfinity - b0);

  bool overflow = false;
  double value = 0;
  double trigger = 0;
  if (h >= 20) {
    overflow = true;
  } else {
    trigger = b0 + (bInfinity - b0) * (1 - std::exp(h));
    if (trigger > 0) {
      if (trigger > S) {
        if ((beta < 0 && beta * std::log10(trigger) > 50) ||
            (beta > 0 && beta * std::log10(S) > 50)) {
          overflow = true;
        }
        if (!overflow) {
          const double alpha = (trigger - X) * std::pow(trigger, -beta);
          auto phi = [&](double gamma, double H) {
            return BjerksundStenslandPhi(S, T, gamma, H, trigger, r, b, v, overflow);
          };
          value = alpha * std::pow(S, beta) - alpha * phi(beta, trigger) + phi(1, trigger) -
                  phi(1, X) - X * phi(0, trigger) + X * phi(0, X);
        }
      } else {
        value = S - X;  // at or beyond the trigger: exercise now
      }
    }
  }
  if (overflow || trigger < 0) {
    if (!(r > 0)) return 0;
    return std::max(0.0, GeneralizedBlackScholes(1, S, X, T, v, r, r - b));
  }
  return value;
}

}  // namespace quantrel::core
