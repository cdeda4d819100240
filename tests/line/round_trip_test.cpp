// A file's whole road on a real line, on both builds: the Z88 sends it, a poll tick finds the
// start and the receive session stores it; dropped back onto the program, the stored file
// goes out under the Z88's own name and arrives exactly as it left.
#include "protocol/poll.h"
#include "protocol/send.h"
#include "tests/line/receive_fixture.h"

namespace {

using RoundTrip = ReceiveFixture;

TEST_F(RoundTrip, EveryByteValueComesBackUnchanged)
{
    const Bytes all = EveryByte();
    struct Case {
        const char* preserve;
        const char* stored;
    } cases[] = {
        {"1", "@RAM_0!ALL_BIN.z88"},
        {"0", "ALL.BIN"},
    };
    // An '@' in the store folder's path is no part of a stored file's name: it changes
    // nothing on the way back.
    const std::string atFolder = folder + "me@host" + PathSeparator();
    ASSERT_TRUE(MakeTestFolder(atFolder));
    for (const std::string& directory : {folder, atFolder}) {
        ASSERT_NO_FATAL_FAILURE(UseDirectory(directory));
        for (const Case& c : cases) {
            SCOPED_TRACE(directory + c.stored);
            ResetFakeUi();
            PutSetting("Preserve", c.preserve);

            // The frame is on the line (it fits the line's buffers) and has crossed it before
            // the tick: on a busy machine the sending thread alone can take half a second.
            ASSERT_TRUE(SendAndSettle(Z88Frame(":RAM.0/ALL.BIN", all)));
            PollLink(Owner());
            std::string stored;
            ASSERT_TRUE(ReadWholeFile(directory + c.stored, &stored));
            ASSERT_EQ(Bytes(stored.begin(), stored.end()), all);

            Z88StartListening();
            EXPECT_NE(SendFile(Owner(), (directory + c.stored).c_str()), 0);
            Z88Decoded back = Z88Decode(Z88StopListening());
            EXPECT_TRUE(back.complete) << back.fault;
            EXPECT_EQ(back.name, "all.bin");
            EXPECT_EQ(back.data, all);
            // One beep for the file received, one for the file sent.
            EXPECT_EQ(FakeUi.Beeps(), 2);
        }
    }
}

}  // namespace
