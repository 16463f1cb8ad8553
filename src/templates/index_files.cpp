#include "templates/index_files.h"

#include "common/atomic_file.h"
#include "common/find_files.h"
#include "common/gbk.h"
#include "common/text_file.h"
#include "compose/template_body.h"
#include "templates/library_paths.h"
#include "templates/template_library.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Packages are a few megabytes; a page 1 larger than this is none.
constexpr qint64 kMaxPackageBytes = qint64(1) << 30;

QString CmText(double cm) {
    return QString::number(cm, 'g', 6);
}

// Whether the readers get path back as it is: the download takes the text
// after the first ";" without trailing blanks and refuses paths leaving the
// library, the set index cuts items at their tags, and both files are GBK
// with one line per entry.
bool ReadsBack(const QString& relative) {
    if (!IsGbkEncodable(relative) || !IsSafeLibraryPath(relative) || relative.back().isSpace())
        return false;
    for (const QString& part : relative.split('/'))
        if (part.contains('\\'))
            return false;
    for (QChar c : {QChar('<'), QChar('>'), QChar('\r'), QChar('\n')})
        if (relative.contains(c))
            return false;
    return true;
}

} // namespace

QString FileListLine(qint64 size, const QString& relativePath) {
    return QStringLiteral("%1;%2").arg(size).arg(relativePath);
}

QString ProportionText(double widthCm, double heightCm) {
    if (!(widthCm > 0 && heightCm > 0))
        return {};
    return QString::number(heightCm / widthCm, 'g', 4);
}

QString SetIndexItem(const SetIndexRecord& set) {
    return QStringLiteral("<i><p>%1</p><n>%2</n><w>%3</w><h>%4</h><f>%5</f></i>")
        .arg(set.path)
        .arg(set.slotCount)
        .arg(CmText(set.widthCm), CmText(set.heightCm), ProportionText(set.widthCm, set.heightCm));
}

bool PublishLibrary(const QString& folder, PublishedLibrary& published, QString& error) {
    published = PublishedLibrary();
    if (!QFileInfo(folder).isDir()) {
        error = QStringLiteral("%1 is no folder").arg(folder);
        return false;
    }
    const QDir root(folder);
    QStringList files;
    QStringList sets;
    for (const QString& path : FindFiles(folder, QStringLiteral("*.temp"), true).files) {
        const QString relative = root.relativeFilePath(path);
        if (!ReadsBack(relative)) {
            error = QStringLiteral("%1: the name cannot stand in list.txt").arg(relative);
            return false;
        }
        const QString listed = QString(relative).replace('/', '\\');
        files.append(FileListLine(QFileInfo(path).size(), listed));
        if (QFileInfo(path).fileName() != QLatin1String("1.temp"))
            continue;
        QByteArray bytes;
        TemplateBody body;
        if (!ReadWholeFile(path, bytes, kMaxPackageBytes) ||
            ParseTemplateBody(bytes, body) != BodyStatus::Ok) {
            error = QStringLiteral("%1 is no template package").arg(relative);
            return false;
        }
        sets.append(SetIndexItem({listed, static_cast<int>(body.SlotRects().size()),
                                  body.width / 100.0, body.height / 100.0}));
    }
    if (!WriteGbkLines(root.filePath(QLatin1String(kFileListName)), files) ||
        !WriteGbkLines(root.filePath(QLatin1String(kSetIndexName)), sets)) {
        error = QStringLiteral("cannot write the index files into %1").arg(folder);
        return false;
    }
    published = {static_cast<int>(files.size()), static_cast<int>(sets.size())};
    return true;
}
