#include "compose/canvas_size_file.h"

#include "common/atomic_file.h"
#include "common/profile.h"

#include <QStringList>

namespace {
QSize ParseSize(const QString& text) {
    const QStringList parts = text.simplified().split(QLatin1Char(' '));
    if (parts.size() != 2)
        return {};
    bool okW = false, okH = false;
    const int w = parts[0].toInt(&okW);
    const int h = parts[1].toInt(&okH);
    if (!okW || !okH || w <= 0 || h <= 0 || w > 100000 || h > 100000)
        return {};
    return {w, h};
}

QString FormatSize(QSize size) {
    return QStringLiteral("%1 %2").arg(size.width()).arg(size.height());
}
} // namespace

bool WriteCanvasSizeFile(const QString& dataFolder, QSize clientSize) {
    return WriteFileAtomic(dataFolder + "/canvas", (FormatSize(clientSize) + "\r\n").toLatin1());
}

QSize ReadCanvasSizeFile(const QString& dataFolder) {
    QByteArray bytes;
    if (!ReadWholeFile(dataFolder + "/canvas", bytes, 64))
        return {};
    return ParseSize(QString::fromLatin1(bytes));
}

QSize LastCanvasSize() {
    const QSize size = ParseSize(Profile::GetString("layout", "canvas"));
    return size.isValid() ? size : QSize(1000, 750);
}

void RecordCanvasSize(QSize clientSize) {
    if (clientSize.width() > 0 && clientSize.height() > 0)
        Profile::SetString("layout", "canvas", FormatSize(clientSize));
}
