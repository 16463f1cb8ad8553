#include "library_index.h"

#include "common/text_file.h"
#include "templates/index_files.h"

#include <QFileInfo>

QString PackedPage::RelativePath() const {
    QString folder = setFolder;
    folder.replace('/', '\\');
    return QStringLiteral("%1\\%2.temp").arg(folder).arg(number);
}

bool WriteLibraryIndex(const QString& templateFolder, const QList<PackedPage>& pages,
                       QString& error) {
    QStringList files;
    QStringList sets;
    for (const PackedPage& page : pages) {
        const QFileInfo packed(templateFolder + "/" + page.setFolder + "/" +
                               QString::number(page.number) + ".temp");
        if (!packed.isFile()) {
            error = "missing packed page " + packed.filePath();
            return false;
        }
        files.append(FileListLine(packed.size(), page.RelativePath()));
        if (page.number != 1)
            continue;
        sets.append(
            SetIndexItem({page.RelativePath(), page.slotCount, page.widthCm, page.heightCm}));
    }
    if (!WriteGbkLines(templateFolder + "/list.txt", files) ||
        !WriteGbkLines(templateFolder + "/list2.txt", sets)) {
        error = "cannot write the library index in " + templateFolder;
        return false;
    }
    return true;
}
