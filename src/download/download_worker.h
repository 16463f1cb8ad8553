#pragma once

#include "download/ftp_session.h"

#include <QString>
#include <array>
#include <atomic>

// The passes of a template download: log in to the template server, fetch
// "list.txt" and "list2.txt" into the template folder, then every listed
// file of the chosen categories that is missing or has another size, and
// repeat until a pass completes, the run is cancelled or the limit of
// started entries is reached.

// The categories offered, in the order of the dialog's boxes; each is a
// word that appears as a folder name in the library's paths.
constexpr int kCategoryCount = 4;
extern const char* const kCategoryWords[kCategoryCount]; // 婚纱 儿童 写真 全家福
using CategoryChoice = std::array<bool, kCategoryCount>;
// The position of a category word, -1 for any other text.
int CategoryIndex(const QString& word);

// The account every studio uses on the template server.
extern const char* const kFtpUser;
extern const char* const kFtpPassword;

// A run stops starting passes once this many list entries were started.
constexpr int kDownloadLimit = 100000;

// The texts of the download, as the status line and message boxes show them.
namespace DownloadText {
extern const char* const kNoCategory;    // 未选中模板类别!
extern const char* const kLookupFailed;  // 连接下载服务失败，请稍候再试!
extern const char* const kConnectFailed; // 连接失败
extern const char* const kConnected;     // 连接成功
extern const char* const kDownloading;   // 下载中
extern const char* const kDone;          // 下载完成!
QString Started(const QString& path);    // <path>:下载中。。
QString Present(const QString& path);    // <path>:已存在，跳过
QString Fetched(const QString& path);    // <path>:下载成功
QString Failed(const QString& path);     // <path>:下载失败
QString Unsafe(const QString& path);     // <path>:路径非法，跳过
QString TooLarge(const QString& path);   // <path>:文件过大，跳过
} // namespace DownloadText

// One line of "list.txt": "<size>;<path>".
struct ListEntry {
    // The digits leading the text before the first ";" (blanks and a sign
    // before them allowed, as a C runtime reads a number; 0 when there are
    // none; held at the int range).
    qint64 size = 0;
    // The text after the first ";" without trailing blanks; backslashes.
    QString path;
};
// False for a line without ";", which is not an entry.
bool ParseListLine(const QString& line, ListEntry& entry);

// Whether path belongs to the chosen categories: it is skipped when it
// contains, anywhere, the word of a category that is not chosen. A path with
// none of the words is always wanted.
bool IsWantedPath(const QString& path, const CategoryChoice& choice);

// The local file for a listed path under root (the template folder), or
// empty when the path would leave root: the library index's own rule for
// paths from the server, then the normalised local path must still lie
// inside root. A path naming no file (ending in a separator) is refused too.
QString DownloadTargetPath(const QString& root, const QString& path);

// How long the worker waits before the next pass after each kind of
// failure, and before working through an empty list; tests shorten them.
struct DownloadWaits {
    int connectFailedMs = 3000;
    int listFailedMs = 10000;
    int emptyListMs = 6000;
    int failedPassMs = 1000;
};

struct DownloadTuning {
    DownloadWaits waits;
    FtpLimits ftp;
    int lookupTimeoutSeconds = 30;
};

struct DownloadJob {
    QString server; // the FTP server's host name or address
    int port = 21;
    CategoryChoice categories{};
    QString root; // the template folder, <base>/模板
    int limit = kDownloadLimit;
    DownloadTuning tuning;
};

enum class DownloadEnd {
    Completed,    // a pass fetched or found every wanted file: "下载完成!"
    Cancelled,    // cancel was set
    LimitReached, // the limit of started entries was reached first
    Refused,      // nothing started: the message says why
};

struct DownloadResult {
    DownloadEnd end = DownloadEnd::Refused;
    QString message;      // for Refused
    int filesWritten = 0; // files replaced in the template folder, index files included
};

// Receives the worker's reports on the worker's thread.
class IDownloadObserver {
public:
    virtual ~IDownloadObserver() = default;
    // The status line's new text.
    virtual void OnStatus(const QString& text) = 0;
    // Entry entry (1-based) of the pass's entries is under way; bytes of it
    // have arrived, of total when the server told (else 0).
    virtual void OnProgress(int entry, int entries, qint64 bytes, qint64 total) {
        Q_UNUSED(entry);
        Q_UNUSED(entries);
        Q_UNUSED(bytes);
        Q_UNUSED(total);
    }
    // The last report of a run.
    virtual void OnFinished(const DownloadResult& result) { Q_UNUSED(result); }
};

// Runs the passes on the calling thread until one completes, cancel is set
// or job.limit entries were started. Reports through observer, except
// OnFinished, which is the caller's to send.
DownloadResult RunDownloadPasses(const DownloadJob& job, IDownloadObserver& observer,
                                 const std::atomic<bool>& cancel);

// Sleeps ms, waking early when cancel is set; false when it was.
bool WaitUnlessCancelled(int ms, const std::atomic<bool>& cancel);
