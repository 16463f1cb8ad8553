#pragma once

#include "download/download_worker.h"
#include "download/url_text.h"

#include <QString>
#include <atomic>
#include <thread>

// What "开始下载" hands the worker.
struct DownloadRequest {
    CategoryChoice categories{};
    QString lookupBase;     // scheme://host[:port] of the address lookup
    QString installationId; // sent to the lookup
    int ftpPort = 21;
    QString root; // the template folder, <base>/模板
    int limit = kDownloadLimit;
    DownloadTuning tuning;
};

// The FTP server's address from the lookup reply: the "<ip>" element's
// value without surrounding blanks. Empty when the element is missing or
// empty, or when the value is not a plain host name or address (a value
// that would change the FTP address's meaning is not used).
QString FtpServerFromReply(QString reply);
// Asks the lookup at lookupBase for the FTP server; empty when it fails.
QString LookupFtpServer(const QString& lookupBase, const QString& installationId,
                        const HttpFetchOptions& options);

// The download worker thread, shared by the dialog and the command-line tool.
// The address lookup runs on the worker's thread as well, so a slow lookup
// never holds up a window.
class TemplateDownloader {
public:
    TemplateDownloader() = default;
    // Cancels a running download and waits for its thread.
    ~TemplateDownloader();
    TemplateDownloader(const TemplateDownloader&) = delete;
    TemplateDownloader& operator=(const TemplateDownloader&) = delete;

    // Starts a run and returns an empty text, or returns the refusal
    // "未选中模板类别!" when no category is chosen (nothing starts then). The
    // worker asks the lookup first: with no usable address it ends at once
    // with DownloadEnd::Refused and "连接下载服务失败，请稍候再试!". Every report
    // goes to observer on the worker's thread, the last one OnFinished;
    // observer must outlive the run. Not to be called while IsRunning().
    QString Start(const DownloadRequest& request, IDownloadObserver& observer);

    // Asks the worker to stop: a wait or a transfer in progress ends within
    // about a second, the file in hand is not kept, no further file starts.
    void Cancel() { cancel_.store(true); }
    bool IsRunning() const { return running_.load(); }
    // Blocks until the worker's thread has ended (at once when none runs).
    void Wait();

private:
    void Work(DownloadRequest request, IDownloadObserver* observer);

    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> cancel_{false};
};
