// Linux side of the settings test access: every reset points XDG_CONFIG_HOME at a fresh
// empty folder, so tests never touch the user's own settings.
#include "tests/support/settings_store.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <string>

static std::string SettingsPath()
{
    return std::string(getenv("XDG_CONFIG_HOME")) + "/tarnwell/tarnwell.ini";
}

void ResetSettingsStore()
{
    char folder[] = "/tmp/tarnwell-settings-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_CONFIG_HOME", folder, 1);
}

std::string SettingsStoreText()
{
    std::ifstream file(SettingsPath(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}
