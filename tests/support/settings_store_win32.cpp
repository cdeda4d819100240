// Windows side of the settings test access: the tests run under Wine against the real
// WIN.INI of the test run's private prefix, so the section is removed before each test.
#include "tests/support/settings_store.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

void ResetSettingsStore()
{
    WriteProfileStringA("Tarnwell", nullptr, nullptr);
}

std::string SettingsStoreText()
{
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof folder);
    std::ifstream file(std::string(folder) + "\\win.ini", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}
