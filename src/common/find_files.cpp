#include "common/find_files.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

QByteArray UpperAscii(QByteArray s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

char16_t UpperAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

struct Entry {
    QByteArray name; // as the file system holds it
    QString shown;   // decoded, for the order
    unsigned char type = DT_UNKNOWN;
};

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
        // readdir hands over every entry as it stands; QDir would filter
        // them by its own rules.
        DIR* dir = opendir(QFile::encodeName(base).constData());
        if (!dir)
            return true;
        struct stat self {};
        if (fstat(dirfd(dir), &self) == 0 && !entered.insert({self.st_dev, self.st_ino}).second) {
            closedir(dir);
            return true;
        }
        std::vector<Entry> entries;
        while (const dirent* entry = readdir(dir)) {
            QByteArray name(entry->d_name);
            if (name.startsWith('.'))
                continue;
            QString shown = QFile::decodeName(name);
            entries.push_back({std::move(name), std::move(shown), entry->d_type});
        }
        closedir(dir);
        // The disk's own order differs from machine to machine.
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return FileNameLess(a.shown, b.shown); });
        bool going = true;
        for (auto entry = entries.cbegin(); going && entry != entries.cend(); ++entry) {
            const QString path = base + entry->shown;
            bool isDir = entry->type == DT_DIR;
            if (entry->type == DT_UNKNOWN || entry->type == DT_LNK) {
                struct stat st {};
                isDir = stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
            }
            if (isDir) {
                going = (*visit)(path + QLatin1Char('/'), true);
                if (going && recursive)
                    going = Run(path);
            } else if (matchAll || UpperAscii(entry->name).contains(needle)) {
                going = (*visit)(path, false);
            }
        }
        return going;
    }
};

} // namespace

bool FileNameLess(const QString& a, const QString& b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = UpperAscii(a[i].unicode());
        const char16_t y = UpperAscii(b[i].unicode());
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

void SortFileNames(QStringList& names) {
    std::sort(names.begin(), names.end(), FileNameLess);
}

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
