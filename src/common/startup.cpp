#include "common/startup.h"

#include "common/base_dir.h"
#include "common/install_layout.h"
#include "common/starter_library.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>

#include <cstdio>

bool InitProcess(QStringList& args) {
    QImageReader::setAllocationLimit(1024);
    return InitBaseDir(args);
}

void StockStudio() {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QString source = StarterLibraryDir(QCoreApplication::applicationDirPath());
    QString error;
    switch (StockNewStudio(BaseDir(), source, &error)) {
    case StarterCopy::Copied:
        std::fprintf(stderr, "%s: demo template library copied into %s\n", qPrintable(program),
                     BaseDir().toLocal8Bit().constData());
        break;
    case StarterCopy::Failed:
        std::fprintf(stderr, "%s: the demo template library could not be copied: %s\n",
                     qPrintable(program), error.toLocal8Bit().constData());
        break;
    case StarterCopy::NotNeeded:
    case StarterCopy::NothingToCopy:
        break;
    }
}
