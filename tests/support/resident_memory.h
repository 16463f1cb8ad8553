#pragma once

#include <QtGlobal>

// The resident memory of this process, in bytes (0 when it cannot be read).
// Soak tests compare it after a long run with its level early in the run.
qint64 ResidentBytes();
