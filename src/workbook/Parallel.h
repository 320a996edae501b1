#pragma once

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace Xl {

// Runs `task(i)` for i in [0, count) on up to two threads (the caller's and
// one more), and returns when all are done. Tasks must not share mutable state.
inline void parallelFor(int count, const std::function<void(int)>& task)
{
    const int threads = std::min({2, count, int(std::max(1u, std::thread::hardware_concurrency()))});
    if (threads <= 1) {
        for (int i = 0; i < count; ++i)
            task(i);
        return;
    }
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < count; i = next++)
            task(i);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& h : helpers)
        h.join();
}

} // namespace Xl
