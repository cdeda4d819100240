// The Linux side of the benchmarks: the thread CPU clock, system calls counted with strace
// (a child through the tests' process runner), and the plain copy: poll() then read() / write().
#include "tests/bench/bench_line.h"

#include "link/serial_link.h"
#include "tests/support/process.h"

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <sys/syscall.h>
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

static ChildProcess Tracer;

// Whether a tracer has attached to the thread `thread` of this process.
static bool Traced(long thread)
{
    char path[64], line[128];
    snprintf(path, sizeof path, "/proc/self/task/%ld/status", thread);
    long tracer = 0;
    FILE* status = fopen(path, "r");
    while (status && fgets(line, sizeof line, status))
        sscanf(line, "TracerPid: %ld", &tracer);
    if (status)
        fclose(status);
    return tracer != 0;
}

bool StartCountingCalls()
{
    // strace -c attached to the calling thread alone (-p with its thread id, no -f), so that
    // the far end's thread is not counted; interrupted, it prints its summary on its error
    // output. Calls before it has attached are not seen, so the wait is for that.
    long thread = (long)syscall(SYS_gettid);
    Tracer.out.clear();
    Tracer.err.clear();
    if (StartChild(&Tracer, "strace", {"-c", "-p", std::to_string(thread)}, CollectOutput)) {
        for (int waited = 0; waited < 10000 && WaitForChild(&Tracer, 0) == -1; waited += 10) {
            if (Traced(thread))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    KillChild(&Tracer);
    return false;
}

long StopCountingCalls()
{
    KillChild(&Tracer, SIGINT);
    // The summary's last line: "100.00 seconds usecs/call calls [errors] total".
    const std::string& said = Tracer.err;
    size_t total = said.rfind(" total"), line = said.rfind('\n', total);
    double percent, seconds;
    long perCall, calls;
    const char* last = said.c_str() + (line == std::string::npos ? 0 : line + 1);
    bool read = total != std::string::npos && sscanf(last, "%lf %lf %ld %ld", &percent, &seconds, &perCall, &calls) == 4;
    return read ? calls : -1;
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

int PlainWriteBytes(const unsigned char* bytes, long count, long piece)
{
    // Each write is tried first and poll() asked only when the port is full, so that one
    // byte at a time costs one system call, as in LinkWriteByte.
    while (count > 0) {
        ssize_t written = write(LinkHandle, bytes, (size_t)(count < piece ? count : piece));
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
