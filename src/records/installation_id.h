#pragma once

#include <QString>
#include <functional>

// The installation identifier: ten decimal digits, made on first start and
// kept in the profile (section "Version 1.0", value "id") for good. The
// template server is asked for its address with it.

// Builds an identifier from a source of random numbers in 0..32767: each
// number adds its first decimal digit until there are ten.
QString MakeInstallationId(const std::function<int()>& random);

// The stored identifier; when there is none yet, makes one from the C
// runtime's generator seeded with the time, stores it and returns it.
QString InstallationId();
