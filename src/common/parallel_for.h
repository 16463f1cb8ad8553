#pragma once

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// Runs fn(0) ... fn(count - 1) on as many threads as the machine has cores
// (at most count), each index exactly once. An exception thrown by fn is
// passed on to the caller after every thread has stopped.
template <typename Fn> void ParallelFor(int count, Fn fn) {
    if (count <= 0)
        return;
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int threads = std::min(count, cores);
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    auto work = [&] {
        for (int i = next++; i < count; i = next++) {
            try {
                fn(i);
            } catch (...) {
                std::lock_guard<std::mutex> lock(failureMutex);
                if (!failure)
                    failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& h : helpers)
        h.join();
    if (failure)
        std::rethrow_exception(failure);
}
