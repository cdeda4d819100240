// The far end of the benchmarks' line: a thread that feeds or drains the test line.
#include "tests/bench/bench_line.h"

#include "link/serial_link.h"
#include "settings/settings.h"
#include "tests/support/peer_line.h"
#include "tests/support/settings_store.h"
#include "ui/escape_key.h"

#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <thread>

static std::thread FarEnd;

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

// The far end's wait for a byte: long enough for a busy machine, short enough that a
// benchmark whose program stopped reading still ends.
enum { FarEndWaitMs = 5000, Chunk = 4096 };

void StartSending(const unsigned char* bytes, long count)
{
    FarEnd = std::thread([bytes, count] {
        for (long done = 0; done < count; done += Chunk) {
            long left = count - done;
            if (!PeerSend(bytes + done, left < Chunk ? (size_t)left : (size_t)Chunk))
                return;
        }
    });
}

void StartFeeding(long count)
{
    static const unsigned char zeros[Chunk] = {};
    FarEnd = std::thread([count] {
        for (long left = count; left > 0; left -= Chunk) {
            if (!PeerSend(zeros, left < Chunk ? (size_t)left : (size_t)Chunk))
                return;
        }
    });
}

void StartDraining(long count)
{
    FarEnd = std::thread([count] {
        for (long left = count; left > 0 && PeerReceiveByte(FarEndWaitMs) >= 0; left--) {
        }
    });
}

// Moves `count` bytes at the Z88's pace, a chunk per tick, each with `move` (which moves up
// to the bytes it is given and says how many it moved, or -1 when the line failed).
template <typename Move> static void Paced(long count, Move move)
{
    FarEnd = std::thread([count, move] {
        static unsigned char chunk[BenchPacedChunk];
        BenchClock::time_point start = BenchClock::now();
        int idleTicks = 0;
        for (long done = 0; done < count;) {
            double due = (double)done / BenchPacedRate;
            double wait = due - SecondsSince(start);
            if (wait > 0)
                std::this_thread::sleep_for(std::chrono::duration<double>(wait));
            long size = count - done < (long)BenchPacedChunk ? count - done : (long)BenchPacedChunk;
            long moved = move(chunk, (size_t)size);
            if (moved < 0 || (moved == 0 && ++idleTicks > 5 * BenchPacedRate / BenchPacedChunk))
                return;  // the line failed, or the program's end gave up five seconds ago
            if (moved == 0)
                std::this_thread::sleep_for(std::chrono::duration<double>((double)BenchPacedChunk / BenchPacedRate));
            else
                idleTicks = 0;
            done += moved;
        }
    });
}

void StartFeedingPaced(long count)
{
    Paced(count, [](unsigned char* chunk, size_t size) { return PeerSend(chunk, size) ? (long)size : -1L; });
}

void StartDrainingPaced(long count)
{
    // What is there, up to a chunk: the far end never waits inside a tick.
    Paced(count, [](unsigned char* chunk, size_t size) { return (long)PeerRead(chunk, size, 0); });
}

void WaitForFarEnd()
{
    FarEnd.join();
}

double RawEscapeQueriesPerSecond()
{
    if (!getenv("DISPLAY") || !*getenv("DISPLAY"))
        return -1;
    // Batches until a fifth of a second has gone, whatever a query costs on this platform.
    long queries = 0;
    int held = 0;
    BenchClock::time_point start = BenchClock::now();
    do {
        for (int i = 0; i < 100; i++)
            held += EscapeDownNow();
        queries += 100;
    } while (SecondsSince(start) < 0.2);
    return held >= 0 ? queries / SecondsSince(start) : 0;
}

void PrintBeforeNow(const char* figure, double before, double now, const char* format)
{
    char beforeText[32] = "not measured", nowText[32] = "not measured", ratio[32] = "";
    if (before >= 0)
        snprintf(beforeText, sizeof beforeText, format, before);
    if (now >= 0)
        snprintf(nowText, sizeof nowText, format, now);
    if (before > 0 && now >= 0)
        snprintf(ratio, sizeof ratio, "%.3g", now / before);
    printf("%-40s %16s %16s %10s\n", figure, beforeText, nowText, ratio);
}
