// Windows implementation of the profile primitive: the section lives in WIN.INI itself,
// reached through the system's profile functions.
#include "settings/profile.h"

#include <windows.h>

void ProfileRead(const char* section, const char* key, const char* defaultText, char* buffer, int size)
{
    GetProfileStringA(section, key, defaultText, buffer, (DWORD)size);
}

int ProfileWrite(const char* section, const char* key, const char* value)
{
    return WriteProfileStringA(section, key, value) != 0;
}

const char* ProfileDefaultPort()
{
    return "COM1";
}

const char* ProfileDefaultDirectory()
{
    return "C:\\LINK\\";
}

std::string ProfileLocation()
{
    char folder[MAX_PATH];
    UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    std::string windows = length && length < sizeof folder ? folder : "the Windows folder";
    return "the section [Tarnwell] of " + windows + "\\win.ini";
}
