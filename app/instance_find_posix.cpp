// Linux: the window program's socket (see instance.h), its path and whether one listens on
// it. No FLTK here: tarnwell-cli links this file.
#include "app/instance.h"

#include "app/instance_find_posix.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

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
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    int length;
    if (runtime && *runtime)
        length = snprintf(address->sun_path, sizeof address->sun_path, "%s/tarnwell-%s.socket", runtime, display);
    else
        length = snprintf(address->sun_path, sizeof address->sun_path, "/tmp/tarnwell-%d-%s.socket", (int)getuid(), display);
    return length > 0 && length < (int)sizeof address->sun_path;
}

// A connection that writes nothing and closes is no request: the program reads no line from
// it and goes on as before.
int WindowProgramRuns(void)
{
    struct sockaddr_un address;
    if (!InstanceSocketAddress(&address))
        return 0;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    int listening = connect(fd, (const struct sockaddr*)&address, sizeof address) == 0;
    close(fd);
    return listening;
}
