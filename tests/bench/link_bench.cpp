// Benchmark, not a test: the serial link on a line at a Z88's 38 400 baud, each way: its reads
// handed out from what one call took in (LinkReadByte), its writes in runs of LinkRunLength()
// bytes (LinkWriteBytes). It prints bytes per second through an unthrottled line beside a
// plain loop of one byte a call on the same port, the CPU time of the link's thread for 256 KiB
// at a Z88's pace, and on Linux its system calls per byte. It runs on a display, so that the
// Esc query costs what it costs in the program. The README gives the whole command for each
// build; the one argument is the bytes per unthrottled round.
#include "link/serial_link.h"
#include "tests/bench/bench_line.h"

#include <stdio.h>

enum { Rounds = 3, PacedSize = 256 * 1024, CountedSize = 256 * 1024 };

// The loops measured, each moving `count` bytes: true when all of them went.
template <int (*ReadByte)(int*)> static bool ReadEach(long count)
{
    int value;
    for (long done = 0; done < count; done++) {
        if (!ReadByte(&value))
            return false;
    }
    return true;
}

static bool WriteRuns(long count)
{
    static const unsigned char bytes[LinkRunMax] = {};
    for (long done = 0; done < count;) {
        int written = 0;
        if (!LinkWriteBytes(bytes, (int)std::min(count - done, (long)LinkRunLength()), &written))
            return false;
        done += written;
    }
    return true;
}

int main(int argc, char** argv)
{
    long count = StartBenchmark(argc, argv, "link_bench", 1 << 20);
    if (!OpenBenchLink("link_bench", "38400", "0"))
        return 1;
    SetLinkTimeouts(TransferMode);
    const double lineSeconds = (double)PacedSize / BenchPacedRate;
    printf("%ld bytes per round, runs of %d bytes; then %d bytes each way at %d bytes a second (%.0f s each)\n",
           count, LinkRunLength(), (int)PacedSize, (int)BenchPacedRate, lineSeconds);

    const Bytes zeros((size_t)count);
    struct Way {
        const char* name;
        bool reads;
        std::function<bool(long)> link, plain;
    } ways[] = {{"receive", true, ReadEach<LinkReadByte>, ReadEach<PlainReadByte>},
                {"send", false, WriteRuns, [&](long n) { return PlainWriteBytes(zeros.data(), n, 1) != 0; }}};
    for (const Way& way : ways) {
        auto farEnd = [&](long size) { return way.reads ? FarEndSends(size) : FarEndTakes(size); };
        auto rate = [&](const std::function<bool(long)>& loop) {
            double seconds = MeasuredRun(WallSeconds, farEnd(count), [&] { return loop(count); });
            return seconds > 0 ? count / seconds : -1;
        };
        std::vector<double> rates;
        for (int round = 0; round < Rounds; round++) {
            rates.push_back(rate(way.link));
            printf("%s round %d: %.0f bytes per second\n", way.name, round + 1, rates.back());
        }
        double plain = rate(way.plain);
        double cpu = MeasuredRun(PacedCpuSeconds, farEnd(PacedSize), [&] { return way.link(PacedSize); });
        double calls = MeasuredRun(SystemCalls, farEnd(CountedSize), [&] { return way.link(CountedSize); });

        printf("\n%s: unthrottled, the median of %d rounds; CPU: the link's thread over the line's %.0f s;\n"
               "system calls: strace -c on the link's thread alone, %d bytes unthrottled\n",
               way.name, Rounds, lineSeconds, (int)CountedSize);
        PrintFigure("unthrottled, B/s", Median(rates), "%.0f");
        PrintFigure("  plain loop, one byte a call, B/s", plain, "%.0f");
        PrintPacedCpu("256 KiB paced, CPU s", cpu, lineSeconds);
        PrintFigure("system calls per byte", calls < 0 ? -1 : calls / CountedSize, "%.4f");
        printf("\n");
    }
    double queries = RawEscapeQueriesPerSecond();
    if (queries < 0)
        printf("Esc query: not measured (no display)\n");
    else
        printf("Esc query asked of the platform directly, uncached: %.0f per second\n", queries);
    CloseLink();
    return 0;
}
