#pragma once

#include <QByteArray>
#include <atomic>
#include <curl/curl.h>

// What the HTTP lookup and the FTP session share on top of libcurl.

// libcurl's process-wide set-up, done once before the first handle; safe to
// call from any thread.
void EnsureCurlReady();

// The agent name sent with requests: the application's name.
QByteArray CurlUserAgent();

// A progress function for CURLOPT_XFERINFOFUNCTION that ends the transfer
// once *cancel (CURLOPT_XFERINFODATA, may be null) is set. libcurl calls it
// at least once a second even while nothing arrives, so a cancel is noticed
// within about a second.
int AbortWhenCancelled(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

// Runs one transfer of easy on multi and returns its result. libcurl's own
// blocking call sleeps up to a second whenever it misses that a step of an
// FTP transfer can go on (seen on every other file); waking at least every
// 20 ms keeps a library of many small files from crawling. Connections stay
// in multi's cache for the next transfer.
CURLcode PerformOn(CURLM* multi, CURL* easy);

// Owns one easy handle.
class CurlHandle {
public:
    CurlHandle();
    ~CurlHandle();
    CurlHandle(const CurlHandle&) = delete;
    CurlHandle& operator=(const CurlHandle&) = delete;
    CURL* get() const { return curl_; }
    explicit operator bool() const { return curl_ != nullptr; }

private:
    CURL* curl_;
};
