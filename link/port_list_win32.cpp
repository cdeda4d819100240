// The COM ports of a Windows machine (see port_list.h): those the system lists as there now,
// each with the friendly name its driver gives the device. USB adapters land on whatever COM
// number is free, and the friendly name ("USB Serial Port", "Prolific USB-to-Serial Comm
// Port") is how a user tells which is the cable.
#include "link/port_list.h"

#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>

// The number of "COM<number>", else 0: names the system lists otherwise sort after COM ports.
static long ComNumber(const char* name)
{
    if (strncmp(name, "COM", 3) != 0 || !name[3] || strspn(name + 3, "0123456789") != strlen(name + 3))
        return 0;
    return strtol(name + 3, nullptr, 10);
}

static bool ListedBefore(const SerialPortEntry& a, const SerialPortEntry& b)
{
    long first = ComNumber(a.name), second = ComNumber(b.name);
    if ((first == 0) != (second == 0))
        return first != 0;
    return first != second ? first < second : strcmp(a.name, b.name) < 0;
}

// The device's friendly name as the port's description, for each port in `ports` whose
// device the system knows among its ports (GUID_DEVCLASS_PORTS). Drivers name a device with
// its port in brackets, "USB Serial Port (COM5)": the list names the port already, so that
// bracket goes.
static void AddFriendlyNames(SerialPortEntry* ports, int count)
{
    HDEVINFO devices = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, NULL, NULL, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); i++) {
        char portName[TextSize] = "";
        HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
        if (key == (HKEY)INVALID_HANDLE_VALUE)
            continue;
        DWORD type = 0, size = sizeof portName - 1;
        LONG read = RegQueryValueExA(key, "PortName", NULL, &type, (BYTE*)portName, &size);
        RegCloseKey(key);
        if (read != ERROR_SUCCESS || type != REG_SZ)
            continue;
        portName[size] = 0;
        char friendly[TextSize] = "";
        if (!SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_FRIENDLYNAME, NULL, (BYTE*)friendly,
                                               sizeof friendly - 1, NULL))
            continue;
        char bracket[TextSize + 4];
        wsprintfA(bracket, " (%s)", portName);
        size_t length = strlen(friendly), tail = strlen(bracket);
        if (length > tail && _stricmp(friendly + length - tail, bracket) == 0)
            friendly[length - tail] = 0;
        for (int p = 0; p < count; p++) {
            if (_stricmp(ports[p].name, portName) == 0)
                CopyCut(ports[p].description, TextSize, friendly, strlen(friendly));
        }
    }
    SetupDiDestroyDeviceInfoList(devices);
}

int ListSerialPorts(SerialPortEntry* ports, int max)
{
    // SERIALCOMM holds one value a port: the device's kernel name, and the port's name as its
    // data. Its entries are those of the ports there now, whatever driver made them.
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    int count = 0;
    for (DWORD i = 0; count < max; i++) {
        char device[256], name[TextSize];
        DWORD deviceSize = sizeof device, nameSize = sizeof name - 1, type = 0;
        LONG read = RegEnumValueA(key, i, device, &deviceSize, NULL, &type, (BYTE*)name, &nameSize);
        if (read == ERROR_NO_MORE_ITEMS)
            break;
        // A name too long for a setting (ERROR_MORE_DATA) is left out, never cut.
        if (read != ERROR_SUCCESS || type != REG_SZ)
            continue;
        name[nameSize] = 0;
        if (!name[0])
            continue;
        CopyCut(ports[count].name, TextSize, name, strlen(name));
        ports[count].description[0] = 0;
        count++;
    }
    RegCloseKey(key);
    std::sort(ports, ports + count, ListedBefore);
    AddFriendlyNames(ports, count);
    return count;
}
