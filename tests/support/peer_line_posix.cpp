// Linux side of the far end of a test line: the master of a new pty pair. The program opens
// the slave through a link that always leads to the current pair's slave; the slave is left
// as a new pty is (cooked), so the program has to make its port raw itself. The test reads
// and writes the master.
#include "tests/support/peer_line.h"

#include "base/clock.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

static int Master = -1;
// A descriptor of the slave, held for the line's whole life: a pty master reads EIO while
// no one holds the slave open, and the program opens and closes its end as it pleases. It
// is never read, written or configured, so the slave stays as a new pty is (cooked) until
// the program makes it raw.
static int SlaveKeeper = -1;

// The program's name for its port: a link to the current slave, in a folder of its own
// under $TMPDIR that goes when the test program ends. A pty's own name changes with every
// pair and is soon another test's; the link is gone while the line is hung up. The folder
// can be searched by everyone, as /dev can: a test may open the port as another user.
static char LinkFolder[128];
static char LinkPath[160];

static void RemoveLinkFolder()
{
    unlink(LinkPath);
    rmdir(LinkFolder);
}

// Leads the link to `slave`, in one step; false when it cannot be made.
static bool LinkTo(const char* slave)
{
    if (!*LinkFolder) {
        const char* base = getenv("TMPDIR");
        snprintf(LinkFolder, sizeof LinkFolder, "%s/tarnwell-line-XXXXXX", base && *base ? base : "/tmp");
        if (!mkdtemp(LinkFolder) || chmod(LinkFolder, 0755) != 0) {
            LinkFolder[0] = 0;
            return false;
        }
        snprintf(LinkPath, sizeof LinkPath, "%s/port", LinkFolder);
        atexit(RemoveLinkFolder);
    }
    char fresh[sizeof LinkPath + 4];
    snprintf(fresh, sizeof fresh, "%s.new", LinkPath);
    unlink(fresh);
    return symlink(slave, fresh) == 0 && rename(fresh, LinkPath) == 0;
}

bool OpenPeerLine(char* programPort, size_t size)
{
    ClosePeerLine();
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    int keeper = -1;
    char name[128];
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0 ||
        (keeper = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK)) < 0 ||
        fcntl(master, F_SETFL, O_NONBLOCK) != 0 || !LinkTo(name) || strlen(LinkPath) >= size) {
        if (keeper >= 0)
            close(keeper);
        if (master >= 0)
            close(master);
        unlink(LinkPath);
        return false;
    }
    Master = master;
    SlaveKeeper = keeper;
    snprintf(programPort, size, "%s", LinkPath);
    return true;
}

void ClosePeerLine()
{
    // The name goes first, as an unplugged adapter's device does. Closing the master hangs
    // the slave up: the program's end reads end-of-file and its writes fail.
    if (*LinkPath)
        unlink(LinkPath);
    if (Master >= 0)
        close(Master);
    if (SlaveKeeper >= 0)
        close(SlaveKeeper);
    Master = -1;
    SlaveKeeper = -1;
    PeerForgetPending();
}

bool PeerSend(const void* bytes, size_t count)
{
    const unsigned char* next = (const unsigned char*)bytes;
    while (count > 0) {
        if (Master < 0)
            return false;
        ssize_t written = write(Master, next, count);
        if (written > 0) {
            next += written;
            count -= (size_t)written;
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN)
            return false;
        // The pty holds a few kilobytes; wait for the program to take some.
        struct pollfd line = {Master, POLLOUT, 0};
        if (poll(&line, 1, 5000) <= 0)
            return false;
    }
    return true;
}

size_t PeerRead(unsigned char* buffer, size_t size, int timeoutMs)
{
    if (Master < 0)
        return 0;
    long long deadline = ClockMs() + timeoutMs;
    for (;;) {
        ssize_t count = read(Master, buffer, size);
        if (count > 0)
            return (size_t)count;
        long long left = deadline - ClockMs();
        if (left <= 0)
            return 0;
        if (count < 0 && errno == EIO) {
            // Only while no one holds the slave, which the keeper prevents; never spin.
            usleep(10000);
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR)
            return 0;
        struct pollfd line = {Master, POLLIN, 0};
        poll(&line, 1, (int)left);
    }
}

void PeerFlushInput()
{
    if (Master >= 0)
        tcflush(Master, TCIFLUSH);
}
