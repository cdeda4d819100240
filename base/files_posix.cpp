// Linux implementation of the sessions' file-system calls.
#include "base/files.h"

#include "base/text.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

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

int RenameReplacingFile(const char* from, const char* to)
{
    // rename() replaces whatever is not a folder: a link or a device there would go.
    struct stat info;
    if (lstat(to, &info) == 0 && !S_ISREG(info.st_mode)) {
        errno = EEXIST;  // for the failure's words: something else stands there
        return 0;
    }
    return rename(from, to) == 0;
}

int FlushFolderToDisk(const char* path)
{
    // The folder is the path up to its last '/'; a path without one lies in the current one.
    char folder[TextSize];
    const char* slash = strrchr(path, '/');
    size_t length = slash ? (size_t)(slash - path) + 1 : 0;
    if (length >= sizeof folder)
        return 0;
    memcpy(folder, path, length);
    folder[length] = 0;
    int fd = open(length ? folder : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    // Some network and FUSE file systems offer no flush of a folder (EINVAL, EOPNOTSUPP): they
    // keep its names by their own means, and the renames made there stand. Any other error
    // (EIO, say) is a disk that failed.
    int flushed = fsync(fd) == 0 || errno == EINVAL || errno == EOPNOTSUPP;
    int error = errno;
    close(fd);
    errno = error;
    return flushed;
}

FolderListing ListFolderFiles(const char* path, std::vector<std::string>* files)
{
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISDIR(info.st_mode))
        return NotAFolder;
    DIR* folder = opendir(path);
    if (!folder)
        return FolderUnlisted;
    std::string prefix = path;
    if (prefix.empty() || prefix.back() != '/')
        prefix += '/';
    std::vector<std::string> names;
    for (;;) {
        errno = 0;  // readdir tells its end from an error only by it
        struct dirent* entry = readdir(folder);
        if (!entry)
            break;
        std::string full = prefix + entry->d_name;
        if (entry->d_name[0] != '.' && stat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.push_back(full);
    }
    int error = errno;
    closedir(folder);
    errno = error;
    if (error)
        return FolderUnlisted;
    std::sort(names.begin(), names.end());
    *files = names;
    return FolderListed;
}
