#include "download/ftp_session.h"

#include "common/gbk.h"
#include "download/curl_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cstdio>
#include <unistd.h>

namespace {
// What the transfer callbacks of one Get see.
struct Transfer {
    QFile* file = nullptr;
    qint64 written = 0;
    qint64 maxBytes = 0;
    bool tooLarge = false;
    bool writeFailed = false;
    const std::atomic<bool>* cancel = nullptr;
    const std::function<void(qint64, qint64)>* progress = nullptr;
};

size_t WriteToFile(char* bytes, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const qint64 n = static_cast<qint64>(size * count);
    // A server that keeps sending past the limit is cut off here even when
    // it announced a small file or none at all.
    if (t->written + n > t->maxBytes) {
        t->tooLarge = true;
        return 0;
    }
    if (t->file->write(bytes, n) != n) {
        t->writeFailed = true;
        return 0;
    }
    t->written += n;
    return static_cast<size_t>(n);
}

// The login has no body; should a server send one anyway, it goes nowhere.
size_t Discard(char*, size_t size, size_t count, void*) {
    return size * count;
}

int ReportProgress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    if (t->cancel && t->cancel->load())
        return 1;
    if (t->progress && *t->progress && now > 0)
        (*t->progress)(now, total);
    return 0;
}

const QString kHiddenPrefix = QStringLiteral(".taoban-download-");

// When this process started (the library is loaded with it).
const QDateTime kProcessStart = QDateTime::currentDateTimeUtc();

// A download killed part-way leaves its hidden file behind. The next
// transfer into the folder removes those last written before this process
// started: a transfer of another process still running keeps writing into
// its own, so that one is newer and stays.
void RemoveStaleHiddenFiles(const QString& folder) {
    const QFileInfoList stale =
        QDir(folder).entryInfoList({kHiddenPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& info : stale)
        if (info.lastModified() < kProcessStart)
            QFile::remove(info.filePath());
}

// A hidden file in folder: the library's disk search skips names starting
// with ".", so a file left by a crash is never taken for a template.
bool OpenHiddenFile(const QString& folder, QFile& file) {
    RemoveStaleHiddenFiles(folder);
    for (int attempt = 0; attempt < 16; ++attempt) {
        file.setFileName(folder + QLatin1Char('/') + kHiddenPrefix +
                         QString::number(QRandomGenerator::global()->generate64(), 36));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
    }
    return false;
}

// Removes the hidden file unless it has become the target.
struct RemoveUnlessKept {
    QFile& file;
    bool keep = false;
    ~RemoveUnlessKept() {
        if (!keep) {
            file.close();
            file.remove();
        }
    }
};

QByteArray HostForUrl(const QString& server) {
    const QByteArray host = server.toUtf8();
    return server.contains(QLatin1Char(':')) ? "[" + host + "]" : host;
}
} // namespace

FtpSession::FtpSession(const FtpLimits& limits, const std::atomic<bool>* cancel)
    : limits_(limits), cancel_(cancel) {}

FtpSession::~FtpSession() {
    Close();
}

void FtpSession::Close() {
    // The easy handle goes first: the connection lives in the multi handle's
    // cache and is closed (QUIT) with it.
    if (curl_)
        curl_easy_cleanup(curl_);
    if (multi_)
        curl_multi_cleanup(multi_);
    curl_ = nullptr;
    multi_ = nullptr;
}

QByteArray FtpSession::RemoteUrlPath(const QString& remotePath) {
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    QByteArray path = "/%2F";
    QList<QByteArray> parts;
    for (const QString& part : remotePath.split(separators, Qt::SkipEmptyParts))
        parts.append(ToGbk(part).toPercentEncoding());
    return path + parts.join('/');
}

bool FtpSession::Connect(const QString& server, int port, const QString& user,
                         const QString& password) {
    Close();
    EnsureCurlReady();
    multi_ = curl_multi_init();
    curl_ = curl_easy_init();
    if (!multi_ || !curl_) {
        lastError_ = QStringLiteral("no libcurl handle");
        return false;
    }
    origin_ = "ftp://" + HostForUrl(server) + ":" + QByteArray::number(port);
    user_ = user.toUtf8();
    password_ = password.toUtf8();
    const long stall = limits_.stallSeconds;
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_USERNAME, user_.constData());
    curl_easy_setopt(curl_, CURLOPT_PASSWORD, password_.constData());
    // Passive mode: libcurl's default, the data connection is opened by us.
    curl_easy_setopt(curl_, CURLOPT_FTPPORT, nullptr);
    curl_easy_setopt(curl_, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
    curl_easy_setopt(curl_, CURLOPT_TRANSFERTEXT, 0L);
    // Connecting, every reply on the control connection and the data
    // connection (no byte moving for that long) share the time-out.
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, stall);
    curl_easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT, stall);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, stall);
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, ReportProgress);

    // Logging in without a transfer: the root folder's "head" is just the
    // login; the connection then stays open for the Gets that follow.
    Transfer probe;
    probe.cancel = cancel_;
    const QByteArray url = origin_ + "/";
    curl_easy_setopt(curl_, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, Discard);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, &probe);
    const bool ok = Perform();
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 0L);
    return ok;
}

bool FtpSession::Perform() {
    errorBuffer_[0] = '\0';
    const CURLcode result = PerformOn(multi_, curl_);
    if (result == CURLE_OK) {
        lastError_.clear();
        return true;
    }
    lastError_ = QString::fromUtf8(errorBuffer_[0] ? errorBuffer_ : curl_easy_strerror(result));
    return false;
}

bool FtpSession::Get(const QString& remotePath, const QString& localPath) {
    if (!curl_) {
        lastError_ = QStringLiteral("not connected");
        return false;
    }
    QFile file;
    if (!OpenHiddenFile(QFileInfo(localPath).absolutePath(), file)) {
        lastError_ = QStringLiteral("cannot write beside %1").arg(localPath);
        return false;
    }
    RemoveUnlessKept guard{file};
    Transfer transfer;
    transfer.file = &file;
    transfer.maxBytes = limits_.maxFileBytes;
    transfer.cancel = cancel_;
    transfer.progress = &progress_;
    const QByteArray url = origin_ + RemoteUrlPath(remotePath);
    curl_easy_setopt(curl_, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl_, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(limits_.maxFileBytes));
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, &transfer);
    const bool ok = Perform();
    if (!ok) {
        if (transfer.tooLarge)
            lastError_ = QStringLiteral("more than %1 bytes").arg(limits_.maxFileBytes);
        return false;
    }
    // On disk before it takes the old file's place, so a power cut cannot
    // leave an empty file under the real name.
    if (!file.flush() || ::fsync(file.handle()) != 0) {
        lastError_ = QStringLiteral("cannot write %1").arg(localPath);
        return false;
    }
    file.close();
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(localPath).constData()) != 0) {
        lastError_ = QStringLiteral("cannot replace %1").arg(localPath);
        return false;
    }
    guard.keep = true;
    return true;
}
