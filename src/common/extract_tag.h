#pragma once

#include <QString>
#include <QStringList>

// Takes the first element <t>value</t> out of text and returns its value.
// The closing tag is searched from the start of the text. When either tag is
// missing the value is empty and the text stays unchanged.
QString ExtractTag(QString& text, const QString& openTag);

// The values that ExtractTag(text, openTag) called again and again would
// take out, in order, until it gives an empty value, but at most maxItems:
// found in one pass, each element looked for after the previous one ended,
// instead of removing every element from the front of a long text. (The two
// differ only where a tag would be formed across a removed element, which
// a record file never holds.)
QStringList ExtractEveryTag(const QString& text, const QString& openTag, int maxItems);
