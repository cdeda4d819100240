// Benchmark, not a test: file bytes per second that SendFile puts through an unthrottled
// line, for a text file and a random binary file, next to plain copies of the same frame
// bytes through the same port (one byte per write, and in as few writes as it takes), with
// the ratios. It runs as the program does: the real progress window, owned by a window of
// its own, and the real Esc query, so it runs on a display. The README gives the whole
// command for each build; the one argument is the file size.
#include "link/serial_link.h"
#include "protocol/send.h"
#include "settings/settings.h"
#include "tests/bench/bench_line.h"
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

enum { Rounds = 3 };

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

// File bytes per second of one round, or 0 when it failed.
static double SendRound(const std::string& path, long fileSize, long lineSize)
{
    StartDraining(lineSize);
    Clock::time_point start = Clock::now();
    int sent = SendFile(Owner, path.c_str());
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

static void Measure(const char* what, const std::string& folder, const std::string& name, const Bytes& file)
{
    std::string path = folder + name;
    WriteWholeFile(path, std::string(file.begin(), file.end()));
    Bytes frame = Z88Frame(name, file);

    printf("%s: %ld file bytes, %ld line bytes; file bytes per second of each round:\n", what, (long)file.size(),
           (long)frame.size());
    std::vector<double> send, byteLoop, bulk;
    for (int round = 0; round < Rounds; round++) {
        send.push_back(SendRound(path, (long)file.size(), (long)frame.size()));
        byteLoop.push_back(ByteLoopRound(frame, (long)file.size()));
        bulk.push_back(BulkRound(frame, (long)file.size()));
        printf("  round %d: SendFile %.0f, plain one-byte writes %.0f, bulk writes %.0f\n", round + 1, send.back(),
               byteLoop.back(), bulk.back());
    }
    double sendRate = Median(send), byteRate = Median(byteLoop), bulkRate = Median(bulk);
    printf("  medians:\n");
    printf("  SendFile                 %10.0f file B/s\n", sendRate);
    printf("  plain one-byte writes    %10.0f file B/s   SendFile at %5.1f %%\n", byteRate,
           byteRate > 0 ? 100.0 * sendRate / byteRate : 0.0);
    printf("  plain copy, bulk writes  %10.0f file B/s   SendFile at %5.1f %%\n", bulkRate,
           bulkRate > 0 ? 100.0 * sendRate / bulkRate : 0.0);
    printf("  per line byte: SendFile %.2f us, plain one-byte write %.2f us\n",
           1e6 * file.size() / sendRate / frame.size(), 1e6 * file.size() / byteRate / frame.size());
}

int main(int argc, char** argv)
{
    long size = StartBenchmark(argc, argv, "send_bench", 128 * 1024);
    if (!OpenBenchLink("send_bench", "1"))
        return 1;
    PrepareDesktop();
    Owner = OpenOwnerWindow(40, 40, 160, 60);

    std::string folder = NewTestFolder();
    printf("%d rounds each; \"SendFile at\" = SendFile's file bytes per second / the plain copy's: over 100 %% "
           "SendFile is faster\n",
           Rounds);
    Measure("text file", folder, "text.txt", TextFile(size));
    Measure("random binary file", folder, "random.bin", BinaryFile(size));
    PrintUiCost(Owner, "Now sending file \"bench\"", 1 << 18);

    CloseOwnerWindow(Owner);
    CloseLink();
    return 0;
}
