// Receive cases that only Linux can stage: a disk that refuses the store file's bytes (a file
// size limit), and things other than files standing at the store path.
#include "tests/receive_fixture.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using Events = std::vector<std::string>;

class ReceivePosix : public ReceiveFixture {};

// With a file size limit in force, writes past it fail as on a full disk. The data that
// overflows the stream's buffer fails at a write; a shorter tail fails only when the close
// flushes it. Either way the file is not whole: no beep.
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
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetFakeUi();
        const std::string name = "FULL" + std::to_string(index++);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        Z88SendInBackground(Body(Z88Frame(name, Text(std::string(c.size, 'w')))));
        int result = ReceiveFile(Owner());
        setrlimit(RLIMIT_FSIZE, &kept);
        DrainLine();  // the rest of the frame
        EXPECT_TRUE(Z88WaitSent());
        EXPECT_EQ(result, 0);
        EXPECT_EQ(FakeUi.Beeps(), 0);
        EXPECT_EQ(FakeUi.events, (Events{"show Now Receiving file \"" + name + "\"", "close"}));
        EXPECT_LE(Stored(name + ".z88").size(), (size_t)limit);
        if (c.size > 10000) {
            EXPECT_LT(FakeUi.steps.size(), c.size / 2) << "the session stops at the refused write";
        }
    }
    signal(SIGXFSZ, keptHandler);
}

// A named pipe or a link at the store path is never written through: a pipe with no reader
// would hold the whole program, a link would put the file somewhere else. The reception
// fails at once, before reading data.
TEST_F(ReceivePosix, NothingButANewFileIsWrittenAtTheStorePath)
{
    ASSERT_EQ(mkfifo((folder + "PIPE.z88").c_str(), 0600), 0);
    ASSERT_EQ(symlink((folder + "elsewhere").c_str(), (folder + "LINK.z88").c_str()), 0);
    alarm(30);  // a reception that opened the pipe would never return
    for (const char* name : {"PIPE", "LINK"}) {
        SCOPED_TRACE(name);
        ResetFakeUi();
        EXPECT_EQ(Receive(Body(Z88Frame(name, Text("new")))), 0);
        EXPECT_EQ(FakeUi.events, (Events{std::string("show Now Receiving file \"") + name + "\"", "close"}));
        EXPECT_EQ(NextLineByte(TransferMode), 'n') << "the data is still on the line";
        // Drop the rest of the frame before the next case.
        while (NextLineByte(PollMode) >= 0) {
        }
    }
    alarm(0);
    struct stat info;
    EXPECT_TRUE(lstat((folder + "PIPE.z88").c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    EXPECT_TRUE(lstat((folder + "LINK.z88").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"LINK.z88", "PIPE.z88"}));
}
