// File name mapping on Linux: dropped paths use '/', and a store name may hold any byte but
// '/', so names that Windows refuses are ordinary files here.
#include "tests/unit/names_test.h"

const char ExampleStoreDirectory[] = "/home/z88/LINK/";

TEST_F(NamesTest, PlainPathsGiveTheirLastComponent)
{
    ExpectSent({
        {"/home/z88/LINK/REPORT.DOC", "report.doc"},
        {"/media/Data/Mixed Case.Txt", "mixed case.txt"},
        // A backslash is an ordinary byte of a Linux file name.
        {"/tmp/dir\\sub\\file.txt", "dir\\sub\\file.txt"},
        {"C:\\LINK\\REPORT.DOC", "c:\\link\\report.doc"},
        {"REPORT.DOC", "report.doc"},
        {"/tmp/dir/", ""},
        // An '@' in a folder is no part of the file name.
        {"/srv/me@host/q1.txt", "q1.txt"},
    });
}

TEST_F(NamesTest, LinuxStoreNames)
{
    ExpectStoreNames(true, {"a\\b", "..\\..\\WINDOWS\\WIN.INI", ":RAM.0", "x:", "NUL", "nul.z88", "COM1.TXT",
                            "CON .TXT", "CONIN$", "...", ". .", " ", "..a"});
    ExpectStoreNames(false, {"a/b", "/", "x/", "/x", "./x", "@RAM_0!A/B.z88"});
}
