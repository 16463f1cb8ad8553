#include "download/url_text.h"

#include "common/gbk.h"
#include "download/curl_support.h"

#include <QStringList>

namespace {
constexpr int kEmptyReadBudget = 10;

struct ReplyBody {
    QByteArray data;
    qint64 maxBytes = 0;
};

size_t CollectBody(char* bytes, size_t size, size_t count, void* user) {
    auto* body = static_cast<ReplyBody*>(user);
    const size_t n = size * count;
    if (body->data.size() + static_cast<qint64>(n) > body->maxBytes)
        return 0; // ends the transfer with a write error
    body->data.append(bytes, static_cast<qsizetype>(n));
    return n;
}
} // namespace

QString JoinReplyLines(const QByteArray& body) {
    const QStringList lines = FromGbk(body).split(QLatin1Char('\n'));
    QString text;
    int budget = kEmptyReadBudget;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // A final line break leaves an empty tail that is the body's end,
        // not a line.
        if (i == lines.size() - 1 && line.isEmpty())
            break;
        if (line.isEmpty() && --budget == 0)
            break;
        text += line + QStringLiteral("\r\n");
    }
    return text;
}

QString FetchUrlText(const QString& url, const HttpFetchOptions& options) {
    CurlHandle handle;
    if (!handle)
        return {};
    CURL* curl = handle.get();
    ReplyBody body;
    body.maxBytes = options.maxBytes;
    const QByteArray address = url.toUtf8();
    const QByteArray agent = CurlUserAgent();
    curl_slist* headers = nullptr;
    // Never an answer kept by a cache on the way: the address may have
    // changed since.
    headers = curl_slist_append(headers, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");

    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.constData());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(options.connectSeconds));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(options.stallSeconds));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, CollectBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, AbortWhenCancelled);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(options.cancel));
    const CURLcode result = curl_easy_perform(curl);
    curl_slist_free_all(headers);
    if (result != CURLE_OK)
        return {};
    return JoinReplyLines(body.data);
}
