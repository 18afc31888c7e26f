// Path-dependent closed forms: lookbacks, extreme spreads, average options. Conventions: see
// quantrel/models.h.
#pragma once

#include <cstdint>

namespace quantrel {}  // namespace quantrel
