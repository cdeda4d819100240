// Receive cases that only Linux can stage: a disk that refuses the received file's bytes (a
// file size limit), things other than files standing at the store path, a program killed
// in the middle of a reception, and store folders and ports of other kinds, each stood in
// for by wrapping the one system call it changes.
#include "tests/line/receive_fixture.h"

#include <dlfcn.h>
#include <errno.h>
#include <linux/serial.h>
#include <signal.h>
#include <stdarg.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using ReceivePosix = ReceiveFixture;

// Stand-ins, each counted in Stood when it answers: a file system without RENAME_NOREPLACE
// and hard links (vfat, a virtual machine's shared folder: renameat2 with a flag answers
// EINVAL, link EPERM); a failing disk, on which the rename FailingRename names ("FROM>TO")
// answers EIO; one whose folders cannot be flushed (fsync on a folder answers
// FolderFlushError); a port that counts line errors (TIOCGICOUNT answers Counts, where a
// pty answers ENOTTY).
static bool NoSafeRenames, Counting;
static int FolderFlushError, Stood;
static std::string FailingRename;
static struct serial_icounter_struct Counts;
#define REAL(name, type) ((type)dlsym(RTLD_NEXT, name))

extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) noexcept
{
    if (FailingRename == std::string(from) + ">" + to)
        return Stood++, errno = EIO, -1;
    if (NoSafeRenames && flags)
        return Stood++, errno = EINVAL, -1;
    return REAL("renameat2", int (*)(int, const char*, int, const char*, unsigned))(fromDir, from, toDir, to, flags);
}

extern "C" int link(const char* from, const char* to) noexcept
{
    if (NoSafeRenames)
        return Stood++, errno = EPERM, -1;
    return REAL("link", int (*)(const char*, const char*))(from, to);
}

extern "C" int fsync(int fd)
{
    struct stat info;
    if (FolderFlushError && fstat(fd, &info) == 0 && S_ISDIR(info.st_mode))
        return Stood++, errno = FolderFlushError, -1;
    return REAL("fsync", int (*)(int))(fd);
}

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (!Counting || request != TIOCGICOUNT || fd != LinkHandle)
        return REAL("ioctl", int (*)(int, unsigned long, void*))(fd, request, argument);
    *(struct serial_icounter_struct*)argument = Counts;
    return Stood++, 0;
}

// Without safe renames, three receptions of one name leave the newest and the one before,
// and a fourth cut short changes neither. A folder flush that fails once the file has its
// name, as the file system offers none or the disk fails, leaves it received all the same,
// the copy before it under '_'; only the disk's failure is said.
TEST_F(ReceivePosix, StoreFoldersWithoutSafeRenamesOrFolderFlushLoseNothing)
{
    NoSafeRenames = true;
    for (const char* data : {"one", "two", "three"})
        EXPECT_EQ(Receive(Body(Z88Frame("FAT", Text(data)))), 1) << data;
    EXPECT_EQ(Receive(Text("FAT") + NameEnd() + Text("four, cut")), 0);
    NoSafeRenames = false;
    EXPECT_EQ(Stored("FAT.z88"), "three");
    EXPECT_EQ(Stored("_FAT.z88"), "two");
    EXPECT_EQ(Stored("~FAT.z88"), "four, cut");

    for (int error : {EINVAL, EOPNOTSUPP, EIO}) {
        ResetFakeUi();
        FolderFlushError = error;
        EXPECT_EQ(Receive(Body(Z88Frame("FAT", Text("flushed " + std::to_string(error))))), 1) << error;
        FolderFlushError = 0;
        EXPECT_EQ(Stored("FAT.z88"), "flushed " + std::to_string(error));
        EXPECT_EQ(FakeUi.failures, error != EIO ? Events{}
            : Events{"FAT - received, but the store folder's names could not be put on the disk (" +
                     std::string(strerror(EIO)) + ")."});
    }
    EXPECT_EQ(Stored("_FAT.z88"), "flushed " + std::to_string(EOPNOTSUPP));
    EXPECT_EQ(Stood, (1 + 2 + 3) * 2 + 3) << "renameat2 and link for each rename (one, two, three), then the flushes";
}

// A rename that fails as the copies move (a failing disk) leaves the store name and the
// previous copy as they were and the new file under '~', whichever of the three it is.
TEST_F(ReceivePosix, ARenameThatFailsLeavesBothCopiesAsTheyWere)
{
    const struct {
        const char *from, *to, *reason;
    } steps[] = {{"_X", "~_X", "the previous copy cannot be moved aside"},
                 {"X", "_X", "the current copy cannot be moved aside"},
                 {"~X", "X", "the new copy cannot take the file's name"}};
    for (const auto& step : steps) {
        ResetFakeUi();
        WriteWholeFile(folder + "X.z88", "current");
        WriteWholeFile(folder + "_X.z88", "previous");
        FailingRename = folder + step.from + ".z88>" + folder + step.to + ".z88";
        EXPECT_EQ(Receive(Body(Z88Frame("X", Text("new")))), 0) << step.to;
        FailingRename.clear();
        EXPECT_EQ(FakeUi.failures, Events{"X - not received: " + std::string(step.reason) + " (" + strerror(EIO) + ")."});
        EXPECT_EQ(Listing(folder), (std::vector<std::string>{"X.z88", "_X.z88", "~X.z88"}));
        EXPECT_EQ(Stored("X.z88") + " " + Stored("_X.z88") + " " + Stored("~X.z88"), "current previous new");
    }
}

// The port's error counts are read once the end mark is in, against what they were when the
// line was last quiet: an error counted in the middle of the data, or in bytes that had come
// before the reception began, fails it as garbled, the copies as they were and the data kept
// under '~'. One counted while the line was quiet, before the frame came, does not.
TEST_F(ReceivePosix, LineErrorsTheCountsShowFailTheReception)
{
    static int serial_icounter_struct::*midData;
    const struct {
        int serial_icounter_struct::*count;
        int when;  // 0 mid-data, 1 once the frame waits on the line, 2 before it, the line quiet
        std::string kind;
    } cases[] = {{&serial_icounter_struct::frame, 0, "framing error"},
                 {&serial_icounter_struct::buf_overrun, 0, "overrun"},
                 {&serial_icounter_struct::parity, 1, "parity error"},
                 {&serial_icounter_struct::brk, 2, ""}};
    Counting = true;
    for (const auto& c : cases) {
        ResetFakeUi();
        const std::string name = "LINE" + std::to_string(&c - cases), data(300, 'x');
        WriteWholeFile(folder + name + ".z88", "old");
        Counts = serial_icounter_struct();
        ASSERT_EQ(NextLineByte(PollMode), -1);  // the line is quiet
        Counts.*c.count += c.when == 2;
        ASSERT_EQ(NextLineByte(PollMode), -1);
        midData = c.when == 0 ? c.count : nullptr;
        FakeUi.onStep = [](int count) {
            if (count == 100 && midData)
                Counts.*midData += 1;
        };
        ASSERT_TRUE(SendAndSettle(Body(Z88Frame(name, Text(data)))));
        Counts.*c.count += c.when == 1;
        EXPECT_EQ(ReceiveFile(Owner()), c.kind.empty()) << name;
        EXPECT_EQ(Stored(name + ".z88"), c.kind.empty() ? data : "old") << name;
        EXPECT_EQ(Stored("~" + name + ".z88"), c.kind.empty() ? "<none>" : data) << name;
        const std::string said = name + " - not received: the line garbled the data (" + c.kind + ").";
        EXPECT_EQ(FakeUi.failures, c.kind.empty() ? Events{} : Events{said});
    }
    Counting = false;
    EXPECT_GE(Stood, 9);
}

// With a file size limit in force, writes past it fail as on a full disk. The data that
// overflows the stream's buffer fails at a write; a shorter tail fails only when the close
// flushes it. Either way the file is not whole: no beep, and nothing takes the store name.
TEST_F(ReceivePosix, StoreWritesTheDiskRefusesFailTheReception)
{
    const rlim_t limit = 4096;
    struct rlimit kept;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &kept), 0);
    void (*keptHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = kept;
    small.rlim_cur = limit;

    const struct {
        const char* what;
        size_t size;
    } cases[] = {
        {"refused at a write", 20000},
        {"refused at the close", 5000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetFakeUi();
        const std::string name = "FULL" + std::to_string(&c - cases);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        Z88SendInBackground(Body(Z88Frame(name, Text(std::string(c.size, 'w')))));
        int result = ReceiveFile(Owner());
        setrlimit(RLIMIT_FSIZE, &kept);
        DrainLine();  // the rest of the frame
        EXPECT_TRUE(Z88WaitSent());
        EXPECT_EQ(result, 0);
        EXPECT_EQ(FakeUi.Beeps(), 0);
        EXPECT_EQ(FakeUi.events, (Events{Title(name), "close"}));
        EXPECT_EQ(Stored(name + ".z88"), "<none>");
        EXPECT_LE(Stored("~" + name + ".z88").size(), (size_t)limit);
        if (c.size > 10000) {
            EXPECT_LT(FakeUi.steps.size(), c.size / 2) << "the session stops at the refused write";
        }
    }
    signal(SIGXFSZ, keptHandler);
}

// A named pipe or a link at the store path is never written through: a pipe with no reader
// would hold the whole program, a link would put the file somewhere else. The data is
// received into the '~' file, which then cannot take the store name. A link at the '~' path
// is neither followed nor removed: the reception fails there, before reading data.
TEST_F(ReceivePosix, NothingButANewFileIsWrittenAtTheStorePath)
{
    ASSERT_EQ(mkfifo((folder + "PIPE.z88").c_str(), 0600), 0);
    ASSERT_EQ(symlink((folder + "elsewhere").c_str(), (folder + "LINK.z88").c_str()), 0);
    ASSERT_EQ(symlink((folder + "elsewhere").c_str(), (folder + "~TRAP.z88").c_str()), 0);
    const struct {
        const char* name;
        int next;  // the byte the session must leave on the line, -1 for none
    } cases[] = {{"PIPE", -1}, {"LINK", -1}, {"TRAP", 'n'}};
    alarm(30);  // a reception that opened the pipe would never return
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefused(c.name, c.next);
    }
    alarm(0);
    struct stat info;
    EXPECT_TRUE(lstat((folder + "PIPE.z88").c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    EXPECT_TRUE(lstat((folder + "LINK.z88").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
    EXPECT_TRUE(lstat((folder + "~TRAP.z88").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
    EXPECT_EQ(Stored("~PIPE.z88"), "new");
    EXPECT_EQ(Stored("~LINK.z88"), "new");
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"LINK.z88", "PIPE.z88", "~LINK.z88", "~PIPE.z88", "~TRAP.z88"}));
}

// The program killed in the middle of a reception, with part of the new file written: the
// copies stored before are whole under their names. The program is a child process that
// opens the link and receives; it stops itself partway through the data so that the kill
// lands there, whatever the machine's load.
TEST_F(ReceivePosix, KilledMidReceptionBothCopiesStayWhole)
{
    enum { Length = 20000, StopAt = 12000 };  // past the stream's buffer: bytes reach the disk
    WriteWholeFile(folder + "KILL.z88", "current");
    WriteWholeFile(folder + "_KILL.z88", "previous");
    const Bytes data = Text(std::string(Length, 'k'));

    CloseLink();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        OpenLink();
        raise(SIGSTOP);  // the link is open: the Z88 may send
        FakeUi.onStep = [](int count) {
            if (count == StopAt)
                raise(SIGSTOP);
        };
        ReceiveFile(Owner());
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(status));
    Z88SendInBackground(Body(Z88Frame("KILL", data)));
    kill(child, SIGCONT);
    ASSERT_EQ(waitpid(child, &status, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(status)) << "the child stops in the data";
    kill(child, SIGKILL);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    // The rest of the frame, for the Z88 to finish sending.
    ASSERT_NO_FATAL_FAILURE(UseDirectory(folder));
    DrainLine();
    EXPECT_TRUE(Z88WaitSent());

    EXPECT_EQ(Stored("KILL.z88"), "current");
    EXPECT_EQ(Stored("_KILL.z88"), "previous");
    const std::string partial = Stored("~KILL.z88");
    EXPECT_GT(partial.size(), 0u);
    EXPECT_LE(partial.size(), (size_t)StopAt);
    EXPECT_EQ(partial, std::string(partial.size(), 'k'));
}
