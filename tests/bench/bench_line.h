// What the benchmarks share: their start, their clock and files, the link opened on the test
// line, runs measured against the far end of that line, and a plain copy on the link's port.
#ifndef TARNWELL_BENCH_LINE_H
#define TARNWELL_BENCH_LINE_H

#include "tests/support/z88.h"
#include "ui/progress.h"
#include "ui/window_handle.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

// Makes the output unbuffered and gives the one argument, a size in bytes (`defaultSize` when
// there is none); anything but a whole number from 1 to 2^30 prints the usage line and ends
// the program with status 2.
long StartBenchmark(int argc, char** argv, const char* name, long defaultSize);

inline double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Files to move: Z88 text (lines of prose ending in CR LF: every byte goes out plain, so line
// bytes and file bytes are the same), and a fixed pseudo-random sequence (about 61 % of its
// bytes go out escaped, as 4 bytes).
Bytes BenchTextFile(long size);
Bytes BenchRandomFile(long size);

// A fresh settings store, the test line with "Rate" and "Xon" as given and, when `directory`
// is given, that "Directory"; then the link opened on it. False, the reason printed, when the
// line or the link did not open.
bool OpenBenchLink(const char* name, const char* rate, const char* xon, const char* directory = nullptr);

// The far end's part while a benchmark runs: it takes `count` bytes from the line, or sends
// them (`bytes`, which must stay until WaitForFarEnd; zeros when none are given). Started on
// a thread of its own, as fast as the line lets it or at a Z88's pace: BenchPacedRate bytes a
// second in chunks of BenchPacedChunk (60 a second, as a USB adapter's packets).
struct FarEnd {
    bool sends;
    long count;
    const unsigned char* bytes;
};
inline FarEnd FarEndTakes(long count) { return FarEnd{false, count, nullptr}; }
inline FarEnd FarEndSends(long count, const unsigned char* bytes = nullptr) { return FarEnd{true, count, bytes}; }
enum { BenchPacedRate = 3840, BenchPacedChunk = 64 };
void StartFarEnd(FarEnd farEnd, bool paced);
void WaitForFarEnd();

// Runs `work` (true when it did all it should) on the calling thread while the far end does
// its part, and gives what the meter read, or -1 when the work failed or the figure cannot be
// had: the seconds it took (the far end unthrottled), the CPU seconds the thread used (the far
// end at a Z88's pace), or the thread's system calls (the far end unthrottled; strace -c on
// Linux, where strace is installed and may trace).
enum Meter { WallSeconds, PacedCpuSeconds, SystemCalls };
double MeasuredRun(Meter meter, FarEnd farEnd, const std::function<bool()>& work);

// A row of a benchmark's table: the figure's name, and its value in `format` or "not measured"
// when it is negative. PrintPacedCpu gives a PacedCpuSeconds figure two rows: the seconds, and
// the share of a core over the line's `lineSeconds`.
void PrintFigure(const char* figure, double value, const char* format);
void PrintPacedCpu(const char* figure, double cpuSeconds, double lineSeconds);

// The plain copy on the link's port (LinkHandle) that the link and the sessions are measured
// against: one byte read, or `count` bytes written in writes of at most `piece` bytes (fewer
// when the port takes fewer). Non-zero when it went.
int PlainReadByte(int* value);
int PlainWriteBytes(const unsigned char* bytes, long count, long piece);

// The platform's own Esc query (EscapeDownNow), uncached: how many per second; -1 with no
// display.
double RawEscapeQueriesPerSecond();

// What a session asks of the real ui besides the line, printed per byte and per drawing: for
// `count` bytes with the progress window for `name` open over `owner`, a progress step and an
// Esc query each. In the benchmarks that link the status windows (ui_cost.cpp).
void PrintUiCost(WindowHandle owner, TransferDirection direction, const char* name, long count);

// Platform parts: the CPU time the calling thread has used, in seconds; and its system calls
// counted from StartCountingCalls to StopCountingCalls (-1 where they cannot be counted).
double ThreadCpuSeconds();
bool StartCountingCalls();
long StopCountingCalls();

#endif
