// Linux side of the settings test access: every reset points XDG_CONFIG_HOME at a fresh
// empty folder (a test folder, gone when the program ends), so tests never touch the user's
// own settings.
#include "tests/support/settings_store.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <string>

std::string SettingsFilePath()
{
    return std::string(getenv("XDG_CONFIG_HOME")) + "/tarnwell/tarnwell.ini";
}

void ResetSettingsStore()
{
    std::string folder = NewTestFolder();
    folder.pop_back();  // the separator
    struct stat info;
    ASSERT_TRUE(stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) << folder;
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
}
