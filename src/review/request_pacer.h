#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <string>

// Keeps one client from taking the server's time from the others: each
// client address may send `burst` requests at once and then `perSecond` a
// second. A request beyond that waits for its turn, up to maxWaitMs; a
// client with maxWaiting requests already waiting, or whose turn is further
// off, is refused until it slows down.
class RequestPacer {
public:
    using Clock = std::chrono::steady_clock;

    struct Limits {
        double perSecond = 10;
        double burst = 20;
        int maxWaiting = 4;
        int maxWaitMs = 3000;
    };

    RequestPacer() : RequestPacer(Limits{}) {}
    explicit RequestPacer(Limits limits) : limits_(limits) {}

    // How long the request must wait before it is served (0: at once); -1
    // when it is refused. A request told to wait calls Waited() afterwards.
    int Admit(const std::string& client, Clock::time_point now = Clock::now());
    void Waited(const std::string& client);

private:
    struct Bucket {
        double tokens = 0;
        Clock::time_point updated;
        int waiting = 0;
    };

    Limits limits_;
    std::mutex mutex_;
    std::map<std::string, Bucket> buckets_;
};
