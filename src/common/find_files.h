#pragma once

#include <QStringList>
#include <functional>

struct FoundFiles {
    QStringList folders; // each with a trailing "/"
    QStringList files;
    QStringList all() const { return folders + files; }
};

// Lists folder in the file system's own order, skipping names that begin with
// ".". A file matches when pattern is "*" or "*.*", or when its upper-cased
// name contains the upper-cased text from the pattern's last "." on.
// Sub-folders are searched where they are met when recursive is set. A folder
// reached a second time (through a link back up the tree) is listed but not
// searched again, so a link loop cannot make the search endless.
FoundFiles FindFiles(const QString& folder, const QString& pattern, bool recursive);

// The same search, handing every sub-folder (with its trailing "/") and every
// matching file to visit at the moment it is met. The search ends as soon as
// visit returns false, so a caller that needs only the first few results does
// not walk the whole tree.
void VisitFoundFiles(const QString& folder, const QString& pattern, bool recursive,
                     const std::function<bool(const QString& path, bool isFolder)>& visit);
