// The serial devices of a Linux machine, found by name (see port_list_posix.h): most Z88
// owners today use a USB adapter and do not know its device name.
#include "link/port_list_posix.h"
#include "base/text.h"

#include <dirent.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

// Digit strings in the order of their numbers: the shorter first, as ttyUSB2 before ttyUSB10.
static bool NumberBefore(const std::string& a, const std::string& b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// The names in `folder` that begin with `prefix`. With `numbered`, only those where nothing
// but digits follows, in the order of that number; else all, by name.
static std::vector<std::string> Entries(const std::string& folder, const char* prefix, bool numbered)
{
    std::vector<std::string> found;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return found;
    size_t length = strlen(prefix);
    while (struct dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' || strncmp(name, prefix, length) != 0)
            continue;
        const char* number = name + length;
        if (numbered && (!*number || strspn(number, "0123456789") != strlen(number)))
            continue;
        found.push_back(numbered ? number : name);
    }
    closedir(dir);
    if (!numbered) {
        std::sort(found.begin(), found.end());
        return found;
    }
    std::sort(found.begin(), found.end(), NumberBefore);
    for (std::string& name : found)
        name = prefix + name;
    return found;
}

// A ttyS device stands for every port the driver could have, most of them not there; the
// kernel tells the real ones by a UART type other than unknown (0). It is read from sysfs
// rather than asked of the device (TIOCGSERIAL): opening a serial device raises DTR and RTS
// on whatever is plugged into it, and needs a permission the user may not have yet.
static bool IsRealPort(const std::string& ttyClasses, const std::string& name)
{
    FILE* file = fopen((ttyClasses + "/" + name + "/type").c_str(), "r");
    if (!file)
        return false;
    int type = 0;
    bool real = fscanf(file, "%d", &type) == 1 && type != 0;
    fclose(file);
    return real;
}

static void Add(SerialPortEntry* ports, int* count, int max, const std::string& path)
{
    // A path too long for the menu is left out, never cut.
    if (*count >= max || path.size() >= TextSize)
        return;
    SerialPortEntry* port = &ports[(*count)++];
    CopyCut(port->name, TextSize, path.c_str(), path.size());
    port->description[0] = 0;
}

int FindSerialPorts(const char* devices, const char* ttyClasses, SerialPortEntry* ports, int max)
{
    int count = 0;
    const std::string folder = devices;
    for (const std::string& name : Entries(folder + "/serial/by-id", "", false))
        Add(ports, &count, max, folder + "/serial/by-id/" + name);
    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        for (const std::string& name : Entries(folder, prefix, true))
            Add(ports, &count, max, folder + "/" + name);
    }
    for (const std::string& name : Entries(folder, "ttyS", true)) {
        if (IsRealPort(ttyClasses, name))
            Add(ports, &count, max, folder + "/" + name);
    }
    return count;
}

int ListSerialPorts(SerialPortEntry* ports, int max)
{
    return FindSerialPorts("/dev", "/sys/class/tty", ports, max);
}
