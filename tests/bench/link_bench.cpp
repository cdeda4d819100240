// Benchmark, not a test: bytes per second through LinkReadByte and LinkWriteByte on an
// unthrottled line, next to a plain one-byte loop on the same port, and the ratio. It runs
// on a display, so that the Esc query costs what it costs in the program. The README gives
// the whole command for each build; the one argument is the bytes per round.
#include "link/serial_link.h"
#include "settings/settings.h"
#include "tests/bench/bench_line.h"
#include "tests/support/peer_line.h"
#include "tests/support/settings_store.h"

#include <stdio.h>

#include <algorithm>
#include <chrono>
#include <vector>

using Clock = std::chrono::steady_clock;

enum { Rounds = 3 };

// Bytes per second of one read loop of `count` bytes, or 0 when a read failed.
static double ReadRound(int (*readByte)(int*), long count)
{
    StartFeeding(count);
    Clock::time_point start = Clock::now();
    long done = 0;
    int value;
    while (done < count && readByte(&value))
        done++;
    double seconds = SecondsSince(start);
    WaitForFarEnd();
    return done == count ? count / seconds : 0;
}

static double WriteRound(int (*writeByte)(int), long count)
{
    StartDraining(count);
    Clock::time_point start = Clock::now();
    long done = 0;
    while (done < count && writeByte((int)(done & 0xFF)))
        done++;
    double seconds = SecondsSince(start);
    WaitForFarEnd();
    return done == count ? count / seconds : 0;
}

static void Report(const char* what, const char* linkName, const char* plainName, const std::vector<double>& link,
                   const std::vector<double>& plain)
{
    double linkRate = Median(link), plainRate = Median(plain);
    printf("%-5s  %-13s %10.0f B/s   %-17s %10.0f B/s   ratio %5.1f %%\n", what, linkName, linkRate, plainName,
           plainRate, plainRate > 0 ? 100.0 * linkRate / plainRate : 0.0);
}

int main(int argc, char** argv)
{
    long count = StartBenchmark(argc, argv, "link_bench", 256 * 1024);
    if (!OpenBenchLink("link_bench", "0"))
        return 1;
    SetLinkTimeouts(TransferMode);

    printf("%ld bytes per round, %d rounds; bytes per second of each loop:\n", count, Rounds);
    std::vector<double> linkRead, plainRead, linkWrite, plainWrite;
    for (int round = 0; round < Rounds; round++) {
        plainRead.push_back(ReadRound(PlainReadByte, count));
        linkRead.push_back(ReadRound(LinkReadByte, count));
        plainWrite.push_back(WriteRound(PlainWriteByte, count));
        linkWrite.push_back(WriteRound(LinkWriteByte, count));
        printf("round %d:  read  LinkReadByte %10.0f  plain %10.0f   write  LinkWriteByte %10.0f  plain %10.0f\n",
               round + 1, linkRead.back(), plainRead.back(), linkWrite.back(), plainWrite.back());
    }
    printf("medians; ratio = the link's bytes per second / the plain loop's: over 100 %% the link is faster\n");
    Report("read", "LinkReadByte", "plain read loop", linkRead, plainRead);
    Report("write", "LinkWriteByte", "plain write loop", linkWrite, plainWrite);
    double queries = RawEscapeQueriesPerSecond();
    if (queries < 0)
        printf("Esc query: not measured (no display)\n");
    else
        printf("Esc query asked of the platform directly, uncached: %.0f per second\n", queries);
    CloseLink();
    return 0;
}
