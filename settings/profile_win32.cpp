// Windows implementation of the profile primitive: the section lives in WIN.INI, reached
// through the system's profile functions, and in a file of the same form of the user's own,
// %APPDATA%\Tarnwell\tarnwell.ini, for what WIN.INI cannot take.
//
// On Windows Vista and later WIN.INI may be written only by an elevated program (a 64-bit
// program is never redirected to the VirtualStore), so on a normal account every write to
// it fails. A key that stands in the user's file is read from there and written there; any
// other key is read from WIN.INI and written to it, and to the user's file when that write
// fails. So what was stored last is what is read, and a value in WIN.INI counts until the
// user stores another. Where WIN.INI can be written, the user's file is never made.
#include "settings/profile.h"

#include "base/folders.h"
#include "base/text.h"

#include <windows.h>
#include <shlobj.h>

#include <string.h>

#include <string>
#include <vector>

static const char ProfileSection[] = "Tarnwell";

// The user's own settings file; "" when the system names no application-data folder for
// the user (a service's account, say).
static std::string UserFile()
{
    char folder[MAX_PATH];
    if (SHGetFolderPathA(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, folder) != S_OK)
        return "";
    return std::string(folder) + "\\Tarnwell\\tarnwell.ini";
}

// The names of the keys in `section` of `file` (WIN.INI when null), one after another, each
// ended by a zero, the list by a second zero; empty when the section or the file is missing.
static std::vector<char> KeyNames(const char* file, const char* section)
{
    std::vector<char> names(1024);
    for (;;) {
        DWORD size = (DWORD)names.size();
        DWORD got = file ? GetPrivateProfileStringA(section, NULL, "", names.data(), size, file)
                         : GetProfileStringA(section, NULL, "", names.data(), size);
        // A list that did not fit comes back cut, size - 2 characters long.
        if (got < size - 2 || size >= (1u << 20))
            break;
        names.assign(names.size() * 2, 0);
    }
    names.back() = names[names.size() - 2] = 0;  // ended, even if it was cut
    return names;
}

// Non-zero when `key` stands in `section` of `file` (WIN.INI when null), in any case.
static int KeyPresent(const char* file, const char* section, const char* key)
{
    std::vector<char> names = KeyNames(file, section);
    for (const char* name = names.data(); *name; name += strlen(name) + 1)
        if (SameIgnoringCase(name, key))
            return 1;
    return 0;
}

// Non-zero when WIN.INI holds exactly `value` under `key`.
static int WinIniHolds(const char* section, const char* key, const char* value)
{
    if (!KeyPresent(NULL, section, key))
        return 0;
    // One character more than the value, so that a longer value does not read as equal.
    size_t length = strlen(value);
    std::vector<char> held(length + 2);
    DWORD got = GetProfileStringA(section, key, "", held.data(), (DWORD)held.size());
    return got == length && memcmp(held.data(), value, length) == 0;
}

static int InUserFile(const std::string& own, const char* section, const char* key)
{
    return !own.empty() && KeyPresent(own.c_str(), section, key);
}

void ProfileRead(const char* section, const char* key, const char* defaultText, char* buffer, int size)
{
    std::string own = UserFile();
    if (InUserFile(own, section, key))
        GetPrivateProfileStringA(section, key, defaultText, buffer, (DWORD)size, own.c_str());
    else
        GetProfileStringA(section, key, defaultText, buffer, (DWORD)size);
}

int ProfileWrite(const char* section, const char* key, const char* value)
{
    std::string own = UserFile();
    if (!InUserFile(own, section, key)) {
        if (WriteProfileStringA(section, key, value))
            return 1;
        // The write-back of a value just read from WIN.INI: it stands there already, and it
        // stays only there, so that a change an administrator makes to it still counts.
        // Defaults and values the user stores go to the user's file.
        if (WinIniHolds(section, key, value))
            return 1;
    }
    if (own.empty() || !MakeParentFolders(own.c_str()))
        return 0;
    return WritePrivateProfileStringA(section, key, value, own.c_str()) != 0;
}

const char* ProfileDefaultPort()
{
    return "COM1";
}

const char* ProfileDefaultDirectory()
{
    return "C:\\LINK\\";
}

// Non-zero when this account may write WIN.INI: the file opens for writing. Opening it so
// changes nothing in it.
static int WinIniWritable(const std::string& winIni)
{
    HANDLE file = CreateFileA(winIni.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(file);
    return 1;
}

std::string ProfileLocation()
{
    char folder[MAX_PATH];
    UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    std::string winIni = std::string(length && length < sizeof folder ? folder : "the Windows folder") + "\\win.ini";
    std::string own = UserFile();
    // The user's file, where it holds settings or would be given the next ones.
    if (!own.empty() && (KeyNames(own.c_str(), ProfileSection)[0] || !WinIniWritable(winIni)))
        return "the section [Tarnwell] of " + own + ", then of " + winIni;
    return "the section [Tarnwell] of " + winIni;
}
