// The send session and the drop loop on a real line, on both builds: the program writes to
// one end of a pty pair (COM1 under Wine), the test Z88 captures the other end and decodes
// it strictly. The ui layer is the test double, which records windows and beeps and holds
// the Esc key when told to.
#include "protocol/drop.h"
#include "protocol/names.h"
#include "protocol/send.h"
#include "tests/support/link_fixture.h"
#include "tests/support/link_probe.h"
#include "tests/line/send_probe.h"
#include "tests/support/z88.h"

#include <algorithm>
#include <thread>

namespace {

std::string Title(const std::string& path)
{
    return "Now sending file \"" + path + "\"";
}

// The line bytes of a frame up to its data.
Bytes Header(const std::string& name)
{
    return Bytes{Esc, 'N'} + Text(name) + Bytes{Esc, 'F'};
}

class SendTest : public LineFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(LineFixture::SetUp());
        ASSERT_NO_FATAL_FAILURE(Open());
        ResetFakeUi();
    }

    void TearDown() override
    {
        CloseLink();
        LineFixture::TearDown();
    }

    std::string MakeFile(const std::string& name, const Bytes& contents)
    {
        std::string path = folder + name;
        WriteWholeFile(path, std::string(contents.begin(), contents.end()));
        return path;
    }

    // A file in the test folder whose whole path is `length` characters long.
    std::string MakeFileWithPathLength(size_t length)
    {
        EXPECT_LT(folder.size() + 1, length);
        return MakeFile(std::string(length - folder.size(), 'a'), Text("long"));
    }

    // Sends `path` with SendFile; the result, and what crossed the line.
    int Send(const std::string& path, Bytes* line)
    {
        Z88StartListening();
        int result = SendFile(Owner(), path.c_str());
        *line = Z88StopListening();
        return result;
    }

    // `path` is refused before a window opens or a byte goes out, with one line saying why:
    // "PATH - not sent: " and `reason`, the system's words following a reason that ends "(".
    void ExpectRefused(const std::string& path, const std::string& reason)
    {
        ResetFakeUi();
        Bytes line;
        EXPECT_EQ(Send(path, &line), 0);
        EXPECT_TRUE(line.empty());
        EXPECT_TRUE(FakeUi.events.empty());
        ASSERT_EQ(FakeUi.failures.size(), 1u);
        const std::string said = FakeUi.failures[0], expected = path + " - not sent: " + reason;
        EXPECT_EQ(reason.back() == '(' ? said.substr(0, expected.size()) : said, expected);
    }
};

// Each file goes out as one frame, byte for byte as the Z88 expects, with a step of the
// progress window for every file byte, and ends with a beep.
TEST_F(SendTest, FileGoesOutAsOneFrame)
{
    Bytes zeros;
    for (int i = 0; i < 10; i++)
        zeros = zeros + Bytes{Esc, 'B', '0', '0'};
    struct {
        const char* what;
        Bytes file;
        Bytes data;  // the data part on the line
    } cases[] = {
        {"empty file", {}, {}},
        {"A, ESC, 0xFF", {0x41, 0x1B, 0xFF}, {0x41, Esc, 'B', '1', 'B', Esc, 'B', 'F', 'F'}},
        {"ten zero bytes make 40 line bytes", Bytes(10, 0), zeros},
        {"line ends unchanged", {0x0D, 0x0A}, {0x0D, 0x0A}},
        {"every byte value", EveryByte(), Z88EncodeData(EveryByte())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetFakeUi();
        std::string name = "case" + std::to_string(&c - cases) + ".bin";
        std::string path = MakeFile(name, c.file);

        Bytes line;
        EXPECT_NE(Send(path, &line), 0);
        EXPECT_EQ(line, (Header(name) + c.data + Bytes{Esc, 'E'}));
        Z88Decoded frame = Z88Decode(line);
        EXPECT_TRUE(frame.complete) << frame.fault;
        EXPECT_EQ(frame.name, name);
        EXPECT_EQ(frame.data, c.file);
        EXPECT_EQ(FakeUi.steps, OneTo(c.file.size()));
        EXPECT_EQ(FakeUi.events, (Lines{"show " + Title(path), "beep", "close"}));
        EXPECT_EQ(FakeUi.owner, Owner());
    }
}

TEST_F(SendTest, StoredFileGoesBackUnderItsZ88NameWithTheFullPathShown)
{
    std::string path = MakeFile("@RAM_0!LETTER_TXT.z88", Text("Dear Z88,\r\n"));
    Bytes line;
    EXPECT_NE(Send(path, &line), 0);
    Z88Decoded frame = Z88Decode(line);
    EXPECT_TRUE(frame.complete) << frame.fault;
    EXPECT_EQ(frame.name, "letter.txt");
    EXPECT_EQ(frame.data, Text("Dear Z88,\r\n"));
    EXPECT_EQ(FakeUi.Events("show"), Lines{Title(path)});
    EXPECT_STREQ(NameBuffer, "letter.txt");
}

// Esc held while the data goes out: the run being written when it is seen has gone, and
// nothing follows it, not even the end mark; no beep. At 300 baud a run is one byte, the
// byte being written; at 9600 baud it is 19, and the first holds the header and 8 data bytes.
TEST_F(SendTest, EscHeldEndsTheFrameAfterTheCurrentByte)
{
    const Bytes x25 = Text(std::string(25, 'x'));
    struct {
        const char* what;
        const char* rate;
        Bytes file;
        Bytes data;  // what of it reaches the line
        int steps;
    } cases[] = {
        {"plain fourth byte", "300", Text("ABCDEF"), Text("ABCD"), 4},
        {"escaped fourth byte", "300", Text("ABC") + Bytes{0x00} + Text("EF"), Text("ABC") + Bytes{Esc}, 4},
        {"second run", "9600", x25 + Text("yyyyyyyyyy"), x25 + Text("yy"), 27},
        {"second run ends inside an escaped byte", "9600", x25 + Bytes{0x00} + x25, x25 + Bytes{Esc, 'B'}, 26},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PutSetting("Rate", c.rate);
        OpenLinkPort();
        ResetFakeUi();
        FakeUi.escapeFromStep = 3;
        std::string path = MakeFile("esc.txt", c.file);

        Bytes line;
        EXPECT_EQ(Send(path, &line), 0);
        EXPECT_EQ(line, Header("esc.txt") + c.data);
        EXPECT_FALSE(Z88Decode(line).complete);
        EXPECT_EQ(FakeUi.steps, OneTo(c.steps));
        EXPECT_EQ(FakeUi.events, (Lines{"show " + Title(path), "close"}));
    }
}

// Without a port (never opened, or the open failed) the first write fails: the progress
// window opens and closes, and nothing else happens.
TEST_F(SendTest, NoPortFailsAtTheFirstWrite)
{
    std::string path = MakeFile("file.txt", Text("text"));
    for (bool openFailed : {false, true}) {
        SCOPED_TRACE(openFailed ? "open failed" : "never opened");
        CloseLink();
        if (openFailed) {
            PutSetting("Port", (folder + "no-such-port").c_str());
            OpenLinkPort();
            ASSERT_EQ(LinkHandle, LinkOpenFailed);
        }
        ResetFakeUi();

        Bytes line;
        EXPECT_EQ(Send(path, &line), 0);
        EXPECT_TRUE(line.empty());
        EXPECT_TRUE(FakeUi.steps.empty());
        EXPECT_EQ(FakeUi.events, (Lines{"show " + Title(path), "close"}));
    }
}

// Refused before a window opens or a byte goes out, each saying why: what is not a regular
// file (folders, which open for reading on Linux, devices, a FIFO, a missing file), and a
// name holding a control byte: an ESC would end the name on the line, XON and XOFF would act
// as flow control inside it. Of these, Windows file names can hold 0x7F alone.
TEST_F(SendTest, RefusedWithoutATrace)
{
    const std::string notAFile = "it is not a file that can be read.", control =
        "its name holds a control character, which the Z88 cannot take.";
    ASSERT_TRUE(MakeTestFolder(folder + "sub"));
    std::vector<std::pair<std::string, std::string>> refused = {
        {folder + "sub", notAFile}, {folder + "sub" + PathSeparator(), "its name for the Z88 would be empty."},
        {folder + "missing.txt", "the file cannot be found ("}};
    // Windows' device names ("NUL" in every folder) stand there, and are no files.
    for (const std::string& path : NonFilePaths(folder))
        refused.push_back({path, notAFile});
    size_t named = 0;
    for (char c : {'\x01', '\t', '\x11', '\x13', '\x1b', '\x1f', '\x7f'}) {
        const std::string path = folder + "a" + c + "b.txt";
        WriteWholeFile(path, "text");
        if (ReadWholeFile(path)) {
            refused.push_back({path, control});
            named++;
        }
    }
    EXPECT_EQ(named, PathSeparator()[0] == '/' ? 7u : 1u);
    // Names whose '@' branch leaves nothing: a frame with no name would reach the Z88.
    for (const char* empty : {"report@v2", "x@ab"})
        refused.push_back({MakeFile(empty, Text("text")), "its name for the Z88 would be empty."});
    for (const auto& path : refused) {
        SCOPED_TRACE(path.first);
        ExpectRefused(path.first, path.second);
    }
}

// Paths travel in 128-byte buffers. Up to 127 characters a file goes out, its title cut
// to 127 characters when longer; a longer path is refused, never cut: its first 127
// characters name another file here.
TEST_F(SendTest, LongPathsAreRefusedAndLongTitlesCut)
{
    ASSERT_LT(folder.size(), 100u) << "the test folder's path leaves no room";
    const size_t lengths[] = {108, 109, 127, 128, 200};
    std::vector<std::string> paths;
    for (size_t length : lengths)
        paths.push_back(MakeFileWithPathLength(length));
    ASSERT_EQ(paths[3].substr(0, 127), paths[2]);

    for (const std::string& path : paths) {
        SCOPED_TRACE(path.size());
        if (path.size() > 127) {
            ExpectRefused(path, "the path is longer than 127 characters.");
            continue;
        }
        ResetFakeUi();
        Bytes line;
        EXPECT_NE(Send(path, &line), 0);
        Z88Decoded frame = Z88Decode(line);
        EXPECT_TRUE(frame.complete) << frame.fault;
        EXPECT_EQ(frame.name, path.substr(folder.size()));
        EXPECT_EQ(FakeUi.Events("show"), Lines{Title(path).substr(0, 127)});
    }
    EXPECT_EQ(Title(paths[0]).size(), 127u) << "the longest title that is not cut";
}

// A read error is not the end of the file: the frame stops where it stands, with no end
// mark, so the Z88 never takes part of a file for all of it; no beep, result 0.
TEST_F(SendTest, ReadErrorMidFileFailsTheSend)
{
    Bytes contents;
    for (int i = 0; i < 65536; i++)
        contents.push_back((unsigned char)('a' + i % 26));
    std::string path = MakeFile("broken.txt", contents);
    static bool broken;
    broken = false;
    ExpectOpening(path);
    FakeUi.onStep = [](int count) {
        if (count == 100)
            broken = BreakOpenFile();
    };

    Bytes line;
    EXPECT_EQ(Send(path, &line), 0);
    ASSERT_TRUE(broken) << "the program's descriptor of the file was not found";
    Z88Decoded frame = Z88Decode(line);
    EXPECT_FALSE(frame.complete);
    EXPECT_NE(frame.fault.find("line ends inside the data"), std::string::npos) << frame.fault;
    EXPECT_EQ(frame.used, line.size());
    // What the stream had read before the swap went out; nothing after.
    EXPECT_GT(frame.data.size(), 100u);
    EXPECT_LT(frame.data.size(), contents.size());
    EXPECT_TRUE(std::equal(frame.data.begin(), frame.data.end(), contents.begin()));
    EXPECT_EQ(FakeUi.steps, OneTo(frame.data.size()));
    EXPECT_EQ(FakeUi.events, (Lines{"show " + Title(path), "close"}));
}

TEST_F(SendTest, ReadErrorAtTheFirstByteFailsTheSend)
{
    std::string path = FileThatFailsToRead();
    if (path.empty())
        GTEST_SKIP() << "no file here fails its first read";
    Bytes line;
    EXPECT_EQ(Send(path, &line), 0);
    EXPECT_EQ(line, Header("mem"));
    EXPECT_TRUE(FakeUi.steps.empty());
    EXPECT_EQ(FakeUi.events, (Lines{"show " + Title(path), "close"}));
}

// Dropped files go out in order, a folder's files where it stands; the first that cannot be
// sent ends the drop, and the ones after it are not tried. A folder's file refused before
// its frame begins is passed over, with the line that says why.
TEST_F(SendTest, DropStopsAtTheFirstFileThatFails)
{
    // Runs of one byte, so that Esc cuts the second file short: at 9600 baud its last run
    // would carry the end mark, and Esc would be seen only after it.
    PutSetting("Rate", "300");
    OpenLinkPort();
    std::string first = MakeFile("one.txt", Text("one"));
    std::string second = MakeFile("two.txt", Text("the second file"));
    std::string third = MakeFile("three.txt", Text("three"));
    ASSERT_TRUE(MakeTestFolder(folder + "sub"));
    MakeFile("sub" + std::string(PathSeparator()) + "two.txt", Text("the second file"));
    std::string tooLong = MakeFileWithPathLength(160);
    // A folder with a file it cannot send (a path too long) between two it can.
    ASSERT_TRUE(MakeTestFolder(folder + "box"));
    for (const std::string& name : Lines{"a.txt", "b" + std::string(140 - folder.size(), 'b'), "c.txt"})
        MakeFile("box" + std::string(PathSeparator()) + name, Text(name));

    const Lines usual = {"one.txt", "two.txt", "three.txt"};
    struct {
        const char* what;
        std::string second;
        int escapeFromStep;
        int sent;          // files that go whole
        size_t frames;     // frames on the line, the last perhaps cut short
        size_t failures;   // lines that say why a file was not sent
        Lines names;       // of the frames
    } cases[] = {
        {"all three go", second, 0, 3, 3, 0, usual},
        {"second is missing", folder + "missing.txt", 0, 1, 1, 1, usual},
        {"second is a folder: its file goes", folder + "sub", 0, 3, 3, 0, usual},
        {"second has a path too long", tooLong, 0, 1, 1, 1, usual},
        {"Esc held in the second", second, 5, 1, 2, 1, usual},
        {"a folder's file that cannot be sent is passed over", folder + "box", 0, 4, 4, 1,
         {"one.txt", "a.txt", "c.txt", "three.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetFakeUi();
        FakeUi.escapeFromStep = c.escapeFromStep;
        const char* paths[] = {first.c_str(), c.second.c_str(), third.c_str()};

        Z88StartListening();
        EXPECT_EQ(SendDroppedFiles(Owner(), paths, 3), c.sent);
        std::vector<Z88Decoded> frames = Z88DecodeAll(Z88StopListening());

        ASSERT_EQ(frames.size(), c.frames);
        for (size_t i = 0; i < frames.size(); i++) {
            EXPECT_EQ(frames[i].name, c.names[i]);
            EXPECT_EQ(frames[i].complete, (int)i < c.sent) << frames[i].fault;
        }
        EXPECT_EQ(FakeUi.Beeps(), c.sent);
        EXPECT_EQ(FakeUi.Events("show").size(), c.frames);
        EXPECT_EQ(FakeUi.failures.size(), c.failures);
    }
}

// XOFF from the Z88 in the middle of a large file, once it has 64 KiB of it (under Wine it
// crosses socat, and the writes go on meanwhile). Held under two seconds the rest goes on;
// longer, the send fails there, and nothing follows after XON. The file counts up line by
// line, so a byte lost, doubled or moved at the stop shows in the frame, which is compared
// whole.
TEST_F(SendTest, RunCutByXoffPartWay)
{
    std::string counting;
    for (int i = 0; counting.size() < 1024 * 1024; i++)
        counting += std::to_string(1000000 + i) + "\r\n";
    const Bytes contents = Text(counting), whole = Header("held.txt") + contents + Bytes{Esc, 'E'};
    std::string path = MakeFile("held.txt", contents);
    for (int heldMs : {800, 3000}) {
        SCOPED_TRACE(heldMs);
        ResetFakeUi();
        Z88StartListening();
        std::thread z88([heldMs] {
            const unsigned char xoff = Xoff, xon = Xon;
            WaitUntil([] { return Z88HeardSoFar() >= 64 * 1024; }, 30000, 1);
            PeerSend(&xoff, 1);
            Pause(heldMs);
            PeerSend(&xon, 1);
        });
        int result = SendFile(Owner(), path.c_str());
        z88.join();
        const Bytes line = Z88StopListening();
        Z88Decoded frame = Z88Decode(line);
        EXPECT_EQ(result, heldMs < 2000);
        EXPECT_EQ(FakeUi.Beeps(), heldMs < 2000);
        if (heldMs < 2000) {
            EXPECT_TRUE(line == whole) << "the frame came with " << line.size() << " of " << whole.size() << " bytes";
            EXPECT_TRUE(FakeUi.failures.empty());
        } else {
            EXPECT_GT(line.size(), 64u * 1024);
            EXPECT_LT(line.size(), whole.size() - 2);
            EXPECT_TRUE(std::equal(line.begin(), line.end(), whole.begin())) << "the frame is not the file's beginning";
            EXPECT_EQ(FakeUi.failures, Lines{path + " - not sent: the Z88 held the line (XOFF) for over two seconds."});
        }
        EXPECT_EQ(FakeUi.steps, OneTo(frame.data.size() + (heldMs < 2000 ? 0 : 1)));
    }
}

// The file is whole only once the port's output queue has emptied (a USB adapter may hold
// seconds of bytes, and drops them when the port closes): the send waits while the queue
// shrinks, and fails, saying why, when it stops shrinking for two seconds. Linux alone: a
// queue is played there (link_probe.h).
TEST_F(SendTest, WholeOnlyOnceTheOutputQueueHasEmptied)
{
    std::string path = MakeFile("queued.txt", Text("queued"));
    for (bool stuck : {false, true}) {
        SCOPED_TRACE(stuck ? "stuck" : "emptying");
        if (!PlayOutputQueue(stuck ? std::vector<int>{40, 30, 30} : std::vector<int>{40, 30, 20, 10, 0}))
            GTEST_SKIP() << "the output queue cannot be played here";
        ResetFakeUi();
        Bytes line;
        int result = Send(path, &line);
        size_t looks = OutputQueueLooks();
        PlayOutputQueue({});
        EXPECT_EQ(result, !stuck);
        EXPECT_TRUE(Z88Decode(line).complete) << "the frame itself went whole";
        EXPECT_GE(looks, stuck ? 3u : 5u) << "the send did not wait for the queue";
        EXPECT_EQ(FakeUi.Beeps(), !stuck);
        EXPECT_EQ(FakeUi.failures, stuck ? Lines{path + " - not sent: the Z88 held the line (XOFF) for over two seconds."}
                                         : Lines{});
    }
}

}  // namespace
