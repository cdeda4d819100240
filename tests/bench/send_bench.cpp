// Benchmark, not a test: file bytes per second that SendFile puts through an unthrottled line
// at a Z88's 38 400 baud, for a text file and a random binary file, beside plain copies of the
// same frame bytes through the same port (one byte a write, and in as few writes as it takes);
// then the CPU time of the sending thread for a 256 KiB text file sent at a Z88's pace, and on
// Linux its system calls per line byte. It runs as the program does: the real progress window,
// owned by a window of its own, and the real Esc query, so on a display. The README gives the
// whole command for each build; the one argument is the file size.
#include "link/serial_link.h"
#include "protocol/send.h"
#include "tests/bench/bench_line.h"
#include "tests/support/desktop.h"
#include "tests/support/temp_folder.h"

#include <stdio.h>

#include <string>

enum { Rounds = 3, PacedSize = 256 * 1024, CountedSize = 256 * 1024 };

static WindowHandle Owner;
static std::string Folder;

// Writes `file` as `name` in the folder; the frame it makes on the line.
static Bytes Place(const char* name, const Bytes& file)
{
    WriteWholeFile(Folder + name, std::string(file.begin(), file.end()));
    return Z88Frame(name, file);
}

static double Send(Meter meter, const char* name, long lineBytes)
{
    std::string path = Folder + name;
    return MeasuredRun(meter, FarEndTakes(lineBytes), [&] { return SendFile(Owner, path.c_str()) != 0; });
}

// SendFile's file bytes per second, the median of its rounds; the plain copies' beside it.
static double Measure(const char* what, const char* name, const Bytes& file)
{
    const Bytes frame = Place(name, file);
    const long lineBytes = (long)frame.size();
    auto rate = [&](double seconds) { return seconds > 0 ? file.size() / seconds : 0; };
    printf("%s: %ld file bytes, %ld line bytes; file bytes per second:\n", what, (long)file.size(), lineBytes);
    std::vector<double> send;
    for (int round = 0; round < Rounds; round++) {
        send.push_back(rate(Send(WallSeconds, name, lineBytes)));
        printf("  round %d: SendFile %.0f\n", round + 1, send.back());
    }
    double sendRate = Median(send);
    printf("  %-27s %10.0f file B/s   %.3f us per line byte\n", "SendFile, median", sendRate,
           1e6 * file.size() / sendRate / lineBytes);
    for (long piece : {1L, lineBytes}) {
        double plain = rate(MeasuredRun(WallSeconds, FarEndTakes(lineBytes),
                                        [&] { return PlainWriteBytes(frame.data(), lineBytes, piece) != 0; }));
        printf("  plain copy, %-15s %10.0f file B/s   SendFile at %7.1f %%\n",
               piece == 1 ? "one-byte writes" : "bulk writes", plain, plain > 0 ? 100.0 * sendRate / plain : 0.0);
    }
    return sendRate;
}

int main(int argc, char** argv)
{
    long size = StartBenchmark(argc, argv, "send_bench", 1 << 20);
    if (!OpenBenchLink("send_bench", "38400", "1"))
        return 1;
    PrepareDesktop();
    Owner = OpenOwnerWindow(40, 40, 160, 60);
    Folder = NewTestFolder();
    printf("runs of %d bytes; \"SendFile at\" = SendFile's file bytes per second / the other's: over 100 %% "
           "SendFile is faster\n",
           LinkRunLength());
    double text = Measure("text file", "text.txt", BenchTextFile(size));
    double binary = Measure("random binary file", "random.bin", BenchRandomFile(size));

    // Text, so that line bytes and file bytes are the same.
    long pacedLine = (long)Place("paced.txt", BenchTextFile(PacedSize)).size();
    long countedLine = (long)Place("counted.txt", BenchTextFile(CountedSize)).size();
    double lineSeconds = (double)pacedLine / BenchPacedRate;
    printf("a %d byte text file at %d bytes a second (%.0f s) ...\n", (int)PacedSize, (int)BenchPacedRate,
           lineSeconds);
    double cpu = Send(PacedCpuSeconds, "paced.txt", pacedLine);
    double calls = Send(SystemCalls, "counted.txt", countedLine);

    printf("\nUnthrottled: the median of %d rounds. CPU: the sending thread over the line's %.0f s.\n"
           "System calls: strace -c on the sending thread alone, a %d byte text file\n",
           Rounds, lineSeconds, (int)CountedSize);
    PrintFigure("send text unthrottled, file B/s", text, "%.0f");
    PrintFigure("send binary unthrottled, file B/s", binary, "%.0f");
    PrintPacedCpu("send 256 KiB text paced, CPU s", cpu, lineSeconds);
    PrintFigure("send, system calls per line byte", calls < 0 ? -1 : calls / countedLine, "%.4f");
    PrintUiCost(Owner, TransferDirection::Sending, "bench", 1 << 18);

    CloseOwnerWindow(Owner);
    CloseLink();
    return 0;
}
