// Linux side of the send tests' platform help.
#include "tests/line/send_probe.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

static std::string ExpectedPath;
static struct stat Expected;

std::vector<std::string> NonFilePaths(const std::string& folder)
{
    std::string fifo = folder + "fifo";
    mkfifo(fifo.c_str(), 0600);
    // A FIFO with no writer would block a plain open.
    return {fifo, "/dev/null"};
}

std::string FileThatFailsToRead()
{
    return "/proc/self/mem";  // offset 0 is never mapped: the first read gives EIO
}

void ExpectOpening(const std::string& path)
{
    ExpectedPath = path;
    if (stat(path.c_str(), &Expected) != 0)
        Expected.st_ino = 0;
}

bool BreakOpenFile()
{
    DIR* descriptors = opendir("/proc/self/fd");
    if (!descriptors)
        return false;
    int found = -1;
    while (dirent* entry = readdir(descriptors)) {
        int fd = atoi(entry->d_name);
        struct stat info;
        if (fd > 2 && fd != dirfd(descriptors) && fstat(fd, &info) == 0 && Expected.st_ino != 0 &&
            info.st_dev == Expected.st_dev && info.st_ino == Expected.st_ino)
            found = fd;
    }
    closedir(descriptors);
    if (found < 0)
        return false;
    int writeOnly = open(ExpectedPath.c_str(), O_WRONLY | O_CLOEXEC);
    bool swapped = writeOnly >= 0 && dup2(writeOnly, found) == found;
    if (writeOnly >= 0)
        close(writeOnly);
    return swapped;
}
