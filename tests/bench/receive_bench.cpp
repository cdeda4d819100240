// Benchmark, not a test: receive throughput in file bytes per second for a text file and a
// random binary file sent unthrottled through a pty, next to a plain copy of the same frame
// bytes (one-byte reads into a file) through the same line, and the ratio. The session runs
// with the real progress window, log window, Esc query and beep, so it runs on a display.
// The README gives the whole command for each build; the one argument is the file size.
#include "link/serial_link.h"
#include "protocol/receive.h"
#include "tests/bench/bench_line.h"
#include "tests/support/desktop.h"
#include "tests/support/temp_folder.h"

#include <stdio.h>
#include <string.h>

#include <string>

enum { Rounds = 3 };

// Seconds for `work` to take `frame`, sent unthrottled; -1 when it failed.
static double Timed(const Bytes& frame, const std::function<bool()>& work)
{
    return MeasuredRun(WallSeconds, FarEndSends((long)frame.size(), frame.data()), work);
}

static int Measure(const char* what, const Bytes& file, const std::string& folder, WindowHandle owner)
{
    const Bytes body = Z88EncodeData(file);
    const double fileBytes = (double)file.size();
    const double lineBytes = (double)body.size() + strlen(what) + 5;
    printf("%s: %.0f file bytes, %.0f line bytes; seconds of each round:\n", what, fileBytes, lineBytes);
    std::vector<double> plain, first, again;
    for (int round = 0; round < Rounds; round++) {
        std::string name = std::string(what) + std::to_string(round);
        Bytes frame = Text(name) + Bytes{0x1B, 'F'} + body + Bytes{0x1B, 'E'};
        // The plain copy: the frame's bytes read one at a time into a file.
        plain.push_back(Timed(frame, [&] {
            FILE* copy = fopen((folder + "plain-copy").c_str(), "wb");
            size_t done = 0;
            for (int value; copy && done < frame.size() && PlainReadByte(&value); done++)
                putc(value, copy);
            return copy && fclose(copy) == 0 && done == frame.size();
        }));
        // ReceiveFile takes the frame after its ESC 'N'; the second time it finds a previous
        // copy to move aside and compare.
        auto receive = [&] { return ReceiveFile(owner) != 0; };
        first.push_back(Timed(frame, receive));
        again.push_back(Timed(frame, receive));
        RunEventLoop(50);
        printf("  round %d: plain copy %.3f, ReceiveFile new name %.3f, previous copy %.3f\n", round + 1,
               plain.back(), first.back(), again.back());

        std::string stored;
        if (!ReadWholeFile(folder + name + ".z88", &stored) || stored != std::string(file.begin(), file.end())) {
            fprintf(stderr, "receive_bench: %s was not stored whole\n", name.c_str());
            return 0;
        }
        if (std::min({plain.back(), first.back(), again.back()}) < 0) {
            fprintf(stderr, "receive_bench: %s: a transfer failed\n", what);
            return 0;
        }
    }

    const struct {
        const char* name;
        double seconds;
    } rows[] = {{"plain copy of the frame", Median(plain)},
                {"ReceiveFile, new name", Median(first)},
                {"ReceiveFile, previous copy", Median(again)}};
    printf("  medians:\n");
    for (const auto& row : rows)
        printf("  %-28s %9.0f line B/s  = %9.0f file B/s   ratio %5.1f %%\n", row.name, lineBytes / row.seconds,
               fileBytes / row.seconds, 100.0 * rows[0].seconds / row.seconds);
    return 1;
}

int main(int argc, char** argv)
{
    long size = StartBenchmark(argc, argv, "receive_bench", 256 * 1024);
    PrepareDesktop();
    std::string folder = NewTestFolder();
    if (!OpenBenchLink("receive_bench", "115200", "0", folder.c_str()))
        return 1;
    WindowHandle owner = OpenOwnerWindow(40, 40, 200, 80);

    PrintUiCost(owner, TransferDirection::Receiving, "COST", size);
    printf("%d rounds each; ratio = plain copy time / ReceiveFile time: over 100 %% ReceiveFile is faster\n", Rounds);
    int ok = Measure("TEXT", BenchTextFile(size), folder, owner) && Measure("BINARY", BenchRandomFile(size), folder, owner);
    CloseOwnerWindow(owner);
    CloseLink();
    return ok ? 0 : 1;
}
