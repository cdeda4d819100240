// Linux implementation of making the folders above a path.
#include "settings/folders.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>

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
