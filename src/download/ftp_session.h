#pragma once

#include <QString>
#include <atomic>
#include <functional>

typedef void CURL;
typedef void CURLM;

// Limits of the FTP transfers.
struct FtpLimits {
    // Connecting, waiting for a reply and a data connection that moves no
    // byte each give up after this long; ten minutes, so large files are not
    // cut off on slow lines.
    int stallSeconds = 600;
    // A file larger than this is refused, whatever the server announces or
    // sends.
    qint64 maxFileBytes = qint64(200) << 20;
};

// One FTP connection to the template server, kept for a pass of the
// download: passive mode, binary transfers, one login. Destroying it closes
// the connection.
class FtpSession {
public:
    // cancel, when given and set from another thread, ends a connect or a
    // transfer within about a second.
    explicit FtpSession(const FtpLimits& limits = {}, const std::atomic<bool>* cancel = nullptr);
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Connects and logs in; server is a host name or an IP address. False
    // when the server cannot be reached or refuses the account.
    bool Connect(const QString& server, int port, const QString& user, const QString& password);

    // Fetches remotePath (backslash-separated, relative to the server's
    // root) into localPath: from the root one directory change per folder of
    // the path, then the file. The bytes go to a hidden file beside
    // localPath that replaces it only once the whole file has arrived, so a
    // failed or cancelled transfer leaves an existing file as it was and no
    // partial file behind. localPath's folder must exist. False when a
    // directory change or the transfer fails, the file is over the size
    // limit, or the local file cannot be written.
    bool Get(const QString& remotePath, const QString& localPath);

    // Called during Get with the bytes received so far and the file's size
    // when the server told it (else 0), on the calling thread.
    void SetProgressHandler(std::function<void(qint64 received, qint64 total)> handler) {
        progress_ = std::move(handler);
    }

    // libcurl's description of the last failure, for diagnostics.
    const QString& lastError() const { return lastError_; }

    // The URL path of a remote path: "/%2F" (the root itself, not the login
    // folder) followed by each part in GBK, percent-encoded, joined by "/".
    // Empty parts are dropped, as they are when the local path is made.
    static QByteArray RemoteUrlPath(const QString& remotePath);

private:
    bool Perform();
    void Close();

    FtpLimits limits_;
    const std::atomic<bool>* cancel_;
    CURLM* multi_ = nullptr;
    CURL* curl_ = nullptr;
    QByteArray origin_; // "ftp://host:port"
    QByteArray user_;
    QByteArray password_;
    QString lastError_;
    std::function<void(qint64, qint64)> progress_;
    char errorBuffer_[256] = {};
};
