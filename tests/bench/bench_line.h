// What the benchmarks share: their start (output and argument), their timing, and the
// platform side: the far end of an unthrottled line that feeds or drains bytes as fast as it
// can, and the plain one-byte loop the link is measured against.
#ifndef TARNWELL_BENCH_LINE_H
#define TARNWELL_BENCH_LINE_H

#include "ui/window_handle.h"

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <vector>

// The largest size a benchmark takes, in bytes.
enum { BenchSizeMax = 1 << 30 };

// What every benchmark does first. Its output is made unbuffered, so that each line shows as
// it is printed (also through the file that wine-run passes it on from). Its one argument is
// the size in bytes, `defaultSize` when there is none; anything but a whole number from 1 to
// BenchSizeMax prints the usage line and ends the program with status 2.
inline long StartBenchmark(int argc, char** argv, const char* name, long defaultSize)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    long size = defaultSize;
    bool ok = argc <= 2;
    if (ok && argc == 2) {
        size = 0;
        ok = argv[1][0] != 0;
        for (const char* digit = argv[1]; ok && *digit; digit++) {
            int value = *digit - '0';
            ok = value >= 0 && value <= 9 && size <= (BenchSizeMax - value) / 10;
            size = size * 10 + value;
        }
        ok = ok && size > 0;
    }
    if (!ok) {
        fprintf(stderr, "usage: %s [bytes]   (bytes: a whole number from 1 to %d; %ld when not given)\n",
                name, (int)BenchSizeMax, defaultSize);
        exit(2);
    }
    return size;
}

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

// A fresh settings store, the test line (OpenPeerLine) with "Rate" and "Xon" as given and,
// when `directory` is given, that "Directory"; then the link opened on it. False, with the
// reason printed, when the line or the link did not open.
bool OpenBenchLink(const char* name, const char* rate, const char* xon, const char* directory = nullptr);

// A thread at the far end of the test line (OpenPeerLine) sends `count` bytes / takes `count`
// bytes, as fast as the line lets it. WaitForFarEnd waits until it has done so.
void StartFeeding(long count);
void StartDraining(long count);
// The same as StartFeeding with the `count` bytes at `bytes`, which must stay until
// WaitForFarEnd.
void StartSending(const unsigned char* bytes, long count);
// The same as StartFeeding / StartDraining at a Z88's pace: BenchPacedRate, in chunks
// of BenchPacedChunk on a schedule that does not drift (60 a second, as a USB adapter's packets).
enum { BenchPacedRate = 3840, BenchPacedChunk = 64 };
void StartFeedingPaced(long count);
void StartDrainingPaced(long count);
void WaitForFarEnd();

// What a session asks of the real ui besides the line, `count` bytes long, with the
// progress window captioned `title` open over `owner`: a progress step for every byte (a
// drawing for every 64th) and an Esc query for every byte. Printed per byte and per drawing.
// Only in the benchmarks that link the status windows and the alerts (ui_cost.cpp).
void PrintUiCost(WindowHandle owner, const char* title, long count);

// One row of a before-and-now table: the figure's name, both values printed with `format`
// ("not measured" for a negative one), and now / before.
void PrintBeforeNow(const char* figure, double before, double now, const char* format);

// The CPU time the calling thread has used, in seconds: the program's side of a benchmark
// alone, without the far end's thread.
double ThreadCpuSeconds();

// Counts the system calls the calling thread makes from StartCountingCalls to
// StopCountingCalls: strace -c attached to the thread alone (-p with its thread id, no -f,
// so that the far end's thread is not counted). StopCountingCalls gives the count, or -1
// where calls cannot be counted (no strace, no right to trace, Windows).
bool StartCountingCalls();
long StopCountingCalls();

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
