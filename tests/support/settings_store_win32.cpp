// Windows side of the settings test access: the tests run under Wine against the real
// WIN.INI of the test run's private prefix, so the section is removed before each test.
#include "tests/support/settings_store.h"

#include <windows.h>

#include <string>

void ResetSettingsStore()
{
    WriteProfileStringA("Tarnwell", nullptr, nullptr);
}

std::string SettingsFilePath()
{
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof folder);
    return std::string(folder) + "\\win.ini";
}
