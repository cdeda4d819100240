// Linux side of the one-byte link of byte_link.h: a read or write of one byte, tried first,
// then poll() for the rest of the time.
#include "link/serial_link.h"
#include "link/serial_port.h"
#include "tests/bench/byte_link.h"

#include <errno.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

static long long NowMs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

static int WaitForPort(short events, long long deadline)
{
    for (;;) {
        long long left = deadline - NowMs();
        if (left <= 0)
            return PortIdle;
        struct pollfd port = {LinkHandle, events, 0};
        int ready = poll(&port, 1, (int)left);
        if (ready > 0)
            return port.revents & (POLLHUP | POLLERR | POLLNVAL) ? PortGone : PortMoved;
        if (ready == 0 || errno != EINTR)
            return PortIdle;
    }
}

int ByteReadPortByte(int* value)
{
    long long deadline = -1;
    for (;;) {
        unsigned char byte;
        ssize_t count = read(LinkHandle, &byte, 1);
        if (count == 1) {
            *value = byte;
            return PortMoved;
        }
        if (count == 0)
            return PortGone;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return PortIdle;
        if (deadline < 0)
            deadline = NowMs() + 1000;
        int waited = WaitForPort(POLLIN, deadline);
        if (waited != PortMoved)
            return waited;
    }
}

int ByteWritePortByte(unsigned char byte)
{
    long long deadline = -1;
    for (;;) {
        ssize_t count = write(LinkHandle, &byte, 1);
        if (count == 1)
            return PortMoved;
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN)
            return PortIdle;
        if (deadline < 0)
            deadline = NowMs() + 2000;
        int waited = WaitForPort(POLLOUT, deadline);
        if (waited != PortMoved)
            return waited;
    }
}
