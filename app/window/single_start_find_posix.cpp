// Linux: the window program's socket (see single_start.h), its path and whether one listens on
// it. No FLTK here: tarnwell-cli links this file.
#include "app/window/single_start.h"

#include "app/window/single_start_find_posix.h"

#include <dirent.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

// A folder holds the sockets only when it is a folder, not a link, the user's, and closed to
// everyone else: a name in a shared folder can be taken first by anyone, and a socket or a
// lock file that another user made there would take in what our starts hand over (the names
// of the user's files) or hold every start up. Null, with why, for any other.
static const char* PrivateFolder(const char* folder, std::string* why)
{
    struct stat info;
    if (lstat(folder, &info) != 0) {
        *why = std::string(folder) + " cannot be made (" + strerror(errno) + ")";
        return nullptr;
    }
    char mode[8];
    snprintf(mode, sizeof mode, "%04o", (unsigned)(info.st_mode & 07777));
    if (!S_ISDIR(info.st_mode))
        *why = std::string(folder) + (S_ISLNK(info.st_mode) ? " is a link" : " is not a folder");
    else if (info.st_uid != geteuid())
        *why = std::string(folder) + " belongs to another user (" + std::to_string(info.st_uid) + ")";
    else if (info.st_mode & 077)
        *why = std::string(folder) + " is open to other users (mode " + mode + ")";
    else
        return folder;
    return nullptr;
}

// The folder of this user's sockets: $XDG_RUNTIME_DIR when it is a private folder (see
// PrivateFolder), else /tmp/tarnwell-UID, made when `make` and missing. A runtime folder that
// others share (mode 1777, set so by hand or by su) is passed over without a word: the one in
// /tmp serves as well, and tarnwell-cli looks where the program listens. In /tmp the sticky
// bit keeps anyone else (root aside) from swapping the folder once it is the user's.
static const char* SocketFolder(bool make, std::string* why)
{
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    std::string unused;
    if (runtime && *runtime && PrivateFolder(runtime, &unused))
        return runtime;
    static char folder[32];
    snprintf(folder, sizeof folder, "/tmp/tarnwell-%u", (unsigned)geteuid());
    if (make && mkdir(folder, 0700) != 0 && errno != EEXIST) {
        *why = std::string(folder) + " cannot be made (" + strerror(errno) + ")";
        return nullptr;
    }
    return PrivateFolder(folder, why);
}

bool ProgramSocketAddress(struct sockaddr_un* address, bool make, std::string* why)
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
    const char* folder = SocketFolder(make, why);
    if (!folder)
        return false;
    int length = snprintf(address->sun_path, sizeof address->sun_path, "%s/tarnwell-%s.socket", folder, display);
    if (length > 0 && length < (int)sizeof address->sun_path)
        return true;
    *why = std::string(folder) + " is too long a path for a socket";
    return false;
}

bool PeerUser(int fd, uid_t* user)
{
    struct ucred peer;
    socklen_t size = sizeof peer;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || size != sizeof peer)
        return false;
    *user = peer.uid;
    return true;
}

Reach ConnectToProgram(const struct sockaddr_un* address, int* fd, uid_t* user)
{
    *fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (*fd < 0)
        return Unreachable;
    // A local stream socket connects at once, or not at all: EAGAIN when the listener's
    // queue of connections it has not accepted yet is full.
    int connected = connect(*fd, (const struct sockaddr*)address, sizeof *address) == 0;
    if (connected && PeerUser(*fd, user))
        return Reached;
    int error = connected ? EPROTO : errno;
    close(*fd);
    *fd = -1;
    errno = error;
    return error == ECONNREFUSED || error == ENOENT ? NobodyThere : error == EAGAIN ? Busy : Unreachable;
}

// Non-zero when a program of this user's listens on the socket `name` in `folder`. A
// connection that writes nothing and closes is no request: the program takes nothing from it
// and goes on as before.
static int Listening(const char* folder, const char* name)
{
    struct sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    int length = snprintf(address.sun_path, sizeof address.sun_path, "%s/%s", folder, name);
    int fd;
    uid_t user;
    if (length <= 0 || length >= (int)sizeof address.sun_path)
        return 0;
    Reach reach = ConnectToProgram(&address, &fd, &user);
    if (reach == Reached)
        close(fd);
    // A busy one cannot be asked whose it is; in a folder of the user's it is theirs.
    return (reach == Reached && user == geteuid()) || reach == Busy;
}

// The program of any display counts: tarnwell-cli may run over SSH, without the display (or
// with another one) of the program that holds the port.
int WindowProgramRuns(void)
{
    std::string why;
    const char* folder = SocketFolder(false, &why);
    DIR* listing = folder ? opendir(folder) : nullptr;
    if (!listing)
        return 0;
    int runs = 0;
    const char start[] = "tarnwell-", end[] = ".socket";
    const size_t startLength = sizeof start - 1, endLength = sizeof end - 1;
    for (struct dirent* entry; !runs && (entry = readdir(listing));) {
        size_t length = strlen(entry->d_name);
        runs = strncmp(entry->d_name, start, startLength) == 0 && length > startLength + endLength &&
               strcmp(entry->d_name + length - endLength, end) == 0 && Listening(folder, entry->d_name);
    }
    closedir(listing);
    return runs;
}
