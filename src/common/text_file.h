#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// GBK text files with CR LF line ends, as the studio's record files are kept.

// Reads the file's lines (CR LF or LF) decoded from GBK; false when the file
// cannot be opened.
bool ReadGbkLines(const QString& path, QStringList& lines);
// Hands the file's lines (CR LF or LF) decoded from GBK to take, reading as
// it goes, so a huge file never lies in memory whole. Stops after maxLines
// lines or when take returns false; false when the file cannot be opened.
bool ForEachGbkLine(const QString& path, qint64 maxLines,
                    const std::function<bool(const QString& line)>& take);
// Reads the file and joins all lines with nothing between them, the form the
// tagged record readers take apart with ExtractTag. Empty when unreadable.
QString ReadJoinedGbk(const QString& path);
// Writes the lines in GBK, each ended by CR LF, atomically.
bool WriteGbkLines(const QString& path, const QStringList& lines);
