#pragma once

#include <QByteArray>
#include <QString>

// Writes the whole file or nothing: the old file stays whole when anything
// fails on the way. Creates no folders. Hidden temporary files that a killed
// write left in the folder earlier (older than this process) are removed.
bool WriteFileAtomic(const QString& path, const QByteArray& data);

// For a file any program can make again from its source (a cached
// thumbnail): the content goes to a private temporary file (mode 0600)
// beside path, which is then renamed over it, so readers see the old file or
// the new one, never a part. Neither flushed to the disk nor followed by a
// sweep of the folder (a shared cache folder may hold many thousand files):
// after a crash the file may be empty or cut, and its readers must take such
// a file as missing.
bool WriteCacheFileAtomic(const QString& path, const QByteArray& data);

// Reads a whole file; false when it cannot be opened or is larger than
// maxBytes (so a corrupt or hostile file never takes all memory).
bool ReadWholeFile(const QString& path, QByteArray& out, qint64 maxBytes = qint64(1) << 31);
