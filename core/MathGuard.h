// Stand-in for a math-library error callback: a computation run under the guard that raises a
// domain error, a pole or an overflow in the floating-point environment, or that ends in a value
// that is not finite, becomes a MathFault ("EInvalidOp"). Underflow and inexact results are
// ordinary and pass. Guards nest (the implied-value searches re-enter model entries); the flags
// are cleared only when the outermost guard starts, so a fault anywhere inside is seen.
#pragma once

#include <cfenv>
#include <cmath>
#include <optional>

#include "quantrel/errors.h"

namespace quantrel::core {

inline constexpr int kMathFaultFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

namespace detail {
// How deep the calls on this thread are nested in guarded computations. Read on every call: on
// ELF systems it lives in the static TLS block, reached without a look-up.
#if defined(__ELF__)
[[gnu::tls_model("initial-exec")]]
#endif
inline thread_local int t_guardDepth = 0;

// The pending fault flags. On x86-64 the SSE and x87 status words are read directly (the x87 one
// matters for extended-precision work); the flag bits there are those of <cfenv>. Reading the x87
// word waits for x87 work still in flight, so a caller may read it apart, before its own.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
static_assert(FE_INVALID == 0x01 && FE_DIVBYZERO == 0x04 && FE_OVERFLOW == 0x08);
inline int PendingX87Faults() {
  unsigned short x87;
  __asm__ volatile("fnstsw %0" : "=am"(x87)::"memory");
  return x87 & kMathFaultFlags;
}
inline int PendingSseFaults() {
  return static_cast<int>(__builtin_ia32_stmxcsr()) & kMathFaultFlags;
}
#else
inline int PendingX87Faults() {
  return 0;
}
inline int PendingSseFaults() {
  return std::fetestexcept(kMathFaultFlags);
}
#endif
inline int PendingFaults() {
  return PendingSseFaults() | PendingX87Faults();
}
}  // namespace detail

// `x87Before` is the x87 part of the flags as the caller read them before work of its own that
// raises none (a model entry reads them before converting times in extended precision); -1 has
// them read here.
template <class Computation>
double RunGuarded(Computation&& compute, int x87Before = -1) {
  // Testing is cheap and clearing is not, so clear only flags left over from earlier work.
  if (detail::t_guardDepth == 0 &&
      (detail::PendingSseFaults() | (x87Before < 0 ? detail::PendingX87Faults() : x87Before))) {
    std::feclearexcept(kMathFaultFlags);
  }
  struct Depth {
    Depth() { ++detail::t_guardDepth; }
    ~Depth() { --detail::t_guardDepth; }
  } depth;
  // The volatile store keeps the compiler from moving the computation past the flag test.
  volatile double stored = compute();
  const double result = stored;
  if (detail::PendingFaults() || !std::isfinite(result)) throw MathFault();
  return result;
}

// Runs a computation whose floating-point faults must not fault the call around it, such as a
// search trying inputs that may lie out of reach: a fault, a MathFault raised inside or a result
// that is not finite gives nothing, and the fault flags are left as they were.
template <class Computation>
std::optional<double> RunQuietly(Computation&& compute) {
  fexcept_t saved;
  std::fegetexceptflag(&saved, kMathFaultFlags);
  std::feclearexcept(kMathFaultFlags);
  std::optional<double> result;
  try {
    volatile double stored = compute();
    const double value = stored;
    if (!detail::PendingFaults() && std::isfinite(value)) result = value;
  } catch (const MathFault&) {
  } catch (...) {
    std::fesetexceptflag(&saved, kMathFaultFlags);
    throw;
  }
  std::fesetexceptflag(&saved, kMathFaultFlags);
  return result;
}

}  // namespace quantrel::core
