// Benchmark, not a test: what the whole program costs, started as a user starts it and fed
// by the test Z88 over a real line. It prints:
//   - the time from start to the main window shown (three starts);
//   - the CPU used idle over a stretch (60 s unless given), and the resident memory then;
//   - the resident memory after a 1 MiB file received unthrottled;
//   - a 256 KiB text file at a real Z88's pace, 3 840 bytes a second (38 400 baud): the time
//     it took against the line's own time, and the CPU used meanwhile;
//   - the CPU used idle over the same stretch with the port gone away (the line hung up),
//     while the program tries it again every two seconds.
// Under Wine the program's own process is measured, and the prefix's wineserver beside it.
// The README gives the whole command for each build; the one argument is the idle stretch.
#include "settings/settings.h"
#include "tests/bench/bench_line.h"
#include "tests/support/peer_line.h"
#include "tests/support/program.h"
#include "tests/support/settings_store.h"
#include "tests/support/temp_folder.h"
#include "tests/support/z88.h"

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <thread>

enum { StartRounds = 3, Kib = 1024 };

static void Sleep(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Waits until the store folder holds `name` with all of `size` bytes; false after `limit` s.
static bool WaitForStored(const std::string& store, const char* name, size_t size, double limit)
{
    auto start = std::chrono::steady_clock::now();
    std::string contents;
    while (SecondsSince(start) < limit) {
        if (ReadWholeFile(ProgramPath(store + name), &contents) && contents.size() == size)
            return true;
        Sleep(0.05);
    }
    return false;
}

static void PrintCost(const char* what, const ProgramCost& before, const ProgramCost& after,
                      double seconds)
{
    double used = after.cpuSeconds - before.cpuSeconds;
    printf("%-34s %7.2f s CPU in %6.1f s: %6.3f %% of a core", what, used, seconds,
           100 * used / seconds);
    if (after.serverCpuSeconds >= 0) {
        double server = after.serverCpuSeconds - before.serverCpuSeconds;
        printf("; wineserver %.2f s, %.3f %%", server, 100 * server / seconds);
    }
    printf("\n");
}

int main(int argc, char** argv)
{
    double idleSeconds = argc > 1 ? atof(argv[1]) : 60;
    PrepareDesktop();
    ResetSettingsStore();
    char port[128];
    if (!OpenPeerLine(port, sizeof port)) {
        fprintf(stderr, "no test line\n");
        return 1;
    }
    std::string store = NewHostFolder();
    PutSetting("Port", port);
    PutSetting("Directory", ProgramPath(store).c_str());
    PutSetting("Preserve", "0");

    ProgramWindow main;
    std::vector<double> starts;
    // StartRounds starts timed, each closed again; the one after them stays for the rest.
    for (int round = 0; round <= StartRounds; round++) {
        auto start = std::chrono::steady_clock::now();
        if (!StartProgram() || !WaitForMainWindow(60000, &main)) {
            fprintf(stderr, "the program did not come up\n");
            return 1;
        }
        if (round == StartRounds)
            break;
        starts.push_back(SecondsSince(start));
        CloseMainWindow();
        if (WaitForProgramExit(30000) != 0)
            fprintf(stderr, "the program did not end with 0\n");
    }
    printf("start to main window shown:         %.0f ms (median of %d; first %.0f ms)\n",
           1000 * Median(starts), StartRounds, 1000 * starts[0]);

    Sleep(2);  // past start-up
    ProgramCost before, after;
    ProgramUsage(&before);
    Sleep(idleSeconds);
    ProgramUsage(&after);
    PrintCost("idle:", before, after, idleSeconds);
    printf("resident memory idle:               %ld KiB\n", after.residentKiB);

    const Bytes big = BenchTextFile(Kib * Kib);
    auto start = std::chrono::steady_clock::now();
    Z88SendInBackground(Z88Frame(":RAM.0/BIG.TXT", big));
    bool stored = WaitForStored(store, "BIG.TXT", big.size(), 300);
    double took = SecondsSince(start);
    Z88WaitSent();
    Sleep(1);
    ProgramUsage(&after);
    printf("1 MiB received unthrottled:         %s in %.1f s; resident memory then %ld KiB\n",
           stored ? "whole" : "NOT STORED", took, after.residentKiB);

    const Bytes paced = Z88Frame(":RAM.0/PACED.TXT", BenchTextFile(256 * Kib));
    ProgramUsage(&before);
    start = std::chrono::steady_clock::now();
    StartFarEnd(FarEndSends((long)paced.size(), paced.data()), true);
    stored = WaitForStored(store, "PACED.TXT", 256 * Kib, 600);
    took = SecondsSince(start);
    WaitForFarEnd();
    ProgramUsage(&after);
    printf("256 KiB at %d bytes a second:     %s in %.1f s (the line's time: %.1f s)\n", (int)BenchPacedRate,
           stored ? "whole" : "NOT STORED", took, (double)paced.size() / BenchPacedRate);
    PrintCost("  while it came in:", before, after, took);

    ClosePeerLine();
    Sleep(3);  // past the tick that finds the port gone
    ProgramUsage(&before);
    Sleep(idleSeconds);
    ProgramUsage(&after);
    PrintCost("idle, the port gone away:", before, after, idleSeconds);

    CloseMainWindow();
    int exitCode = WaitForProgramExit(30000);
    KillProgram();
    ClosePeerLine();
    printf("exit code:                          %d\n", exitCode);
    return 0;
}
