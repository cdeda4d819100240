// Linux side of the link benchmark: a pty pair whose master is fed and drained by a thread,
// and the plain poll()+read()/write() loop.
#include "tests/bench/bench_line.h"

#include "link/serial_link.h"
#include "ui/escape_key.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <chrono>
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

void WaitForFarEnd()
{
    FarEnd.join();
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
