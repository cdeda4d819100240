// Linux implementation of the files and folders on the disk.
#include "base/folders.h"

#include "base/text.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

int MakeParentFolders(const char* path)
{
    char folder[4096];
    const char* last = strrchr(path, '/');
    if (!last)
        return 1;  // a name in the current folder
    size_t length = (size_t)(last - path);
    if (length == 0)
        return 1;  // the root
    if (length >= sizeof folder)
        return 0;
    memcpy(folder, path, length);
    folder[length] = 0;
    // Each missing component in turn, as mkdir -p makes them.
    for (size_t i = 1; i <= length; i++) {
        if (folder[i] != '/' && folder[i] != 0)
            continue;
        char kept = folder[i];
        folder[i] = 0;
        if (mkdir(folder, 0777) != 0 && errno != EEXIST)
            return 0;
        folder[i] = kept;
    }
    struct stat info;
    return stat(folder, &info) == 0 && S_ISDIR(info.st_mode);
}

const char FolderSeparators[] = "/";

int IsFullPath(const char* path)
{
    return path[0] == '/';
}

int MakePathFull(char* path)
{
    if (IsFullPath(path))
        return 1;
    char current[TextSize], full[TextSize];
    if (!getcwd(current, sizeof current))
        return 0;
    const char* between = strcmp(current, "/") == 0 ? "" : "/";
    int length = snprintf(full, sizeof full, "%s%s%s", current, between, path);
    if (length < 0 || length >= (int)sizeof full)
        return 0;
    memcpy(path, full, (size_t)length + 1);
    return 1;
}

const char* SystemErrorText(void)
{
    return strerror(errno);
}

int FolderWritable(const char* folder, char* reason)
{
    // access() answers for this user, and says EROFS for a folder on a read-only disk.
    if (access(folder, W_OK | X_OK) == 0)
        return 1;
    snprintf(reason, TextSize, "%s", SystemErrorText());
    return 0;
}

FILE* OpenFileForReading(const char* path)
{
    // A folder opens for reading here (unlike on Windows) and then fails at the first read;
    // a FIFO would block the open. Neither is a file to send or to keep.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return NULL;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return NULL;
    }
    FILE* stream = fdopen(fd, "rb");
    if (!stream)
        close(fd);
    return stream;
}

FILE* CreateNewFile(const char* path, int permissions)
{
    // O_EXCL also refuses a symbolic link, even one that points nowhere yet.
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, (mode_t)permissions);
    if (fd < 0)
        return NULL;
    FILE* stream = fdopen(fd, "wb");
    if (!stream) {
        close(fd);
        unlink(path);
    }
    return stream;
}

int FlushToDiskAndClose(FILE* stream)
{
    int ok = fflush(stream) == 0 && fsync(fileno(stream)) == 0;
    return fclose(stream) == 0 && ok;
}
