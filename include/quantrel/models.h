// The pricing methods. Each takes a contract's terms and market data and returns one double: the
// value, a sensitivity or an implied input, as OptionFunction asks.
//
// Conventions shared by every method:
// - Inputs follow the published interface order. Omitted optional inputs read as 0: no market
//   price, TimeFormat Days, rate types Continuous (QtyAsset1 and QtyAsset2 default to 1.0).
// - Times are in days (a 365-day year) or years as TimeFormat says; rates are quoted in the
//   enumCompoundRate convention given and converted to continuous compounding.
// - Sensitivities: delta per unit of price, gamma per unit of price squared, theta per calendar
//   day as time passes, vega, rho and psi per percentage point (unscaled with RawSensitivities).
// - A failure throws PricingError with its enumErrCodes value and exact message, and stores the
//   code through ErrorCode when one is given; a floating-point fault inside a model throws
//   MathFault ("EInvalidOp").
// - SkipValidation takes the inputs as already normalised: years, continuous rates, no checks.
#pragma once

#include "quantrel/barrier.h"
#include "quantrel/numerical.h"
#include "quantrel/path_dependent.h"
#include "quantrel/single_asset.h"
#include "quantrel/two_asset.h"
