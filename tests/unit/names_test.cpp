// File name mapping and the store-name check, the part that is the same on both builds: on
// Linux against our INI file, on Windows under Wine against the real WIN.INI.
// names_posix_test.cpp and names_win32_test.cpp hold what differs.
#include "tests/unit/names_test.h"
#include "tests/support/temp_folder.h"

#include <dirent.h>
#include <stdio.h>
#include <string.h>

#include <set>
#include <vector>

using Lines = std::vector<std::string>;

// A file received from the Z88, stored, then dropped back onto the window.
TEST_F(NamesTest, ReceivedStoredAndSentBack)
{
    struct Case {
        const char* received;
        const char* preserve;
        const char* stored;
        const char* sentBack;
    } cases[] = {
        {":RAM.0/LETTER.TXT", "1", "@RAM_0!LETTER_TXT.z88", "letter.txt"},
        {":RAM.0/LETTER.TXT", "0", "LETTER.TXT", "letter.txt"},
        {":RAM.0/DIR/SUB/NOTES", "1", "@RAM_0!DIR!SUB!NOTES.z88", "notes"},
        {":RAM.0/DIR/SUB/NOTES", "0", "NOTES", "notes"},
        {":RAM.1/A.B.C", "1", "@RAM_1!A_B_C.z88", "a.b_c"},
        {":RAM.1/A.B.C", "0", "A.B.C", "a.b.c"},
        {":RAM.0/MY_FILE.TXT", "1", "@RAM_0!MY_FILE_TXT.z88", "my.file_txt"},
        {":RAM.0/MY_FILE.TXT", "0", "MY_FILE.TXT", "my_file.txt"},
        {"LETTER.TXT", "1", "LETTER_TXT.z88", "letter_txt.z88"},
        {":RAM.0", "1", "@RAM_0.z88", ""},
        // Any integer reading other than 0 preserves; a word reads as 0.
        {":RAM.0/LETTER.TXT", "-1", "@RAM_0!LETTER_TXT.z88", "letter.txt"},
        {":RAM.0/LETTER.TXT", "no", "LETTER.TXT", "letter.txt"},
        // Case is kept on the way in; blanks stay both ways.
        {":RAM.0/a b.Txt", "1", "@RAM_0!a b_Txt.z88", "a b.txt"},
        {"DIR/", "0", "", ""},
        {"", "1", ".z88", ".z88"},
        {"", "0", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.received) + " with Preserve=" + c.preserve);
        EXPECT_EQ(Incoming(c.received, c.preserve), c.stored);
        // Every name the Z88 really sends may be stored, and so may its previous copy and
        // the file it is received into.
        const bool empty = c.stored[0] == 0;
        EXPECT_EQ(StoreNameAllowed(c.stored) != 0, !empty);
        EXPECT_TRUE(PlatformStoreNameAllowed(("_" + std::string(c.stored)).c_str()));
        EXPECT_TRUE(PlatformStoreNameAllowed(("~" + std::string(c.stored)).c_str()));
        EXPECT_EQ(Outgoing(std::string(ExampleStoreDirectory) + c.stored), c.sentBack);
    }
}

TEST_F(NamesTest, PreserveIsReadAndWrittenBackAtEveryCall)
{
    // Only '.', '/' and ':' change; a backslash is left for the store-name check.
    EXPECT_EQ(Incoming("..\\A B:C.D", "-1"), "__\\A B@C_D.z88");
    EXPECT_EQ(SettingsSectionLines(), (Lines{"Preserve=-1"}));

    // Without the key the default is used and written, at a later call as at the first.
    ResetSettingsStore();
    EXPECT_STREQ(MapIncomingName("A.B"), "A_B.z88");
    EXPECT_EQ(SettingsSectionLines(), (Lines{"Preserve=1"}));
    ResetSettingsStore();
    EXPECT_STREQ(MapIncomingName("X/A.B"), "X!A_B.z88");
    EXPECT_EQ(SettingsSectionLines(), (Lines{"Preserve=1"}));

    // A change made between two names applies to the next one, and stays as written.
    PutSetting("Preserve", "no");
    EXPECT_STREQ(MapIncomingName("X/A.B"), "A.B");
    EXPECT_EQ(SettingsSectionLines(), (Lines{"Preserve=no"}));
}

TEST_F(NamesTest, LongNamesAreRefusedNeverCut)
{
    const std::string name123 = ":RAM.0/" + std::string(116, 'N');
    ASSERT_EQ(name123.size(), 123u);
    const std::string stored = Incoming(name123, "1");
    EXPECT_EQ(stored.size(), 127u);
    EXPECT_EQ(stored, "@RAM_0!" + std::string(116, 'N') + ".z88");

    // One more would leave no room for ".z88": cutting it could name another file.
    EXPECT_EQ(Incoming(name123 + "N", "1"), "(refused)");
    EXPECT_STREQ(NameBuffer, "");
    EXPECT_FALSE(StoreNameAllowed(MapIncomingName((name123 + "N").c_str())));

    // The last-component form never grows, so it takes whatever a 128-byte buffer holds.
    EXPECT_EQ(Incoming(std::string(124, 'L'), "0"), std::string(124, 'L'));
    EXPECT_EQ(Incoming(std::string(127, 'L'), "0"), std::string(127, 'L'));
    EXPECT_EQ(Incoming(std::string(128, 'L'), "0"), "(refused)");
    EXPECT_EQ(Incoming(std::string(200, 'L'), "1"), "(refused)");

    EXPECT_EQ(Outgoing(std::string(127, 'P')), std::string(127, 'p'));
    EXPECT_EQ(MapOutgoingName(std::string(128, 'P').c_str()), nullptr);
}

TEST_F(NamesTest, PathsWithAnAt)
{
    ExpectSent({
        // No '_' and digit behind the device: only "@ABC" goes.
        {"C:\\X\\@ABCDEF.TXT", "def"},
        {"C:\\X\\@RAM_X!A_B.z88", "a.b"},
        {"C:\\X\\@ABC_2NAME_TXT.z88", "name.txt"},
        // Only the first '@' counts, and only ASCII digits are digits.
        {"C:\\X\\@RAM_0!B@C_D.z88", "b@c.d"},
        {"C:\\X\\@ABC_\xB2N_TXT.z88", ".\xB2n_txt"},
        // Fewer than four characters from the '@' on leave the empty text.
        {"C:\\X\\@", ""},
        {"C:\\X\\@RA", ""},
        {"C:\\X\\@RAM", ""},
        {"C:\\X\\@RAMD", "d"},
        {"C:\\X\\@RAM_", "."},
        {"C:\\X\\@RAM_1", ""},
        {"@", ""},
    });
}

TEST_F(NamesTest, HighBytesPassUnchangedAndKeepTheirCase)
{
    // Bytes from 128 on are no letters: only ASCII capitals are made small.
    const std::string received = ":RAM.0/\xC4\xE9T\xC9.TXT";
    EXPECT_EQ(Incoming(received, "1"), "@RAM_0!\xC4\xE9T\xC9_TXT.z88");
    EXPECT_EQ(Outgoing(std::string(ExampleStoreDirectory) + "@RAM_0!\xC4\xE9T\xC9_TXT.z88"),
              "\xC4\xE9t\xC9.txt");
    EXPECT_EQ(Incoming(received, "0"), "\xC4\xE9T\xC9.TXT");
    EXPECT_EQ(Outgoing(std::string(ExampleStoreDirectory) + "\xC4\xE9T\xC9.TXT"),
              "\xC4\xE9t\xC9.txt");

    for (int first : {128, 192}) {
        std::string high;
        for (int c = first; c < first + 64; c++)
            high += (char)c;
        EXPECT_EQ(Incoming(high, "1"), high + ".z88");
        EXPECT_EQ(Incoming(high, "0"), high);
        EXPECT_EQ(Outgoing(std::string(ExampleStoreDirectory) + high), high);
        EXPECT_TRUE(StoreNameAllowed(high.c_str()));
    }
}

TEST_F(NamesTest, CheckRefusesWhatNamesNoFileInTheStore)
{
    ExpectStoreNames(false, {"", ".", "..", "/", "a/b", "../x", "x/..", "/etc/passwd", "_", "~", "_NOTES",
                             "~NOTES", "__X.z88"});
    EXPECT_FALSE(StoreNameAllowed(nullptr));

    // A name from the line that ends in '/', or names a parent, maps to one of them.
    PutSetting("Preserve", "0");
    EXPECT_FALSE(StoreNameAllowed(MapIncomingName("DIR/")));
    EXPECT_FALSE(StoreNameAllowed(MapIncomingName("X/..")));
    EXPECT_FALSE(StoreNameAllowed(MapIncomingName(":RAM.0/")));
    // Its last component only: a climb out is left behind.
    EXPECT_STREQ(MapIncomingName("../../etc/passwd"), "passwd");
}

// What the check accepts really lands as a file of that very name in the store folder.
// The candidates include the names each platform refuses; only accepted ones are written.
TEST_F(NamesTest, AcceptedNamesAreFilesInsideTheStore)
{
    const std::string directory = NewTestFolder();

    const char* candidates[] = {
        "@RAM_0!LETTER_TXT.z88", "NOTES", "NOTES.", "NOTES ", "...", ". .", " x", "a\\b",
        ":RAM.0", "@RAM_0!X.z88:stream", "NUL", "nul.z88", "COM1.TXT", "CON .TXT", "CONIN$",
        "COM10", "CONSOLE", "NULL.TXT", "LPT", "AUX_TXT.z88", "\xC4\xE9T\xC9.TXT",
    };
    // An accepted name is written with its previous-copy and incoming names.
    std::set<std::string> written;
    for (const char* candidate : candidates) {
        if (!StoreNameAllowed(candidate))
            continue;
        for (const std::string& name : {std::string(candidate), "_" + std::string(candidate),
                                         "~" + std::string(candidate)}) {
            EXPECT_TRUE(PlatformStoreNameAllowed(name.c_str())) << name;
            FILE* file = fopen((directory + name).c_str(), "wb");
            if (!file) {
                ADD_FAILURE() << "cannot create " << name;
                continue;
            }
            fclose(file);
            written.insert(name);
        }
    }
    EXPECT_GE(written.size(), 18u);

    // Listed through the narrow file functions the names were created with.
    std::set<std::string> listed;
    if (DIR* dir = opendir(directory.substr(0, directory.size() - 1).c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
                listed.insert(entry->d_name);
        }
        closedir(dir);
    }
    EXPECT_EQ(listed, written);
}
