// Windows implementation of the serial link: a COM port through the Win32 communications
// API, synchronous, its two timeout modes set with SetCommTimeouts.
#include "link/serial_port.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

// The mode whose timeouts the open port has, or -1 when unknown (a new port, or a failed
// apply). LinkWriteByte asks for TransferMode before every byte; asking the driver again for
// what it has already costs a round trip per byte and changes nothing.
static int AppliedMode = -1;

int PortIsOpen(void)
{
    return LinkHandle != 0 && LinkHandle != LinkOpenFailed;
}

// Opens the port for this program alone. Only COM1 to COM9 are known by their plain names;
// "COM10" and above (where USB adapters often land) exist only in the device namespace, so
// a name without a backslash is opened there, and every COM port opens alike. A name with a
// backslash is a path of its own and is used as typed.
LinkPort OpenPort(const char* name)
{
    char device[TextSize + 4];
    if (strchr(name, '\\'))
        snprintf(device, sizeof device, "%s", name);
    else
        snprintf(device, sizeof device, "\\\\.\\%s", name);
    return CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

// The Windows message is the one line it has always been.
const char* PortFailureText(void)
{
    return "";
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
    COMMTIMEOUTS timeouts;
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = mode == TransferMode ? 1000 : 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 2000;
    timeouts.WriteTotalTimeoutConstant = 0;
    AppliedMode = SetCommTimeouts(LinkHandle, &timeouts) ? (int)mode : -1;
    return AppliedMode >= 0;
}

int ReadPortByte(int* value)
{
    unsigned char byte = 0;
    DWORD count = 0;
    if (!ReadFile(LinkHandle, &byte, 1, &count, NULL) || count != 1)
        return 0;
    *value = byte;
    return 1;
}

int WritePortByte(unsigned char byte)
{
    DWORD count = 0;
    // A write that timed out (the Z88 holding XOFF, say) reports success with nothing
    // written; that byte is lost to the frame, so it counts as failed.
    return WriteFile(LinkHandle, &byte, 1, &count, NULL) && count == 1;
}
