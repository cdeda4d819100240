// The platform side of the link benchmark: the far end of an unthrottled line that feeds or
// drains bytes as fast as it can, and the plain one-byte loop the link is measured against.
#ifndef TARNWELL_BENCH_LINE_H
#define TARNWELL_BENCH_LINE_H

#include <stddef.h>

#include <algorithm>
#include <chrono>
#include <vector>

// Timing shared by the benchmarks: seconds since `start`, and the median of some rounds.
using BenchClock = std::chrono::steady_clock;

inline double SecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double>(BenchClock::now() - start).count();
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Makes the line; `programPort` (`size` bytes) receives the name for the setting "Port".
bool OpenBenchLine(char* programPort, size_t size);

// A thread at the far end sends `count` bytes / takes `count` bytes, as fast as the line
// lets it. WaitForFarEnd waits until it has done so.
void StartFeeding(long count);
void StartDraining(long count);
// The same as StartFeeding with the `count` bytes at `bytes`, which must stay until
// WaitForFarEnd.
void StartSending(const unsigned char* bytes, long count);
void WaitForFarEnd();

// The plain loop's one byte, on the link's own open port (LinkHandle), with the timeouts of
// TransferMode but nothing else: no Esc query, no mode switch.
//   Linux: poll() then read() / write();  Windows: ReadFile / WriteFile.
int PlainReadByte(int* value);
int PlainWriteByte(int value);

// A plain copy of `count` bytes to the link's port in as few writes as the port takes
// (with `count` 1: one write, the least one byte can cost). Non-zero when all of them went.
int PlainWriteBytes(const unsigned char* bytes, long count);

// The platform's own Esc query (EscapeDownNow), asked directly with no caching: how many
// per second.
// -1 when it cannot be asked (no display).
double RawEscapeQueriesPerSecond();

#endif
