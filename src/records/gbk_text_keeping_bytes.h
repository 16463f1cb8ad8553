#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// GBK text that survives a read and a write unchanged even where it holds
// bytes that are not GBK (a file edited elsewhere, a damaged disk): such a
// byte is read as a stand-in character (U+DC00 + the byte, a code point no
// real text uses) and written back as the byte itself. The studio's record
// files are rewritten whole on every save, so a plain decode would quietly
// replace those bytes for good.

QString DecodeGbkKeepingBytes(const QByteArray& bytes);
QByteArray EncodeGbkKeepingBytes(const QString& text);

// The lines of a GBK text file (CR LF or LF), decoded as above, joined with
// nothing between them. Empty when the file cannot be read or is larger than
// maxBytes.
QString ReadJoinedLinesKeepingBytes(const QString& path, qint64 maxBytes);
// Writes the lines, each ended by CR LF, atomically.
bool WriteLinesKeepingBytes(const QString& path, const QStringList& lines);
