// Windows implementation of the sessions' file-system calls.
#include "base/files.h"

#include <windows.h>

#include <algorithm>

int DeleteFileOnly(const char* path)
{
    return DeleteFileA(path) != 0;
}

// Both renames write through: they return once the new name is on the disk, which is what
// FlushFolderToDisk does on Linux.
int RenameWithoutReplacing(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH) != 0;
}

int RenameReplacingFile(const char* from, const char* to)
{
    // MoveFileEx fails on a folder, but would replace a link (a reparse point): it stays.
    DWORD attributes = GetFileAttributesA(to);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        SetLastError(ERROR_ALREADY_EXISTS);  // for the failure's words: something else stands there
        return 0;
    }
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// The renames above were made with MOVEFILE_WRITE_THROUGH: their names are on the disk already.
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
