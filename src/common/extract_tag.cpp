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
