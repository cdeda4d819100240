// Linux side of the link tests' view of the port: termios, flock and /proc/self/fd.
#include "tests/support/link_probe.h"

#include "link/serial_link.h"
#include "tests/support/process.h"

#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>

bool ReadLineState(LineState* state)
{
    struct termios line;
    if (tcgetattr(LinkHandle, &line) != 0)
        return false;
    static const struct {
        speed_t speed;
        long rate;
    } rates[] = {{B1200, 1200}, {B2400, 2400}, {B4800, 4800}, {B9600, 9600}, {B19200, 19200},
                 {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
    state->rate = -1;
    for (const auto& entry : rates) {
        if (cfgetospeed(&line) == entry.speed && cfgetispeed(&line) == entry.speed)
            state->rate = entry.rate;
    }
    switch (line.c_cflag & CSIZE) {
    case CS5: state->dataBits = 5; break;
    case CS6: state->dataBits = 6; break;
    case CS7: state->dataBits = 7; break;
    default: state->dataBits = 8; break;
    }
    state->twoStopBits = (line.c_cflag & CSTOPB) != 0;
    state->parityCheck = (line.c_iflag & INPCK) != 0;
    state->xonOut = (line.c_iflag & IXON) != 0;
    state->xonIn = (line.c_iflag & IXOFF) != 0;
    return true;
}

const char* MissingPortName()
{
    return "/dev/tarnwell-no-such-port";
}

static int Holder = -1;

bool HoldPort(const char* name)
{
    ReleasePort();
    Holder = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (Holder < 0)
        return false;
    if (flock(Holder, LOCK_EX | LOCK_NB) != 0) {
        ReleasePort();
        return false;
    }
    return true;
}

void ReleasePort()
{
    if (Holder >= 0)
        close(Holder);
    Holder = -1;
}

int OpenHandleCount()
{
    return OpenDescriptors(0);
}

static std::vector<int> Queue;
static size_t Looks;

bool PlayOutputQueue(const std::vector<int>& script)
{
    Queue = script;
    Looks = 0;
    return true;
}

size_t OutputQueueLooks()
{
    return Looks;
}

// TIOCOUTQ on the link's port answers from the script while one is played.
extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (request != TIOCOUTQ || fd != LinkHandle || Queue.empty()) {
        static auto real = (int (*)(int, unsigned long, void*))dlsym(RTLD_NEXT, "ioctl");
        return real(fd, request, argument);
    }
    *(int*)argument = Queue[std::min(Looks++, Queue.size() - 1)];
    errno = EIO;
    return *(int*)argument < 0 ? -1 : 0;
}
