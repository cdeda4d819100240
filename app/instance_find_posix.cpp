// Linux: the window program's socket (see instance.h), its path and whether one listens on
// it. No FLTK here: tarnwell-cli links this file.
#include "app/instance.h"

#include "app/instance_find_posix.h"

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

// The folder of this user's sockets and how their names begin: $XDG_RUNTIME_DIR and
// "tarnwell-", else /tmp and "tarnwell-UID-".
static const char* SocketFolder(char* start, size_t size)
{
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) {
        snprintf(start, size, "tarnwell-");
        return runtime;
    }
    snprintf(start, size, "tarnwell-%d-", (int)getuid());
    return "/tmp";
}

int InstanceSocketAddress(struct sockaddr_un* address)
{
    // The display's name as a file name: ":0" stays, a host's dots and colons become '_'.
    char display[64];
    snprintf(display, sizeof display, "%s", getenv("DISPLAY") ? getenv("DISPLAY") : "");
    for (char* c = display; *c; c++) {
        if (!strchr("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ:", *c))
            *c = '_';
    }
    memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    char start[32];
    const char* folder = SocketFolder(start, sizeof start);
    int length = snprintf(address->sun_path, sizeof address->sun_path, "%s/%s%s.socket", folder, start, display);
    return length > 0 && length < (int)sizeof address->sun_path;
}

// Non-zero when a program of this user's listens on the socket `name` in `folder`. A
// connection that writes nothing and closes is no request: the program reads no line from it
// and goes on as before.
static int Listening(const char* folder, const char* name)
{
    struct sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    int length = snprintf(address.sun_path, sizeof address.sun_path, "%s/%s", folder, name);
    struct stat info;
    if (length <= 0 || length >= (int)sizeof address.sun_path || lstat(address.sun_path, &info) != 0 ||
        info.st_uid != getuid() || !S_ISSOCK(info.st_mode))
        return 0;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    int listening = connect(fd, (const struct sockaddr*)&address, sizeof address) == 0;
    close(fd);
    return listening;
}

// The program of any display counts: tarnwell-cli may run over SSH, without the display (or
// with another one) of the program that holds the port.
int WindowProgramRuns(void)
{
    char start[32];
    const char* folder = SocketFolder(start, sizeof start);
    DIR* listing = opendir(folder);
    if (!listing)
        return 0;
    int runs = 0;
    size_t startLength = strlen(start);
    for (struct dirent* entry; !runs && (entry = readdir(listing));) {
        size_t length = strlen(entry->d_name);
        runs = strncmp(entry->d_name, start, startLength) == 0 && length > startLength + 7 &&
               strcmp(entry->d_name + length - 7, ".socket") == 0 && Listening(folder, entry->d_name);
    }
    closedir(listing);
    return runs;
}
