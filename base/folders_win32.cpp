// Windows implementation of the files and folders on the disk.
#include "base/folders.h"

#include "base/text.h"

#include <windows.h>

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

const char FolderSeparators[] = "\\/";

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
