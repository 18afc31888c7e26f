/* The C interface: every pricing method as a plain function returning its status (0 on
 * success) and writing its answer through Result, for programs in any language that can call C.
 * After a failure the calling thread's error information describes it; each call resets it. */
#ifndef QUANTREL_QUANTREL_C_H
#define QUANTREL_QUANTREL_C_H

#include <stdint.h>

#include "quantrel/export.h"

#ifdef __cplusplus
extern "C" {
#endif

#ifndef QUANTREL_UNPAREN
#define QUANTREL_UNPAREN(...) __VA_ARGS__
#endif

/* int32_t Quantrel_<Method>(<inputs in interface order>, double* Result); for example
 * Quantrel_ForwardStart(OptionType, OptionFunction, AssetPrice, TimeStart, TimeExpire,
 *                       Volatility, InterestRate, YieldRate, Alpha, MarketPrice, TimeFormat,
 *                       InterestRateType, YieldRateType, &result). */
#define QUANTREL_METHOD(name, params, args) \
  QUANTREL_API int32_t Quantrel_##name(QUANTREL_UNPAREN params, double* Result);
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

/* Calls a method by name. With names NULL the count values are the first inputs in interface
 * order; otherwise names[i] names the input that values[i] is for. Omitted optional inputs take
 * their defaults; enumeration and count inputs take the value rounded to an integer. Returns the
 * method's status, or an automation status (0x8002xxxx) for a wrong call, described by the error
 * information. */
QUANTREL_API int32_t Quantrel_Invoke(const char* method, int32_t count, const char* const* names,
                                     const double* values, double* Result);

/* The calling thread's error information after a failed call (0 and empty texts after success).
 * The texts stay valid until the thread's next call. */
QUANTREL_API int32_t Quantrel_ErrorCode(void);
QUANTREL_API const char* Quantrel_ErrorDescription(void);
QUANTREL_API const char* Quantrel_ErrorSource(void);
QUANTREL_API const char* Quantrel_ErrorHelpFile(void);
QUANTREL_API int32_t Quantrel_ErrorHelpContext(void);

/* The calling thread's Monte Carlo seed (OptionsMC, AsianMC, LookbackMC, AsianSpreadMC): while one
 * is set, every Monte Carlo call on the thread seeds its generator from it and the same seed gives
 * the same value bit for bit; cleared, each call seeds from the clock in whole seconds (the
 * default). Quantrel_Invoke also takes a value named "Seed" for one call of these methods. */
QUANTREL_API void Quantrel_SetSeed(uint32_t seed);
QUANTREL_API void Quantrel_ClearSeed(void);

#ifdef __cplusplus
}
#endif

#endif
