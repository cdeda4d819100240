// The plain loop on Linux: poll() then read() / write().
#include "tests/bench/bench_line.h"

#include "link/serial_link.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

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
