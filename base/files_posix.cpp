// Linux implementation of the file calls.
#include "base/files.h"

#include "base/text.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

int DeleteFileOnly(const char* path)
{
    struct stat info;
    if (lstat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    return unlink(path) == 0;
}

int RenameWithoutReplacing(const char* from, const char* to)
{
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 1;
    if (errno != EINVAL && errno != ENOSYS)
        return 0;
    // File systems without RENAME_NOREPLACE (NFS, 9p, many FUSE mounts): a hard link fails
    // when the target exists.
    if (link(from, to) == 0) {
        unlink(from);
        return 1;
    }
    if (errno == EEXIST)
        return 0;
    // Nor hard links (vfat, exFAT, shared folders of a virtual machine answer EPERM): a plain
    // rename once nothing stands at the target. Only a program that made a file of that very
    // name in the moment between the look and the rename could lose it; Tarnwell is the one
    // writer of its store folder.
    struct stat info;
    if (lstat(to, &info) == 0) {
        errno = EEXIST;  // for the failure's words
        return 0;
    }
    return errno == ENOENT && rename(from, to) == 0;
}

const char* SystemErrorText(void)
{
    return strerror(errno);
}

int SomethingStandsAt(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0;
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
