// Windows side of the far end of a test line, under Wine: COM2, which socat joins to the COM1
// that the program opens (tests/tools/wine-run with TARNWELL_WINE_SERIAL=1). A byte takes a
// moment to cross socat, so everything here waits for bytes rather than expecting them.
//
// Hanging up ends socat (through tests/tools/serial-line): COM1 then loses its far end, as
// a pty slave does on Linux when the master closes. A fresh line is a new socat pair behind
// the same names, which COM1 and COM2 point to; the program reopens COM1 to reach it.
#include "tests/support/peer_line.h"

#include "tests/support/host_tool.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HANDLE Port = INVALID_HANDLE_VALUE;
// Whether the pair that wine-run made has been handed out; every later line is made afresh.
static bool LineUsed = false;

// Runs tests/tools/serial-line with "start" or "stop" on this test run's line.
static bool LineTool(const char* action)
{
    const char* tool = getenv("TARNWELL_SERIAL_LINE_TOOL");
    const char* folder = getenv("TARNWELL_LINE_DIR");
    return tool && *tool && folder && *folder && RunHostTool({"/bin/bash", tool, action, folder}) == 0;
}

// How long the line may take to come up: long enough for a busy machine, where Wine starts
// its device services (which make COM1 and COM2) after the program, and nothing to wait for
// once it is there.
enum { LineReadyMs = 60000, LineRetryMs = 50 };

// Opens COM2 once the line is there: COM1 is known to Wine, and COM2 opens.
static HANDLE OpenFarEnd()
{
    char device[MAX_PATH];
    for (DWORD start = GetTickCount();; Sleep(LineRetryMs)) {
        if (QueryDosDeviceA("COM1", device, sizeof device)) {
            HANDLE port = CreateFileA("\\\\.\\COM2", GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
            if (port != INVALID_HANDLE_VALUE)
                return port;
        }
        if (GetTickCount() - start >= LineReadyMs)
            return INVALID_HANDLE_VALUE;
    }
}

static bool SetTimeouts(DWORD readInterval, DWORD readMultiplier, DWORD readConstant)
{
    // Reads as asked; a write may take up to 5 s, whatever its length.
    COMMTIMEOUTS timeouts = {readInterval, readMultiplier, readConstant, 0, 5000};
    return SetCommTimeouts(Port, &timeouts) != 0;
}

bool OpenPeerLine(char* programPort, size_t size)
{
    ClosePeerLine();
    if (size <= strlen("COM1"))
        return false;
    // The first line is the one wine-run made; every later one is made afresh (and the start
    // ends whatever pair is still there, also one whose far end never opened).
    if (LineUsed && !LineTool("start"))
        return false;
    LineUsed = true;
    Port = OpenFarEnd();
    if (Port == INVALID_HANDLE_VALUE)
        return false;
    // The Z88's end passes every byte as data: no flow control of its own, so that a test
    // can send XOFF and XON to the program and see the program's XOFF.
    DCB line = {};
    line.DCBlength = sizeof line;
    GetCommState(Port, &line);
    line.BaudRate = 9600;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = line.fOutX = line.fInX = line.fOutxCtsFlow = line.fOutxDsrFlow = FALSE;
    line.fDsrSensitivity = line.fNull = line.fAbortOnError = FALSE;
    if (!SetCommState(Port, &line)) {
        ClosePeerLine();
        return false;
    }
    PurgeComm(Port, PURGE_RXCLEAR | PURGE_TXCLEAR);
    snprintf(programPort, size, "COM1");
    return true;
}

void ClosePeerLine()
{
    PeerForgetPending();
    if (Port == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(Port);
    Port = INVALID_HANDLE_VALUE;
    LineTool("stop");
}

bool PeerSend(const void* bytes, size_t count)
{
    if (Port == INVALID_HANDLE_VALUE || !SetTimeouts(MAXDWORD, 0, 0))
        return false;
    DWORD written = 0;
    return WriteFile(Port, bytes, (DWORD)count, &written, NULL) && written == count;
}

// Wine does not end a read at its first byte the way Windows does for
// MAXDWORD/MAXDWORD/constant, so the wait is for one byte, and then whatever else is there is
// taken without waiting.
size_t PeerRead(unsigned char* buffer, size_t size, int timeoutMs)
{
    DWORD count = 0, more = 0;
    if (Port == INVALID_HANDLE_VALUE)
        return 0;
    // With no wait, what is there (all-zero timeouts would wait for the whole buffer).
    if (timeoutMs <= 0)
        return SetTimeouts(MAXDWORD, 0, 0) && ReadFile(Port, buffer, (DWORD)size, &count, NULL) ? count : 0;
    if (!SetTimeouts(0, 0, (DWORD)timeoutMs) || !ReadFile(Port, buffer, 1, &count, NULL) || count == 0)
        return 0;
    if (SetTimeouts(MAXDWORD, 0, 0))
        ReadFile(Port, buffer + 1, (DWORD)size - 1, &more, NULL);
    return 1 + more;
}

void PeerFlushInput()
{
    if (Port != INVALID_HANDLE_VALUE)
        PurgeComm(Port, PURGE_RXCLEAR);
}
