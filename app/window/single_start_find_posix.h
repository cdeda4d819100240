// Where the Linux window program listens for other starts (see single_start.h), and how one
// reaches it: shared by the program (single_start_posix.cpp) and by tarnwell-cli's look for it
// (single_start_find_posix.cpp).
#ifndef TARNWELL_SINGLE_START_FIND_POSIX_H
#define TARNWELL_SINGLE_START_FIND_POSIX_H

#include <sys/types.h>
#include <sys/un.h>

#include <string>

// The socket's path for this user and display: in $XDG_RUNTIME_DIR, else in /tmp/tarnwell-UID,
// which is made (mode 0700) when `make` and missing. Either is used only while it is a folder
// of this user's with no access for anyone else; a runtime folder that is not gives way to
// the one in /tmp. False when there is no such place, with why in `why`.
bool ProgramSocketAddress(struct sockaddr_un* address, bool make, std::string* why);

// A connection to whatever listens at `address`, on a new non-blocking socket.
enum Reach {
    Reached,      // connected: the socket is in `fd`, the listener's user in `user`
    NobodyThere,  // no socket, or one nobody listens on (left by a program that was killed)
    Busy,         // it listens, but takes no more connections now (its event loop is held)
    Unreachable,  // anything else: errno says why
};
Reach ConnectToProgram(const struct sockaddr_un* address, int* fd, uid_t* user);

// The user of the process at the other end of the connected socket `fd`; false when it
// cannot be known.
bool PeerUser(int fd, uid_t* user);

#endif
