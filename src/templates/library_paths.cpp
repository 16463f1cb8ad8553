#include "templates/library_paths.h"

#include "common/base_dir.h"

#include <QRegularExpression>

QString TemplateRoot() {
    return BasePath(QStringLiteral("模板"));
}

bool IsSafeLibraryPath(const QString& relative) {
    if (relative.isEmpty())
        return false;
    if (relative.startsWith(QLatin1Char('\\')) || relative.startsWith(QLatin1Char('/')))
        return false;
    // "C:..." names a drive on the machine that wrote the list; a ":" has no
    // business in a library path anywhere else either.
    if (relative.contains(QLatin1Char(':')))
        return false;
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    const QStringList parts = relative.split(separators);
    for (const QString& part : parts) {
        // Trailing dots and blanks are dropped by Windows, so ".. " and
        // "..." climb as well; treat any part made only of them as climbing.
        QString bare = part;
        while (!bare.isEmpty() && (bare.endsWith(QLatin1Char(' ')) || bare.endsWith('.')))
            bare.chop(1);
        if (bare.isEmpty() && part.startsWith(QLatin1String("..")))
            return false;
    }
    for (const QChar c : relative)
        if (c.unicode() < 0x20)
            return false;
    return true;
}

QString LibraryLocalPath(const QString& root, const QString& relative) {
    QString local = relative;
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return root + QLatin1Char('/') + local;
}
