#include "common/startup.h"

#include "common/base_dir.h"

#include <QImageReader>

bool InitProcess(QStringList& args) {
    QImageReader::setAllocationLimit(1024);
    return InitBaseDir(args);
}
