#include "common/extract_tag.h"

QString ExtractTag(QString& text, const QString& openTag) {
    if (openTag.isEmpty())
        return {};
    const qsizetype open = text.indexOf(openTag);
    if (open < 0)
        return {};
    QString closeTag = openTag;
    closeTag.insert(1, QLatin1Char('/'));
    const qsizetype close = text.indexOf(closeTag);
    const qsizetype valueStart = open + openTag.size();
    // A closing tag that only occurs before the opening one encloses nothing:
    // there is no element to take out.
    if (close < valueStart)
        return {};
    QString value = text.mid(valueStart, close - valueStart);
    text.remove(open, close + closeTag.size() - open);
    return value;
}

QStringList ExtractEveryTag(const QString& text, const QString& openTag, int maxItems) {
    QStringList values;
    if (openTag.isEmpty())
        return values;
    QString closeTag = openTag;
    closeTag.insert(1, QLatin1Char('/'));
    // Text before from holds no opening and no closing tag any more: the
    // first of each is searched from there, as ExtractTag searches the text
    // left after the elements before were removed.
    qsizetype from = 0;
    while (values.size() < maxItems) {
        const qsizetype open = text.indexOf(openTag, from);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(closeTag, from);
        const qsizetype valueStart = open + openTag.size();
        if (close < valueStart || close == valueStart)
            break; // no element, or an empty value: the reading loop ends
        values.append(text.mid(valueStart, close - valueStart));
        from = close + closeTag.size();
    }
    return values;
}
