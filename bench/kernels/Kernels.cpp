// The models whose kernels bench/kernel_cost.cpp times, compiled from their own sources.
#include "bench/KernelHook.h"

#include "models/path_dependent/Asian.cpp"
#include "models/path_dependent/Lookback.cpp"
#include "models/path_dependent/LookbackFixed.cpp"
#include "models/single_asset/Chooser.cpp"
#include "models/single_asset/Executive.cpp"
#include "models/single_asset/ForwardStart.cpp"
