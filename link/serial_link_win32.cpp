// Windows implementation of the serial link: a COM port through the Win32 communications
// API, synchronous, its two timeout modes set with SetCommTimeouts.
#include "link/serial_port.h"

#include "link/comm_errors_win32.h"
#include "link/port_list.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

// The mode whose timeouts the open port has, or -1 when unknown (a new port, or a failed
// apply). LinkWriteBytes asks for TransferMode before every run; asking the driver again for
// what it has already costs a round trip and changes nothing.
static int AppliedMode = -1;

int PortIsOpen(void)
{
    return LinkHandle != 0 && LinkHandle != LinkOpenFailed;
}

// Why the last open failed: the name as typed and the system's error (0 for a handle that
// does not answer as a COM port). PortFailureText puts it in words only when asked: a silent
// retry of a missing port every two seconds must not look for the ports there are.
static char FailedName[TextSize];
static DWORD FailedError;

// Keeps why `name` did not open, and gives LinkOpenFailed.
static LinkPort OpenFailed(const char* name, DWORD error)
{
    snprintf(FailedName, sizeof FailedName, "%s", name);
    FailedError = error;
    return LinkOpenFailed;
}

// Opens the port for this program alone. Only COM1 to COM9 are known by their plain names;
// "COM10" and above (where USB adapters often land) exist only in the device namespace, so
// a name without a backslash is opened there, and every COM port opens alike. A name with a
// backslash is a path of its own and is used as typed.
//
// Only a handle that answers as a COM port counts as opened. Wine gives a handle for "COM1"
// even while the device behind it is missing (an unplugged adapter, a pty that has gone);
// every call on it fails with ERROR_INVALID_FUNCTION. Taken for a port, it would end the
// silent retries of RetryLinkPort with a port that moves nothing. A file opened by a path with
// a backslash is no port either, and would otherwise be written to.
LinkPort OpenPort(const char* name)
{
    char device[TextSize + 4];
    if (strchr(name, '\\'))
        snprintf(device, sizeof device, "%s", name);
    else
        snprintf(device, sizeof device, "\\\\.\\%s", name);
    HANDLE port = CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (port == INVALID_HANDLE_VALUE)
        return OpenFailed(name, GetLastError());
    DCB line;
    memset(&line, 0, sizeof line);
    line.DCBlength = sizeof line;
    if (!GetCommState(port, &line)) {
        CloseHandle(port);
        // A COM name whose device is missing (Wine) is as good as no such port.
        return OpenFailed(name, strchr(name, '\\') ? 0 : ERROR_FILE_NOT_FOUND);
    }
    return port;
}

// PortFailureText's words: a port name of up to 127 characters, the reason, and the ports
// found, each with its device's name; what does not fit is left out, since it is only shown.
static char FailureText[12 * TextSize];

const char* PortFailureText(void)
{
    const char* reason;
    int listPorts = 1;
    switch (FailedError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
        reason = "no such port.";
        break;
    case ERROR_ACCESS_DENIED:  // what Windows answers for a COM port another program has open
    case ERROR_SHARING_VIOLATION:
        reason = "in use by another program.";
        listPorts = 0;
        break;
    case 0:  // a path that opened, but as no COM port: a file, say
        reason = "not a serial port.";
        break;
    default:
        reason = "the port cannot be opened.";
        break;
    }
    if (!FailedName[0])
        snprintf(FailureText, sizeof FailureText, "No serial port is set.");
    else
        snprintf(FailureText, sizeof FailureText, "%s: %s", FailedName, reason);
    if (listPorts || !FailedName[0])
        AddPortsFound(FailureText, sizeof FailureText);
    return FailureText;
}

void ClosePort(void)
{
    CloseHandle(LinkHandle);
    AppliedMode = -1;
}

void ConfigureLine(int rate, int xon)
{
    DCB line;
    memset(&line, 0, sizeof line);
    line.DCBlength = sizeof line;
    GetCommState(LinkHandle, &line);
    line.BaudRate = (DWORD)rate;
    line.ByteSize = 8;
    line.fParity = FALSE;
    line.StopBits = ONESTOPBIT;
    line.fOutX = xon != 0;
    line.fInX = line.fOutX;
    // Windows refuses a record whose rate is not a positive number; refuse it here as well,
    // because Wine takes a rate of 0 and hangs the line up with it.
    if (rate > 0)
        SetCommState(LinkHandle, &line);
}

int SetLinkTimeouts(LinkTimeoutMode mode)
{
    if (!PortIsOpen())
        return 0;
    if (AppliedMode == (int)mode)
        return 1;
    // Reads: what ReadPortBytes asks for has arrived already and comes at once; only its
    // read of one byte into an empty port waits, in TransferMode, the 1000 ms of one byte.
    // Writes: a whole run is given 2000 ms, whatever its length.
    COMMTIMEOUTS timeouts;
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = mode == TransferMode ? 1000 : 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 2000;
    AppliedMode = SetCommTimeouts(LinkHandle, &timeouts) ? (int)mode : -1;
    return AppliedMode >= 0;
}

// The errors of a port whose device has gone away. Windows reports an unplugged USB adapter
// with one of these, depending on its driver; Wine reports a port whose pty has gone (the
// Unix EIO) as ERROR_NOT_READY, and a handle with no device behind it as
// ERROR_INVALID_FUNCTION.
static int DeviceGone(DWORD error)
{
    switch (error) {
    case ERROR_INVALID_FUNCTION:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_ACCESS_DENIED:
    case ERROR_NOT_READY:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_UNIT:
    case ERROR_OPERATION_ABORTED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_IO_DEVICE:
    case ERROR_DEVICE_REMOVED:
        return 1;
    }
    return 0;
}

// ClearCommError's error flags, gathered: it clears them as it reports them, so every call
// adds what it saw here, and CountLineErrors gives the sums.
static LineErrorCounts Gathered;

void AddCommErrors(unsigned long flags, LineErrorCounts* counts)
{
    counts->frame += (flags & CE_FRAME) != 0;
    counts->overrun += (flags & (CE_OVERRUN | CE_RXOVER)) != 0;
    counts->parity += (flags & CE_RXPARITY) != 0;
    counts->brk += (flags & CE_BREAK) != 0;
}

// ClearCommError on the port, its error flags gathered; its result.
static BOOL AskPort(COMSTAT* status)
{
    DWORD errors = 0;
    BOOL asked = ClearCommError(LinkHandle, &errors, status);
    if (asked)
        AddCommErrors(errors, &Gathered);
    return asked;
}

// What a read or write that moved nothing means: PortGone when the port has gone away,
// else PortIdle. Wine's ReadFile on a port whose pty has gone succeeds and reads nothing, as
// if no byte had come, so the port is asked (ClearCommError) after every call that moved
// nothing. The call's own error counts too, but for ERROR_OPERATION_ABORTED, which a live
// port also gives for a line error when it was left with fAbortOnError set; ClearCommError
// lets such a port go on.
static int NothingMoved(BOOL succeeded)
{
    DWORD callError = succeeded ? 0 : GetLastError();
    COMSTAT status;
    if (!AskPort(&status) && DeviceGone(GetLastError()))
        return PortGone;
    if (callError != ERROR_OPERATION_ABORTED && DeviceGone(callError))
        return PortGone;
    return PortIdle;
}

// What has arrived comes in one read of just that many bytes, which returns at once. Windows
// has timeouts that should return what is there from a read of a whole buffer, waiting only
// for the first byte (ReadIntervalTimeout and ReadTotalTimeoutMultiplier MAXDWORD), but Wine
// waits out the whole timeout trying to fill the buffer. So the port is asked first how many
// bytes wait (ClearCommError, which also clears a line error that would stop the read); with
// none there, one byte is read with the mode's timeout.
int ReadPortBytes(unsigned char* bytes, int size, int* count)
{
    COMSTAT status;
    DWORD waiting = 0;
    if (AskPort(&status))
        waiting = status.cbInQue;
    else if (DeviceGone(GetLastError()))
        return PortGone;
    DWORD wanted = waiting == 0 ? 1 : waiting < (DWORD)size ? waiting : (DWORD)size;
    DWORD got = 0;
    BOOL succeeded = ReadFile(LinkHandle, bytes, wanted, &got, NULL);
    // Bytes that came count, even from a call that failed after them: they were taken off
    // the line, and dropping them would lose them.
    if (got == 0)
        return NothingMoved(succeeded);
    *count = (int)got;
    return PortMoved;
}

int WritePortBytes(const unsigned char* bytes, int count, int* written)
{
    DWORD moved = 0;
    // A write that timed out (the Z88 holding XOFF, say) reports success with what it had
    // written by then, perhaps nothing; what did not leave is the caller's to write again.
    // Bytes that left count even from a call that failed after them: written again, they
    // would reach the Z88 twice.
    BOOL succeeded = WriteFile(LinkHandle, bytes, (DWORD)count, &moved, NULL);
    if (moved == 0)
        return NothingMoved(succeeded);
    *written = (int)moved;
    return PortMoved;
}

int PortOutputQueued(void)
{
    COMSTAT status;
    if (!AskPort(&status))
        return DeviceGone(GetLastError()) ? PortGone : 0;
    return status.cbOutQue > 0x7FFFFFFF ? 0x7FFFFFFF : (int)status.cbOutQue;
}

int PortInputWaiting(void)
{
    COMSTAT status;
    return AskPort(&status) && status.cbInQue > 0;
}

void CountLineErrors(LineErrorCounts* counts)
{
    COMSTAT status;
    AskPort(&status);
    *counts = Gathered;
}

int LinkRateAt(int index)
{
    // The rates a Windows serial driver is asked for by name (the CBR_ values of winbase.h),
    // and 75, the Z88's slowest, which a UART's divisor reaches (115200 / 1536); others are
    // up to each driver, and many refuse them.
    static const int rates[] = {75,    110,   300,   600,   1200,   2400,   4800,   9600,
                                14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return index >= 0 && index < (int)(sizeof rates / sizeof rates[0]) ? rates[index] : 0;
}
