// Linux implementation of the serial link: a tty device through termios, opened exclusively,
// with poll() giving the reads and writes the timeouts a Windows port has.
#include "link/serial_port.h"

#include "link/line_settings_posix.h"
#include "link/port_list.h"
#include "base/clock.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

// The mode last set; it decides how long a read waits for its byte.
static LinkTimeoutMode TimeoutMode = PollMode;

enum {
    TransferReadMs = 1000,  // a read in TransferMode
    WriteMs = 2000,         // every write
};

// --- Line settings ------------------------------------------------------------------------

// The flags MakeLineRaw clears or sets, and those SetLineRecord decides.
static const tcflag_t RawInputOff = BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC;
static const tcflag_t RawLocalOff = ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN;
static const tcflag_t RecordInput = INPCK | IXON | IXOFF | IXANY;
static const tcflag_t RecordControl = CSIZE | CSTOPB;

// The rates termios has a speed for, in ascending order.
static const struct {
    int rate;
    speed_t speed;
} Speeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

speed_t LineSpeed(int rate)
{
    for (const auto& entry : Speeds) {
        if (entry.rate == rate)
            return entry.speed;
    }
    return B0;
}

int LinkRateAt(int index)
{
    return index >= 0 && index < (int)(sizeof Speeds / sizeof Speeds[0]) ? Speeds[index].rate : 0;
}

// A Windows port is always raw; so is the Linux one, whatever the device had.
void MakeLineRaw(struct termios* line)
{
    line->c_iflag &= ~RawInputOff;
    line->c_oflag &= ~OPOST;
    line->c_lflag &= ~RawLocalOff;
    line->c_cflag |= CREAD;
    line->c_cc[VMIN] = 1;  // with O_NONBLOCK: EAGAIN when nothing waits, 0 only at hang-up
    line->c_cc[VTIME] = 0;
}

void SetLineRecord(struct termios* line, speed_t speed, int xon)
{
    cfsetispeed(line, speed);
    cfsetospeed(line, speed);
    line->c_cflag = (line->c_cflag & ~RecordControl) | CS8;
    line->c_iflag &= ~(INPCK | IXANY);
    if (xon)
        line->c_iflag |= IXON | IXOFF;
    else
        line->c_iflag &= ~(IXON | IXOFF);
}

// A driver may refuse what the link never asked for (a pty, for one, forces CS8 and drops
// PARENB): only what the link decides is compared.
int LineRecordTaken(const struct termios* wanted, const struct termios* got)
{
    return ((wanted->c_iflag ^ got->c_iflag) & (RawInputOff | RecordInput)) == 0 &&
           ((wanted->c_oflag ^ got->c_oflag) & OPOST) == 0 &&
           ((wanted->c_lflag ^ got->c_lflag) & RawLocalOff) == 0 &&
           ((wanted->c_cflag ^ got->c_cflag) & (RecordControl | CREAD)) == 0 &&
           wanted->c_cc[VMIN] == got->c_cc[VMIN] && wanted->c_cc[VTIME] == got->c_cc[VTIME] &&
           cfgetispeed(wanted) == cfgetispeed(got) && cfgetospeed(wanted) == cfgetospeed(got);
}

// Applies `line` and reads it back: tcsetattr reports success when it took any part of the
// request, so only the read-back shows whether all of it arrived.
static int ApplyLine(int port, const struct termios* line)
{
    struct termios got;
    return tcsetattr(port, TCSANOW, line) == 0 && tcgetattr(port, &got) == 0 &&
           LineRecordTaken(line, &got);
}

// --- Opening and closing -----------------------------------------------------------------

// Why the last open failed: the name and the error of the step that failed (0 when the line
// would not take raw mode). PortFailureText puts it in words only when asked: a silent
// retry of a missing port every two seconds must not look for the ports there are.
static char FailedName[TextSize];
static int FailedError;

// PortFailureText's words. They hold a port name of up to 127 characters and the list of the
// ports found, so the buffer is larger than the program's other texts; what does not fit is
// left out, since it is only shown.
enum { FailureTextSize = 4 * TextSize };
static char FailureText[FailureTextSize];

// Appends to FailureText, cutting what does not fit.
static void AddFailureText(const char* format, ...) __attribute__((format(printf, 1, 2)));
static void AddFailureText(const char* format, ...)
{
    size_t used = strlen(FailureText);
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(FailureText + used, sizeof FailureText - used, format, arguments);
    va_end(arguments);
}

const char* PortFailureText(void)
{
    FailureText[0] = 0;
    if (!*FailedName) {
        AddFailureText("No serial port is set.");
        AddPortsFound(FailureText, sizeof FailureText);
        return FailureText;
    }
    AddFailureText("%s: ", FailedName);
    switch (FailedError) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:  // a device node with no port behind it
        AddFailureText("no such device.");
        AddPortsFound(FailureText, sizeof FailureText);
        break;
    case EACCES:
    case EPERM:
        AddFailureText("permission denied.\n"
                       "Serial ports belong to the dialout group; join it with\n"
                       "  sudo usermod -aG dialout $USER\n"
                       "then log out and in again.");
        break;
    case EBUSY:        // marked exclusive by the program that has it (TIOCEXCL)
    case EWOULDBLOCK:  // locked by the program that has it (flock)
        AddFailureText("in use by another program.");
        break;
    case ENOTTY:  // a file, or a device that is no terminal
    case EISDIR:
        AddFailureText("not a serial port.");
        break;
    case 0:  // the line would not take raw mode
        AddFailureText("the port does not take the settings of a serial line.");
        break;
    default:
        AddFailureText("%s.", strerror(FailedError));
        break;
    }
    return FailureText;
}

// Keeps why `name` did not open, from the error of the step that failed, and gives
// LinkOpenFailed.
static LinkPort OpenFailed(const char* name, int error)
{
    snprintf(FailedName, sizeof FailedName, "%s", name);
    FailedError = error;
    return LinkOpenFailed;
}

// Opens `name` for this program alone and makes it raw; the descriptor, or LinkOpenFailed
// with the reason kept for PortFailureText. The lock comes first: a port that another
// program holds is left exactly as it was.
LinkPort OpenPort(const char* name)
{
    int port = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (port < 0)
        return OpenFailed(name, errno);
    // 0 means "never opened" to the link, and stray output to stdout or stderr must never
    // reach the Z88: the port goes above 2.
    if (port <= 2) {
        int moved = fcntl(port, F_DUPFD_CLOEXEC, 3);
        int error = errno;
        close(port);
        if (moved < 0)
            return OpenFailed(name, error);
        port = moved;
    }
    struct termios line;
    if (flock(port, LOCK_EX | LOCK_NB) != 0 || tcgetattr(port, &line) != 0 ||
        ioctl(port, TIOCEXCL) != 0) {
        int error = errno;
        close(port);
        return OpenFailed(name, error);
    }
    MakeLineRaw(&line);
    if (!ApplyLine(port, &line)) {
        ioctl(port, TIOCNXCL);
        close(port);
        return OpenFailed(name, 0);
    }
    return port;
}

int PortIsOpen(void)
{
    return LinkHandle > 0;
}

void ClosePort(void)
{
    // The exclusive mark belongs to the tty, not to this descriptor: a pty keeps it after
    // the close and would turn away the next opener.
    ioctl(LinkHandle, TIOCNXCL);
    close(LinkHandle);
}

void ConfigureLine(int rate, int xon)
{
    struct termios line;
    tcgetattr(LinkHandle, &line);
    struct termios before = line;
    speed_t speed = LineSpeed(rate);
    // A rate the line cannot take leaves the whole record unapplied, as Windows refuses a
    // record with a bad rate. A record the driver took only in part is undone the same way.
    if (speed != B0) {
        SetLineRecord(&line, speed, xon);
        if (!ApplyLine(LinkHandle, &line))
            tcsetattr(LinkHandle, TCSANOW, &before);
    }
}

// --- Bytes ---------------------------------------------------------------------------------

int SetLinkTimeouts(LinkTimeoutMode mode)
{
    TimeoutMode = mode;
    return PortIsOpen();
}

// The errors of a port whose device has gone: a USB adapter unplugged (EIO while the kernel
// hangs the line up, then ENXIO or ENODEV), or a line hung up (EIO on a write; a pty whose
// other side has closed).
static int DeviceGone(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV;
}

// Waits for `events` on the port until `deadline` (ClockMs time): PortMoved when the port is
// ready, PortIdle when the time is up, PortGone when the port reports a hang-up or an error
// (a hung-up line is always "ready", and waiting on it would spin).
static int WaitForPort(short events, long long deadline)
{
    for (;;) {
        long long left = deadline - ClockMs();
        if (left <= 0)
            return PortIdle;
        struct pollfd port = {LinkHandle, events, 0};
        int ready = poll(&port, 1, (int)left);
        if (ready > 0)
            return port.revents & (POLLHUP | POLLERR | POLLNVAL) ? PortGone : PortMoved;
        if (ready == 0 || errno != EINTR)
            return PortIdle;
    }
}

// What has arrived, up to `size` bytes, waiting as the mode says when nothing has. The read
// is tried first: when bytes stream in, that is the only system call for up to `size` of
// them. A read that gives end-of-file finds the line hung up: with O_NONBLOCK and VMIN 1 a
// port with nothing waiting gives EAGAIN, never 0.
int ReadPortBytes(unsigned char* bytes, int size, int* count)
{
    long long deadline = -1;
    for (;;) {
        ssize_t got = read(LinkHandle, bytes, (size_t)size);
        if (got > 0) {
            *count = (int)got;
            return PortMoved;
        }
        if (got == 0)
            return PortGone;
        if (errno == EINTR)
            continue;
        if (DeviceGone(errno))
            return PortGone;
        if (errno != EAGAIN || TimeoutMode != TransferMode)
            return PortIdle;
        if (deadline < 0)
            deadline = ClockMs() + TransferReadMs;
        int waited = WaitForPort(POLLIN, deadline);
        if (waited != PortMoved)
            return waited;
    }
}

// One run out, as much of it as the port takes in one write. Success means bytes left for
// the line; a run that found no room within the time (the Z88 holding XOFF, say) moved
// nothing, and the caller must hear of it.
int WritePortBytes(const unsigned char* bytes, int count, int* written)
{
    long long deadline = -1;
    for (;;) {
        ssize_t moved = write(LinkHandle, bytes, (size_t)count);
        if (moved > 0) {
            *written = (int)moved;
            return PortMoved;
        }
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved < 0 && DeviceGone(errno))
            return PortGone;
        if (moved < 0 && errno != EAGAIN)
            return PortIdle;
        if (deadline < 0)
            deadline = ClockMs() + WriteMs;
        int waited = WaitForPort(POLLOUT, deadline);
        if (waited != PortMoved)
            return waited;
    }
}

int PortOutputQueued(void)
{
    int queued = 0;
    if (ioctl(LinkHandle, TIOCOUTQ, &queued) == 0)
        return queued;
    return DeviceGone(errno) ? PortGone : 0;
}

int PortInputWaiting(void)
{
    int waiting = 0;
    return ioctl(LinkHandle, TIOCINQ, &waiting) == 0 && waiting > 0;
}

// The serial drivers count (8250 UARTs, the USB adapters' drivers); a pty answers ENOTTY,
// some adapters EINVAL: no count, so no error seen. With PARMRK off a byte with a framing
// error reads as 0x00, and only the count tells it from a real one.
void CountLineErrors(LineErrorCounts* counts)
{
    struct serial_icounter_struct icount;
    memset(&icount, 0, sizeof icount);
    if (ioctl(LinkHandle, TIOCGICOUNT, &icount) != 0)
        memset(&icount, 0, sizeof icount);
    counts->frame = (unsigned long)icount.frame;
    counts->overrun = (unsigned long)icount.overrun + (unsigned long)icount.buf_overrun;
    counts->parity = (unsigned long)icount.parity;
    counts->brk = (unsigned long)icount.brk;
}
