#pragma once

#include <QByteArray>
#include <QString>

// Text inside the studio's files is in the GBK code page.
QByteArray ToGbk(const QString& text);
QString FromGbk(const QByteArray& bytes);
// True when every character of text has a GBK encoding.
bool IsGbkEncodable(const QString& text);
// Cuts GBK bytes to at most maxBytes without splitting a two-byte character.
QByteArray CutGbk(const QByteArray& gbk, int maxBytes);
