// The Linux settings file itself: what a user or another program put in it survives our
// writes, and a file we cannot read costs the defaults, never a crash or the user's text.
#include "settings/settings.h"
#include "tests/support/settings_store.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSettingsStore();
        folder = std::string(getenv("XDG_CONFIG_HOME")) + "/tarnwell";
        path = folder + "/tarnwell.ini";
        mkdir(folder.c_str(), 0755);
    }
    int FolderEntries()
    {
        int count = 0;
        DIR* dir = opendir(folder.c_str());
        if (!dir)
            return -1;
        while (struct dirent* entry = readdir(dir))
            count += entry->d_name[0] != '.';
        closedir(dir);
        return count;
    }
    // With `made` (0: done) a `type` in the settings file's place: the default rate is read,
    // and a rate written leaves the `type` there.
    void ExpectDefaultsOver(int made, mode_t type)
    {
        ASSERT_EQ(made, 0);
        EXPECT_EQ(GetSetting("Rate", "9600", value), 9600);
        EXPECT_STREQ(value, "9600");
        PutSetting("Rate", "300");
        struct stat info;
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & S_IFMT, type);
    }
    std::string folder, path;
    char value[TextSize];
};

TEST_F(SettingsFileTest, ForeignSectionsCommentsAndLayoutSurviveWrites)
{
    const std::string head = "; settings of several programs\n[Other]\nPort = stays\n\n";
    const std::string tail = "\n[Last]\n  ; indented comment\ny=2\n";
    WriteWholeFile(path, head + "[tarnwell]\n; mine\n  Port = \"COM2\"  \n" + tail);

    EXPECT_EQ(GetSetting("Port", "COM1", value), 0);
    EXPECT_STREQ(value, "COM2");
    PutSetting("Rate", "19200");
    // The rewritten key keeps its spelling; the new key stands at the end of its own
    // section, ahead of the blank line that separates the next one.
    EXPECT_EQ(SettingsStoreText(), head + "[tarnwell]\n; mine\nPort=COM2\nRate=19200\n" + tail);
    // Only the settings file is there: no temporary file is left behind.
    EXPECT_EQ(FolderEntries(), 1);
}

TEST_F(SettingsFileTest, WindowsLineEndsAreKept)
{
    WriteWholeFile(path, "[Tarnwell]\r\nPort=COM4\r\n");
    PutSetting("Xon", "0");
    EXPECT_EQ(SettingsStoreText(), "[Tarnwell]\r\nPort=COM4\r\nXon=0\r\n");
}

TEST_F(SettingsFileTest, OnlyTheFirstOfRepeatedSectionsAndKeysCounts)
{
    WriteWholeFile(path, "[Tarnwell]\nRate=1200\nRate=2400\n[Tarnwell]\nRate=4800\n");
    EXPECT_EQ(GetSetting("Rate", "9600", value), 1200);
    PutSetting("Rate", "300");
    EXPECT_EQ(SettingsStoreText(), "[Tarnwell]\nRate=300\nRate=2400\n[Tarnwell]\nRate=4800\n");
}

TEST_F(SettingsFileTest, MissingFolderIsCreated)
{
    std::string deeper = std::string(getenv("XDG_CONFIG_HOME")) + "/not/yet";
    setenv("XDG_CONFIG_HOME", deeper.c_str(), 1);
    GetSetting("Port", "COM1", value);
    std::string text;
    EXPECT_TRUE(ReadWholeFile(deeper + "/tarnwell/tarnwell.ini", &text));
    EXPECT_EQ(text.rfind("[Tarnwell]\nPort=COM1\n", 0), 0u) << text;
}

TEST_F(SettingsFileTest, FolderInPlaceOfFileGivesDefaultsAndStaysAFolder)
{
    ExpectDefaultsOver(mkdir(path.c_str(), 0755), S_IFDIR);
}

TEST_F(SettingsFileTest, UnreadableFileGivesDefaultsAndIsNotReplaced)
{
    // Running as root, permissions cannot make a file unreadable; a link that loops can.
    ASSERT_EQ(symlink("tarnwell.ini", path.c_str()), 0);
    EXPECT_EQ(GetSetting("Xon", "1", value), 1);
    EXPECT_STREQ(value, "1");
    PutSetting("Xon", "0");
    char target[64] = {0};
    EXPECT_GT(readlink(path.c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "tarnwell.ini");
}

TEST_F(SettingsFileTest, FifoInPlaceOfFileDoesNotHang)
{
    ExpectDefaultsOver(mkfifo(path.c_str(), 0644), S_IFIFO);
}

TEST_F(SettingsFileTest, LinkedSettingsFileStaysALink)
{
    std::string real = folder + "/real.ini";
    WriteWholeFile(real, "[Tarnwell]\nPort=COM5\n");
    ASSERT_EQ(symlink("real.ini", path.c_str()), 0);
    PutSetting("Port", "COM6");
    struct stat info;
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    std::string all;
    EXPECT_TRUE(ReadWholeFile(real, &all));
    EXPECT_EQ(all, "[Tarnwell]\nPort=COM6\n");
}

TEST_F(SettingsFileTest, LineBreakInValueCannotStartANewKey)
{
    PutSetting("Port", "COM1\nXon=0");
    EXPECT_EQ(GetSetting("Xon", "1", value), 1);
    GetSetting("Port", "x", value);
    EXPECT_STREQ(value, "COM1");

    // A carriage return or a zero byte inside a line ends the value, blanks before it
    // included, so the value in use is the value stored (found by the settings fuzz target).
    WriteWholeFile(path, std::string("[Tarnwell]\nDirectory=/srv/z88/\r[x]\nPort=COM3  \0x\n", 49));
    GetSetting("Directory", "x", value);
    EXPECT_STREQ(value, "/srv/z88/");
    GetSetting("Port", "x", value);
    EXPECT_STREQ(value, "COM3");
    EXPECT_EQ(SettingsStoreText(), "[Tarnwell]\nDirectory=/srv/z88/\nPort=COM3\n");
}
