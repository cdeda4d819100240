// The settings store, run on both builds: on Linux against our INI file, on Windows under
// Wine against the real WIN.INI, so the INI file is held to the real profile functions.
#include "settings/settings.h"
#include "tests/support/settings_store.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSettingsStore(); }
    char value[TextSize];
};

TEST_F(SettingsTest, FirstStartWritesDefaultsInReadingOrder)
{
    // The order in which the link opens a port: Port, Rate, Xon, Directory.
    const std::string port = SettingDefault(SettingPort);
    const std::string directory = SettingDefault(SettingDirectory);
    EXPECT_EQ(ReadSetting(SettingPort, value), 0);
    EXPECT_EQ(port, value);
    EXPECT_EQ(ReadSetting(SettingRate, value), 9600);
    EXPECT_EQ(ReadSetting(SettingXon, value), 1);
    ReadSetting(SettingDirectory, value);
    EXPECT_EQ(directory, value);
    EXPECT_EQ(SettingsSectionLines(),
              (Lines{"Port=" + port, "Rate=9600", "Xon=1", "Directory=" + directory}));

    // "Preserve" comes later, behind the others; reading again adds nothing.
    EXPECT_EQ(ReadSetting(SettingPreserve, value), 1);
    ReadSetting(SettingPort, value);
    EXPECT_EQ(SettingsSectionLines(),
              (Lines{"Port=" + port, "Rate=9600", "Xon=1", "Directory=" + directory, "Preserve=1"}));
}

TEST_F(SettingsTest, PlaceDefaultsEndWithSeparator)
{
    // Received names are joined straight to the directory, so its default needs the separator.
    std::string directory = SettingDefault(SettingDirectory);
    ASSERT_FALSE(directory.empty());
    char last = directory.back();
    EXPECT_TRUE(last == '/' || last == '\\') << directory;
    EXPECT_STRNE(SettingDefault(SettingPort), "");
}

TEST_F(SettingsTest, LongValueIsCutTo127AndWrittenBackCut)
{
    std::string longValue(200, 'd');
    longValue[150] = 'X';  // past the cut: must not show up
    PutSetting("Directory", longValue.c_str());
    GetSetting("Directory", "default", value);
    EXPECT_EQ(strlen(value), 127u);
    EXPECT_EQ(std::string(value), std::string(127, 'd'));
    EXPECT_EQ(SettingsSectionLines(), (Lines{"Directory=" + std::string(127, 'd')}));
}

TEST_F(SettingsTest, EmptyValueStaysEmptyNotDefault)
{
    PutSetting("Rate", "");
    strcpy(value, "junk");
    EXPECT_EQ(GetSetting("Rate", "9600", value), 0);
    EXPECT_STREQ(value, "");
    EXPECT_EQ(SettingsSectionLines(), (Lines{"Rate="}));
}

TEST_F(SettingsTest, IntegerReadingAndUnchangedWriteBack)
{
    struct Case {
        const char* text;
        int integer;
    } cases[] = {
        {"9600 baud", 9600}, {"-1", -1}, {"2", 2}, {"word", 0}, {"", 0},
        {"+7", 7},           {"12abc", 12}, {"0", 0}, {"-", 0}, {"99999999999", 2147483647},
    };
    for (const Case& c : cases) {
        PutSetting("Xon", c.text);
        EXPECT_EQ(GetSetting("Xon", "1", value), c.integer) << "value \"" << c.text << "\"";
        EXPECT_STREQ(value, c.text);
        EXPECT_EQ(SettingsSectionLines(), (Lines{std::string("Xon=") + c.text}));
    }
}

TEST_F(SettingsTest, NamesMatchWithoutRegardToCase)
{
    PutSetting("port", "/dev/ttyUSB0");
    PutSetting("PORT", "COM7");
    GetSetting("Port", "default", value);
    EXPECT_STREQ(value, "COM7");
    // One line, under the spelling first written.
    EXPECT_EQ(SettingsSectionLines(), (Lines{"port=COM7"}));
}

TEST_F(SettingsTest, BlanksAndOnePairOfQuotesAreTrimmed)
{
    struct Case {
        const char* stored;
        const char* read;
    } cases[] = {
        {"  COM3  ", "COM3"}, {"\"COM3\"", "COM3"}, {"'a b'", "a b"}, {"\"\"", ""},
        {"\"", "\""},         {"'a\"", "'a\""},      {"\"\"x\"\"", "\"x\""},
    };
    for (const Case& c : cases) {
        PutSetting("Port", c.stored);
        GetSetting("Port", "default", value);
        EXPECT_STREQ(value, c.read) << "stored \"" << c.stored << "\"";
    }
}

TEST_F(SettingsTest, ValuesWithEightBitTextSurvive)
{
    const char text[] = "C:\\Z88 \xE9t\xE9\\";
    PutSetting("Directory", text);
    GetSetting("Directory", "default", value);
    EXPECT_STREQ(value, text);
}

// Overrides of one run: an overridden key reads its override, in any spelling of the key,
// and the profile never hears of it; the other keys are read and written back as always,
// and a key whose override is taken away reads the profile again.
TEST_F(SettingsTest, OverriddenKeysReadTheirOverrideAndWriteNothing)
{
    PutSetting("Port", "stored port");
    std::string longValue(200, 'r');
    OverrideSetting(SettingPort, "/dev/ttyUSB3");
    OverrideSetting(SettingRate, longValue.c_str());
    OverrideSetting(SettingXon, "0");

    EXPECT_EQ(ReadSetting(SettingPort, value), 0);
    EXPECT_STREQ(value, "/dev/ttyUSB3");
    GetSetting("PORT", "default", value);
    EXPECT_STREQ(value, "/dev/ttyUSB3");
    ReadSetting(SettingRate, value);
    EXPECT_EQ(std::string(value), std::string(127, 'r'));
    EXPECT_EQ(ReadSetting(SettingXon, value), 0);
    EXPECT_EQ(ReadSetting(SettingPreserve, value), 1);
    EXPECT_EQ(SettingsSectionLines(), (Lines{"Port=stored port", "Preserve=1"}));

    OverrideSetting(SettingPort, nullptr);
    OverrideSetting(SettingRate, nullptr);
    OverrideSetting(SettingXon, nullptr);
    ReadSetting(SettingPort, value);
    EXPECT_STREQ(value, "stored port");
    EXPECT_EQ(ReadSetting(SettingXon, value), 1);
    EXPECT_EQ(SettingsSectionLines(), (Lines{"Port=stored port", "Preserve=1", "Xon=1"}));
}
