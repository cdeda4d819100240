// File name mapping on Windows: dropped paths use '\', and the store names that Windows
// would take for a folder, a drive, a stream or a device are refused.
#include "tests/unit/names_test.h"

const char ExampleStoreDirectory[] = "C:\\LINK\\";

TEST_F(NamesTest, PlainPathsGiveTheirLastComponent)
{
    ExpectSent({
        {"C:\\LINK\\REPORT.DOC", "report.doc"},
        {"D:\\Data\\Mixed Case.Txt", "mixed case.txt"},
        // '/' is no separator on this side.
        {"C:\\dir/sub/file.txt", "dir/sub/file.txt"},
        {"Z:\\tmp\\my file.txt", "my file.txt"},
        {"REPORT.DOC", "report.doc"},
        {"C:\\LINK\\", ""},
        // An '@' in a folder is no part of the file name.
        {"C:\\MAIL@HOME\\NOTE.TXT", "note.txt"},
    });
}

TEST_F(NamesTest, WindowsRefusesSeparatorsDrivesAndStreams)
{
    ExpectStoreNames(false, {"a\\b", "\\", "a/b", "/", "C:", ":RAM.0", "@RAM_0!X.z88:stream", "X.z88::$DATA",
                             "..\\..\\WINDOWS\\WIN.INI"});
}

TEST_F(NamesTest, WindowsRefusesDeviceNames)
{
    ExpectStoreNames(false, {"CON", "con", "Prn", "AUX", "NUL", "nul.z88", "NUL.tar.gz", "NUL  ", "CON .TXT",
                             "AUX  .z88", "COM1", "com9.txt", "COM1.TXT", "COM0", "LPT1", "lpt5.z88", "LPT9",
                             "LPT0", "COM\xB9", "lpt\xB2.txt", "LPT\xB3", "CONIN$", "conout$.z88", "CONIN$.TXT"});
    // Longer or shorter words, or a device name inside a longer one, are files.
    ExpectStoreNames(true, {"CONSOLE", "COM10", "COM", "LPT", "COMA", "COM\xB4", "NULL.TXT", "xNUL", "!NUL",
                            "CON_TXT.z88", "AUX_TXT.z88", "@RAM_0!CON.z88", "CON-1", "CONIN", "CONOUT$$"});
}

TEST_F(NamesTest, WindowsRefusesNamesEndingInDotsOrBlanks)
{
    // Windows drops the dots and blanks at the end of a name: the first ones would be the
    // folder itself, the others another file's name.
    ExpectStoreNames(false, {"...", ". .", " ", "  ..", ". ", "NOTES.", "NOTES ", "A.B. ."});
    ExpectStoreNames(true, {"..a", ".z88", " x", "a b", ". .a"});
}

TEST_F(NamesTest, HostileReceivedNamesNeverPassTheCheck)
{
    struct Case {
        const char* received;
        const char* preserve;
    } cases[] = {
        {"..\\..\\WINDOWS\\WIN.INI", "0"}, {"..\\..\\WINDOWS\\WIN.INI", "1"},
        {":RAM.0", "0"}, {"X/C:", "0"}, {"NUL", "1"}, {"NUL", "0"}, {"CON.TXT", "0"},
        {":RAM.0/COM1", "0"}, {"X/...", "0"},
    };
    for (const Case& c : cases) {
        PutSetting("Preserve", c.preserve);
        EXPECT_FALSE(StoreNameAllowed(MapIncomingName(c.received)))
            << c.received << " with Preserve=" << c.preserve;
    }
    // The same device inside a Z88 folder is stored safely in the preserved form.
    PutSetting("Preserve", "1");
    EXPECT_TRUE(StoreNameAllowed(MapIncomingName(":RAM.0/COM1")));
}
