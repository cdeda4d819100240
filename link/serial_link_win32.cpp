// Windows implementation of the serial link: a COM port through the Win32 communications
// API, synchronous, its two timeout modes set with SetCommTimeouts.
#include "link/serial_link.h"

#include "settings/settings.h"
#include "ui/alerts.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

LinkPort LinkHandle = 0;
char StoreDirectory[SettingSize];

// The mode whose timeouts the open port has, or -1 when unknown (a new port, or a failed
// apply). LinkWriteByte asks for TransferMode before every byte; asking the driver again for
// what it has already costs a round trip per byte and changes nothing.
static int AppliedMode = -1;

static int PortIsOpen(void)
{
    return LinkHandle != 0 && LinkHandle != LinkOpenFailed;
}

// Opens the port for this program alone. Only COM1 to COM9 are known by their plain names;
// "COM10" and above (where USB adapters often land) exist only in the device namespace, so
// a name without a backslash is opened there, and every COM port opens alike. A name with a
// backslash is a path of its own and is used as typed.
static LinkPort OpenPort(const char* name)
{
    char device[SettingSize + 4];
    if (strchr(name, '\\'))
        snprintf(device, sizeof device, "%s", name);
    else
        snprintf(device, sizeof device, "\\\\.\\%s", name);
    return CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

void CloseLink(void)
{
    if (PortIsOpen())
        CloseHandle(LinkHandle);
    LinkHandle = 0;
    AppliedMode = -1;
}

void OpenLink(void)
{
    CloseLink();
    char text[SettingSize];
    ReadSetting(SettingPort, text);
    LinkHandle = OpenPort(text);
    if (LinkHandle == LinkOpenFailed) {
        ShowConnectFailure();
        return;
    }

    DCB line;
    memset(&line, 0, sizeof line);
    line.DCBlength = sizeof line;
    GetCommState(LinkHandle, &line);
    int rate = ReadSetting(SettingRate, text);
    line.BaudRate = (DWORD)rate;
    line.ByteSize = 8;
    line.fParity = FALSE;
    line.StopBits = ONESTOPBIT;
    line.fOutX = ReadSetting(SettingXon, text) != 0;
    line.fInX = line.fOutX;
    // Windows refuses a record whose rate is not a positive number; refuse it here as well,
    // because Wine takes a rate of 0 and hangs the line up with it.
    if (rate > 0)
        SetCommState(LinkHandle, &line);

    ReadSetting(SettingDirectory, StoreDirectory);
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

int LinkReadByte(int* value)
{
    *value = 0;
    unsigned char byte = 0;
    DWORD count = 0;
    BOOL ok = PortIsOpen() && ReadFile(LinkHandle, &byte, 1, &count, NULL);
    if (ok && count == 1)
        *value = byte;
    // Asked after every read, also a failed one: a held Esc ends the transfer either way.
    int escape = EscapeHeld();
    return ok && count == 1 && !escape;
}

int LinkWriteByte(int value)
{
    SetLinkTimeouts(TransferMode);
    unsigned char byte = (unsigned char)(value & 0xFF);
    DWORD count = 0;
    BOOL ok = PortIsOpen() && WriteFile(LinkHandle, &byte, 1, &count, NULL);
    int escape = EscapeHeld();
    // A write that timed out (the Z88 holding XOFF, say) reports success with nothing
    // written; that byte is lost to the frame, so it counts as failed.
    return ok && count == 1 && !escape;
}
