// The Windows side of the benchmarks: the thread CPU clock (no system-call count), and the
// plain copy: ReadFile / WriteFile.
#include "tests/bench/bench_line.h"

#include "link/serial_link.h"

#include <windows.h>

#include <stdio.h>

double ThreadCpuSeconds()
{
    FILETIME created, ended, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user))
        return 0;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (double)(k.QuadPart + u.QuadPart) / 1e7;
}

bool StartCountingCalls()
{
    return false;
}

long StopCountingCalls()
{
    return -1;
}

int PlainReadByte(int* value)
{
    unsigned char byte;
    DWORD count = 0;
    if (!ReadFile(LinkHandle, &byte, 1, &count, NULL) || count != 1)
        return 0;
    *value = byte;
    return 1;
}

int PlainWriteBytes(const unsigned char* bytes, long count, long piece)
{
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(LinkHandle, bytes, (DWORD)(count < piece ? count : piece), &written, NULL) || written == 0)
            return 0;
        bytes += written;
        count -= (long)written;
    }
    return 1;
}
