#pragma once

#include <chrono>
#include <thread>

// Polls condition until it holds or the time is up (generous, so that a loaded machine does not fail a
// test); true when it held. For results of a worker thread that has no other way to tell.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::milliseconds(20000))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}
