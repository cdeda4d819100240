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

// Another program that has just opened a file (a virus scanner or an indexer, often right
// after the file was written) keeps it from being renamed or deleted for a moment: Windows
// answers a sharing violation or access denied. Such a call is tried again for this long.
enum { BusyFileRetryMs = 2000, BusyFileRetryStepMs = 50 };

// `call` until it succeeds, fails for another reason, or the file has stayed busy for
// BusyFileRetryMs. True on success; else the last error is the call's own.
template <typename Call>
static int RetriedWhileBusy(Call call)
{
    for (int waited = 0;; waited += BusyFileRetryStepMs) {
        if (call())
            return 1;
        DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || waited >= BusyFileRetryMs)
            return 0;
        Sleep(BusyFileRetryStepMs);
    }
}

int DeleteFileOnly(const char* path)
{
    // A folder answers access denied as a busy file does, and never becomes deletable here.
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return RetriedWhileBusy([&] { return DeleteFileA(path) != 0; });
}

// The rename writes through: it returns once the new name is on the disk, which is what
// FlushFolderToDisk does on Linux.
int RenameWithoutReplacing(const char* from, const char* to)
{
    return RetriedWhileBusy([&] { return MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH) != 0; });
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
