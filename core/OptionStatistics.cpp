#include "core/OptionStatistics.h"

#include <array>
#include <cmath>

#include "core/Failure.h"

namespace quantrel::core {

int32_t Sign(double x) {
  return x > 0 ? 1 : (x < 0 ? -1 : 0);
}

double NormalDensity(double x) {
  return std::exp(-x * x / 2) / std::sqrt(kTwoPi);
}

double CumulativeNormal(double x) {
  const double z = std::fabs(x);
  const double k = 1 / (1 + 0.2316419 * z);
  const double poly =
      k *
      (0.31938153 + k * (-0.356563782 + k * (1.781477937 + k * (-1.821255978 + k * 1.330274429))));
  const double p = 1 - NormalDensity(z) * poly;
  return x >= 0 ? p : 1 - p;
}

namespace {

constexpr double kDreznerWeight[5] = {0.24840615, 0.39233107, 0.21141819, 0.03324666,
                                      0.00082485334};
constexpr double kDreznerAbscissa[5] = {0.10024215, 0.48281397, 1.0609498, 1.7797294, 2.6697604};
// wi wj in extended precision, row by row.
constexpr auto kDreznerWeightProduct = [] {
  std::array<long double, 25> w{};
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) {
      w[5 * i + j] = static_cast<long double>(kDreznerWeight[i]) * kDreznerWeight[j];
    }
  }
  return w;
}();

int32_t SignL(long double x) {
  return x > 0 ? 1 : (x < 0 ? -1 : 0);
}

long double Clamp(long double x, long double limit, long double inside) {
  if (x >= limit) return inside;
  if (x <= -limit) return -inside;
  return x;
}

long double Bivariate(long double a, long double b, long double rho) {
  rho = Clamp(rho, 1.0L, 0.9999999L);
  a = Clamp(a, 10.0L, 9.9999999L);
  b = Clamp(b, 10.0L, 9.9999999L);
  const long double denom = std::sqrt(2 * (1 - rho * rho));
  const long double a1 = a / denom;
  const long double b1 = b / denom;

  if (a <= 0 && b <= 0 && rho <= 0) {
    // The exponent a1(2yi - a1) + b1(2yj - b1) + 2 rho (yi - a1)(yj - b1) and the sum in extended
    // precision, the exponential itself in double (several times faster, at most an ulp apart).
    // The parts that depend on one abscissa only are taken once.
    long double alongA[5], alongB[5], crossA[5], crossB[5];
    for (int i = 0; i < 5; ++i) {
      const long double y = kDreznerAbscissa[i];
      alongA[i] = a1 * (2 * y - a1);
      alongB[i] = b1 * (2 * y - b1);
      crossA[i] = 2 * rho * (y - a1);
      crossB[i] = y - b1;
    }
    double exponent[25];
    for (int i = 0; i < 5; ++i) {
      for (int j = 0; j < 5; ++j) {
        exponent[5 * i + j] = static_cast<double>(alongA[i] + alongB[j] + crossA[i] * crossB[j]);
      }
    }
    double term[25];
    for (int k = 0; k < 25; ++k) term[k] = std::exp(exponent[k]);  // nothing extended is live
    long double sum = 0;
    for (int k = 0; k < 25; ++k) sum += kDreznerWeightProduct[k] * term[k];
    return std::sqrt(1 - rho * rho) * kInvPi * sum;
  }
  if (a <= 0 && b >= 0 && rho >= 0) {
    return CumulativeNormal(static_cast<double>(a)) - Bivariate(a, -b, -rho);
  }
  if (a >= 0 && b <= 0 && rho >= 0) {
    return CumulativeNormal(static_cast<double>(b)) - Bivariate(-a, b, -rho);
  }
  if (a >= 0 && b >= 0 && rho <= 0) {
    return CumulativeNormal(static_cast<double>(a)) + CumulativeNormal(static_cast<double>(b)) - 1 +
           Bivariate(-a, -b, rho);
  }
  if (a * b * rho > 0) {
    const long double d = std::sqrt(a * a - 2 * rho * a * b + b * b);
    const long double rho1 = SignL(a) * (rho * a - b) / d;
    const long double rho2 = SignL(b) * (rho * b - a) / d;
    const long double delta = (1 - SignL(a) * SignL(b)) / 4.0L;
    return Bivariate(a, 0, rho1) + Bivariate(b, 0, rho2) - delta;
  }
  return 0;  // only reached with an argument that is not a number
}

}  // namespace

double BivariateNormal(long double a, long double b, long double rho) {
  return static_cast<double>(Bivariate(a, b, rho));
}

bool ComputeD1D2(int mode, double S, double X, double r, double q, double T1, double T2, double v,
                 double k1, double k2, double& d1, double& d2) {
  if (S < 0 || X <= 0) {
    d1 = d2 = 0;
    return false;
  }
  const double s = S == 0 ? 1e-17 : S;
  const double b = r - q;
  if (mode == 2) {
    const double vt = v * std::sqrt(T2);
    d1 = (std::log(s / X) + b * T1 + v * v * T2 / 2) / vt;
    d2 = d1 - vt;
  } else {
    const double vt = v * std::sqrt(T1);
    d1 = (std::log(s * k1 / (X * k2)) + T1 * (b + v * v / 2)) / vt;
    d2 = d1 - vt;
  }
  return true;
}

void GaussLegendreNodes(double x1, double x2, std::span<double> nodes, std::span<double> weights) {
  const int n = static_cast<int>(nodes.size());
  const int m = (n + 1) / 2;
  const double xm = (x2 + x1) / 2;
  const double xl = (x2 - x1) / 2;
  for (int i = 1; i <= m; ++i) {
    double z = std::cos(kPi * (i - 0.25) / (n + 0.5));
    double previous = 0;
    double pp = 0;
    do {
      double p1 = 1, p2 = 0;
      for (int j = 1; j <= n; ++j) {
        const double p3 = p2;
        p2 = p1;
        p1 = ((2.0 * j - 1) * z * p2 - (j - 1.0) * p3) / j;
      }
      pp = n * (z * p1 - p2) / (z * z - 1);
      previous = z;
      z = previous - p1 / pp;
    } while (std::fabs(z - previous) > 3e-14);
    nodes[i - 1] = xm - xl * z;
    nodes[n - i] = xm + xl * z;
    weights[i - 1] = weights[n - i] = 2 * xl / ((1 - z * z) * pp * pp);
  }
}

void PeriodicToContinuous(double& rate, double m) {
  if (rate == -1 && m == 1) rate = -0.99999999999999;
  rate = m * std::log(1 + rate / m);
}

namespace {

constexpr const char* kYieldTooNegative =
    "The Yield Rate is too negative for the conversion.  Either increase the Yield Rate or "
    "Decrease the Time until Expiration.";
constexpr const char* kInterestTooNegative =
    "The Interest Rate is too negative for the conversion.  Either increase the Interest Rate or "
    "Decrease the Time until Expiration.";

// Compounding periods per year of the periodic conventions; 0 for the others.
double PeriodsPerYear(int32_t rateType) {
  switch (rateType) {
    case 1:
      return 365;  // Daily
    case 2:
      return 12;  // Monthly
    case 3:
      return 6;  // BiMonthly
    case 4:
      return 4;  // Quarterly
    case 5:
      return 3;  // TriAnnually
    case 6:
      return 2;  // SemiAnnually
    case 10:
      return 2;  // BondEquivelantYield
    default:
      return 0;
  }
}

}  // namespace

bool ConvertRate(double& rate, double T, int32_t rateType, int32_t /*timeFormat*/,
                 int32_t* errorCode, RateKind kind) {
  const bool interest = kind == RateKind::Interest;
  if (rateType < 0 || rateType > 11) {
    if (interest) Fail<IntRateTypeErr>(errorCode, "The InterestRateType is invalid.");
    Fail<YeildRateTypeErr>(errorCode, "The YieldRateType is invalid.");
  }
  switch (rateType) {
    case 0:  // Continuous
      return true;
    case 7:  // Annually
      PeriodicToContinuous(rate, 1);
      return true;
    case 11:  // TermRate: compounded once over the term when it is shorter than a year
      PeriodicToContinuous(rate, T < 1 ? 1 / T : 1);
      return true;
    case 8: {  // LIBOR: money-market rate, actual/360
      const double days = 365 * T;
      if (!(rate * days / 360 > -1)) Fail<YieldRate2NegErr>(errorCode, kYieldTooNegative);
      const double converted = std::log(1 + rate * days / 360) * 365 / days;
      if (converted != 0) rate = converted;
      return true;
    }
    case 9: {  // BankDiscountRate: discount rate, actual/360
      const double days = 365 * T;
      if (days * rate == 360) {
        if (interest) {
          Fail<IntRateTimeErr>(errorCode, "The Interest Rate multiplied by time cannot equal 360.");
        }
        Fail<YeildRateTimeErr>(errorCode, "The Yield Rate multiplied by time cannot equal 360.");
      }
      const double holding = (365 * rate / (360 - days * rate)) * (days / 365);
      if (!(holding > -1)) {
        if (interest) Fail<IntRate2NegErr>(errorCode, kInterestTooNegative);
        Fail<YieldRate2NegErr>(errorCode, kYieldTooNegative);
      }
      const double converted = std::log(1 + holding) * 365 / days;
      if (converted != 0) rate = converted;
      return true;
    }
    default: {  // the periodic conventions; a term shorter than one period compounds once
      double m = PeriodsPerYear(rateType);
      if (T < 1 / m) m = 1;
      PeriodicToContinuous(rate, m);
      return true;
    }
  }
}

}  // namespace quantrel::core
