// Benchmark, not a test: receive throughput in file bytes per second for a text file and a
// random binary file sent unthrottled through a pty, next to a plain copy of the same frame
// bytes (one-byte reads into a file) through the same line, and the ratio. The session runs
// with the real progress window, log window, Esc query and beep, so it runs on a display.
// The README gives the whole command for each build; the one argument is the file size.
#include "link/serial_link.h"
#include "protocol/receive.h"
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
#include <string.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

enum { Rounds = 3 };

// Printable lines of varying length ending in CR LF, as a Z88 text file might hold.
static Bytes TextFile(long size)
{
    static const char* const words[] = {"the", "Z88", "stores", "notes", "while", "PipeDream",
                                        "keeps", "a", "ledger", "of", "every", "day,", "1987"};
    Bytes file;
    unsigned state = 1;
    int column = 0;
    while ((long)file.size() < size) {
        state = state * 1103515245u + 12345u;
        const char* word = words[(state >> 16) % 13];
        file.insert(file.end(), word, word + strlen(word));
        column += (int)strlen(word) + 1;
        if (column > 60 + (int)((state >> 8) % 15)) {
            file.push_back('\r');
            file.push_back('\n');
            column = 0;
        } else {
            file.push_back(' ');
        }
    }
    file.resize((size_t)size);
    return file;
}

static Bytes RandomFile(long size)
{
    Bytes file((size_t)size);
    unsigned long long state = 0x9E3779B97F4A7C15ull;
    for (unsigned char& byte : file) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        byte = (unsigned char)(state >> 24);
    }
    return file;
}

// Seconds to copy `count` line bytes into a file with the plain one-byte read loop; -1 when a
// read failed.
static double PlainCopy(const Bytes& line, const std::string& path)
{
    FILE* copy = fopen(path.c_str(), "wb");
    if (!copy)
        return -1;
    StartSending(line.data(), (long)line.size());
    Clock::time_point start = Clock::now();
    size_t done = 0;
    int value;
    while (done < line.size() && PlainReadByte(&value)) {
        putc(value, copy);
        done++;
    }
    fclose(copy);
    double seconds = SecondsSince(start);
    WaitForFarEnd();
    return done == line.size() ? seconds : -1;
}

// Seconds for ReceiveFile to take the frame whose ESC 'N' has been read; -1 when it failed.
static double Reception(const Bytes& body, WindowHandle owner)
{
    StartSending(body.data(), (long)body.size());
    Clock::time_point start = Clock::now();
    int result = ReceiveFile(owner);
    double seconds = SecondsSince(start);
    WaitForFarEnd();
    return result ? seconds : -1;
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
        plain.push_back(PlainCopy(frame, folder + "plain-copy"));
        first.push_back(Reception(frame, owner));
        again.push_back(Reception(frame, owner));  // a previous copy to move aside and compare
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

    const double plainTime = Median(plain), firstTime = Median(first), againTime = Median(again);
    printf("  medians:\n");
    printf("  plain copy of the frame      %9.0f line B/s  = %9.0f file B/s\n", lineBytes / plainTime,
           fileBytes / plainTime);
    printf("  ReceiveFile, new name        %9.0f line B/s  = %9.0f file B/s   ratio %5.1f %%\n",
           lineBytes / firstTime, fileBytes / firstTime, 100.0 * plainTime / firstTime);
    printf("  ReceiveFile, previous copy   %9.0f line B/s  = %9.0f file B/s   ratio %5.1f %%\n",
           lineBytes / againTime, fileBytes / againTime, 100.0 * plainTime / againTime);
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

    PrintUiCost(owner, "Now Receiving file \"COST\"", size);
    printf("%d rounds each; ratio = plain copy time / ReceiveFile time: over 100 %% ReceiveFile is faster\n", Rounds);
    int ok = Measure("TEXT", TextFile(size), folder, owner) && Measure("BINARY", RandomFile(size), folder, owner);
    CloseOwnerWindow(owner);
    CloseLink();
    return ok ? 0 : 1;
}
