#include "download/template_downloader.h"

#include "common/extract_tag.h"
#include "download/download_settings.h"
#include "download/url_text.h"

#include <QRegularExpression>

QString FtpServerFromReply(QString reply) {
    const QString value = ExtractTag(reply, QStringLiteral("<ip>")).trimmed();
    // A host name, an IPv4 address or a bare IPv6 address; nothing that
    // could carry a user, a port, a path or a second address into the URL.
    static const QRegularExpression host(QStringLiteral("^[A-Za-z0-9._-]{1,253}$"));
    static const QRegularExpression ipv6(QStringLiteral("^[0-9A-Fa-f:.]{2,45}$"));
    if (host.match(value).hasMatch())
        return value;
    if (value.contains(QLatin1Char(':')) && ipv6.match(value).hasMatch())
        return value;
    return {};
}

QString LookupFtpServer(const QString& lookupBase, const QString& installationId,
                        const HttpFetchOptions& options) {
    if (!IsLookupBaseUrl(lookupBase))
        return {};
    return FtpServerFromReply(FetchUrlText(LookupRequestUrl(lookupBase, installationId), options));
}

TemplateDownloader::~TemplateDownloader() {
    Cancel();
    Wait();
}

void TemplateDownloader::Wait() {
    if (thread_.joinable())
        thread_.join();
}

QString TemplateDownloader::Start(const DownloadRequest& request, IDownloadObserver& observer) {
    bool any = false;
    for (bool chosen : request.categories)
        any = any || chosen;
    if (!any)
        return QString::fromUtf8(DownloadText::kNoCategory);
    if (running_.load())
        return {};
    // A worker that has reported its end may still be leaving its thread.
    Wait();
    cancel_.store(false);
    running_.store(true);
    thread_ = std::thread(&TemplateDownloader::Work, this, request, &observer);
    return {};
}

void TemplateDownloader::Work(DownloadRequest request, IDownloadObserver* observer) {
    DownloadResult result;
    HttpFetchOptions lookup;
    lookup.connectSeconds = request.tuning.lookupTimeoutSeconds;
    lookup.stallSeconds = request.tuning.lookupTimeoutSeconds;
    lookup.cancel = &cancel_;
    const QString server = LookupFtpServer(request.lookupBase, request.installationId, lookup);
    if (cancel_.load()) {
        result.end = DownloadEnd::Cancelled;
    } else if (server.isEmpty()) {
        result.end = DownloadEnd::Refused;
        result.message = QString::fromUtf8(DownloadText::kLookupFailed);
    } else {
        DownloadJob job;
        job.server = server;
        job.port = request.ftpPort;
        job.categories = request.categories;
        job.root = request.root;
        job.limit = request.limit;
        job.tuning = request.tuning;
        result = RunDownloadPasses(job, *observer, cancel_);
    }
    running_.store(false);
    observer->OnFinished(result);
}
