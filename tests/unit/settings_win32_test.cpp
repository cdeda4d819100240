// The settings store on a normal Windows account, which may read WIN.INI but not write it.
// tests/tools/wine-normal-account runs these cases as a second account with a Wine prefix of
// its own, whose WIN.INI holds [Tarnwell] with Rate=19200 and Xon=0: the first case in one
// process, the second in the next. Where WIN.INI can be written they are skipped.
#include "settings/profile.h"
#include "settings/settings.h"
#include "tests/support/settings_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

// Where the user's own settings must be: found here through the environment.
static std::string UserSettingsFile()
{
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("APPDATA", folder, sizeof folder);
    return length && length < sizeof folder ? std::string(folder) + "\\Tarnwell\\tarnwell.ini" : "(no APPDATA)";
}

class SettingsOnNormalAccount : public ::testing::Test {
protected:
    void SetUp() override
    {
        HANDLE winIni = CreateFileA(SettingsFilePath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (winIni != INVALID_HANDLE_VALUE) {
            CloseHandle(winIni);
            GTEST_SKIP() << "WIN.INI can be written here: tests/tools/wine-normal-account runs this";
        }
    }
    char value[TextSize];
};

// The first start reads as the link does, then the dialog's OK stores: defaults and what is
// stored go to the user's file, which the program names; WIN.INI's values stay read there.
TEST_F(SettingsOnNormalAccount, FirstRunStoresInTheUsersOwnFile)
{
    const std::string own = UserSettingsFile();
    ASSERT_EQ(SettingsSectionLines(own), Lines{}) << "a fresh account";
    EXPECT_EQ(ProfileLocation(), "the section [Tarnwell] of " + own + ", then of " + SettingsFilePath());

    ReadSetting(SettingPort, value);
    EXPECT_STREQ(value, "COM1");
    EXPECT_EQ(ReadSetting(SettingRate, value), 19200);
    EXPECT_EQ(ReadSetting(SettingXon, value), 0);
    ReadSetting(SettingDirectory, value);
    EXPECT_EQ(SettingsSectionLines(own), (Lines{"Port=COM1", "Directory=C:\\LINK\\"}));

    EXPECT_TRUE(PutSetting("Port", "COM5"));
    EXPECT_TRUE(PutSetting("Rate", "38400"));
    ReadSetting(SettingPort, value);
    EXPECT_STREQ(value, "COM5");
    EXPECT_EQ(ReadSetting(SettingRate, value), 38400);
    EXPECT_EQ(SettingsSectionLines(own), (Lines{"Port=COM5", "Directory=C:\\LINK\\", "Rate=38400"}));
}

// What the first run stored is read in the next process; a value of WIN.INI that the user
// never stored still counts.
TEST_F(SettingsOnNormalAccount, NextRunReadsWhatWasStored)
{
    ReadSetting(SettingPort, value);
    EXPECT_STREQ(value, "COM5");
    EXPECT_EQ(ReadSetting(SettingRate, value), 38400);
    EXPECT_EQ(ReadSetting(SettingXon, value), 0);
    EXPECT_EQ(SettingsSectionLines(UserSettingsFile()), (Lines{"Port=COM5", "Directory=C:\\LINK\\", "Rate=38400"}));
}
