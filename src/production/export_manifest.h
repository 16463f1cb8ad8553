#pragma once

#include "records/order_lines.h"

#include <QByteArray>
#include <QList>
#include <QString>

// "manifest.csv" of an export, for the print lab: one row per exported file
// with its pixel size, resolution, print size and what the order asks of its
// product. UTF-8, comma-separated, CR LF line ends, a header row; fields
// holding a comma, a quote or a line break are quoted.
class ExportManifest {
public:
    static constexpr const char* kFileName = "manifest.csv";
    static constexpr const char* kHeader =
        "product,file,width_px,height_px,dpi,width_cm,height_cm,quantity,pages";

    // A page the export copied: file is its path inside the customer's export
    // folder ("<product>/1.jpg"), exported the copy just written. The size and
    // resolution are read from the copy itself; a file that states no
    // resolution counts at fallbackDpi.
    void Add(const OrderLine& product, const QString& file, const QString& exported,
             int fallbackDpi);
    QByteArray ToCsv() const;
    // Writes manifest.csv into the customer's export folder; false when it
    // could not be written.
    bool Write(const QString& destination) const;
    int rowCount() const { return static_cast<int>(rows_.size()); }

private:
    QList<QStringList> rows_;
};
