// Folder cases of Windows alone: who may use a folder that the program makes.
#include "base/folders.h"
#include "base/folder_security_win32.h"
#include "tests/support/temp_folder.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A descriptor's DACL as the system spells it (SDDL).
static std::string DaclText(PSECURITY_DESCRIPTOR security)
{
    char* text = NULL;
    std::string dacl = "(none)";
    if (security && ConvertSecurityDescriptorToStringSecurityDescriptorA(security, SDDL_REVISION_1,
                                                                         DACL_SECURITY_INFORMATION, &text, NULL))
        dacl = text;
    LocalFree(text);
    return dacl;
}

// The DACL of `path`, read back from the file system.
static std::string FolderDaclText(const std::string& path)
{
    PSECURITY_DESCRIPTOR security = NULL;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, NULL, NULL, NULL, NULL,
                              &security) != ERROR_SUCCESS)
        return "(unreadable)";
    std::string dacl = DaclText(security);
    LocalFree(security);
    return dacl;
}

// The accounts an SDDL DACL grants anything to: the last field of each entry.
static std::vector<std::string> Grantees(const std::string& dacl)
{
    std::vector<std::string> who;
    for (size_t close = dacl.find(')'); close != std::string::npos; close = dacl.find(')', close + 1))
        who.push_back(dacl.substr(dacl.rfind(';', close) + 1, close - dacl.rfind(';', close) - 1));
    return who;
}

static std::string UserSid()
{
    HANDLE token;
    union {
        TOKEN_USER user;
        char bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } owner;
    DWORD size;
    char* text = NULL;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return "";
    if (GetTokenInformation(token, TokenUser, &owner, sizeof owner, &size))
        ConvertSidToStringSidA(owner.user.User.Sid, &text);
    CloseHandle(token);
    std::string sid = text ? text : "";
    LocalFree(text);
    return sid;
}

// A store folder made at a drive's root would inherit "Authenticated Users: Modify": each
// folder the program makes belongs to the user, SYSTEM and Administrators alone, nothing
// inherited from above, and passes that on to what is made inside. One that was there keeps
// its own permissions. Wine keeps no more of a folder's DACL than its file modes, so the
// descriptor is checked as built, and the folders read back grant no one else anything.
TEST(FilesWin32, FoldersMadeHereAreTheUsersAloneThoseThereKeepTheirs)
{
    const std::string user = UserSid();
    ASSERT_FALSE(user.empty());
    PSECURITY_DESCRIPTOR security = PrivateFolderSecurity();
    EXPECT_EQ(DaclText(security), "D:P(A;OICI;FA;;;" + user + ")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
    LocalFree(security);

    std::string there = NewTestFolder();  // made by the test, with what the system gives
    std::string before = FolderDaclText(there);
    ASSERT_TRUE(MakeParentFolders((there + "LINK\\in\\NOTES.z88").c_str()));
    for (const std::string& made : {there + "LINK", there + "LINK\\in"}) {
        for (const std::string& grantee : Grantees(FolderDaclText(made)))
            EXPECT_TRUE(grantee == user || grantee == "SY" || grantee == "BA") << made << ": " << grantee;
    }
    EXPECT_EQ(FolderDaclText(there), before);
}
