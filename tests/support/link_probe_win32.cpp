// Windows side of the link tests' view of the port: the DCB, a second CreateFileA, and the
// process's handle count.
#include "tests/support/link_probe.h"

#include "link/serial_link.h"

#include <windows.h>

bool ReadLineState(LineState* state)
{
    DCB line = {};
    line.DCBlength = sizeof line;
    if (!GetCommState(LinkHandle, &line))
        return false;
    state->rate = (long)line.BaudRate;
    state->dataBits = line.ByteSize;
    state->twoStopBits = line.StopBits == TWOSTOPBITS;
    state->parityCheck = line.fParity;
    state->xonOut = line.fOutX;
    state->xonIn = line.fInX;
    return true;
}

const char* MissingPortName()
{
    return "TARNWELL-NO-PORT";
}

// Wine identifies itself by this export of ntdll.
static bool UnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

static HANDLE Holder = INVALID_HANDLE_VALUE;

bool HoldPort(const char* name)
{
    ReleasePort();
    // Wine checks sharing for files only: a second open of a COM port succeeds there.
    if (UnderWine())
        return false;
    char device[160];
    wsprintfA(device, "\\\\.\\%s", name);
    Holder = CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, NULL);
    return Holder != INVALID_HANDLE_VALUE;
}

void ReleasePort()
{
    if (Holder != INVALID_HANDLE_VALUE)
        CloseHandle(Holder);
    Holder = INVALID_HANDLE_VALUE;
}

int OpenHandleCount()
{
    // GetProcessHandleCount answers 0 under Wine; asking after each possible handle value
    // works on both.
    int count = 0;
    for (ULONG_PTR value = 4; value < 16384; value += 4) {
        DWORD flags;
        if (GetHandleInformation((HANDLE)value, &flags))
            count++;
    }
    return count;
}

bool PlayOutputQueue(const std::vector<int>&)
{
    return false;  // ClearCommError is the system's own, with no place to stand in for it
}

size_t OutputQueueLooks()
{
    return 0;
}
