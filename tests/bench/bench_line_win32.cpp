// Windows side of the link benchmark, under Wine: COM2 fed and drained by a thread across
// socat (tests/tools/wine-run with TARNWELL_WINE_SERIAL=1), and the plain ReadFile/WriteFile
// loop.
#include "tests/bench/bench_line.h"

#include "link/serial_link.h"
#include "ui/escape_key.h"

#include <windows.h>

#include <stdio.h>

#include <chrono>
#include <thread>

static HANDLE FarPort = INVALID_HANDLE_VALUE;
static std::thread FarEnd;

bool OpenBenchLine(char* programPort, size_t size)
{
    FarPort = CreateFileA("\\\\.\\COM2", GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, NULL);
    if (FarPort == INVALID_HANDLE_VALUE)
        return false;
    DCB line;
    ZeroMemory(&line, sizeof line);
    line.DCBlength = sizeof line;
    GetCommState(FarPort, &line);
    line.BaudRate = 115200;
    line.ByteSize = 8;
    line.StopBits = ONESTOPBIT;
    line.fParity = FALSE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    SetCommState(FarPort, &line);
    COMMTIMEOUTS timeouts = {0, 0, 5000, 0, 5000};
    SetCommTimeouts(FarPort, &timeouts);
    snprintf(programPort, size, "COM1");
    return true;
}

void StartFeeding(long count)
{
    FarEnd = std::thread([count] {
        static unsigned char chunk[4096];
        for (long left = count; left > 0;) {
            DWORD written = 0;
            DWORD size = left < (long)sizeof chunk ? (DWORD)left : (DWORD)sizeof chunk;
            if (!WriteFile(FarPort, chunk, size, &written, NULL) || written == 0)
                return;
            left -= written;
        }
    });
}

void StartSending(const unsigned char* bytes, long count)
{
    FarEnd = std::thread([bytes, count] {
        for (long done = 0; done < count;) {
            DWORD written = 0;
            long left = count - done;
            DWORD size = left < 4096 ? (DWORD)left : 4096;
            if (!WriteFile(FarPort, bytes + done, size, &written, NULL) || written == 0)
                return;
            done += written;
        }
    });
}

void StartDraining(long count)
{
    FarEnd = std::thread([count] {
        static unsigned char chunk[4096];
        COMMTIMEOUTS timeouts = {MAXDWORD, 0, 0, 0, 5000};  // what is there, at once
        SetCommTimeouts(FarPort, &timeouts);
        for (long left = count; left > 0;) {
            DWORD got = 0;
            if (!ReadFile(FarPort, chunk, sizeof chunk, &got, NULL))
                return;
            if (got == 0)
                Sleep(1);
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
            long moved = move(chunk, (DWORD)size);
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
    Paced(count, [](unsigned char* chunk, DWORD size) {
        DWORD written = 0;
        return WriteFile(FarPort, chunk, size, &written, NULL) ? (long)written : -1L;
    });
}

void StartDrainingPaced(long count)
{
    COMMTIMEOUTS timeouts = {MAXDWORD, 0, 0, 0, 5000};  // what is there, at once
    SetCommTimeouts(FarPort, &timeouts);
    Paced(count, [](unsigned char* chunk, DWORD size) {
        DWORD got = 0;
        return ReadFile(FarPort, chunk, size, &got, NULL) ? (long)got : -1L;
    });
}

void WaitForFarEnd()
{
    FarEnd.join();
}

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

int PlainWriteByte(int value)
{
    unsigned char byte = (unsigned char)value;
    DWORD count = 0;
    return WriteFile(LinkHandle, &byte, 1, &count, NULL) && count == 1;
}

int PlainWriteBytes(const unsigned char* bytes, long count)
{
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(LinkHandle, bytes, (DWORD)count, &written, NULL) || written == 0)
            return 0;
        bytes += written;
        count -= (long)written;
    }
    return 1;
}

double RawEscapeQueriesPerSecond()
{
    const int queries = 20000;
    auto start = std::chrono::steady_clock::now();
    int held = 0;
    for (int i = 0; i < queries; i++)
        held += EscapeDownNow();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return held >= 0 ? queries / seconds : 0;
}
