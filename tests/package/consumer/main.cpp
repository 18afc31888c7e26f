#include <quantrel/quantrel.h>

#include <cstdio>

int main() {
  const double value = quantrel::ForwardStart(quantrel::CallOption, quantrel::Theoretical_FS, 60,
                                              0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, quantrel::Years);
  std::printf("forward-start call %.6f\n", value);
  return value > 0 ? 0 : 1;
}
