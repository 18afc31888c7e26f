// Prices a forward-start call and prints its value, sensitivities and implied volatility.
#include <cstdio>

#include "quantrel/quantrel.h"

int main() {
  using namespace quantrel;
  // A call struck at the money in a quarter of a year, expiring in a year.
  const double S = 60, t1 = 0.25, T = 1, v = 0.3, r = 0.08, q = 0.04, alpha = 1.0;
  auto price = [&](int32_t function, double marketPrice = 0) {
    return ForwardStart(CallOption, function, S, t1, T, v, r, q, alpha, marketPrice, Years,
                        Continuous, Continuous);
  };
  std::printf("Forward-start call: S=%g, TimeStart=%g, TimeExpire=%g years, vol=%g, r=%g, q=%g\n",
              S, t1, T, v, r, q);
  const struct {
    const char* name;
    int32_t code;
  } rows[] = {{"Value", Theoretical_FS},     {"Delta", Delta_FS},        {"Gamma", Gamma_FS},
              {"Theta (per day)", Theta_FS}, {"Vega (per 1%)", Vega_FS}, {"Rho (per 1%)", Rho_FS},
              {"Psi (per 1%)", Psi_FS},      {"Lambda", Lambda_FS}};
  for (const auto& row : rows) std::printf("  %-16s %12.6f\n", row.name, price(row.code));
  const double value = price(Theoretical_FS);
  std::printf("  %-16s %12.6f\n", "Implied vol", price(ImpliedVol_FS, value));
  try {
    price(ImpliedStrike, value);  // a forward-start option has no strike to imply
  } catch (const PricingError& e) {
    std::printf("  ImpliedStrike    fails: 0x%08X %s\n", static_cast<unsigned>(e.code()), e.what());
  }
  return 0;
}
