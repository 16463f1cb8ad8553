#pragma once

#include <QString>

// Takes the first element <t>value</t> out of text and returns its value.
// The closing tag is searched from the start of the text. When either tag is
// missing the value is empty and the text stays unchanged.
QString ExtractTag(QString& text, const QString& openTag);
