// The Linux side of the benchmarks: the thread CPU clock, system calls counted with strace,
// and the plain loop: poll() then read() / write().
#include "tests/bench/bench_line.h"

#include "link/serial_link.h"

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
