#include "records/order_lines.h"

#include "common/extract_tag.h"
#include "records/gbk_text_keeping_bytes.h"
#include "records/product_catalogue.h"

#include <QStringList>

namespace {
// An order names a handful of products; anything far larger is not one.
constexpr qint64 kMaxOrderBytes = qint64(16) << 20;
} // namespace

bool FitsOrderFile(const QString& text) {
    for (const QChar c : text) {
        if (c == QLatin1Char('<') || c == QLatin1Char('>') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QList<OrderLine> ReadOrderLines(const QString& path) {
    QList<OrderLine> lines;
    QString text = ReadJoinedLinesKeepingBytes(path, kMaxOrderBytes);
    for (;;) {
        QString value = ExtractTag(text, QStringLiteral("<n>"));
        if (value.isEmpty())
            break;
        OrderLine line;
        line.width = ExtractTag(value, QStringLiteral("<w>"));
        line.height = ExtractTag(value, QStringLiteral("<h>"));
        line.quantity = ExtractTag(value, QStringLiteral("<c>"));
        line.pages = ExtractTag(value, QStringLiteral("<p>"));
        line.name = value;
        lines.append(line);
    }
    return lines;
}

bool WriteOrderLines(const QString& path, const QList<OrderLine>& lines) {
    QStringList texts;
    for (const OrderLine& l : lines) {
        texts.append(QStringLiteral("<n>%1<w>%2</w><h>%3</h><c>%4</c><p>%5</p></n>")
                         .arg(l.name, l.width, l.height, l.quantity, l.pages));
    }
    return WriteLinesKeepingBytes(path, texts);
}

OrderLine OrderLineFromRow(const QString& productText, const QString& quantity,
                           const QString& pages) {
    const ProductEntry product = SplitProductDisplayText(productText);
    return {product.name, product.width, product.height, quantity, pages};
}

bool PageOfProduct(const QString& page, const QString& product) {
    if (page == product)
        return true;
    if (!page.startsWith(product + QLatin1Char('-')))
        return false;
    const QString number = page.mid(product.size() + 1);
    bool isNumber = false;
    number.toInt(&isNumber);
    return isNumber && !number.startsWith(QLatin1Char('+')) && !number.startsWith(QLatin1Char('-'));
}
