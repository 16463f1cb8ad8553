#include "common/find_files.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

namespace {

QByteArray UpperAscii(QByteArray s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

void Search(const QString& folder, bool matchAll, const QByteArray& needle, bool recursive,
            FoundFiles& out) {
    QString base = folder;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    // readdir gives the entries in the order the file system keeps them,
    // which QDir would sort or filter.
    DIR* dir = opendir(QFile::encodeName(base).constData());
    if (!dir)
        return;
    while (dirent* entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.'))
            continue;
        const QString path = base + QFile::decodeName(name);
        bool isDir = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat st {};
            isDir = stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (isDir) {
            out.folders.append(path + QLatin1Char('/'));
            if (recursive)
                Search(path, matchAll, needle, recursive, out);
        } else if (matchAll || UpperAscii(name).contains(needle)) {
            out.files.append(path);
        }
    }
    closedir(dir);
}

} // namespace

FoundFiles FindFiles(const QString& folder, const QString& pattern, bool recursive) {
    FoundFiles out;
    const bool matchAll = pattern == QLatin1String("*") || pattern == QLatin1String("*.*");
    const qsizetype dot = pattern.lastIndexOf(QLatin1Char('.'));
    const QByteArray needle =
        UpperAscii(QFile::encodeName(dot >= 0 ? pattern.mid(dot) : pattern));
    Search(folder, matchAll, needle, recursive, out);
    return out;
}
