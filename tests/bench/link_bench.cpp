// Benchmark, not a test: the serial link before and now, from one run, on a line at a Z88's
// 38 400 baud. Before: one byte per call of the port (byte_link.h, kept for this); now: the
// link's reads handed out from what one call took in (LinkReadByte), and its writes in runs
// of LinkRunLength() bytes (LinkWriteBytes). It prints
//   - bytes per second through an unthrottled line, each way, beside a plain one-byte loop
//     on the same port;
//   - the CPU time of the link's thread for 256 KiB at a Z88's pace (3 840 bytes a second),
//     each way;
//   - on Linux, the system calls per byte of the link's thread, each way (strace -c);
// and the whole as one table. It runs on a display, so that the Esc query costs what it
// costs in the program. The README gives the whole command for each build; the one argument
// is the bytes per unthrottled round.
#include "link/serial_link.h"
#include "settings/settings.h"
#include "tests/bench/bench_line.h"
#include "tests/bench/byte_link.h"
#include "tests/support/peer_line.h"
#include "tests/support/settings_store.h"

#include <stdio.h>

#include <algorithm>
#include <chrono>
#include <vector>

enum { Rounds = 3, PacedSize = 256 * 1024, CountedSize = 256 * 1024 };

// The loops under test: each moves `count` bytes and says how many it moved.
static long ReadBytes(int (*readByte)(int*), long count)
{
    long done = 0;
    int value;
    while (done < count && readByte(&value))
        done++;
    return done;
}
static long ReadPlain(long count)
{
    return ReadBytes(PlainReadByte, count);
}
static long ReadBefore(long count)
{
    return ReadBytes(ByteLinkReadByte, count);
}
static long ReadNow(long count)
{
    return ReadBytes(LinkReadByte, count);
}
static long WriteBytes(int (*writeByte)(int), long count)
{
    long done = 0;
    while (done < count && writeByte((int)(done & 0xFF)))
        done++;
    return done;
}
static long WritePlain(long count)
{
    return WriteBytes(PlainWriteByte, count);
}
static long WriteBefore(long count)
{
    return WriteBytes(ByteLinkWriteByte, count);
}
static long WriteNow(long count)
{
    unsigned char run[LinkRunMax];
    int length = LinkRunLength();
    long done = 0;
    int ok = 1;
    while (ok && done < count) {
        int size = count - done < length ? (int)(count - done) : length;
        for (int i = 0; i < size; i++)
            run[i] = (unsigned char)((done + i) & 0xFF);
        int written = 0;
        ok = LinkWriteBytes(run, size, &written);
        done += written;
    }
    return done;
}

typedef long (*Loop)(long count);

static void StartFarEnd(Loop loop, long count, bool paced)
{
    bool reads = loop == ReadPlain || loop == ReadBefore || loop == ReadNow;
    if (reads)
        paced ? StartFeedingPaced(count) : StartFeeding(count);
    else
        paced ? StartDrainingPaced(count) : StartDraining(count);
}

// Bytes per second of one unthrottled round, or 0 when it failed.
static double Round(Loop loop, long count)
{
    StartFarEnd(loop, count, false);
    BenchClock::time_point start = BenchClock::now();
    long done = loop(count);
    double seconds = SecondsSince(start);
    WaitForFarEnd();
    return done == count ? count / seconds : 0;
}

// CPU seconds of the link's thread for PacedSize bytes at the Z88's pace, or -1.
static double Paced(Loop loop)
{
    StartFarEnd(loop, PacedSize, true);
    double before = ThreadCpuSeconds();
    long done = loop(PacedSize);
    double used = ThreadCpuSeconds() - before;
    WaitForFarEnd();
    return done == PacedSize ? used : -1;
}

// System calls per byte of the link's thread, unthrottled, or -1 when not counted.
static double CallsPerByte(Loop loop)
{
    if (!StartCountingCalls())
        return -1;
    StartFarEnd(loop, CountedSize, false);
    long done = loop(CountedSize);
    long calls = StopCountingCalls();
    WaitForFarEnd();
    return calls >= 0 && done == CountedSize ? (double)calls / CountedSize : -1;
}

int main(int argc, char** argv)
{
    long count = StartBenchmark(argc, argv, "link_bench", 1 << 20);
    if (!OpenBenchLink("link_bench", "38400", "0"))
        return 1;
    SetLinkTimeouts(TransferMode);

    printf("%ld bytes per round, runs of %d bytes; bytes per second (the plain loops: one round):\n", count,
           LinkRunLength());
    std::vector<double> readBefore, readNow, writeBefore, writeNow;
    double readPlain = Round(ReadPlain, count), writePlain = Round(WritePlain, count);
    for (int round = 0; round < Rounds; round++) {
        readBefore.push_back(Round(ReadBefore, count));
        readNow.push_back(Round(ReadNow, count));
        writeBefore.push_back(Round(WriteBefore, count));
        writeNow.push_back(Round(WriteNow, count));
        printf("round %d:  read  before %10.0f  now %10.0f   write  before %10.0f  now %10.0f\n", round + 1,
               readBefore.back(), readNow.back(), writeBefore.back(), writeNow.back());
    }
    printf("plain one-byte loops:  read %.0f  write %.0f\n", readPlain, writePlain);

    printf("%d bytes each way at %d bytes a second (%.0f s each) ...\n", (int)PacedSize, (int)BenchPacedRate,
           (double)PacedSize / BenchPacedRate);
    double lineSeconds = (double)PacedSize / BenchPacedRate;
    double pacedReadBefore = Paced(ReadBefore), pacedReadNow = Paced(ReadNow);
    double pacedWriteBefore = Paced(WriteBefore), pacedWriteNow = Paced(WriteNow);
    double callsReadBefore = CallsPerByte(ReadBefore), callsReadNow = CallsPerByte(ReadNow);
    double callsWriteBefore = CallsPerByte(WriteBefore), callsWriteNow = CallsPerByte(WriteNow);

    printf("\nmedians of %d rounds; CPU: the link's thread, %% of a core over the line's %.0f s; system calls:\n"
           "strace -c on the link's thread alone, %d bytes unthrottled\n",
           Rounds, lineSeconds, (int)CountedSize);
    printf("%-40s %16s %16s %10s\n", "", "before", "now", "now/before");
    PrintBeforeNow("receive unthrottled, B/s", Median(readBefore), Median(readNow), "%.0f");
    PrintBeforeNow("send unthrottled, B/s", Median(writeBefore), Median(writeNow), "%.0f");
    PrintBeforeNow("receive 256 KiB paced, CPU s", pacedReadBefore, pacedReadNow, "%.3f");
    PrintBeforeNow("  % of a core", pacedReadBefore < 0 ? -1 : 100 * pacedReadBefore / lineSeconds,
        pacedReadNow < 0 ? -1 : 100 * pacedReadNow / lineSeconds, "%.4f");
    PrintBeforeNow("send 256 KiB paced, CPU s", pacedWriteBefore, pacedWriteNow, "%.3f");
    PrintBeforeNow("  % of a core", pacedWriteBefore < 0 ? -1 : 100 * pacedWriteBefore / lineSeconds,
        pacedWriteNow < 0 ? -1 : 100 * pacedWriteNow / lineSeconds, "%.4f");
    PrintBeforeNow("receive, system calls per byte", callsReadBefore, callsReadNow, "%.4f");
    PrintBeforeNow("send, system calls per byte", callsWriteBefore, callsWriteNow, "%.4f");
    double queries = RawEscapeQueriesPerSecond();
    if (queries < 0)
        printf("Esc query: not measured (no display)\n");
    else
        printf("Esc query asked of the platform directly, uncached: %.0f per second\n", queries);
    CloseLink();
    return 0;
}
