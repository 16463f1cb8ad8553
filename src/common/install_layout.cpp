#include "common/install_layout.h"

#include <QDir>
#include <QFileInfo>

QString ProgramVersion() {
    return QStringLiteral(TAOBAN_VERSION);
}

QString InstalledDataDir(const QString& programDir) {
    return QDir::cleanPath(programDir + QLatin1Char('/') + QStringLiteral(TAOBAN_BIN_TO_DATA));
}

QString StarterLibraryDir(const QString& programDir) {
    const QString chosen = qEnvironmentVariable("TAOBAN_DEMO_DIR");
    if (!chosen.isEmpty())
        return chosen;
    const QString beside = programDir + QStringLiteral("/demo");
    if (QFileInfo(beside + QStringLiteral("/模板")).isDir())
        return beside;
    return InstalledDataDir(programDir) + QStringLiteral("/demo");
}
