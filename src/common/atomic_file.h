#pragma once

#include <QByteArray>
#include <QString>

// Writes the whole file or nothing: the old file stays whole when anything
// fails on the way. Creates no folders. Hidden temporary files that a killed
// write left in the folder earlier (older than this process) are removed.
bool WriteFileAtomic(const QString& path, const QByteArray& data);

// Reads a whole file; false when it cannot be opened or is larger than
// maxBytes (so a corrupt or hostile file never takes all memory).
bool ReadWholeFile(const QString& path, QByteArray& out, qint64 maxBytes = qint64(1) << 31);
