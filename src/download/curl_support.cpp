#include "download/curl_support.h"

#include <QCoreApplication>
#include <mutex>

void EnsureCurlReady() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QByteArray CurlUserAgent() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QByteArrayLiteral("taoban") : name.toUtf8();
}

int AbortWhenCancelled(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* flag = static_cast<const std::atomic<bool>*>(cancel);
    return flag && flag->load() ? 1 : 0;
}

CurlHandle::CurlHandle() {
    EnsureCurlReady();
    curl_ = curl_easy_init();
}

CurlHandle::~CurlHandle() {
    if (curl_)
        curl_easy_cleanup(curl_);
}

CURLcode PerformOn(CURLM* multi, CURL* easy) {
    if (curl_multi_add_handle(multi, easy) != CURLM_OK)
        return CURLE_FAILED_INIT;
    int running = 1;
    CURLcode result = CURLE_OK;
    while (running > 0) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running > 0 && curl_multi_poll(multi, nullptr, 0, 20, nullptr) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued))
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
            result = message->data.result;
    curl_multi_remove_handle(multi, easy);
    return result;
}
