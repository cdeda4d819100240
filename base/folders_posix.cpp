// Linux implementation of the folder and path calls.
#include "base/folders.h"

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

int FolderWritable(const char* folder, char* reason)
{
    // access() answers for this user, and says EROFS for a folder on a read-only disk.
    if (access(folder, W_OK | X_OK) == 0)
        return 1;
    snprintf(reason, TextSize, "%s", SystemErrorText());
    return 0;
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
