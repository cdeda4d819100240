// Windows implementation of the file calls.
#include "base/files.h"

#include "base/text.h"

#include <windows.h>

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

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

const char* SystemErrorText(void)
{
    static char words[TextSize];
    DWORD error = GetLastError();
    if (!error)
        return strerror(errno);
    words[0] = 0;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                   words, sizeof words, NULL);
    // The system's sentence without its line end and its full stop.
    size_t length = strlen(words);
    while (length > 0 && strchr("\r\n. ", words[length - 1]))
        words[--length] = 0;
    if (!length)
        snprintf(words, sizeof words, "error %lu", (unsigned long)error);
    return words;
}

int SomethingStandsAt(const char* path)
{
    // Not the C library's stat, which Wine and Windows answer differently for device names.
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

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

FILE* CreateNewFile(const char* path, int)
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
