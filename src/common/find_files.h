#pragma once

#include <QStringList>
#include <functional>

struct FoundFiles {
    QStringList folders; // each with a trailing "/"
    QStringList files;
    QStringList all() const { return folders + files; }
};

// The order in which the studio's file system lists the names of a folder:
// character by character (UTF-16 code units), with a to z taken as A to Z;
// no locale. Names that differ only in the case of a to z, which that file
// system cannot hold side by side, follow their exact code units. Every
// listing of the studio's folders comes in this order, so that two machines
// holding the same files show the same lists and draw the same albums.
bool FileNameLess(const QString& a, const QString& b);
// names sorted by FileNameLess.
void SortFileNames(QStringList& names);

// Lists folder in FileNameLess order of its names, skipping names that begin
// with ".". A file matches when pattern is "*" or "*.*", or when its upper-cased
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
