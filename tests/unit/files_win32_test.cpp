// Folder cases of Windows alone: who may use a folder that the program makes.
#include "base/folder_security_win32.h"
#include "base/folders.h"
#include "tests/support/temp_folder.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

// The DACL of `security`, or of the folder at `path` as read back, in SDDL; frees `security`.
static std::string DaclText(PSECURITY_DESCRIPTOR security, const std::string& path = "")
{
    if (!path.empty() && GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, NULL,
                                               NULL, NULL, NULL, &security) != ERROR_SUCCESS)
        return "(unreadable)";
    char* text = NULL;
    ConvertSecurityDescriptorToStringSecurityDescriptorA(security, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                         &text, NULL);
    std::string dacl = text ? text : "(none)";
    LocalFree(text);
    LocalFree(security);
    return dacl;
}

// A store folder made at a drive's root would inherit "Authenticated Users: Modify": a folder
// the program makes is the account's own, SYSTEM's and Administrators' alone (full control,
// passed on inside, nothing inherited), and one that was there keeps its permissions. Wine
// keeps no more of a DACL than the file modes: the descriptor is checked as built, and the
// folders as read back grant no one else anything.
TEST(FilesWin32, FoldersMadeHereAreTheUsersAloneThoseThereKeepTheirs)
{
    const std::string account = R"(S-1-5-21-[-0-9]+)";
    EXPECT_TRUE(std::regex_match(DaclText(PrivateFolderSecurity()),
                                 std::regex(R"(D:P\(A;OICI;FA;;;)" + account + R"(\)\(A;OICI;FA;;;SY\)\(A;OICI;FA;;;BA\))")));
    const std::regex onlyThem(R"(D:[A-Z]*(\([^;]*;[^;]*;[^;]*;;;()" + account + R"(|SY|BA)\))*)");
    std::string there = NewTestFolder();
    std::string before = DaclText(NULL, there);
    ASSERT_TRUE(MakeParentFolders((there + "LINK\\in\\NOTES.z88").c_str()));
    for (const std::string& made : {there + "LINK", there + "LINK\\in"})
        EXPECT_TRUE(std::regex_match(DaclText(NULL, made), onlyThem)) << made << ": " << DaclText(NULL, made);
    EXPECT_EQ(DaclText(NULL, there), before);
}
