// Exchange option: the right to receive QtyAsset1 units of asset 1 for QtyAsset2 units of asset 2,
// at expiry (Margrabe) or at any time before (the Bjerksund-Stensland American call on the
// exchange problem, with asset 2 as the numeraire).
#include "models/two_asset/Exchange.h"

#include <algorithm>
#include <cmath>

#include "core/ModelEntry.h"
#include "core/Plainoptionsex.h"
#include "core/TwoAsset.h"
#include "core/TwoAssetSearch.h"

namespace quantrel {

using namespace core;

double EuropeanExchangeValue(double S1, double S2, double T, double v1, double v2, double q1,
                             double q2, double rho, double Q1, double Q2) {
  const double asset1 = Q1 * (S1 == 0 ? 1e-17 : S1);
  return EuropeanOrLimit(1, asset1, Q2 * S2, T, CombinedVolatility(v1, v2, rho), q2, q1);
}

namespace {

// The American value with the second asset as the numeraire: a call on A = Q1 S1 struck at
// X = Q2 S2 with the rate q2 and the carry q2 - q1, worth at least the European exchange and
// what exercise now gives.
double AmericanExchangeValue(double A, double X, double T, double v, double q1, double q2) {
  const double european = EuropeanOrLimit(1, A, X, T, v, q2, q1);
  const double now = A - X;
  const double r = q2, b = q2 - q1;
  double value = 0;
  if (v * std::sqrt(T) <= kNoSpread) {
    // The price ratio is certain: exercise at the best of now, expiry or the date where the
    // discounted gain A e^(-q1 t) - X e^(-q2 t) turns.
    value = european;
    if (q1 * q2 > 0 && q1 != q2) {
      const double t = std::log(q1 * A / (q2 * X)) / (q1 - q2);
      if (t > 0 && t < T) value = std::max(value, A * std::exp(-q1 * t) - X * std::exp(-q2 * t));
    }
  } else if (b >= r || (b / (v * v) - 0.5) * (b / (v * v) - 0.5) + 2 * r / (v * v) >= 0) {
    // A negative rate can leave the approximation's exponent without a real root: it is skipped
    // there and the value rests on its two lower bounds.
    value = BjerksundStenslandCall(A, X, T, v, r, b);
  }
  // The approximation's own fallback gives 0 where the rate q2 is not > 0; an American option is
  // never worth less than the European one or than exercise now.
  return std::max({value, european, now, 0.0});
}

struct ExchangeModel {
  using Arguments = ExchangeArguments;
  struct Own {
    int32_t exercise;  // 0 American, anything else European
    double Q1, Q2;
  };
  using Inputs = TwoAssetContract<Own>;
  // The model has no interest rate: the common checks see a fixed continuous 5%.
  static Own Bind(const Arguments& a, Market& m) {
    m.r = 0.05;
    m.rateType = 0;
    return {.exercise = a.ExerciseType, .Q1 = a.QtyAsset1, .Q2 = a.QtyAsset2};
  }
  static constexpr Slots<Inputs> kSlots{.quantity1 = &Inputs::Q1, .quantity2 = &Inputs::Q2};

  static double Value(const Inputs& in) {
    double value;
    if (in.exercise == 0) {
      const double A = in.Q1 * (in.S == 0 ? 1e-17 : in.S), X = in.Q2 * in.S2;
      value =
          AmericanExchangeValue(A, X, in.T, CombinedVolatility(in.v, in.v2, in.rho), in.q, in.q2);
    } else {
      value =
          EuropeanExchangeValue(in.S, in.S2, in.T, in.v, in.v2, in.q, in.q2, in.rho, in.Q1, in.Q2);
    }
    return value >= 0 ? value : 0;
  }

  static double Implied(int32_t code, const Inputs& in, int32_t* err) {
    return TwoAssetSearch<ExchangeModel>(in, code, err);
  }
};

}  // namespace

QUANTREL_ENTRY(ExchangeModel)

}  // namespace quantrel
