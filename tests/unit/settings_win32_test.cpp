// The settings on a normal Windows account, which may read WIN.INI but not write it: run by
// tests/tools/wine-normal-account as a second account whose read-only WIN.INI holds
// [Tarnwell] with Rate=19200 and Xon=0, the first case in one process, the second in the
// next. Disabled elsewhere: there WIN.INI can be written.
#include "settings/profile.h"
#include "settings/settings.h"
#include "tests/support/settings_store.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

// The user's own file, found here through the environment.
static std::string OwnFile()
{
    const char* appData = getenv("APPDATA");
    return std::string(appData ? appData : "(no APPDATA)") + "\\Tarnwell\\tarnwell.ini";
}

// The texts "Port", "Rate", "Xon" and "Directory" read as, in the link's order.
static Lines ReadAsTheLinkDoes()
{
    Lines texts;
    char value[TextSize];
    for (SettingId id : {SettingPort, SettingRate, SettingXon, SettingDirectory}) {
        ReadSetting(id, value);
        texts.push_back(value);
    }
    return texts;
}

// Defaults and what the dialog's OK stores go to the user's file, which the program names
// from the start; WIN.INI's values are still read there.
TEST(SettingsOnNormalAccount, DISABLED_FirstRunStoresInTheUsersOwnFile)
{
    ASSERT_EQ(SettingsSectionLines(OwnFile()), Lines{}) << "a fresh account";
    EXPECT_EQ(ProfileLocation(), "the section [Tarnwell] of " + OwnFile() + ", then of " + SettingsFilePath());
    EXPECT_EQ(ReadAsTheLinkDoes(), (Lines{"COM1", "19200", "0", "C:\\LINK\\"}));
    EXPECT_EQ(SettingsSectionLines(OwnFile()), (Lines{"Port=COM1", "Directory=C:\\LINK\\"}));
    EXPECT_TRUE(PutSetting("Port", "COM5"));
    EXPECT_TRUE(PutSetting("Rate", "38400"));
    EXPECT_EQ(ReadAsTheLinkDoes(), (Lines{"COM5", "38400", "0", "C:\\LINK\\"}));
}

TEST(SettingsOnNormalAccount, DISABLED_NextRunReadsWhatWasStored)
{
    EXPECT_EQ(ReadAsTheLinkDoes(), (Lines{"COM5", "38400", "0", "C:\\LINK\\"}));
    EXPECT_EQ(SettingsSectionLines(OwnFile()), (Lines{"Port=COM5", "Directory=C:\\LINK\\", "Rate=38400"}));
}
