// The program's one steady clock: time from some fixed start, which never goes back. The
// link's waits and the terminal's (WaitForStopUntil sleeps to deadlines on it) count on it.
#ifndef TARNWELL_CLOCK_H
#define TARNWELL_CLOCK_H

#include <chrono>

inline long long ClockMicroseconds(void)
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

inline long long ClockMs(void)
{
    return ClockMicroseconds() / 1000;
}

#endif
