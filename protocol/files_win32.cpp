// Windows implementation of the sessions' file-system calls.
#include "protocol/files.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <string.h>
#include <sys/stat.h>

FILE* OpenFileForReading(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return NULL;
    FILE* stream = fopen(path, "rb");
    // Device names ("NUL", "nul.txt", "CON", in any folder) have the attributes of a file
    // and open like one; only what lies on a disk is a file.
    if (stream && GetFileType((HANDLE)_get_osfhandle(_fileno(stream))) != FILE_TYPE_DISK) {
        fclose(stream);
        return NULL;
    }
    return stream;
}

int DeleteFileOnly(const char* path)
{
    return DeleteFileA(path) != 0;
}

FILE* CreateNewFile(const char* path)
{
    int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return NULL;
    FILE* stream = _fdopen(fd, "wb");
    if (!stream) {
        _close(fd);
        DeleteFileA(path);
    }
    return stream;
}

int FlushToDiskAndClose(FILE* stream)
{
    int ok = fflush(stream) == 0 && FlushFileBuffers((HANDLE)_get_osfhandle(_fileno(stream)));
    return fclose(stream) == 0 && ok;
}

int RenameWithoutReplacing(const char* from, const char* to)
{
    return MoveFileA(from, to) != 0;
}

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
