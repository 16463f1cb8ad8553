#pragma once

#include <QString>
#include <atomic>

// Limits of one HTTP request for text.
struct HttpFetchOptions {
    int connectSeconds = 30;
    // The request ends when no byte arrives for this long.
    int stallSeconds = 60;
    // A longer reply is not text the program asked for and yields nothing.
    qint64 maxBytes = qint64(1) << 20;
    // Set from another thread to end the request (may be null).
    const std::atomic<bool>* cancel = nullptr;
};

// GET url (http or https) without any cache on the way, as the application
// by its name, through the proxy the environment configures. The reply body
// is decoded from GBK and read line by line; every line is appended with
// CR LF. An empty line counts against a budget of ten and the reading ends
// when the budget is spent or the body ends, so whatever follows ten empty
// lines is not read. A request that fails (no connection, an HTTP error
// status, a time-out, a body over the limit, cancel) yields empty text.
QString FetchUrlText(const QString& url, const HttpFetchOptions& options = {});

// The line reading of FetchUrlText on a body already received.
QString JoinReplyLines(const QByteArray& body);
