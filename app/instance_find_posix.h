// Where the Linux window program listens for other starts (see instance.h), shared by the
// program (instance_posix.cpp) and by tarnwell-cli's look for it (instance_find_posix.cpp).
#ifndef TARNWELL_INSTANCE_FIND_POSIX_H
#define TARNWELL_INSTANCE_FIND_POSIX_H

#include <sys/un.h>

// The socket's path for this user and display. 0 when there is none to be had.
int InstanceSocketAddress(struct sockaddr_un* address);

#endif
