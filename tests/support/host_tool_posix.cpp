// Linux side of RunHostTool: a child process (process.h), waited for.
#include "tests/support/host_tool.h"

#include "tests/support/process.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

int RunHostTool(const std::vector<std::string>& arguments)
{
    // Nothing of the caller's is flushed first: X requests a status window left unsent stay
    // unseen, as they would during a transfer.
    ChildProcess child;
    if (arguments.empty() || !StartChild(&child, arguments[0], {arguments.begin() + 1, arguments.end()}))
        return -1;
    int status = WaitForChild(&child, -1);
    return status < 256 ? status : -1;
}

int TerminalMarkedExclusive(const char* path)
{
    int line = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);  // as root the mark lets us in
    if (line < 0)
        return errno == EBUSY ? 1 : -1;
    int exclusive = 0;
    int asked = ioctl(line, TIOCGEXCL, &exclusive);
    close(line);
    if (asked == 0)
        return exclusive != 0;
    // qemu (the arm64 tree's tests run under it) does not pass TIOCGEXCL on to the kernel:
    // the host's Python asks it instead, and exits with 10 plus the mark.
    static const char ask[] =
        "import fcntl, os, struct, sys\n"
        "line = os.open(sys.argv[1], os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)\n"
        "sys.exit(10 + struct.unpack('i', fcntl.ioctl(line, 0x80045440, bytes(4)))[0])\n";  // TIOCGEXCL
    int status = RunHostTool({"python3", "-c", ask, path});
    return status == 10 || status == 11 ? status - 10 : -1;
}
