#include "app/orders/order_entries.h"

#include "controls/theme.h"
#include "records/dpi_setting.h"
#include "records/number_text.h"

namespace {
QString CentimetreText(int hundredths) {
    QString text = QString::asprintf("%0.1f", hundredths * 0.01);
    if (text.size() >= 3 && text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text;
}
} // namespace

QString OrderHeaderEntry(const QString& displayName, const QString& phone) {
    return QStringLiteral("客人：%1\r\n电话：%2\r\n").arg(displayName, phone);
}

QString OrderProductEntry(const OrderLine& line) {
    return QStringLiteral("产品：%1\r\n尺寸：宽%2 高%3 cm\r\n数量：%4\r\nP 数：%5\r\n")
        .arg(line.name, line.width, line.height, line.quantity, line.pages);
}

QColor OrderEntryColour(int position) {
    return position % 2 == 0 ? Theme::kRowEven : Theme::kRowOdd;
}

QString CustomerDisplayName(const QString& customerFolderName) {
    QString name = customerFolderName;
    name.replace(QLatin1String(",,"), QLatin1String(","));
    int start = 0, end = name.size();
    while (start < end && name.at(start) == QLatin1Char(','))
        ++start;
    while (end > start && name.at(end - 1) == QLatin1Char(','))
        --end;
    return name.mid(start, end - start);
}

QString TemplateSizePart(QSize hundredthsOfCm) {
    return QStringLiteral("模板 %1,%2cm")
        .arg(CentimetreText(hundredthsOfCm.width()), CentimetreText(hundredthsOfCm.height()));
}

QString OutputSizePart(const QString& width, const QString& height) {
    return QStringLiteral("   输出 %1,%2cm").arg(width, height);
}

std::optional<QSize> ProductPageSize(const OrderLine& line, int dpi) {
    if (TextToDouble(line.width) < 0.01)
        return std::nullopt;
    return QSize(CmToPixels(line.width, dpi), CmToPixels(line.height, dpi));
}
