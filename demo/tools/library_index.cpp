#include "library_index.h"

#include "common/text_file.h"

#include <QFileInfo>

namespace {

QString CmText(double cm) {
    return QString::number(cm, 'g', 6);
}

} // namespace

QString PackedPage::RelativePath() const {
    QString folder = setFolder;
    folder.replace('/', '\\');
    return QStringLiteral("%1\\%2.temp").arg(folder).arg(number);
}

QString ProportionText(double widthCm, double heightCm) {
    return QString::number(heightCm / widthCm, 'g', 4);
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
        files.append(QStringLiteral("%1;%2").arg(packed.size()).arg(page.RelativePath()));
        if (page.number != 1)
            continue;
        sets.append(QStringLiteral("<i><p>%1</p><n>%2</n><w>%3</w><h>%4</h><f>%5</f></i>")
                        .arg(page.RelativePath())
                        .arg(page.slotCount)
                        .arg(CmText(page.widthCm), CmText(page.heightCm),
                             ProportionText(page.widthCm, page.heightCm)));
    }
    if (!WriteGbkLines(templateFolder + "/list.txt", files) ||
        !WriteGbkLines(templateFolder + "/list2.txt", sets)) {
        error = "cannot write the library index in " + templateFolder;
        return false;
    }
    return true;
}
