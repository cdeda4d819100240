// Windows implementation of making the folders above a path.
#include "settings/folders.h"

#include <windows.h>

#include <string.h>

static int IsSeparator(char c)
{
    return c == '\\' || c == '/';
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
    for (size_t i = start + 1; i <= length; i++) {
        if (!IsSeparator(folder[i]) && folder[i] != 0)
            continue;
        char kept = folder[i];
        folder[i] = 0;
        CreateDirectoryA(folder, NULL);
        folder[i] = kept;
    }
    DWORD attributes = GetFileAttributesA(folder);
    return length == 0 || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}
