// Benchmark, not a test: file bytes per second that SendFile puts through an unthrottled
// line at a Z88's 38 400 baud, for a text file and a random binary file, beside the send
// session as it was before it wrote in runs (ByteSendFile, one byte per call, kept in
// byte_link.h for this) and plain copies of the same frame bytes through the same port (one
// byte per write, and in as few writes as it takes), with the ratios. Then, for both
// sessions, the CPU time of a 256 KiB text file sent at a Z88's pace (3 840 bytes a second)
// and, on Linux, the system calls per line byte (strace -c on the sending thread alone), and
// the whole as one table. It runs as the program does: the real progress window, owned by a
// window of its own, and the real Esc query, so it runs on a display. The README gives the
// whole command for each build; the one argument is the file size.
#include "link/serial_link.h"
#include "protocol/send.h"
#include "settings/settings.h"
#include "tests/bench/bench_line.h"
#include "tests/bench/byte_link.h"
#include "tests/support/peer_line.h"
#include "tests/support/desktop.h"
#include "tests/support/settings_store.h"
#include "tests/support/temp_folder.h"
#include "tests/support/z88.h"
#include "ui/alerts.h"
#include "ui/progress.h"

#include <stdio.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

enum { Rounds = 3, PacedSize = 256 * 1024, CountedSize = 256 * 1024 };

// Prose with CR LF line ends: every byte goes out plain.
static Bytes TextFile(long size)
{
    static const char line[] = "The Z88 sends its files to the PC, and the PC sends them back.\r\n";
    Bytes file;
    while ((long)file.size() < size)
        file.push_back((unsigned char)line[file.size() % (sizeof line - 1)]);
    return file;
}

// Bytes of a fixed pseudo-random sequence: about 61 % of them go out escaped, as 4 bytes.
static Bytes BinaryFile(long size)
{
    Bytes file;
    unsigned state = 2463534242u;
    while ((long)file.size() < size) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        file.push_back((unsigned char)(state >> 24));
    }
    return file;
}

static WindowHandle Owner;

typedef int (*Session)(WindowHandle owner, const char* path);

// File bytes per second of one round, or 0 when it failed.
static double SendRound(Session send, const std::string& path, long fileSize, long lineSize)
{
    StartDraining(lineSize);
    Clock::time_point start = Clock::now();
    int sent = send(Owner, path.c_str());
    double seconds = SecondsSince(start);
    WaitForFarEnd();
    return sent ? fileSize / seconds : 0;
}

static double ByteLoopRound(const Bytes& frame, long fileSize)
{
    StartDraining((long)frame.size());
    Clock::time_point start = Clock::now();
    size_t done = 0;
    while (done < frame.size() && PlainWriteBytes(&frame[done], 1))
        done++;
    double seconds = SecondsSince(start);
    WaitForFarEnd();
    return done == frame.size() ? fileSize / seconds : 0;
}

static double BulkRound(const Bytes& frame, long fileSize)
{
    StartDraining((long)frame.size());
    Clock::time_point start = Clock::now();
    int done = PlainWriteBytes(frame.data(), (long)frame.size());
    double seconds = SecondsSince(start);
    WaitForFarEnd();
    return done ? fileSize / seconds : 0;
}

// The median file bytes per second of SendFile, and ByteSendFile's (one round: it is slow).
struct Rates {
    double now, before;
};

static Rates Measure(const char* what, const std::string& folder, const std::string& name, const Bytes& file)
{
    std::string path = folder + name;
    WriteWholeFile(path, std::string(file.begin(), file.end()));
    Bytes frame = Z88Frame(name, file);

    printf("%s: %ld file bytes, %ld line bytes; file bytes per second:\n", what, (long)file.size(),
           (long)frame.size());
    std::vector<double> send;
    for (int round = 0; round < Rounds; round++) {
        send.push_back(SendRound(SendFile, path, (long)file.size(), (long)frame.size()));
        printf("  round %d: SendFile %.0f\n", round + 1, send.back());
    }
    double beforeRate = SendRound(ByteSendFile, path, (long)file.size(), (long)frame.size());
    double byteRate = ByteLoopRound(frame, (long)file.size());
    double bulkRate = BulkRound(frame, (long)file.size());
    double sendRate = Median(send);
    printf("  SendFile, median          %10.0f file B/s\n", sendRate);
    printf("  before: one byte a call   %10.0f file B/s   SendFile at %7.1f %%\n", beforeRate,
           beforeRate > 0 ? 100.0 * sendRate / beforeRate : 0.0);
    printf("  plain one-byte writes     %10.0f file B/s   SendFile at %7.1f %%\n", byteRate,
           byteRate > 0 ? 100.0 * sendRate / byteRate : 0.0);
    printf("  plain copy, bulk writes   %10.0f file B/s   SendFile at %7.1f %%\n", bulkRate,
           bulkRate > 0 ? 100.0 * sendRate / bulkRate : 0.0);
    printf("  per line byte: SendFile %.3f us, before %.3f us\n", 1e6 * file.size() / sendRate / frame.size(),
           1e6 * file.size() / beforeRate / frame.size());
    return Rates{sendRate, beforeRate};
}

// CPU seconds of the sending thread for a file sent at the Z88's pace, or -1 when it failed.
static double PacedRound(Session send, const std::string& path, long lineSize)
{
    StartDrainingPaced(lineSize);
    double before = ThreadCpuSeconds();
    int sent = send(Owner, path.c_str());
    double used = ThreadCpuSeconds() - before;
    WaitForFarEnd();
    return sent ? used : -1;
}

// System calls per line byte of the sending thread, unthrottled, or -1 when not counted.
static double CallsPerByte(Session send, const std::string& path, long lineSize)
{
    if (!StartCountingCalls())
        return -1;
    StartDraining(lineSize);
    int sent = send(Owner, path.c_str());
    long calls = StopCountingCalls();
    WaitForFarEnd();
    return sent && calls >= 0 ? (double)calls / lineSize : -1;
}

int main(int argc, char** argv)
{
    long size = StartBenchmark(argc, argv, "send_bench", 1 << 20);
    if (!OpenBenchLink("send_bench", "38400", "1"))
        return 1;
    PrepareDesktop();
    Owner = OpenOwnerWindow(40, 40, 160, 60);

    std::string folder = NewTestFolder();
    printf("runs of %d bytes; \"SendFile at\" = SendFile's file bytes per second / the other's: over 100 %% "
           "SendFile is faster\n",
           LinkRunLength());
    Rates text = Measure("text file", folder, "text.txt", TextFile(size));
    Rates binary = Measure("random binary file", folder, "random.bin", BinaryFile(size));

    // Text, so that line bytes and file bytes are the same.
    std::string paced = folder + "paced.txt";
    WriteWholeFile(paced, std::string((const char*)TextFile(PacedSize).data(), PacedSize));
    long pacedLine = (long)Z88Frame("paced.txt", TextFile(PacedSize)).size();
    double lineSeconds = (double)pacedLine / BenchPacedRate;
    printf("a %d byte text file at %d bytes a second (%.0f s), before and now ...\n", (int)PacedSize,
           (int)BenchPacedRate, lineSeconds);
    double pacedBefore = PacedRound(ByteSendFile, paced, pacedLine);
    double pacedNow = PacedRound(SendFile, paced, pacedLine);
    std::string counted = folder + "counted.txt";
    WriteWholeFile(counted, std::string((const char*)TextFile(CountedSize).data(), CountedSize));
    long countedLine = (long)Z88Frame("counted.txt", TextFile(CountedSize)).size();
    double callsBefore = CallsPerByte(ByteSendFile, counted, countedLine);
    double callsNow = CallsPerByte(SendFile, counted, countedLine);

    printf("\nbefore: the send session one byte a call, as it was; now: SendFile in runs. Unthrottled: the\n"
           "median of %d rounds now, one round before. CPU: the sending thread, %% of a core over the\n"
           "line's %.0f s. System calls: strace -c on the sending thread alone, a %d byte text file\n",
           Rounds, lineSeconds, (int)CountedSize);
    printf("%-40s %16s %16s %10s\n", "", "before", "now", "now/before");
    PrintBeforeNow("send text unthrottled, file B/s", text.before, text.now, "%.0f");
    PrintBeforeNow("send binary unthrottled, file B/s", binary.before, binary.now, "%.0f");
    PrintBeforeNow("send 256 KiB text paced, CPU s", pacedBefore, pacedNow, "%.3f");
    PrintBeforeNow("  % of a core", pacedBefore < 0 ? -1 : 100 * pacedBefore / lineSeconds,
        pacedNow < 0 ? -1 : 100 * pacedNow / lineSeconds, "%.4f");
    PrintBeforeNow("send, system calls per line byte", callsBefore, callsNow, "%.4f");
    PrintUiCost(Owner, "Now sending file \"bench\"", 1 << 18);

    CloseOwnerWindow(Owner);
    CloseLink();
    return 0;
}
