#pragma once

#include <QSize>
#include <QString>

// What a full-size page image says of itself, read from its header only:
// its pixel size and the resolution stored in it (0 when none). An invalid
// size when the file is missing or no picture.
struct PageImageInfo {
    QSize size;
    int dpi = 0;
};

PageImageInfo ReadPageImageInfo(const QString& path);
