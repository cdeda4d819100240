// The receive session on a real line, on both builds: the test Z88 sends frames through a pty
// (COM1 under Wine), ReceiveFile stores them in a fresh folder, and the ui test double shows
// which windows, log lines and beeps the session made.
#include "tests/line/receive_fixture.h"

using ReceiveSession = ReceiveFixture;

// The life of one name: stored, then replaced four times. Only the last two copies stay; the
// log line comes from the second reception on and says whether the content changed. The
// same copy again changes neither copy: the one before it stays under '_'.
TEST_F(ReceiveSession, RepeatedReceptionsKeepTheLastTwoCopies)
{
    const std::string name = ":RAM.0/NOTES.TXT";
    const std::string stored = "@RAM_0!NOTES_TXT.z88";
    const std::string previous = "_" + stored;
    const struct {
        std::string data;
        Events events;
        std::string previous;
    } receptions[] = {
        {"first\r\n", {Title(name), "beep", "close"}, "<none>"},
        {"second\r\n", {Title(name), "log " + name + " - file changed.", "beep", "close"}, "first\r\n"},
        {"third\r\n", {Title(name), "log " + name + " - file changed.", "beep", "close"}, "second\r\n"},
        {"third\r\n", {Title(name), "log " + name + " - no change.", "beep", "close"}, "second\r\n"},
    };
    for (const auto& reception : receptions) {
        SCOPED_TRACE(reception.data);
        ResetFakeUi();
        EXPECT_EQ(Receive(Body(Z88Frame(name, Text(reception.data)))), 1);
        EXPECT_EQ(FakeUi.events, reception.events);
        EXPECT_EQ(FakeUi.owner, Owner());
        EXPECT_EQ(FakeUi.steps, OneTo(reception.data.size()));
        EXPECT_EQ(Stored(stored), reception.data);
        EXPECT_EQ(Stored(previous), reception.previous);
    }
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{stored, previous}));
}

// Whatever the data items carry is stored byte for byte, with no translation of line ends,
// 0x1A or 0x00, and the receiver takes plain and escaped bytes a Z88 would not write.
TEST_F(ReceiveSession, DataIsStoredByteForByte)
{
    const Bytes text = Text("a\r\nb\nc\r") + Bytes{0x1A, 0x00, 'd', 0x1A};
    const struct {
        const char* what;
        Bytes line;
        Bytes file;
    } cases[] = {
        {"every byte value, as a Z88 sends it", Z88EncodeData(EveryByte()), EveryByte()},
        {"line ends, 0x1A and 0x00", Z88EncodeData(text), text},
        {"plain bytes a Z88 would escape", Bytes{0x80, 0x00, 0xFF, 0x07, 0x1A}, Bytes{0x80, 0x00, 0xFF, 0x07, 0x1A}},
        {"escaped bytes of the plain set", Bytes{Esc, 'B', '4', '1', Esc, 'B', '0', 'A'}, Bytes{'A', '\n'}},
        {"no data at all", Bytes{}, Bytes{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetFakeUi();
        const std::string name = "CASE" + std::to_string(&c - cases);
        EXPECT_EQ(Receive(Text(name) + NameEnd() + c.line + DataEnd()), 1);
        EXPECT_EQ(FakeUi.events, (Events{Title(name), "beep", "close"}));
        EXPECT_EQ(FakeUi.steps, OneTo(c.file.size()));
        EXPECT_EQ(Stored(name + ".z88"), std::string(c.file.begin(), c.file.end()));
    }
}

// The shortest frame: an empty file; twice, so the second compares two empty files and keeps
// the one stored.
TEST_F(ReceiveSession, EmptyFile)
{
    EXPECT_EQ(Receive(Text("E") + NameEnd() + DataEnd()), 1);
    EXPECT_EQ(FakeUi.events, (Events{Title("E"), "beep", "close"}));
    EXPECT_TRUE(FakeUi.steps.empty());
    EXPECT_EQ(Stored("E.z88"), "");

    ResetFakeUi();
    EXPECT_EQ(Receive(Text("E") + NameEnd() + DataEnd()), 1);
    EXPECT_EQ(FakeUi.events, (Events{Title("E"), "log E - no change.", "beep", "close"}));
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"E.z88"}));
}

// A failure before the name is complete leaves no trace: no window, no change on disk, and
// the session reads no further than the byte that failed it.
TEST_F(ReceiveSession, NameFailuresLeaveNoTrace)
{
    WriteWholeFile(folder + "NAME.z88", "kept");
    const struct {
        const char* what;
        Bytes line;
        int escapeFromCheck;
        int next;  // the byte the session must leave on the line, -1 for none
    } cases[] = {
        {"a letter other than F after the name", Text("NAME") + Bytes{Esc, 'X'}, 0, -1},
        {"a second ESC after the name", Text("NAME") + Bytes{Esc, Esc}, 0, -1},
        {"a name of 128 bytes", Text(std::string(128, 'n')) + NameEnd() + DataEnd(), 0, Esc},
        {"a zero byte in the name", Text("NAME") + Bytes{0x00} + Text("X") + NameEnd() + DataEnd(), 0, 'X'},
        {"Esc held at the first read", Text("N") + Text("AME") + NameEnd() + DataEnd(), 1, 'A'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetFakeUi();
        FakeUi.escapeFromCheck = c.escapeFromCheck;
        EXPECT_EQ(Receive(c.line), 0);
        EXPECT_TRUE(FakeUi.events.empty());
        EXPECT_EQ(NextLineByte(c.next < 0 ? PollMode : TransferMode), c.next);
        if (c.next >= 0)
            DrainLine();
    }
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"NAME.z88"}));
    EXPECT_EQ(Stored("NAME.z88"), "kept");
}

// A bad item in the data fails the reception at once; what came before it stays in the '~'
// file, and nothing takes the store name. A digit other than "0".."9" and "A".."F" is a bad
// item too.
TEST_F(ReceiveSession, DataFailuresKeepWhatCameBefore)
{
    const std::string digit = "a bad digit in the data";
    const struct {
        const char* what;
        Bytes item;
        std::string reason;  // in "a garbled frame (...)"
    } cases[] = {
        {"ESC N inside the data", {Esc, 'N'}, "ESC N in the data"},
        {"ESC F inside the data", {Esc, 'F'}, "ESC F in the data"},
        {"a small b after ESC", {Esc, 'b'}, "ESC b in the data"},
        {"ESC twice", {Esc, Esc}, "ESC and byte 27 in the data"},
        {"a second digit below 0", {Esc, 'B', '1', '/'}, digit},
        {"a first digit below 0", {Esc, 'B', '/', 'A'}, digit},
        {"blanks for digits", {Esc, 'B', ' ', ' '}, digit},
        {"a small letter for a digit", {Esc, 'B', '1', 'b'}, digit},
        {"a letter past F", {Esc, 'B', 'G', '0'}, digit},
    };
    const Bytes before = Text("ab\r\n") + Bytes{0x00};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetFakeUi();
        const std::string name = "BAD" + std::to_string(&c - cases);
        EXPECT_EQ(Receive(Text(name) + NameEnd() + Z88EncodeData(before) + c.item), 0);
        EXPECT_EQ(FakeUi.events, (Events{Title(name), "close"}));
        EXPECT_EQ(FakeUi.failures, Events{name + " - not received: a garbled frame (" + c.reason + ")."});
        EXPECT_EQ(FakeUi.steps, OneTo(before.size()));
        EXPECT_EQ(Stored("~" + name + ".z88"), std::string(before.begin(), before.end()));
        EXPECT_EQ(Stored(name + ".z88"), "<none>");
        EXPECT_EQ(NextLineByte(PollMode), -1);
    }
}

// A line that garbles an escaped byte's digits into small letters: "f" "f" names no byte, so
// the reception fails, and the good copy stays with no log line and no beep.
TEST_F(ReceiveSession, SmallLetterDigitsFailAndKeepTheGoodCopy)
{
    const Bytes good = Text("good") + Bytes{0xFF};
    EXPECT_EQ(Receive(Body(Z88Frame("HEX", good))), 1);
    ResetFakeUi();
    const bool lowercase = true;
    EXPECT_EQ(Receive(Body(Z88Frame("HEX", Text("new") + Bytes{0xFF} + Text("tail"), lowercase))), 0);
    EXPECT_EQ(FakeUi.events, (Events{Title("HEX"), "close"}));
    EXPECT_EQ(Stored("HEX.z88"), std::string(good.begin(), good.end()));
    EXPECT_EQ(Stored("~HEX.z88"), "new");
    DrainLine();
}

// Esc held in the middle of the data: the next read fails, the part received stays in the
// '~' file, the stored copy is kept, and there is no log line and no beep.
TEST_F(ReceiveSession, EscHeldDuringTheDataKeepsTheStoredCopy)
{
    WriteWholeFile(folder + "LONG.z88", "old");
    FakeUi.escapeFromStep = 100;
    EXPECT_EQ(Receive(Body(Z88Frame("LONG", Text(std::string(300, 'x'))))), 0);
    EXPECT_EQ(FakeUi.events, (Events{Title("LONG"), "close"}));
    EXPECT_EQ(FakeUi.failures, Events{"LONG - not received: stopped by the user."});
    EXPECT_EQ(FakeUi.steps, OneTo(100));
    EXPECT_EQ(Stored("LONG.z88"), "old");
    EXPECT_EQ(Stored("~LONG.z88"), std::string(100, 'x'));
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"LONG.z88", "~LONG.z88"}));
}

// A good copy, then two frames of the same name that stop in the middle of the data: each
// fails after a second without a byte, and neither costs the good copy or the one before it.
// The part of the last one stays in the '~' file until the next whole reception replaces it.
TEST_F(ReceiveSession, CutFramesNeverCostTheGoodCopy)
{
    const std::string stored = "CUT.z88";
    EXPECT_EQ(Receive(Body(Z88Frame("CUT", Text("v0")))), 1);
    EXPECT_EQ(Receive(Body(Z88Frame("CUT", Text("v1 good")))), 1);

    for (const char* partial : {"v2 partial", "v2 again"}) {
        SCOPED_TRACE(partial);
        ResetFakeUi();
        Z88SendInBackground(Text("CUT") + NameEnd() + Text(partial));
        auto start = Clock::now();
        EXPECT_EQ(ReceiveFile(Owner()), 0);
        long long waited = MsSince(start);
        EXPECT_GE(waited, 700);
        EXPECT_LE(waited, 5000);
        EXPECT_TRUE(Z88WaitSent());
        EXPECT_EQ(FakeUi.events, (Events{Title("CUT"), "close"}));
        EXPECT_EQ(FakeUi.failures, Events{"CUT - not received: the line went quiet for a second."});
        EXPECT_EQ(Stored(stored), "v1 good");
        EXPECT_EQ(Stored("_" + stored), "v0");
        EXPECT_EQ(Stored("~" + stored), partial);
    }

    ResetFakeUi();
    EXPECT_EQ(Receive(Body(Z88Frame("CUT", Text("v2")))), 1);
    EXPECT_EQ(FakeUi.events, (Events{Title("CUT"), "log CUT - file changed.", "beep", "close"}));
    EXPECT_EQ(Stored(stored), "v2");
    EXPECT_EQ(Stored("_" + stored), "v1 good");
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{stored, "_" + stored}));
}

// What stands at the store path is never emptied, replaced or written into: a current copy
// that cannot be moved aside (a folder holds the previous-copy name, so neither the delete
// nor the rename clears the way), or a folder under the store name. The new file arrives
// and stays under '~'; no log line, no beep. A folder at the '~' path itself fails the
// reception before any data is read.
TEST_F(ReceiveSession, WhatCannotBeMovedAsideIsKept)
{
    WriteWholeFile(folder + "KEEP.z88", "precious");
    WriteWholeFile(folder + "HELD.z88", "held");
    for (const char* taken : {"_KEEP.z88", "DIR.z88", "~HELD.z88"}) {
        ASSERT_TRUE(MakeTestFolder(folder + taken));
        WriteWholeFile(folder + taken + sep + "inside", "inside");
    }

    const struct {
        const char* name;
        int next;  // the byte the session must leave on the line, -1 for none
        std::string reason;  // how the failure line goes on (the system's words follow)
    } cases[] = {{"KEEP", -1, "the current copy cannot be moved aside ("},
                 {"DIR", -1, "the new copy cannot take the file's name ("},
                 {"HELD", 'n', "what stands at the name of its '~' copy is not a file."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefused(c.name, c.next);
        ASSERT_EQ(FakeUi.failures.size(), 1u);
        EXPECT_EQ(FakeUi.failures[0].rfind(c.name + std::string(" - not received: ") + c.reason, 0), 0u)
            << FakeUi.failures[0];
    }
    EXPECT_EQ(Stored("KEEP.z88"), "precious");
    EXPECT_EQ(Stored("HELD.z88"), "held");
    EXPECT_EQ(Stored("~KEEP.z88"), "new");
    EXPECT_EQ(Stored("~DIR.z88"), "new");
    for (const char* taken : {"_KEEP.z88", "DIR.z88", "~HELD.z88"})
        EXPECT_EQ(Stored(taken + sep + "inside"), "inside");
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"DIR.z88", "HELD.z88", "KEEP.z88", "_KEEP.z88",
                                                          "~DIR.z88", "~HELD.z88", "~KEEP.z88"}));
}

// Names that have no place in the store directory fail once the name is read, before the
// disk is touched: nothing there changes, and no data is read. So do the empty name and
// names of the store's own copies: "_X" would push X's previous copy aside and be deleted
// by X's next reception; "~X" would be overwritten by X's next failed one.
TEST_F(ReceiveSession, RefusedNamesChangeNothing)
{
    WriteWholeFile(folder + "_", "kept");
    WriteWholeFile(folder + "X.z88", "current");
    WriteWholeFile(folder + "_X.z88", "previous");
    const std::string tooLongToPreserve(124, 'n');  // with ".z88", 128 characters
    const struct {
        const char* preserve;
        std::string name;
    } cases[] = {
        {"0", ""},      // the mapped name is empty
        {"0", "A/B/"},  // nothing after the last '/'
        {"0", "A/.."},
        {"0", "."},
        {"1", tooLongToPreserve},
        {"1", ""},  // ".z88", a hidden file
        {"1", "_X"},
        {"1", "~X"},
        {"0", ":RAM.0/_X.z88"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetFakeUi();
        PutSetting("Preserve", c.preserve);
        EXPECT_EQ(Receive(Text(c.name) + NameEnd() + Text("d")), 0);
        // The title is cut to 127 characters; the name is not.
        EXPECT_EQ(FakeUi.events, (Events{Title(c.name).substr(0, 5 + 127), "close"}));
        EXPECT_EQ(NextLineByte(TransferMode), 'd') << "the data is still on the line";
        EXPECT_EQ(Listing(folder), (std::vector<std::string>{"X.z88", "_", "_X.z88"}));
    }
    EXPECT_EQ(Stored("_X.z88"), "previous");
}

// A store directory that does not exist yet is made, with the folders above it.
TEST_F(ReceiveSession, MissingStoreDirectoryIsMade)
{
    const std::string deeper = folder + "new" + sep + "deeper" + sep;
    ASSERT_NO_FATAL_FAILURE(UseDirectory(deeper));
    EXPECT_EQ(Receive(Body(Z88Frame("FIRST", Text("data")))), 1);
    EXPECT_EQ(FakeUi.Beeps(), 1);
    std::string contents;
    EXPECT_TRUE(ReadWholeFile(deeper + "FIRST.z88", &contents));
    EXPECT_EQ(contents, "data");
}

// Paths of up to 127 characters are used; a store path or previous-copy path that would be
// longer fails the reception before the disk is touched, since a cut path could name another
// file. The title and the log line are only shown, so they are cut to 127 characters.
TEST_F(ReceiveSession, TextLimits)
{
    PutSetting("Preserve", "0");
    const size_t directory = folder.size();
    ASSERT_LT(directory, 100u);

    // Store path of 126 characters, previous-copy path of 127: both fit.
    const std::string fits(126 - directory, 'f');
    EXPECT_EQ(Receive(Body(Z88Frame(fits, Text("one")))), 1);
    EXPECT_EQ(Receive(Body(Z88Frame(fits, Text("two")))), 1);
    EXPECT_EQ(Stored(fits), "two");
    EXPECT_EQ(Stored("_" + fits), "one");

    // One more character: the previous-copy path would be 128 characters.
    ResetFakeUi();
    const std::string tooLong(127 - directory, 'g');
    EXPECT_EQ(Receive(Body(Z88Frame(tooLong, Text("three")))), 0);
    EXPECT_EQ(FakeUi.events, (Events{Title(tooLong).substr(0, 5 + 127), "close"}));
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"_" + fits, fits}));
    EXPECT_EQ(NextLineByte(TransferMode), 't') << "the data is still on the line";
    DrainLine();

    // Long names need a short store directory: one relative to the current folder. A name of
    // 115 bytes is stored whole while its title and log line are cut; one of 127 passes the
    // name phase, and its path of 2 + 127 characters is refused.
    ASSERT_TRUE(MakeTestFolder(folder + "s"));
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    ASSERT_NO_FATAL_FAILURE(UseDirectory("s" + sep));

    ResetFakeUi();
    const std::string name(115, 'L');
    EXPECT_EQ(Receive(Body(Z88Frame(name, Text("same")))), 1);
    EXPECT_EQ(Receive(Body(Z88Frame(name, Text("same")))), 1);
    const std::string title = Title(name).substr(0, 5 + 127);
    const std::string line = "log " + (name + " - no change.").substr(0, 127);
    EXPECT_EQ(FakeUi.events, (Events{title, "beep", "close", title, line, "beep", "close"}));
    EXPECT_EQ(Stored("s" + sep + name), "same");

    ResetFakeUi();
    const std::string longest(127, 'M');
    EXPECT_EQ(Receive(Body(Z88Frame(longest, Text("x")))), 0);
    EXPECT_EQ(FakeUi.events, (Events{Title(longest).substr(0, 5 + 127), "close"}));
    EXPECT_EQ(Listing(folder + "s"), (std::vector<std::string>{name}));

    std::filesystem::current_path(before);
}

TEST(FilesIdentical, ComparesWholeRegularFiles)
{
    const std::string folder = NewTestFolder();
    const std::string binary("\x00\x1A\xFF\r\n", 5);
    for (const std::string pair : {"", "2"}) {
        WriteWholeFile(folder + "abc" + pair, "abc");
        WriteWholeFile(folder + "empty" + pair, "");
        WriteWholeFile(folder + "binary" + pair, binary);
        ASSERT_TRUE(MakeTestFolder(folder + "sub" + pair));
    }
    WriteWholeFile(folder + "ab", "ab");
    WriteWholeFile(folder + "abd", "abd");
    const struct {
        const char* first;
        const char* second;
        int identical;
    } cases[] = {
        {"abc", "abc2", 1},     {"binary", "binary2", 1}, {"empty", "empty2", 1},
        {"abc", "ab", 0},       {"ab", "abc", 0},         {"abc", "abd", 0},
        {"empty", "abc", 0},    {"abc", "missing", 0},    {"missing", "abc", 0},
        {"missing", "none", 0}, {"sub", "sub2", 0},       {"abc", "sub", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FilesIdentical((folder + c.first).c_str(), (folder + c.second).c_str()), c.identical)
            << c.first << " / " << c.second;
    }
}
