#pragma once

#include <QStringList>

struct FoundFiles {
    QStringList folders; // each with a trailing "/"
    QStringList files;
    QStringList all() const { return folders + files; }
};

// Lists folder in the file system's own order, skipping names that begin with
// ".". A file matches when pattern is "*" or "*.*", or when its upper-cased
// name contains the upper-cased text from the pattern's last "." on.
// Sub-folders are searched where they are met when recursive is set.
FoundFiles FindFiles(const QString& folder, const QString& pattern, bool recursive);
