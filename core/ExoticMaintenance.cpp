#include "core/ExoticMaintenance.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/Failure.h"
#include "core/OptionStatistics.h"

namespace quantrel::core {

// Times of at least 1e-7 years. Floors that would make a date meet or pass a later one keep the
// dates in their order and the later one as far after the earlier as it was, so an intermediate
// date just before a very short expiry stays before it.
void FloorShortTimes(std::array<double, 3>& given, bool startFloored) {
  struct Time {
    double* slot;
    double given;
  };
  std::array<Time, 3> times{};
  size_t n = 0;
  times[n++] = {&given[0], given[0]};
  if (startFloored) times[n++] = {&given[1], given[1]};
  times[n++] = {&given[2], given[2]};
  std::sort(times.begin(), times.begin() + n,
            [](const Time& a, const Time& b) { return a.given < b.given; });
  for (size_t i = 0; i < n; ++i) {
    double& t = *times[i].slot;
    if (i > 0 && times[i].given == times[i - 1].given) {
      t = *times[i - 1].slot;  // equal dates stay equal
      continue;
    }
    if (t < 1e-7) t = 1e-7;
    if (i > 0 && !(t > *times[i - 1].slot)) {
      t = *times[i - 1].slot + (times[i].given - times[i - 1].given);
    }
  }
}

Bumps SetUpBumps(int32_t code, double x1, double x2, double x3, double L1, double L2, double L3,
                 double floor1) {
  const double h = IsGammaCode(code) ? kGammaStep : kSmallStep;
  const bool shifted = (L1 == L2 && L2 == L3) || (L2 == L3 && code == result::StrikeSensitivity);
  const std::array<double, 3> x = {x1, x2, x3};
  const std::array<bool, 3> moved = {true, x2 != 0, x3 != 0};

  bool central = !shifted;
  for (int i = 0; i < 3; ++i) {
    if (moved[i] && !(x[i] - h > (i == 0 ? floor1 : 0))) central = false;
  }

  Bumps out{};
  out.step = h;
  out.divisor = central ? 2 : 1;
  const bool gamma = IsGammaCode(code);
  for (int i = 0; i < 3; ++i) {
    const double xi = x[i];
    if (!moved[i]) {
      out.x[i] = {xi, xi, xi};
    } else if (central) {
      out.x[i] = {xi - h, xi, xi + h};
    } else if (shifted) {
      out.x[i] = gamma ? BumpedInput{xi + h, xi + 2 * h, xi + 3 * h}
                       : BumpedInput{xi + h, xi + 2 * h, xi + 2 * h};
    } else {
      out.x[i] = gamma ? BumpedInput{xi, xi + h, xi + 2 * h} : BumpedInput{xi, xi + h, xi + h};
    }
  }
  return out;
}

double ShiftBarrier(double S, double H, double v, int32_t monitoring, int32_t* errorCode) {
  if (monitoring == 0) return H;
  static constexpr double kInterval[] = {0,        1.0 / 8760, 1.0 / 365, 1.0 / 52,
                                         1.0 / 12, 0.25,       0.5,       1.0};
  if (monitoring < 0 || monitoring > 7) {
    Fail<MonitoringErr>(errorCode, "The Barrier Monitoring is invalid.");
  }
  const double shift = 0.5826 * v * std::sqrt(kInterval[monitoring]);
  if (H > S) return H * std::exp(shift);
  if (H < S) return H * std::exp(-shift);
  return H;
}

double FiniteDifference(int32_t code, double fDown, double fMid, double fUp, int32_t divisor,
                        double step) {
  if (IsGammaCode(code)) return ((fUp - fMid) / step - (fMid - fDown) / step) / step;
  const double quotient = (fUp - fDown) / (step * divisor);
  if (code == result::Theta) return static_cast<double>(quotient * -0.002739726027397260274L);
  return quotient;
}

}  // namespace quantrel::core
