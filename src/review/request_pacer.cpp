#include "review/request_pacer.h"

#include <cmath>

namespace {
// Clients remembered at most; those with full buckets are forgotten first.
constexpr size_t kMaxClients = 4096;
} // namespace

int RequestPacer::Admit(const std::string& client, Clock::time_point now) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (buckets_.size() >= kMaxClients && !buckets_.count(client)) {
        for (auto it = buckets_.begin(); it != buckets_.end();) {
            const double seconds = std::chrono::duration<double>(now - it->second.updated).count();
            const bool full = it->second.tokens + seconds * limits_.perSecond >= limits_.burst;
            it = full && it->second.waiting == 0 ? buckets_.erase(it) : std::next(it);
        }
        if (buckets_.size() >= kMaxClients)
            return -1;
    }
    auto [it, added] = buckets_.try_emplace(client);
    Bucket& bucket = it->second;
    if (added) {
        bucket.tokens = limits_.burst;
    } else {
        const double seconds = std::chrono::duration<double>(now - bucket.updated).count();
        bucket.tokens = std::min(limits_.burst, bucket.tokens + seconds * limits_.perSecond);
    }
    bucket.updated = now;
    if (bucket.tokens >= 1) {
        bucket.tokens -= 1;
        return 0;
    }
    // The turn of this request: when the tokens owed by those before it and
    // its own have come in.
    const int waitMs = static_cast<int>(std::ceil((1 - bucket.tokens) / limits_.perSecond * 1000));
    if (bucket.waiting >= limits_.maxWaiting || waitMs > limits_.maxWaitMs)
        return -1;
    bucket.tokens -= 1;
    ++bucket.waiting;
    return waitMs;
}

void RequestPacer::Waited(const std::string& client) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = buckets_.find(client);
    if (it != buckets_.end() && it->second.waiting > 0)
        --it->second.waiting;
}
