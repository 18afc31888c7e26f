// Quantrel: pricing models for exotic options.
#pragma once

#include "quantrel/enums.h"
#include "quantrel/errors.h"
#include "quantrel/models.h"
