// Linux implementation of the one program per user and display (see single_start.h): a Unix
// socket in a folder of the user's alone (single_start_find_posix.cpp), watched by the FLTK
// event loop. Both ends serve only their own user (SO_PEERCRED).
//
// A second start connects, writes one request a line ("raise", or "send PATH" for each file,
// a newline in PATH written "\n" and a backslash "\\"), shuts its writing side and waits for
// the answer "ok N", N the requests taken. The program acts on the requests only once that
// answer has been written: a start that gave up waiting has shut its reading side first, so
// the answer's write fails and nothing is done. A start that says its files were not sent is
// right.
#include "app/window/single_start.h"

#include "app/window/single_start_find_posix.h"
#include "base/failure.h"
#include "protocol/drop.h"
#include "base/clock.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/x.H>

#include <ctype.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

static int Listener = -1;
static struct sockaddr_un Address;
static struct stat Socket;  // the socket file this program made, to know it again at exit
static void (*Raise)(void);
static void (*Send)(const char* path);

// A start has this long from its connection on to hand its requests over whole; it writes
// them at once, so only a stuck one takes that long, and it holds up nothing meanwhile.
static const double RequestSeconds = 5.0;

// The starts served at once. While that many are connected the listener is not watched, and
// the starts after them wait in its queue (or, with that full, try again): a burst of starts
// holds neither every descriptor the program may have nor any that FLTK's select() cannot
// watch (FD_SETSIZE and above).
enum { MostConnections = 32 };
static int Connections;

// The longest a start waits for the lock beside the socket, which others hold only across
// calls that do not wait: one held longer belongs to a start that is stuck (stopped in a
// debugger, say), and this start then runs without the single start rather than wait for it.
enum { LockWaitMs = 5000 };

// The lock file beside the socket, held while a start decides whether the socket is left
// from a program that was killed and takes it over, so that two starts after a crash do not
// both become the program; and while the program removes its socket at exit. It is held
// only across calls that do not wait, and waited for up to LockWaitMs. Its descriptor, or -1
// with errno (EWOULDBLOCK: another held it all that time).
static std::string LockPath(const char* socketPath)
{
    std::string path = socketPath;
    return path.replace(path.size() - strlen(".socket"), std::string::npos, ".lock");
}

static int LockSocket(const char* socketPath)
{
    int fd = open(LockPath(socketPath).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    const long long deadline = ClockMs() + LockWaitMs;
    while (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        if ((error != EWOULDBLOCK && error != EINTR) || ClockMs() >= deadline) {
            close(fd);
            errno = error;
            return -1;
        }
        usleep(20000);
    }
    return fd;
}

// At the end of the run the socket goes with the program that made it, unless a later
// start has put its own in its place (after taking this one for a dead program's). Without
// the lock it stays: the next start finds nobody listening on it and takes it over.
static void RemoveSocket(void)
{
    int lock = LockSocket(Address.sun_path);
    struct stat now;
    if (lock >= 0 && lstat(Address.sun_path, &now) == 0 && now.st_dev == Socket.st_dev &&
        now.st_ino == Socket.st_ino)
        unlink(Address.sun_path);
    if (lock >= 0)
        close(lock);
}

// Runs this program without the single start: another start will open a second window.
static int NoSingleStart(const std::string& why)
{
    fprintf(stderr, "Tarnwell: no single start for this run: %s.\n", why.c_str());
    return -1;
}

// Makes this program the one that listens at `address`, taking over a socket left there by
// a program that was killed. Called under the lock. False, with why, when it cannot.
static bool Listen(const struct sockaddr_un* address, std::string* why)
{
    const std::string path = address->sun_path;
    struct stat left;
    if (lstat(address->sun_path, &left) == 0) {
        if (!S_ISSOCK(left.st_mode) || left.st_uid != geteuid()) {
            *why = path + " is not a socket of this user's";
            return false;
        }
        unlink(address->sun_path);
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    mode_t mask = umask(077);  // the user's alone
    bool bound = fd >= 0 && bind(fd, (const struct sockaddr*)address, sizeof *address) == 0;
    umask(mask);
    // Room for many starts at once (a file manager's "Open With" on many files) during a
    // transfer, while nothing accepts them.
    if (!bound || listen(fd, SOMAXCONN) != 0 || lstat(address->sun_path, &Socket) != 0) {
        *why = path + " cannot be made (" + strerror(errno) + ")";
        if (fd >= 0)
            close(fd);
        return false;
    }
    Listener = fd;
    Address = *address;
    atexit(RemoveSocket);
    return true;
}

// What went wrong with a hand-over, `said` in lines, on standard error; and when that is no
// terminal (a start from a file manager, or from a menu entry) in a message box as well,
// where the user looks, as on Windows. The box's lines go without the "Tarnwell: " that
// marks ours among a terminal's, and each '@' doubled: FLTK would take the rest of a line
// from a single one on for the name of a symbol to draw ("/home/ann@work/…").
static void SayHandOverFailure(const std::string& said)
{
    if (said.empty())
        return;
    fputs(said.c_str(), stderr);
    if (isatty(2) || !fl_display)
        return;
    std::string box;
    const std::string mark = "Tarnwell: ";
    for (size_t start = 0, end; (end = said.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = said.substr(start, end - start);
        if (line.compare(0, mark.size(), mark) == 0 && line.size() > mark.size())
            line = (char)toupper((unsigned char)line[mark.size()]) + line.substr(mark.size() + 1);
        box += box.empty() ? "" : "\n";
        for (char c : line)
            box += c == '@' ? "@@" : std::string(1, c);
    }
    fl_message_title("Tarnwell");
    fl_alert("%s", box.c_str());
}

// The request lines for `paths`: one "send" line each, or "raise" for none.
static std::string Requests(const std::vector<const char*>& paths)
{
    if (paths.empty())
        return "raise\n";
    std::string lines;
    for (const char* path : paths) {
        lines += "send ";
        for (const char* c = path; *c; c++)
            lines += *c == '\n' ? "\\n" : *c == '\\' ? "\\\\" : std::string(1, *c);
        lines += '\n';
    }
    return lines;
}

// Writes `requests` to the program connected on `fd`, waiting until `deadline` (ClockMs) for
// every write and for the answer. True when it answered that it took all `expected`; else
// false, with why in `why` (left empty when the time ran out).
static bool HandOver(int fd, const std::string& requests, int expected, long long deadline, std::string* why)
{
    size_t written = 0;
    std::string answer;
    bool cut = false;
    for (long long left; !cut && answer.find('\n') == std::string::npos && (left = deadline - ClockMs()) > 0;) {
        bool writing = written < requests.size();
        struct pollfd ready = {fd, (short)(writing ? POLLOUT : POLLIN), 0};
        if (poll(&ready, 1, (int)left) <= 0)
            continue;
        char buffer[64];
        ssize_t done = writing ? send(fd, requests.data() + written, requests.size() - written, MSG_NOSIGNAL)
                               : read(fd, buffer, sizeof buffer);
        cut = done == 0 || (done < 0 && errno != EAGAIN && errno != EINTR);
        if (done > 0 && writing && (written += (size_t)done) == requests.size())
            shutdown(fd, SHUT_WR);
        if (done > 0 && !writing)
            answer.append(buffer, (size_t)done);
    }
    // From here on the program's answer cannot be written; one written before is still read.
    shutdown(fd, SHUT_RD);
    char buffer[64];
    ssize_t got;
    while (answer.find('\n') == std::string::npos && (got = read(fd, buffer, sizeof buffer)) > 0)
        answer.append(buffer, (size_t)got);
    if (answer == "ok " + std::to_string(expected) + "\n")
        return true;
    if (!answer.empty())
        *why = "it answered \"" + answer.substr(0, answer.find('\n')) + "\"";
    else if (cut)
        *why = "it closed the connection";
    return false;
}

int HandToRunningProgram(const char* const* paths, int count, int waitMs)
{
    struct sockaddr_un address;
    std::string why;
    if (!ProgramSocketAddress(&address, true, &why))
        return NoSingleStart(why);
    const long long deadline = ClockMs() + waitMs;
    int fd = -1;
    for (Reach reach = Busy; reach == Busy;) {
        int lock = LockSocket(address.sun_path);
        if (lock < 0 && errno == EWOULDBLOCK)
            return NoSingleStart(LockPath(address.sun_path) + " was held by another start for " +
                                 std::to_string(LockWaitMs / 1000) + " seconds");
        if (lock < 0)
            return NoSingleStart(std::string("the lock beside ") + address.sun_path + " cannot be had (" +
                                 strerror(errno) + ")");
        // Only a socket nobody listens on is a dead program's: a live one that is busy may
        // take no connection for as long as a transfer lasts.
        uid_t user = 0;
        reach = ConnectToProgram(&address, &fd, &user);
        int error = errno;
        bool listening = reach == NobodyThere && Listen(&address, &why);
        close(lock);
        if (reach == NobodyThere)
            return listening ? -1 : NoSingleStart(why);
        if (reach == Unreachable)
            return NoSingleStart(std::string(address.sun_path) + " cannot be reached (" + strerror(error) + ")");
        if (reach == Reached && user != geteuid()) {
            close(fd);
            return NoSingleStart(std::string(address.sun_path) + " is held by another user (" +
                                 std::to_string(user) + ")");
        }
        if (reach == Busy && ClockMs() >= deadline)
            break;
        if (reach == Busy)
            usleep(50000);
    }

    // A program runs. The files it could not send are named here; the others go over.
    std::vector<const char*> sendable;
    std::string said;
    for (int i = 0; i < count; i++) {
        if (CanBeSent(paths[i]))
            sendable.push_back(paths[i]);
        else
            said += std::string(paths[i]) + " - not sent: " + FailureReason + ".\n";
    }
    const int expected = sendable.empty() ? 1 : (int)sendable.size();
    bool handed = (count > 0 && sendable.empty()) ||
                  (fd >= 0 && HandOver(fd, Requests(sendable), expected, deadline, &why));
    if (fd >= 0)
        close(fd);
    const std::string what = count ? "the files" : "the request to come to the front";
    const std::string after = count ? ": they were not sent" : "";
    if (!handed && why.empty())
        said += "Tarnwell: the running Tarnwell is busy and did not take " + what + " within " +
                std::to_string(waitMs / 1000) + " seconds" + after + ".\n";
    else if (!handed)
        said += "Tarnwell: the running Tarnwell did not take " + what + " (" + why + ")" + after + ".\n";
    SayHandOverFailure(said);
    return handed && (int)sendable.size() == count ? 0 : 1;
}

// --- The program's side -------------------------------------------------------------------

// A start's connection, read as its bytes come, until it shuts its side or its time is up.
struct Connection {
    int fd;
    std::string text;
};

static void GiveUp(void* data);
static void Accept(int, void*);

// The listener is watched while fewer than MostConnections are open, and while accept() is
// not resting after running out of something (descriptors, memory): the listener stays
// ready then, and would be asked again at once, over and over.
static bool Watched, Resting;
static void WatchListener(void)
{
    bool watch = Listener >= 0 && Connections < MostConnections && !Resting;
    if (watch && !Watched)
        Fl::add_fd(Listener, FL_READ, Accept);
    if (!watch && Watched)
        Fl::remove_fd(Listener);
    Watched = watch;
}

static void RestOver(void*)
{
    Resting = false;
    WatchListener();
}

static void Forget(Connection* connection)
{
    Fl::remove_fd(connection->fd);
    Fl::remove_timeout(GiveUp, connection);
    close(connection->fd);
    delete connection;
    Connections--;
    WatchListener();
}

// A start that has not handed its requests over whole in time is cut off, and nothing of
// them is done.
static void GiveUp(void* data)
{
    Forget((Connection*)data);
}

// The requests of a start that has sent them whole: answered, and then acted on.
static void Take(Connection* connection)
{
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = connection->text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = connection->text.substr(start, end - start);
        if (line == "raise") {
            lines.push_back(line);
        } else if (line.compare(0, 5, "send ") == 0) {
            std::string path;
            for (size_t i = 5; i < line.size(); i++) {
                if (line[i] == '\\' && i + 1 < line.size())
                    path += line[++i] == 'n' ? '\n' : line[i];
                else
                    path += line[i];
            }
            lines.push_back("send " + path);
        }
    }
    std::string answer = "ok " + std::to_string(lines.size()) + "\n";
    if (send(connection->fd, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT) != (ssize_t)answer.size())
        return;  // the start gave up, and says so
    for (const std::string& line : lines) {
        if (line == "raise" && Raise)
            Raise();
        else if (line != "raise" && Send)
            Send(line.c_str() + 5);
    }
}

static void ReadRequests(int fd, void* data)
{
    Connection* connection = (Connection*)data;
    char buffer[65536];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        connection->text.append(buffer, (size_t)got);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;  // more to come
    if (got == 0)
        Take(connection);
    Forget(connection);
}

// Connections from other starts, each read as its bytes come: a start that writes slowly
// holds up neither the window nor its poll tick. Another user's is refused unread.
static void Accept(int, void*)
{
    while (Connections < MostConnections) {
        int fd = accept4(Listener, NULL, NULL, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0 && (errno == EINTR || errno == ECONNABORTED))
            continue;
        if (fd < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            Resting = true;
            Fl::add_timeout(1.0, RestOver);
        }
        if (fd < 0)
            break;
        uid_t user = 0;
        if (!PeerUser(fd, &user) || user != geteuid()) {
            fprintf(stderr, "Tarnwell: refused a request from user %u: only this user's own starts are served.\n",
                    (unsigned)user);
            close(fd);
            continue;
        }
        Connection* connection = new Connection{fd, std::string()};
        Connections++;
        Fl::add_fd(fd, FL_READ, ReadRequests, connection);
        Fl::add_timeout(RequestSeconds, GiveUp, connection);
    }
    WatchListener();
}

void ListenForRequests(void (*raise)(void), void (*send)(const char* path))
{
    Raise = raise;
    Send = send;
    WatchListener();
}
