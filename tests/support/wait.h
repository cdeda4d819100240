// Waiting in tests, the same on both platforms: a pause, and a wait for a condition.
#ifndef TARNWELL_TEST_WAIT_H
#define TARNWELL_TEST_WAIT_H

#include <chrono>
#include <functional>
#include <thread>

inline void Pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Asks `done` every `stepMs` until it gives true, for at most `timeoutMs`; its last answer.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int stepMs = 20)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        Pause(stepMs);
    }
    return true;
}

#endif
