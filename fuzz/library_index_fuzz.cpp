// The template library's index files "list.txt" and "list2.txt" as they
// arrive from the template server. Input: list.txt, list2.txt, as parts.
// No folder taken from list.txt may lie outside the template folder.

#include "fuzz_support.h"

#include "templates/template_library.h"

#include <QDir>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = SplitInput(InputBytes(data, size), 2);
    const QString root =
        QFileInfo(WriteScratch(QStringLiteral("library/list.txt"), parts[0])).path();
    WriteScratch(QStringLiteral("library/list2.txt"), parts[1]);
    TemplateLibrary library(root);
    library.ReadFileList();
    library.ReadSetIndex();
    const QString top = QDir::cleanPath(root);
    for (const QStringList* folders : {&library.setFolders(), &library.groupFolders()}) {
        for (const QString& folder : *folders) {
            const QString clean = QDir::cleanPath(folder);
            FuzzExpect(clean == top || clean.startsWith(top + QLatin1Char('/')),
                       "every listed folder inside the template folder");
        }
    }
    const SetIndex& index = library.setIndex();
    FuzzExpect(index.slotCounts.size() == index.size() && index.widths.size() == index.size() &&
                   index.heights.size() == index.size() && index.proportions.size() == index.size(),
               "the set index's lists to stay alike");
    for (const QString& path : index.paths)
        library.FindSetInfo(path);
    return 0;
}
