// Windows implementation of the sessions' file-system calls.
#include "protocol/files.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
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
