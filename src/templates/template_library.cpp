#include "templates/template_library.h"

#include "common/extract_tag.h"
#include "common/find_files.h"
#include "common/text_file.h"
#include "templates/library_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

constexpr int kMaxPage = 100;

QString TrimTrailingSpace(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

QString FileName(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

QString TemplateThumbnailLabel(const QString& setKey, const QString& pagePath) {
    return setKey + QLatin1Char('-') + FileName(pagePath).toLower().remove(QLatin1String(".temp"));
}

QStringList OpenTemplateSet::Labels() const {
    QStringList labels;
    labels.reserve(pages.size());
    for (const QString& page : pages)
        labels.append(TemplateThumbnailLabel(key, page));
    return labels;
}

QString OpenTemplateSet::PagePath(int position) const {
    if (position < 0 || position >= pages.size())
        return {};
    return pages[position];
}

TemplateLibrary::TemplateLibrary() : TemplateLibrary(TemplateRoot()) {}

TemplateLibrary::TemplateLibrary(const QString& root) : root_(root) {
    while (root_.size() > 1 && root_.endsWith(QLatin1Char('/')))
        root_.chop(1);
}

void TemplateLibrary::Load() {
    ReadFileList();
    ReadSetIndex();
    SearchTemplates();
    OpenInitialSet();
}

void TemplateLibrary::ReadFileList() {
    setFolders_.clear();
    groupFolders_.clear();
    unsafeLinesSkipped_ = 0;
    ForEachGbkLine(root_ + QLatin1Char('/') + QLatin1String(kFileListName), kMaxIndexEntries,
                   [this](const QString& line) {
                       TakeFileListLine(line);
                       return true;
                   });
}

void TemplateLibrary::TakeFileListLine(const QString& line) {
    const qsizetype semicolon = line.indexOf(QLatin1Char(';'));
    if (semicolon < 0)
        return;
    const QString path = TrimTrailingSpace(line.mid(semicolon + 1));
    const qsizetype fileCut = path.lastIndexOf(QLatin1Char('\\'));
    if (fileCut < 0)
        return;
    // The folders become local paths, so a line that would name a folder
    // outside the library is not taken at all.
    if (!IsSafeLibraryPath(path)) {
        ++unsafeLinesSkipped_;
        return;
    }
    const QString setFolder = path.left(fileCut);
    setFolders_.append(LibraryLocalPath(root_, setFolder));
    const qsizetype folderCut = setFolder.lastIndexOf(QLatin1Char('\\'));
    if (folderCut < 0)
        return;
    groupFolders_.append(LibraryLocalPath(root_, setFolder.left(folderCut)));
}

void TemplateLibrary::ReadSetIndex() {
    setIndex_ = SetIndex();
    const QString path = root_ + QLatin1Char('/') + QLatin1String(kSetIndexName);
    if (QFileInfo(path).size() > kMaxSetIndexBytes)
        return;
    // Line breaks carry no meaning in this file.
    const QString text = ReadJoinedGbk(path);
    for (QString item : ExtractEveryTag(text, QStringLiteral("<i>"), kMaxIndexEntries)) {
        setIndex_.paths.append(ExtractTag(item, QStringLiteral("<p>")));
        setIndex_.slotCounts.append(ExtractTag(item, QStringLiteral("<n>")));
        setIndex_.widths.append(ExtractTag(item, QStringLiteral("<w>")));
        setIndex_.heights.append(ExtractTag(item, QStringLiteral("<h>")));
        setIndex_.proportions.append(ExtractTag(item, QStringLiteral("<f>")));
    }
}

void TemplateLibrary::SearchTemplates() {
    templates_ = FindFiles(root_, QStringLiteral("*.temp"), true).files;
    sets_.clear();
    for (const QString& path : templates_)
        if (FileName(path) == QLatin1String("1.temp"))
            sets_.append(path);
}

bool TemplateLibrary::OpenInitialSet() {
    if (templates_.isEmpty())
        return false;
    const QString& first = templates_.first();
    OpenSet(first.left(first.lastIndexOf(QLatin1Char('/'))));
    return true;
}

const QStringList& TemplateLibrary::OpenSet(const QString& folder) {
    OpenTemplateSet set;
    set.folder = folder;
    while (set.folder.size() > 1 &&
           (set.folder.endsWith(QLatin1Char('/')) || set.folder.endsWith(QLatin1Char('\\'))))
        set.folder.chop(1);

    const QString prefix = root_ + QLatin1Char('/');
    // The template folder itself has nothing after the prefix: its key is empty.
    if (set.folder == root_)
        set.key.clear();
    else
        set.key = set.folder.startsWith(prefix) ? set.folder.mid(prefix.size()) : set.folder;
    set.key.replace(QLatin1Char('/'), QLatin1Char('-'));
    set.key.replace(QLatin1Char('\\'), QLatin1Char('-'));

    // Packages come from Windows, where "3.TEMP" answers to "3.temp"; one
    // listing of the folder finds such names without a lookup per number.
    QHash<QString, QString> byLowerName;
    QStringList files =
        set.folder.isEmpty() ? QStringList() : QDir(set.folder).entryList(QDir::Files);
    SortFileNames(files);
    for (const QString& file : files) {
        const QString lower = file.toLower();
        if (file == lower || !byLowerName.contains(lower))
            byLowerName.insert(lower, file);
    }
    for (int page = 1; page <= kMaxPage; ++page) {
        const auto found = byLowerName.constFind(QStringLiteral("%1.temp").arg(page));
        if (found != byLowerName.constEnd())
            set.pages.append(set.folder + QLatin1Char('/') + *found);
    }
    openSet_ = std::move(set);
    return openSet_.pages;
}

int TemplateLibrary::FindSetInfo(const QString& relativePagePath) const {
    return static_cast<int>(setIndex_.paths.indexOf(relativePagePath));
}

bool TemplateLibrary::IsListed(const QString& folder, const QStringList& list) {
    return list.contains(folder);
}

void TemplateLibrary::DropFirstTemplate() {
    if (!templates_.isEmpty())
        templates_.removeFirst();
}
