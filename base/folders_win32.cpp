// Windows implementation of the folder and path calls.
#include "base/folders.h"
#include "base/folder_security_win32.h"

#include "base/files.h"
#include "base/text.h"

#include <windows.h>
#include <sddl.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>

const char FolderSeparators[] = "\\/";

static int IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// A folder made at a drive's root (C:\LINK\) would inherit "Authenticated Users: Modify", so
// that every other account could read what the Z88 sent, replace a stored file or its
// previous copy, or block a reception. Given at the folder's creation, so that there is no
// moment in which it is open to them.
PSECURITY_DESCRIPTOR PrivateFolderSecurity()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return NULL;
    union {
        TOKEN_USER user;
        char bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } owner;
    DWORD size;
    BOOL known = GetTokenInformation(token, TokenUser, &owner, sizeof owner, &size);
    CloseHandle(token);
    char* user;
    if (!known || !ConvertSidToStringSidA(owner.user.User.Sid, &user))
        return NULL;
    std::string text = std::string("D:P(A;OICI;FA;;;") + user + ")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
    LocalFree(user);
    PSECURITY_DESCRIPTOR security = NULL;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(text.c_str(), SDDL_REVISION_1, &security, NULL))
        return NULL;
    return security;
}

int MakeParentFolders(const char* path)
{
    char folder[MAX_PATH];
    const char* last = NULL;
    for (const char* p = path; *p; p++)
        if (IsSeparator(*p))
            last = p;
    if (!last)
        return 1;  // a name in the current folder
    size_t length = (size_t)(last - path);
    if (length >= sizeof folder)
        return 0;
    memcpy(folder, path, length);
    folder[length] = 0;

    // Skip what cannot be created: the drive ("C:") or the server and share of a UNC path.
    size_t start = 0;
    if (length >= 2 && folder[1] == ':')
        start = 2;
    else if (length >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1])) {
        int separators = 0;
        for (start = 2; start < length && separators < 2; start++)
            separators += IsSeparator(folder[start]);
    }
    // Only the folders that are missing are made, each private; one that exists keeps the
    // permissions it has.
    SECURITY_ATTRIBUTES made = {sizeof made, NULL, FALSE};
    DWORD error = 0;  // of the last folder that could not be made: the reason to give
    for (size_t i = start + 1; i <= length; i++) {
        if (!IsSeparator(folder[i]) && folder[i] != 0)
            continue;
        char kept = folder[i];
        folder[i] = 0;
        if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) {
            if (!made.lpSecurityDescriptor)
                made.lpSecurityDescriptor = PrivateFolderSecurity();
            // Never a folder open to every account instead: without its security, none.
            if (!made.lpSecurityDescriptor || !CreateDirectoryA(folder, &made))
                error = GetLastError();
        }
        folder[i] = kept;
    }
    LocalFree(made.lpSecurityDescriptor);
    DWORD attributes = GetFileAttributesA(folder);
    if (length == 0 || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)))
        return 1;
    if (error)
        SetLastError(error);
    return 0;
}

int IsFullPath(const char* path)
{
    int drive = ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':';
    return (drive && IsSeparator(path[2])) || (IsSeparator(path[0]) && IsSeparator(path[1]));
}

int MakePathFull(char* path)
{
    if (IsFullPath(path))
        return 1;
    // The system resolves "C:LINK" against drive C's current folder, "\LINK" against the
    // current drive.
    char full[TextSize];
    DWORD length = GetFullPathNameA(path, sizeof full, full, NULL);
    if (length == 0 || length >= sizeof full)
        return 0;
    memcpy(path, full, length + 1);
    return 1;
}

int FolderWritable(const char* folder, char* reason)
{
    // Windows has no question for this: a file is made there and deleted again.
    char probe[MAX_PATH];
    if (GetTempFileNameA(folder, "tw", 0, probe)) {
        DeleteFileA(probe);
        return 1;
    }
    snprintf(reason, TextSize, "%s", SystemErrorText());
    return 0;
}

// The renames (files_win32.cpp) are made with MOVEFILE_WRITE_THROUGH: their names are on the
// disk already.
int FlushFolderToDisk(const char*)
{
    return 1;
}

FolderListing ListFolderFiles(const char* path, std::vector<std::string>* files)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return NotAFolder;
    std::string prefix = path;
    if (prefix.empty() || (prefix.back() != '\\' && prefix.back() != '/'))
        prefix += '\\';
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((prefix + "*").c_str(), &found);
    // Only the empty root of a drive has no entry at all (every other folder has "." and
    // ".."); any other failure is a folder that could not be read, which is no empty one.
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            return FolderUnlisted;
    } else {
        do {
            if (found.cFileName[0] != '.' &&
                !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DEVICE)))
                names.push_back(prefix + found.cFileName);
        } while (FindNextFileA(search, &found));
        DWORD error = GetLastError();
        FindClose(search);
        if (error != ERROR_NO_MORE_FILES) {
            SetLastError(error);
            return FolderUnlisted;
        }
    }
    std::sort(names.begin(), names.end());
    *files = names;
    return FolderListed;
}
