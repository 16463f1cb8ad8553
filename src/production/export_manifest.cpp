#include "production/export_manifest.h"

#include "common/atomic_file.h"
#include "production/page_image_info.h"

#include <algorithm>

namespace {

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Centimetres(int pixels, int dpi) {
    return dpi > 0 ? QString::number(pixels * 2.54 / dpi, 'f', 2) : QString();
}

} // namespace

void ExportManifest::Add(const OrderLine& product, const QString& file, const QString& exported,
                         int fallbackDpi) {
    const PageImageInfo info = ReadPageImageInfo(exported);
    const int dpi = info.dpi > 0 ? info.dpi : fallbackDpi;
    const int w = info.size.isValid() ? info.size.width() : 0;
    const int h = info.size.isValid() ? info.size.height() : 0;
    // A product ordered twice is copied twice onto the same files; each file
    // is still one row.
    rows_.erase(std::remove_if(rows_.begin(), rows_.end(),
                               [&](const QStringList& row) { return row.value(1) == file; }),
                rows_.end());
    rows_.append({product.name, file, QString::number(w), QString::number(h), QString::number(dpi),
                  Centimetres(w, dpi), Centimetres(h, dpi), product.quantity, product.pages});
}

QByteArray ExportManifest::ToCsv() const {
    QString text = QString::fromLatin1(kHeader) + QStringLiteral("\r\n");
    for (const QStringList& row : rows_) {
        QStringList fields;
        for (const QString& field : row)
            fields << CsvField(field);
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

bool ExportManifest::Write(const QString& destination) const {
    return WriteFileAtomic(destination + QLatin1Char('/') + QLatin1String(kFileName), ToCsv());
}
