#pragma once

// ParallelFor lives with the other shared helpers, where the raster layer
// can use it too.
#include "common/parallel_for.h"
