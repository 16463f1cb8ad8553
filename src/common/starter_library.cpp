#include "common/starter_library.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
// Regular files and folders only: links are not followed, so a link inside
// the source can neither loop nor pull in files from elsewhere.
bool CopyFolder(const QString& from, const QString& to, QString* error) {
    if (!QDir().mkpath(to)) {
        *error = QStringLiteral("cannot create %1").arg(to);
        return false;
    }
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    const QDir root(from);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink())
            continue;
        const QString target = to + QLatin1Char('/') + root.relativeFilePath(path);
        const bool ok = info.isDir() ? QDir().mkpath(target) : QFile::copy(path, target);
        if (!ok) {
            *error = QStringLiteral("cannot copy %1 to %2").arg(path, target);
            return false;
        }
    }
    return true;
}

bool CopyWhole(const QString& from, const QString& to, QString* error) {
    const QFileInfo target(to);
    const QString partial = target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                            QStringLiteral(".partial");
    QDir(partial).removeRecursively();
    if (!CopyFolder(from, partial, error) || !QDir().rename(partial, to)) {
        if (error->isEmpty())
            *error = QStringLiteral("cannot rename %1 to %2").arg(partial, to);
        QDir(partial).removeRecursively();
        return false;
    }
    return true;
}
} // namespace

StarterCopy StockNewStudio(const QString& base, const QString& source, QString* error) {
    const QString library = base + QStringLiteral("/模板");
    const QString photos = base + QStringLiteral("/样片");
    if (QFileInfo::exists(library))
        return StarterCopy::NotNeeded;
    const QString sourceLibrary = source + QStringLiteral("/模板");
    const QString sourcePhotos = source + QStringLiteral("/样片");
    if (source.isEmpty() || !QFileInfo(sourceLibrary).isDir())
        return StarterCopy::NothingToCopy;
    QString reason;
    bool ok = CopyWhole(sourceLibrary, library, &reason);
    if (ok && !QFileInfo::exists(photos) && QFileInfo(sourcePhotos).isDir())
        ok = CopyWhole(sourcePhotos, photos, &reason);
    if (!ok && error)
        *error = reason;
    return ok ? StarterCopy::Copied : StarterCopy::Failed;
}
