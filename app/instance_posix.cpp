// Linux implementation of the one program per user and display (see instance.h): a Unix
// socket, watched by the FLTK event loop.
#include "app/instance.h"

#include "app/instance_find_posix.h"

#include <FL/Fl.H>

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

static int Listener = -1;
static void (*Raise)(void);
static struct sockaddr_un Address;

// At the end of the run the socket goes with the program that held it.
static void RemoveSocket(void)
{
    if (Listener >= 0)
        unlink(Address.sun_path);
}

// Asks the program listening at `address` to come to the front. 0 when none listens there.
static int AskToRaise(const struct sockaddr_un* address)
{
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    int asked = connect(fd, (const struct sockaddr*)address, sizeof *address) == 0 &&
                write(fd, "raise\n", 6) == 6;
    close(fd);
    return asked;
}

int HandToRunningProgram(void)
{
    struct sockaddr_un address;
    if (!InstanceSocketAddress(&address))
        return 0;
    // In /tmp a socket of someone else's is neither asked nor taken over.
    struct stat info;
    if (lstat(address.sun_path, &info) == 0) {
        if (info.st_uid != getuid() || !S_ISSOCK(info.st_mode))
            return 0;
        if (AskToRaise(&address))
            return 1;
        unlink(address.sun_path);  // left by a program that was killed
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return 0;
    mode_t mask = umask(077);  // the user's alone
    int bound = bind(fd, (const struct sockaddr*)&address, sizeof address) == 0;
    umask(mask);
    if (!bound || listen(fd, 4) != 0) {
        close(fd);
        // Another start bound it a moment ago: that one is the program.
        return errno == EADDRINUSE && AskToRaise(&address);
    }
    Listener = fd;
    Address = address;
    atexit(RemoveSocket);
    return 0;
}

// A connection from another start: its request lines, read until it closes. It writes
// them at once; a peer that dawdles is given a second, no more.
static void TakeRequest(int, void*)
{
    int fd = accept4(Listener, NULL, NULL, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    struct timeval second = {1, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &second, sizeof second);
    char request[512];
    int length = 0;
    ssize_t got;
    while (length < (int)sizeof request - 1 &&
           (got = read(fd, request + length, sizeof request - 1 - length)) > 0)
        length += (int)got;
    close(fd);
    request[length] = 0;
    for (char* line = strtok(request, "\n"); line; line = strtok(NULL, "\n")) {
        if (strcmp(line, "raise") == 0 && Raise)
            Raise();
    }
}

void ListenForRequests(void (*raise)(void))
{
    Raise = raise;
    if (Listener >= 0)
        Fl::add_fd(Listener, FL_READ, TakeRequest);
}
