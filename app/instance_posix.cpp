// Linux implementation of the one program per user and display (see instance.h): a Unix
// socket, watched by the FLTK event loop. The running program listens on a socket of the
// user's, $XDG_RUNTIME_DIR/tarnwell-DISPLAY.socket (without XDG_RUNTIME_DIR,
// /tmp/tarnwell-UID-DISPLAY.socket, used only while it is the user's own). A second start
// connects, writes one request a line ("raise", or "send PATH" for each file named on its
// command line, a newline in PATH written "\n" and a backslash "\\") and closes. A socket
// nobody listens on is left from a program that was killed, and is taken over.
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

#include <string>

static int Listener = -1;
static void (*Raise)(void);
static void (*Send)(const char* path);
static struct sockaddr_un Address;

// At the end of the run the socket goes with the program that held it.
static void RemoveSocket(void)
{
    if (Listener >= 0)
        unlink(Address.sun_path);
}

// The request lines for `paths`: one "send" line each, or "raise" for none.
static std::string Requests(const char* const* paths, int count)
{
    if (count == 0)
        return "raise\n";
    std::string lines;
    for (int i = 0; i < count; i++) {
        lines += "send ";
        for (const char* c = paths[i]; *c; c++)
            lines += *c == '\n' ? "\\n" : *c == '\\' ? "\\\\" : std::string(1, *c);
        lines += '\n';
    }
    return lines;
}

// Hands the requests to the program listening at `address`. 0 when none listens there.
static int Ask(const struct sockaddr_un* address, const std::string& requests)
{
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    int asked = connect(fd, (const struct sockaddr*)address, sizeof *address) == 0;
    for (size_t done = 0; asked && done < requests.size();) {
        ssize_t wrote = write(fd, requests.data() + done, requests.size() - done);
        asked = wrote > 0;
        done += asked ? (size_t)wrote : 0;
    }
    close(fd);
    return asked;
}

int HandToRunningProgram(const char* const* paths, int count)
{
    std::string requests = Requests(paths, count);
    struct sockaddr_un address;
    if (!InstanceSocketAddress(&address))
        return 0;
    // In /tmp a socket of someone else's is neither asked nor taken over.
    struct stat info;
    if (lstat(address.sun_path, &info) == 0) {
        if (info.st_uid != getuid() || !S_ISSOCK(info.st_mode))
            return 0;
        if (Ask(&address, requests))
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
        return errno == EADDRINUSE && Ask(&address, requests);
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
    std::string requests;
    char buffer[4096];
    ssize_t got;
    while (requests.size() < (1u << 20) && (got = read(fd, buffer, sizeof buffer)) > 0)
        requests.append(buffer, (size_t)got);
    close(fd);
    size_t start = 0, end;
    while ((end = requests.find('\n', start)) != std::string::npos) {
        std::string line = requests.substr(start, end - start);
        start = end + 1;
        if (line == "raise" && Raise)
            Raise();
        if (line.compare(0, 5, "send ") == 0 && Send) {
            std::string path;
            for (size_t i = 5; i < line.size(); i++) {
                if (line[i] == '\\' && i + 1 < line.size())
                    path += line[++i] == 'n' ? '\n' : line[i];
                else
                    path += line[i];
            }
            Send(path.c_str());
        }
    }
}

void ListenForRequests(void (*raise)(void), void (*send)(const char* path))
{
    Raise = raise;
    Send = send;
    if (Listener >= 0)
        Fl::add_fd(Listener, FL_READ, TakeRequest);
}
