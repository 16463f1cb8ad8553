#pragma once

#include <QString>

enum class StarterCopy {
    NotNeeded,     // the studio already has its template library
    NothingToCopy, // the source has no library
    Copied,
    Failed,
};

// Stocks a new studio: when base has no "模板" folder, the source's "模板" is
// copied in, and its "样片" too when base has no "样片". Each folder is
// copied under a temporary name and renamed when whole, so a copy that stops
// half-way (full disk, killed program) is started afresh next time instead of
// leaving a studio with half a library. On Failed, error says why.
StarterCopy StockNewStudio(const QString& base, const QString& source, QString* error = nullptr);
