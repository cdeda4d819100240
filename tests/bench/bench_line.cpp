// The benchmarks' shared part (see bench_line.h): the far end is a thread on the peer line.
#include "tests/bench/bench_line.h"

#include "link/serial_link.h"
#include "protocol/store.h"
#include "settings/settings.h"
#include "tests/support/peer_line.h"
#include "tests/support/settings_store.h"
#include "ui/escape_key.h"

#include <stdio.h>
#include <stdlib.h>

#include <thread>

long StartBenchmark(int argc, char** argv, const char* name, long defaultSize)
{
    enum { SizeMax = 1 << 30 };
    // Unbuffered, so that each line shows as it is printed (also through the file that
    // wine-run passes it on from).
    setvbuf(stdout, nullptr, _IONBF, 0);
    long size = defaultSize;
    bool ok = argc <= 2;
    if (ok && argc == 2) {
        size = 0;
        ok = argv[1][0] != 0;
        for (const char* digit = argv[1]; ok && *digit; digit++) {
            int value = *digit - '0';
            ok = value >= 0 && value <= 9 && size <= (SizeMax - value) / 10;
            size = size * 10 + value;
        }
        ok = ok && size > 0;
    }
    if (!ok) {
        fprintf(stderr, "usage: %s [bytes]   (bytes: a whole number from 1 to %d; %ld when not given)\n",
                name, (int)SizeMax, defaultSize);
        exit(2);
    }
    return size;
}

Bytes BenchTextFile(long size)
{
    static const char line[] = "The Z88 sends its files to the PC, and the PC sends them back.\r\n";
    Bytes file((size_t)size);
    for (size_t i = 0; i < file.size(); i++)
        file[i] = (unsigned char)line[i % (sizeof line - 1)];
    return file;
}

Bytes BenchRandomFile(long size)
{
    Bytes file((size_t)size);
    unsigned state = 2463534242u;
    for (unsigned char& byte : file) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = (unsigned char)(state >> 24);
    }
    return file;
}

bool OpenBenchLink(const char* name, const char* rate, const char* xon, const char* directory)
{
    ResetSettingsStore();
    char port[TextSize];
    if (!OpenPeerLine(port, sizeof port)) {
        fprintf(stderr, "%s: no line\n", name);
        return false;
    }
    PutSetting("Port", port);
    PutSetting("Rate", rate);
    PutSetting("Xon", xon);
    if (directory)
        PutSetting("Directory", directory);
    OpenLink();
    if (LinkHandle == 0 || LinkHandle == LinkOpenFailed) {
        fprintf(stderr, "%s: the link did not open %s\n", name, port);
        return false;
    }
    return true;
}

static std::thread FarEndThread;

static void Sleep(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void StartFarEnd(FarEnd part, bool paced)
{
    // Unthrottled, the far end waits up to FarEndWaitMs for a byte: long enough for a busy
    // machine, short enough that a benchmark whose program stopped reading still ends. Paced,
    // it takes only what is there and gives up after five seconds of ticks with nothing.
    enum { FarEndWaitMs = 5000, Chunk = 4096, IdleTicksMax = 5 * BenchPacedRate / BenchPacedChunk };
    FarEndThread = std::thread([part, paced] {
        static const unsigned char zeros[Chunk] = {};
        unsigned char taken[Chunk];
        auto start = std::chrono::steady_clock::now();
        int idleTicks = 0;
        for (long done = 0; done < part.count;) {
            // A schedule that does not drift: each chunk is due at its place in the whole.
            double wait = paced ? (double)done / BenchPacedRate - SecondsSince(start) : 0;
            if (wait > 0)
                Sleep(wait);
            size_t size = (size_t)std::min(part.count - done, paced ? (long)BenchPacedChunk : (long)Chunk);
            long moved = part.sends ? (PeerSend(part.bytes ? part.bytes + done : zeros, size) ? (long)size : -1)
                                    : (long)PeerRead(taken, size, paced ? 0 : FarEndWaitMs);
            if (moved < 0 || (moved == 0 && (!paced || ++idleTicks > IdleTicksMax)))
                return;
            if (moved == 0)
                Sleep((double)BenchPacedChunk / BenchPacedRate);
            else
                idleTicks = 0;
            done += moved;
        }
    });
}

void WaitForFarEnd()
{
    FarEndThread.join();
}

double MeasuredRun(Meter meter, FarEnd farEnd, const std::function<bool()>& work)
{
    if (meter == SystemCalls && !StartCountingCalls())
        return -1;
    StartFarEnd(farEnd, meter == PacedCpuSeconds);
    double cpu = meter == PacedCpuSeconds ? ThreadCpuSeconds() : 0;
    auto start = std::chrono::steady_clock::now();
    bool done = work();
    double figure = meter == WallSeconds       ? SecondsSince(start)
                    : meter == PacedCpuSeconds ? ThreadCpuSeconds() - cpu
                                               : (double)StopCountingCalls();
    WaitForFarEnd();
    return done && figure >= 0 ? figure : -1;
}

void PrintFigure(const char* figure, double value, const char* format)
{
    char text[32] = "not measured";
    if (value >= 0)
        snprintf(text, sizeof text, format, value);
    printf("%-40s %16s\n", figure, text);
}

void PrintPacedCpu(const char* figure, double cpuSeconds, double lineSeconds)
{
    PrintFigure(figure, cpuSeconds, "%.3f");
    PrintFigure("  % of a core", cpuSeconds < 0 ? -1 : 100 * cpuSeconds / lineSeconds, "%.4f");
}

double RawEscapeQueriesPerSecond()
{
    if (!getenv("DISPLAY") || !*getenv("DISPLAY"))
        return -1;
    // Batches until a fifth of a second has gone, whatever a query costs on this platform.
    long queries = 0;
    int held = 0;
    auto start = std::chrono::steady_clock::now();
    do {
        for (int i = 0; i < 100; i++)
            held += EscapeDownNow();
        queries += 100;
    } while (SecondsSince(start) < 0.2);
    return held >= 0 ? queries / SecondsSince(start) : 0;
}
