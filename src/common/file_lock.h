#pragma once

#include <QString>
#include <memory>

// A lock shared by every station of a studio folder: a file beside the data,
// created exclusively (which local disks, NFS and SMB all honour), naming its
// holder. It is held only while a file is read, changed and written back.
// A lock whose holder is gone is taken over: on this host when no such
// process runs, from another host when it is older than kStaleSeconds.
class FileLock {
public:
    static constexpr int kWaitMs = 10000;
    static constexpr int kStaleSeconds = 120;

    // Null when the lock could not be had within waitMs.
    static std::unique_ptr<FileLock> Acquire(const QString& path, int waitMs = kWaitMs);
    ~FileLock(); // removes the lock file
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // "host user pid time": what a lock file of this process holds.
    static QString HolderText();
    // The holder named in a lock (or presence) file; empty when unreadable.
    static QString ReadHolder(const QString& path);
    // Whether the holder named in text is gone (see above); fileAgeSeconds
    // is how long ago the file was last written.
    static bool HolderGone(const QString& text, qint64 fileAgeSeconds);

private:
    explicit FileLock(const QString& path) : path_(path) {}
    QString path_;
};
