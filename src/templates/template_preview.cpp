#include "templates/template_preview.h"

#include "common/byte_io.h"
#include "raster/raster.h"
#include "compose/template_body.h"

#include <QFile>

namespace {
constexpr qint64 kHeaderSize = 5; // marker byte and u32 length
} // namespace

QByteArray ReadTemplatePreviewBytes(const QString& packagePath) {
    QFile file(packagePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray header = file.read(kHeaderSize);
    ByteReader r(header);
    r.skip(1);
    const qint64 length = r.u32();
    if (!r.ok() || length > file.size() - kHeaderSize)
        return {};
    QByteArray front = header + file.read(length);
    return ReadPreviewBytes(front);
}

QImage ReadTemplatePreview(const QString& packagePath) {
    const QByteArray bytes = ReadTemplatePreviewBytes(packagePath);
    if (bytes.isEmpty())
        return {};
    return DecodeImage(bytes);
}
