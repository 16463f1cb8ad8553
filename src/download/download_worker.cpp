#include "download/download_worker.h"

#include "common/text_file.h"
#include "templates/library_paths.h"
#include "templates/template_library.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>
#include <climits>
#include <memory>
#include <thread>

const char* const kCategoryWords[kCategoryCount] = {"婚纱", "儿童", "写真", "全家福"};
const char* const kFtpUser = "tempuser";
const char* const kFtpPassword = "rbx7kqm2vp4d";

namespace DownloadText {
const char* const kNoCategory = "未选中模板类别!";
const char* const kLookupFailed = "连接下载服务失败，请稍候再试!";
const char* const kConnectFailed = "连接失败";
const char* const kConnected = "连接成功";
const char* const kDownloading = "下载中";
const char* const kDone = "下载完成!";
QString Started(const QString& path) {
    return path + QStringLiteral(":下载中。。");
}
QString Present(const QString& path) {
    return path + QStringLiteral(":已存在，跳过");
}
QString Fetched(const QString& path) {
    return path + QStringLiteral(":下载成功");
}
QString Failed(const QString& path) {
    return path + QStringLiteral(":下载失败");
}
QString Unsafe(const QString& path) {
    return path + QStringLiteral(":路径非法，跳过");
}
QString TooLarge(const QString& path) {
    return path + QStringLiteral(":文件过大，跳过");
}
} // namespace DownloadText

int CategoryIndex(const QString& word) {
    for (int i = 0; i < kCategoryCount; ++i)
        if (word == QString::fromUtf8(kCategoryWords[i]))
            return i;
    return -1;
}

namespace {
bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || (c >= QLatin1Char('\t') && c <= QLatin1Char('\r'));
}

// The number a C runtime reads at the start of text: blanks, a sign, digits.
qint64 LeadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text.at(i)))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
         ++i) {
        value = qMin<qint64>(value * 10 + (text.at(i).unicode() - '0'), qint64(INT_MAX) + 1);
    }
    value = negative ? -value : value;
    return qBound(qint64(INT_MIN), value, qint64(INT_MAX));
}

QString WithoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

QString IndexPath(const QString& root, const char* name) {
    return root + QLatin1Char('/') + QLatin1String(name);
}

// Reports each transfer's bytes as progress of the entry in hand.
class EntryProgress {
public:
    EntryProgress(FtpSession& session, IDownloadObserver& observer) : observer_(observer) {
        session.SetProgressHandler([this](qint64 bytes, qint64 total) {
            if (entries_ > 0)
                observer_.OnProgress(entry_, entries_, bytes, total);
        });
    }
    void Begin(int entry, int entries) {
        entry_ = entry;
        entries_ = entries;
        observer_.OnProgress(entry, entries, 0, 0);
    }

private:
    IDownloadObserver& observer_;
    int entry_ = 0;
    int entries_ = 0;
};

enum class PassEnd { Completed, Failed };

class Passes {
public:
    Passes(const DownloadJob& job, IDownloadObserver& observer, const std::atomic<bool>& cancel)
        : job_(job), observer_(observer), cancel_(cancel) {}

    DownloadResult Run() {
        DownloadResult result;
        while (!cancel_.load() && started_ < job_.limit) {
            if (RunPass() == PassEnd::Completed) {
                result.end = DownloadEnd::Completed;
                result.filesWritten = written_;
                return result;
            }
        }
        result.end = cancel_.load() ? DownloadEnd::Cancelled : DownloadEnd::LimitReached;
        result.filesWritten = written_;
        return result;
    }

private:
    PassEnd RunPass() {
        const DownloadWaits& waits = job_.tuning.waits;
        auto session = std::make_unique<FtpSession>(job_.tuning.ftp, &cancel_);
        if (!session->Connect(job_.server, job_.port, QString::fromLatin1(kFtpUser),
                              QString::fromLatin1(kFtpPassword))) {
            if (!cancel_.load())
                Status(QString::fromUtf8(DownloadText::kConnectFailed));
            WaitUnlessCancelled(waits.connectFailedMs, cancel_);
            return PassEnd::Failed;
        }
        Status(QString::fromUtf8(DownloadText::kConnected));
        QDir().mkpath(job_.root);
        // The index replaces the old one only once it has arrived whole, so
        // a failed fetch leaves the library with its previous index.
        if (!Fetch(*session, QString::fromLatin1(kFileListName),
                   IndexPath(job_.root, kFileListName))) {
            session.reset();
            WaitUnlessCancelled(waits.listFailedMs, cancel_);
            return PassEnd::Failed;
        }
        Fetch(*session, QString::fromLatin1(kSetIndexName), IndexPath(job_.root, kSetIndexName));
        Status(QString::fromUtf8(DownloadText::kDownloading));

        bool anyLine = false;
        QList<ListEntry> entries;
        ForEachGbkLine(
            IndexPath(job_.root, kFileListName), kMaxIndexEntries, [&](const QString& line) {
                anyLine = true;
                ListEntry entry;
                if (ParseListLine(line, entry) && IsWantedPath(entry.path, job_.categories))
                    entries.append(entry);
                return true;
            });
        if (!anyLine)
            WaitUnlessCancelled(waits.emptyListMs, cancel_);

        EntryProgress progress(*session, observer_);
        for (int i = 0; i < entries.size(); ++i) {
            if (cancel_.load())
                return FailedPass();
            const ListEntry& entry = entries.at(i);
            const QString local = DownloadTargetPath(job_.root, entry.path);
            // A path that would leave the library, or a file no sane template
            // has, is passed over for good: failing the pass would only
            // repeat it forever.
            if (local.isEmpty()) {
                Status(DownloadText::Unsafe(entry.path));
                continue;
            }
            if (entry.size > job_.tuning.ftp.maxFileBytes) {
                Status(DownloadText::TooLarge(entry.path));
                continue;
            }
            ++started_;
            progress.Begin(i + 1, entries.size());
            Status(DownloadText::Started(entry.path));
            QDir().mkpath(QFileInfo(local).path());
            const QFileInfo present(local);
            if (present.isFile() && present.size() == entry.size) {
                Status(DownloadText::Present(entry.path));
                continue;
            }
            if (!Fetch(*session, entry.path, local)) {
                // A transfer ended by cancel is no failure of the server's.
                if (!cancel_.load())
                    Status(DownloadText::Failed(entry.path));
                session.reset();
                return FailedPass();
            }
            Status(DownloadText::Fetched(entry.path));
        }
        if (cancel_.load())
            return FailedPass();
        Status(QString::fromUtf8(DownloadText::kDone));
        return PassEnd::Completed;
    }

    PassEnd FailedPass() {
        WaitUnlessCancelled(job_.tuning.waits.failedPassMs, cancel_);
        return PassEnd::Failed;
    }

    bool Fetch(FtpSession& session, const QString& remote, const QString& local) {
        if (!session.Get(remote, local))
            return false;
        ++written_;
        return true;
    }

    void Status(const QString& text) { observer_.OnStatus(text); }

    const DownloadJob& job_;
    IDownloadObserver& observer_;
    const std::atomic<bool>& cancel_;
    int started_ = 0;
    int written_ = 0;
};
} // namespace

bool ParseListLine(const QString& line, ListEntry& entry) {
    const qsizetype semicolon = line.indexOf(QLatin1Char(';'));
    if (semicolon < 0)
        return false;
    entry.size = LeadingNumber(line.left(semicolon));
    entry.path = WithoutTrailingBlanks(line.mid(semicolon + 1));
    return true;
}

bool IsWantedPath(const QString& path, const CategoryChoice& choice) {
    for (int i = 0; i < kCategoryCount; ++i)
        if (!choice[i] && path.contains(QString::fromUtf8(kCategoryWords[i])))
            return false;
    return true;
}

QString DownloadTargetPath(const QString& root, const QString& path) {
    if (!IsSafeLibraryPath(path) || path.endsWith(QLatin1Char('\\')) ||
        path.endsWith(QLatin1Char('/')))
        return {};
    const QString cleanRoot = QDir::cleanPath(root);
    const QString local = QDir::cleanPath(LibraryLocalPath(cleanRoot, path));
    if (!local.startsWith(cleanRoot + QLatin1Char('/')))
        return {};
    return local;
}

DownloadResult RunDownloadPasses(const DownloadJob& job, IDownloadObserver& observer,
                                 const std::atomic<bool>& cancel) {
    return Passes(job, observer, cancel).Run();
}

bool WaitUnlessCancelled(int ms, const std::atomic<bool>& cancel) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!cancel.load()) {
        const auto now = Clock::now();
        if (now >= end)
            return true;
        std::this_thread::sleep_for(
            std::min<Clock::duration>(end - now, std::chrono::milliseconds(20)));
    }
    return false;
}
