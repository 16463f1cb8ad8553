#pragma once

#include <QString>
#include <QStringList>

// GBK text files with CR LF line ends, as the studio's record files are kept.

// Reads the file's lines (CR LF or LF) decoded from GBK; false when the file
// cannot be opened.
bool ReadGbkLines(const QString& path, QStringList& lines);
// Reads the file and joins all lines with nothing between them, the form the
// tagged record readers take apart with ExtractTag. Empty when unreadable.
QString ReadJoinedGbk(const QString& path);
// Writes the lines in GBK, each ended by CR LF, atomically.
bool WriteGbkLines(const QString& path, const QStringList& lines);
