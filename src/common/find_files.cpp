#include "common/find_files.h"

#include <QFile>

#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace {

QByteArray UpperAscii(QByteArray s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

struct Search {
    bool matchAll = false;
    QByteArray needle;
    bool recursive = false;
    const std::function<bool(const QString&, bool)>* visit = nullptr;
    // Device and inode of every folder entered.
    std::set<std::pair<dev_t, ino_t>> entered;

    // False once the visitor asked to stop.
    bool Run(const QString& folder) {
        QString base = folder;
        if (!base.endsWith(QLatin1Char('/')))
            base += QLatin1Char('/');
        // readdir gives the entries in the order the file system keeps them,
        // which QDir would sort or filter.
        DIR* dir = opendir(QFile::encodeName(base).constData());
        if (!dir)
            return true;
        struct stat self {};
        if (fstat(dirfd(dir), &self) == 0 && !entered.insert({self.st_dev, self.st_ino}).second) {
            closedir(dir);
            return true;
        }
        bool going = true;
        while (going) {
            const dirent* entry = readdir(dir);
            if (!entry)
                break;
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
                going = (*visit)(path + QLatin1Char('/'), true);
                if (going && recursive)
                    going = Run(path);
            } else if (matchAll || UpperAscii(name).contains(needle)) {
                going = (*visit)(path, false);
            }
        }
        closedir(dir);
        return going;
    }
};

} // namespace

void VisitFoundFiles(const QString& folder, const QString& pattern, bool recursive,
                     const std::function<bool(const QString& path, bool isFolder)>& visit) {
    Search search;
    search.matchAll = pattern == QLatin1String("*") || pattern == QLatin1String("*.*");
    const qsizetype dot = pattern.lastIndexOf(QLatin1Char('.'));
    search.needle = UpperAscii(QFile::encodeName(dot >= 0 ? pattern.mid(dot) : pattern));
    search.recursive = recursive;
    search.visit = &visit;
    search.Run(folder);
}

FoundFiles FindFiles(const QString& folder, const QString& pattern, bool recursive) {
    FoundFiles out;
    VisitFoundFiles(folder, pattern, recursive, [&out](const QString& path, bool isFolder) {
        (isFolder ? out.folders : out.files).append(path);
        return true;
    });
    return out;
}
