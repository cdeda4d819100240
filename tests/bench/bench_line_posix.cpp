// Linux side of the link benchmark: a pty pair whose master is fed and drained by a thread,
// and the plain poll()+read()/write() loop.
#include "tests/bench/bench_line.h"

#include "link/serial_link.h"
#include "ui/escape_key.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

static int Master = -1;
static int Keeper = -1;
static std::thread FarEnd;

bool OpenBenchLine(char* programPort, size_t size)
{
    Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (Master < 0 || grantpt(Master) != 0 || unlockpt(Master) != 0 || ptsname_r(Master, name, sizeof name) != 0)
        return false;
    Keeper = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);  // so the master never reads EIO
    snprintf(programPort, size, "%s", name);
    return Keeper >= 0;
}

void StartFeeding(long count)
{
    FarEnd = std::thread([count] {
        static unsigned char chunk[4096];
        for (long left = count; left > 0;) {
            ssize_t written = write(Master, chunk, left < (long)sizeof chunk ? (size_t)left : sizeof chunk);
            if (written <= 0)
                return;
            left -= written;
        }
    });
}

void StartSending(const unsigned char* bytes, long count)
{
    FarEnd = std::thread([bytes, count] {
        for (long done = 0; done < count;) {
            long left = count - done;
            ssize_t written = write(Master, bytes + done, left < 4096 ? (size_t)left : 4096);
            if (written <= 0)
                return;
            done += written;
        }
    });
}

void StartDraining(long count)
{
    FarEnd = std::thread([count] {
        static unsigned char chunk[4096];
        for (long left = count; left > 0;) {
            ssize_t got = read(Master, chunk, sizeof chunk);
            if (got <= 0)
                return;
            left -= got;
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
            ssize_t moved = move(chunk, (size_t)size);
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
    Paced(count, [](unsigned char* chunk, size_t size) { return write(Master, chunk, size); });
}

void StartDrainingPaced(long count)
{
    // What is there, up to a chunk: the far end never waits inside a tick.
    fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);
    Paced(count, [](unsigned char* chunk, size_t size) {
        ssize_t got = read(Master, chunk, size);
        return got < 0 && errno == EAGAIN ? 0 : got;
    });
}

void WaitForFarEnd()
{
    FarEnd.join();
    fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) & ~O_NONBLOCK);
}

double ThreadCpuSeconds()
{
    struct timespec used;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return used.tv_sec + used.tv_nsec / 1e9;
}

static pid_t Tracer = -1;
static std::string TraceFolder;

bool StartCountingCalls()
{
    const char* base = getenv("TMPDIR");
    char folder[256];
    snprintf(folder, sizeof folder, "%s/tarnwell-strace-XXXXXX", base && *base ? base : "/tmp");
    if (!mkdtemp(folder))
        return false;
    TraceFolder = folder;
    std::string summary = TraceFolder + "/summary", said = TraceFolder + "/said";
    std::string thread = std::to_string((long)syscall(SYS_gettid));
    Tracer = fork();
    if (Tracer == 0) {
        int out = open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 2);
        execlp("strace", "strace", "-c", "-o", summary.c_str(), "-p", thread.c_str(), (char*)nullptr);
        _exit(127);
    }
    // strace says on its error output when it has attached; calls before that are not seen.
    for (int waited = 0; Tracer > 0 && waited < 10000; waited += 10) {
        char text[512] = "";
        FILE* file = fopen(said.c_str(), "r");
        size_t got = file ? fread(text, 1, sizeof text - 1, file) : 0;
        if (file)
            fclose(file);
        text[got] = 0;
        if (strstr(text, "attached"))
            return true;
        if (waitpid(Tracer, nullptr, WNOHANG) == Tracer)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    StopCountingCalls();
    return false;
}

long StopCountingCalls()
{
    if (Tracer <= 0)
        return -1;
    kill(Tracer, SIGINT);
    waitpid(Tracer, nullptr, 0);
    Tracer = -1;
    // The summary's last line: "100.00 seconds usecs/call calls [errors] total".
    long calls = -1;
    std::string summary = TraceFolder + "/summary";
    if (FILE* file = fopen(summary.c_str(), "r")) {
        char line[256];
        while (fgets(line, sizeof line, file)) {
            double percent, seconds;
            long perCall, count;
            if (strstr(line, " total") && sscanf(line, "%lf %lf %ld %ld", &percent, &seconds, &perCall, &count) == 4)
                calls = count;
        }
        fclose(file);
    }
    unlink(summary.c_str());
    unlink((TraceFolder + "/said").c_str());
    rmdir(TraceFolder.c_str());
    return calls;
}

int PlainReadByte(int* value)
{
    struct pollfd port = {LinkHandle, POLLIN, 0};
    unsigned char byte;
    if (poll(&port, 1, 1000) != 1 || read(LinkHandle, &byte, 1) != 1)
        return 0;
    *value = byte;
    return 1;
}

int PlainWriteByte(int value)
{
    struct pollfd port = {LinkHandle, POLLOUT, 0};
    unsigned char byte = (unsigned char)value;
    return poll(&port, 1, 2000) == 1 && write(LinkHandle, &byte, 1) == 1;
}

int PlainWriteBytes(const unsigned char* bytes, long count)
{
    // The write is tried first and poll() asked only when the port is full, so that one
    // byte at a time costs one system call, as in LinkWriteByte.
    while (count > 0) {
        ssize_t written = write(LinkHandle, bytes, (size_t)count);
        if (written > 0) {
            bytes += written;
            count -= written;
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return 0;
        struct pollfd port = {LinkHandle, POLLOUT, 0};
        if (poll(&port, 1, 2000) != 1)
            return 0;
    }
    return 1;
}

double RawEscapeQueriesPerSecond()
{
    if (!getenv("DISPLAY") || !*getenv("DISPLAY"))
        return -1;
    const int queries = 2000;
    auto start = std::chrono::steady_clock::now();
    int held = 0;
    for (int i = 0; i < queries; i++)
        held += EscapeDownNow();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return held >= 0 ? queries / seconds : 0;
}
