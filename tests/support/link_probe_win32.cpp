// Windows side of the link tests' view of the port: the DCB, a second CreateFileA, and the
// process's handle count.
#include "tests/support/link_probe.h"

#include "link/serial_link.h"

#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

#include <string.h>

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

static HDEVINFO PortDevices = INVALID_HANDLE_VALUE;
static SP_DEVINFO_DATA PortDevice;

bool MakePortDevice(const char* port, const char* friendly)
{
    RemovePortDevice();
    PortDevices = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, NULL);
    PortDevice.cbSize = sizeof PortDevice;
    HKEY settings = NULL;
    return SetupDiCreateDeviceInfoA(PortDevices, "TARNWELL", &GUID_DEVCLASS_PORTS, NULL, NULL, DICD_GENERATE_ID,
                                    &PortDevice) &&
           SetupDiRegisterDeviceInfo(PortDevices, &PortDevice, 0, NULL, NULL, NULL) &&
           SetupDiSetDeviceRegistryPropertyA(PortDevices, &PortDevice, SPDRP_FRIENDLYNAME, (const BYTE*)friendly,
                                             (DWORD)strlen(friendly) + 1) &&
           (settings = SetupDiCreateDevRegKeyA(PortDevices, &PortDevice, DICS_FLAG_GLOBAL, 0, DIREG_DEV, NULL, NULL)) &&
           RegSetValueExA(settings, "PortName", 0, REG_SZ, (const BYTE*)port, (DWORD)strlen(port) + 1) == 0 &&
           RegCloseKey(settings) == 0;
}

void RemovePortDevice()
{
    if (PortDevices == INVALID_HANDLE_VALUE)
        return;
    SetupDiRemoveDevice(PortDevices, &PortDevice);
    SetupDiDestroyDeviceInfoList(PortDevices);
    PortDevices = INVALID_HANDLE_VALUE;
}
