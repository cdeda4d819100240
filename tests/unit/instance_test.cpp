// The single start's socket between processes (Linux): each start and each program is a
// child process, as a user of this run's own where a case needs another user than the
// test's (root). No display, no port: a program writes the requests it takes to a file.
#include "app/window/single_start.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

const uid_t User = 200000 + getpid() % 100000;  // owns nothing on this machine

// A child process running `body` as `user`, its standard error in the file `err`.
struct Child {
    Child(uid_t user, const std::function<int()>& body) : err(NewTestFolder() + "err")
    {
        if ((pid = fork()) == 0) {
            dup2(open(err.c_str(), O_WRONLY | O_CREAT, 0666), 2);
            _exit(user && (setgroups(0, nullptr) || setgid(user) || setuid(user)) ? 99 : body());
        }
    }
    // Its exit code once it has ended (-1 when killed: at once when asked), and what it said.
    int Finish(std::string* said, bool kill = false)
    {
        int status = -1;
        if (kill || !WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 30000)) {
            ::kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        ReadWholeFile(err, said);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    pid_t pid;
    std::string err;
};

// A start as `user` naming `paths`: 1 + what HandToRunningProgram returned (0: it is the
// program), and what it said.
int Start(uid_t user, const std::vector<std::string>& paths, std::string* said, int waitMs = HandOverWaitMs)
{
    return Child(user, [&] {
               std::vector<const char*> list;
               for (const std::string& path : paths)
                   list.push_back(path.c_str());
               return HandToRunningProgram(list.data(), (int)list.size(), waitMs) + 1;
           }).Finish(said);
}

// The program as `user`, serving until it is killed; the requests it acts on go to `taken`.
FILE* Taken;
Child Serve(uid_t user, const std::string& taken)
{
    Child program(user, [&] {
        if (HandToRunningProgram(nullptr, 0, 0) != -1 || !(Taken = fopen(taken.c_str(), "w")))
            return 1;
        ListenForRequests([] { fputs("raise\n", Taken), fflush(Taken); },
                          [](const char* path) { fprintf(Taken, "%s\n", path), fflush(Taken); });
        for (;;)
            Fl::wait(1.0);
    });
    EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(taken); }, 10000)) << "the program did not start";
    return program;
}

// A listener of root's at `path`, open to every user, that accepts nothing by itself.
int ListenAt(const std::string& path)
{
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    struct sockaddr_un address = {AF_UNIX, {}};
    snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    EXPECT_EQ(bind(fd, (struct sockaddr*)&address, sizeof address) | listen(fd, 4) | chmod(path.c_str(), 0777), 0);
    return fd;
}

// A new non-blocking connection to the socket at `path`; -1 when it did not connect.
int ConnectTo(const std::string& path)
{
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    struct sockaddr_un address = {AF_UNIX, {}};
    snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    if (fd >= 0 && connect(fd, (struct sockaddr*)&address, sizeof address) == 0)
        return fd;
    close(fd);
    return -1;
}

// $XDG_RUNTIME_DIR set to a new folder of `owner`'s with `mode`; the socket's path in it.
std::string RuntimeFolder(uid_t owner = 0, mode_t mode = 0700)
{
    std::string folder = NewTestFolder();
    folder.pop_back();
    chmod(std::filesystem::path(folder).parent_path().c_str(), 0711);
    EXPECT_EQ(chown(folder.c_str(), owner, owner) | chmod(folder.c_str(), mode), 0);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    setenv("DISPLAY", ":29", 1);
    return folder + "/tarnwell-:29.socket";
}

// The lock file beside the socket at `socketPath`, open to every user and locked; its
// descriptor.
int HoldLock(const std::string& socketPath, std::string* path)
{
    *path = socketPath.substr(0, socketPath.size() - strlen(".socket")) + ".lock";
    int fd = open(path->c_str(), O_RDWR | O_CREAT, 0666);
    EXPECT_EQ(fchmod(fd, 0666) | flock(fd, LOCK_EX), 0);
    return fd;
}

// Without XDG_RUNTIME_DIR: /tmp/tarnwell-UID planted by another user, as a link, or open to
// others means no single start (said once) and nothing written there; the user's own is
// made 0700 and holds the socket, also when XDG_RUNTIME_DIR is a folder that others share
// (1777) with another user holding the lock there, which would hold every start up. Another
// user's listener at the old name hears nothing.
TEST(InstanceTest, OnlyAPrivateFolderInTmpHoldsTheSocket)
{
    RuntimeFolder();
    unsetenv("XDG_RUNTIME_DIR");
    const std::string place = "/tmp/tarnwell-" + std::to_string(User), own = NewTestFolder();
    int old = ListenAt(place + "-:29.socket");
    ASSERT_EQ(chown(own.c_str(), User, User), 0);
    const std::pair<std::function<int()>, std::string> plants[] = {
        {[&] { return mkdir(place.c_str(), 0700); }, "belongs to another user (0)"},
        {[&] { return symlink(own.c_str(), place.c_str()); }, "is a link"},
        {[&] { return mkdir(place.c_str(), 0755) | chown(place.c_str(), User, User); },
         "is open to other users (mode 0755)"},
    };
    std::string said;
    for (const auto& plant : plants) {
        ASSERT_EQ(plant.first(), 0) << plant.second;
        EXPECT_EQ(Start(User, {}, &said), 0);
        EXPECT_EQ(said, "Tarnwell: no single start for this run: " + place + " " + plant.second + ".\n");
        EXPECT_TRUE(std::filesystem::is_empty(place)) << plant.second;
        std::filesystem::remove_all(place);
    }
    for (bool shared : {false, true}) {
        std::string lockPath;
        int lock = shared ? HoldLock(RuntimeFolder(0, 01777), &lockPath) : -1;
        EXPECT_EQ(Start(User, {}, &said), 0) << lockPath;
        EXPECT_EQ(said, "") << lockPath;
        struct stat made = {}, socket = {};
        EXPECT_EQ(lstat(place.c_str(), &made) | lstat((place + "/tarnwell-:29.socket").c_str(), &socket), 0);
        EXPECT_TRUE(S_ISDIR(made.st_mode) && made.st_uid == User && (made.st_mode & 0777) == 0700);
        EXPECT_TRUE(S_ISSOCK(socket.st_mode));
        std::filesystem::remove_all(place);
        close(lock);
    }
    EXPECT_LT(accept(old, nullptr, nullptr), 0) << "the old name was asked";
    close(old);
    unlink((place + "-:29.socket").c_str());
}

// The user's program refuses a request of root's (who alone can reach its folder), and the
// user's start hands nothing to a listener of root's there and runs alone. A listener of the
// start's own user that takes nothing (a program in a transfer) is waited for, and not taken
// for a dead one's; a lock held for long (by a start stopped in a debugger) is waited for
// five seconds, and then the start runs alone, saying so.
TEST(InstanceTest, AnotherUsersPeerIsRefusedAndABusyOneIsNotTakenOver)
{
    const std::string socketPath = RuntimeFolder(User), taken = NewTestFolder() + "taken";
    chmod(std::filesystem::path(taken).parent_path().c_str(), 0777);
    Child program = Serve(User, taken);
    std::string said;
    int root = ConnectTo(socketPath);
    ASSERT_GE(root, 0);
    // The program may refuse and close before the request is sent (slow machines): then the
    // send meets a closed peer, which is as refused as a request read and dropped.
    ssize_t sent = send(root, "raise\n", 6, MSG_NOSIGNAL);
    EXPECT_TRUE(sent == 6 || errno == EPIPE || errno == ECONNRESET) << strerror(errno);
    shutdown(root, SHUT_WR);
    WaitUntil([&] { return ReadWholeFile(program.err, &said) && !said.empty(); }, 10000);
    EXPECT_EQ(program.Finish(&said, true), -1);
    EXPECT_EQ(said, "Tarnwell: refused a request from user 0: only this user's own starts are served.\n");
    EXPECT_TRUE(ReadWholeFile(taken, &said) && said.empty()) << said;
    close(root);
    unlink(socketPath.c_str());
    int planted = ListenAt(socketPath);
    EXPECT_EQ(Start(User, {}, &said), 0);
    EXPECT_EQ(said, "Tarnwell: no single start for this run: " + socketPath + " is held by another user (0).\n");
    close(planted);

    const std::string ownSocket = RuntimeFolder();
    int busy = ListenAt(ownSocket);
    struct stat before = {}, after = {};
    lstat(ownSocket.c_str(), &before);
    EXPECT_EQ(Start(0, {}, &said, 2000), 2);
    EXPECT_EQ(said, "Tarnwell: the running Tarnwell is busy and did not take the request to come to the front "
                    "within 2 seconds.\n");
    EXPECT_TRUE(lstat(ownSocket.c_str(), &after) == 0 && after.st_ino == before.st_ino) << "taken over";
    close(busy);
    std::string lockPath;
    int lock = HoldLock(ownSocket, &lockPath);
    EXPECT_EQ(Start(0, {}, &said), 0);
    EXPECT_EQ(said, "Tarnwell: no single start for this run: " + lockPath + " was held by another start for 5 "
                    "seconds.\n");
    close(lock);
}

// After a burst of 1 100 starts' connections held open for 3 s (more than select() can
// watch: the program may have that many descriptors), 5 000 paths of over 200 characters
// each (more than a MiB of requests) are all taken, in order, and the start ends 0.
TEST(InstanceTest, FiveThousandPathsAreAllTakenInOrder)
{
    const std::string socketPath = RuntimeFolder();
    struct rlimit limit;
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = std::max(limit.rlim_cur, std::min(limit.rlim_max, (rlim_t)4096));
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    const std::string files = NewTestFolder(), taken = NewTestFolder() + "taken";
    std::vector<std::string> paths;
    std::string expected, said, got;
    for (int i = 0; i < 5000; i++) {
        paths.push_back(files + std::to_string(10000 + i) + std::string(200, 'x'));
        WriteWholeFile(paths.back(), "");
        expected += paths.back() + "\n";
    }
    Child program = Serve(0, taken);
    std::vector<int> burst;
    for (int i = 0, fd; i < 1100; i++)
        if ((fd = ConnectTo(socketPath)) >= 0)
            burst.push_back(fd);
    ASSERT_GT(burst.size(), 1024u) << "too few connected to make a burst";
    Pause(3000);
    for (int fd : burst)
        close(fd);
    EXPECT_EQ(Start(0, paths, &said), 1);
    EXPECT_EQ(said, "");
    WaitUntil([&] { return ReadWholeFile(taken, &got) && got.size() >= expected.size(); }, 10000);
    EXPECT_TRUE(got == expected) << "taken: " << got.size() << " bytes of " << expected.size();
    EXPECT_EQ(waitpid(program.pid, nullptr, WNOHANG), 0) << "the program ended";
    program.Finish(&said, true);
    EXPECT_EQ(said, "");
}

}  // namespace
