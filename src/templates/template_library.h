#pragma once

#include <QString>
#include <QStringList>

// The metadata of the template sets from "list2.txt": five lists indexed
// alike, one element per set, values as written (empty where a field was
// missing).
struct SetIndex {
    QStringList paths;       // <p>: first page relative to the template folder, backslashes
    QStringList slotCounts;  // <n>
    QStringList widths;      // <w>, centimetres
    QStringList heights;     // <h>, centimetres
    QStringList proportions; // <f>
    int size() const { return static_cast<int>(paths.size()); }
};

// The label of a template page in the template list: the set key, "-", and
// the page's file name lowercased with every ".temp" removed.
QString TemplateThumbnailLabel(const QString& setKey, const QString& pagePath);

// The template set shown in the template list: its folder (no trailing "/"),
// its key ("婚纱-<group>-<set>") and its existing pages 1 to 100 in order.
struct OpenTemplateSet {
    QString folder;
    QString key;
    QStringList pages; // full paths

    // The label of each page: key, "-", file name lowercased without ".temp".
    QStringList Labels() const;
    // The page at a list position, empty outside the list.
    QString PagePath(int position) const;
};

// The in-memory index of the template library under <base>/模板, filled once
// when the main window starts. Full paths are local paths with "/"; the set
// index keeps the relative paths of "list2.txt" with their backslashes since
// it is looked up by them.
class TemplateLibrary {
public:
    // root: the template folder; by default <base>/模板.
    TemplateLibrary();
    explicit TemplateLibrary(const QString& root);

    // Reads "list.txt" and "list2.txt", searches the disk and opens the
    // first set found.
    void Load();
    // The steps of Load, each replacing what it fills. Missing files leave
    // their lists empty.
    void ReadFileList(); // list.txt -> set folders, group folders
    void TakeFileListLine(const QString& line);
    void ReadSetIndex();    // list2.txt -> set index
    void SearchTemplates(); // *.temp on disk -> template list, set list
    // Opens the folder of the first template found; false (nothing opened)
    // when there is none.
    bool OpenInitialSet();

    // Rebuilds the open set from folder (trailing separators ignored) and
    // returns its page list; the caller shows it in the template list.
    const QStringList& OpenSet(const QString& folder);

    // Index of the first set index element whose path equals
    // relativePagePath exactly, or -1.
    int FindSetInfo(const QString& relativePagePath) const;
    // Whether folder occurs in list (exact comparison); list is
    // setFolders() or groupFolders().
    static bool IsListed(const QString& folder, const QStringList& list);

    const QString& root() const { return root_; }
    const QStringList& setFolders() const { return setFolders_; }
    const QStringList& groupFolders() const { return groupFolders_; }
    const QStringList& templates() const { return templates_; }
    const QStringList& sets() const { return sets_; }
    const SetIndex& setIndex() const { return setIndex_; }
    const OpenTemplateSet& openSet() const { return openSet_; }
    // "list.txt" lines refused because their path would leave the template
    // folder (absolute, drive letter, "..").
    int unsafeLinesSkipped() const { return unsafeLinesSkipped_; }

    // A template test run takes the templates one by one from the front.
    void DropFirstTemplate();

private:
    QString root_;
    QStringList setFolders_;
    QStringList groupFolders_;
    QStringList templates_;
    QStringList sets_;
    SetIndex setIndex_;
    OpenTemplateSet openSet_;
    int unsafeLinesSkipped_ = 0;
};

// The file list "list.txt" and the set index "list2.txt" in the template root.
constexpr const char* kFileListName = "list.txt";
constexpr const char* kSetIndexName = "list2.txt";
// How much of them is read: far more than any library (the demo library has
// 108 sets), while a damaged or hostile index cannot take all memory. Lines
// of "list.txt" and sets of "list2.txt" past the first kMaxIndexEntries are
// left out; a "list2.txt" above kMaxSetIndexBytes is not read.
constexpr int kMaxIndexEntries = 100000;
constexpr qint64 kMaxSetIndexBytes = qint64(16) << 20;
