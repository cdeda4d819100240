// The progress window and the transfer log on a real display, on both builds: windows
// opened as a transfer opens them, checked by their captions, their places and the pixels
// of screenshots.
#include "ui/progress.h"
#include "ui/transfer_log.h"
#include "tests/support/desktop.h"
#include "tests/support/host_tool.h"
#include "tests/support/screen.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

static const unsigned Black = 0x000000, White = 0xFFFFFF, LightGray = 0xC0C0C0;

class StatusWindows : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        PrepareDesktop();
        owner = OpenOwnerWindow(60, 60, 420, 300);
    }
    static void TearDownTestSuite() { CloseOwnerWindow(owner); }
    void SetUp() override { PrepareDesktop(); }

    // One transfer's calls up to count bytes, as a session makes them.
    static void Transfer(int from, int to)
    {
        for (int count = from; count <= to; count++)
            StepProgress(count);
    }

    static WindowHandle owner;
};
WindowHandle StatusWindows::owner;

// What a screenshot shows of the progress window's client area.
struct BarPicture {
    int drawn = 0;    // frame, gray surround and track in place
    int barEnd = -1;  // x of the bar's rightmost (outline) column, from the client's left
    int hatchOk = 0;  // hatching black at one pixel in eight, lines running down to the right
};

static BarPicture ReadBar(const Screenshot& shot, const ScreenArea& client)
{
    BarPicture picture;
    auto at = [&](int x, int y) { return shot.Pixel(client.x + x, client.y + y); };
    const int w = client.width, h = client.height, dx = w / 20, dy = h / 8;
    const int middle = h / 2;
    picture.drawn = at(0, middle) == Black && at(w - 1, middle) == Black &&
                    at(w / 2, 0) == Black && at(w / 2, h - 1) == Black &&
                    at(1, middle) == LightGray && at(w / 2, 1) == LightGray &&
                    at(w / 2, h - 2) == LightGray && at(w - 2, middle) == LightGray &&
                    at(dx, middle) == Black && at(w - dx - 1, middle) == Black &&
                    at(w - dx - 2, dy) == Black && at(w - dx - 2, h - dy - 1) == Black;
    // The bar's right outline is the rightmost column inside the track that is black
    // from top to bottom: neither the hatching nor the white track has such a column.
    // A full bar's outline is the track's own; the hatching then reaches it.
    auto solid = [&](int x) {
        for (int y = dy + 1; y <= h - dy - 2; y++)
            if (at(x, y) != Black)
                return 0;
        return 1;
    };
    for (int x = w - dx - 2; x > dx && picture.barEnd < 0; x--)
        if (solid(x))
            picture.barEnd = x;
    if (picture.barEnd < 0) {
        for (int x = w - dx - 9; x < w - dx - 1; x++)
            if (at(x, middle) == Black)
                picture.barEnd = w - dx - 1;
    }
    if (picture.barEnd < 0)
        return picture;
    // Inside the bar each row is white with black at every eighth pixel, and the black
    // moves one pixel right with each row down.
    int phase = -1;
    picture.hatchOk = picture.barEnd - dx > 10;
    for (int y = dy + 1; y <= h - dy - 2 && picture.hatchOk; y++) {
        for (int x = dx + 1; x < picture.barEnd && picture.hatchOk; x++) {
            unsigned pixel = at(x, y);
            int onLine = (((x - y) % 8) + 8) % 8;
            if (pixel == Black && phase < 0)
                phase = onLine;
            picture.hatchOk = pixel == White ? onLine != phase || phase < 0
                                             : pixel == Black && onLine == phase;
        }
    }
    picture.hatchOk = picture.hatchOk && phase >= 0;
    return picture;
}

// Where the bar's right outline should stand at a share of the track, from the sizes alone.
static int ExpectedBarEnd(int width, int percent)
{
    int dx = width / 20;
    return dx + (width - 2 * dx) * percent / 100 - 1;
}

// The caption of the progress window for receiving `name`.
static std::string ReceivingTitle(const char* name)
{
    return std::string("Now Receiving file \"") + name + "\"";
}

// The whole screen, for checks that something drew nothing.
static Screenshot WholeScreen()
{
    Screenshot shot;
    EXPECT_TRUE(TakeScreenshot(&shot));
    return shot;
}

// Runs the event loop until what was left to paint is painted: two looks at the screen with
// the loop run between them agree. False when it keeps changing.
static bool RunEventLoopUntilPainted()
{
    Screenshot was = WholeScreen();
    return RunEventLoopUntil([&] {
        RunEventLoop(100);
        Screenshot now = WholeScreen();
        bool same = now.rgb == was.rgb;
        was = now;
        return same;
    });
}

TEST_F(StatusWindows, ProgressBarMovesByTheTableAndIsDrawnAtOnce)
{
    const std::string title = ReceivingTitle(":RAM.0/LETTER.TXT");
    ShowProgress(owner, TransferDirection::Receiving, ":RAM.0/LETTER.TXT");
    ScreenArea client;
    ASSERT_TRUE(FindProgramWindow(title.c_str(), &client)) << "no window captioned " << title;
    // Centred on the 1024 by 768 screen (the caption, where the platform draws one, moves
    // the client area down by half its height).
    EXPECT_NEAR(client.x + client.width / 2, 512, 2);
    EXPECT_NEAR(client.y + client.height / 2, 384, 16);
    EXPECT_GT(client.width, 150);
    EXPECT_GT(client.height, 20);

    // No event loop runs from here to CloseProgress: whatever shows was drawn at once.
    Screenshot shot;
    Transfer(1, 63);
    ASSERT_TRUE(TakeScreenshot(&shot));
    unsigned background = shot.Pixel(client.x, client.y);
    int uniform = 1;
    for (int y = 0; y < client.height && uniform; y++)
        for (int x = 0; x < client.width && uniform; x++)
            uniform = shot.Pixel(client.x + x, client.y + y) == background;
    EXPECT_TRUE(uniform) << "something drawn before 64 bytes";
    EXPECT_NE(background, White);
    EXPECT_EQ(ReadBar(shot, client).barEnd, -1);

    // The bar covers its state + 10 percent: a new window's state (100) moves on to 10 at 64
    // bytes, and the tenth step after it brings it to 0 at 640.
    struct Step {
        int count, percent;
        const char* keepAs;
    };
    const Step steps[] = {{64, 20, nullptr},
                          {320, 60, "progress-window.png"},
                          {576, 100, nullptr},
                          {640, 10, nullptr}};
    int done = 63;
    for (const Step& step : steps) {
        Transfer(done + 1, step.count);
        done = step.count;
        ASSERT_TRUE(TakeScreenshot(&shot, step.keepAs));
        BarPicture picture = ReadBar(shot, client);
        SCOPED_TRACE(testing::Message() << step.count << " bytes");
        EXPECT_TRUE(picture.drawn);
        EXPECT_NEAR(picture.barEnd, ExpectedBarEnd(client.width, step.percent), 1);
        EXPECT_TRUE(picture.hatchOk);
        if (step.percent < 100) {
            EXPECT_EQ(shot.Pixel(client.x + picture.barEnd + 2, client.y + client.height / 2),
                      White);
        }
    }

    // Bytes between steps draw nothing: the picture stays that of 640.
    Transfer(641, 703);
    ASSERT_TRUE(TakeScreenshot(&shot));
    EXPECT_NEAR(ReadBar(shot, client).barEnd, ExpectedBarEnd(client.width, 10), 1);

    CloseProgress();
    EXPECT_FALSE(FindProgramWindow(title.c_str(), &client));
}

TEST_F(StatusWindows, EachTransferStartsAtTwentyPercent)
{
    const std::string first = ReceivingTitle("FIRST.TXT"), second = ReceivingTitle("SECOND.TXT");
    ShowProgress(owner, TransferDirection::Receiving, "FIRST.TXT");
    Transfer(1, 576);  // the whole track
    CloseProgress();
    ShowProgress(owner, TransferDirection::Receiving, "SECOND.TXT");
    Transfer(1, 64);  // 20 percent: the state starts again (at 100); 90 would give 10
    ScreenArea client;
    EXPECT_FALSE(FindProgramWindow(first.c_str(), &client));
    ASSERT_TRUE(FindProgramWindow(second.c_str(), &client));
    Screenshot shot;
    ASSERT_TRUE(TakeScreenshot(&shot));
    EXPECT_NEAR(ReadBar(shot, client).barEnd, ExpectedBarEnd(client.width, 20), 1);
    CloseProgress();
}

TEST_F(StatusWindows, ProgressWindowIgnoresCloseRequestsAndTakesItsTitleCopied)
{
    char path[128] = "/home/z88/notes.txt";
    ShowProgress(owner, TransferDirection::Sending, path);
    std::string shown = "Now sending file \"/home/z88/notes.txt\"";
    snprintf(path, sizeof path, "reused at once by the caller");
    ScreenArea client;
    ASSERT_TRUE(FindProgramWindow(shown.c_str(), &client));
    EXPECT_FALSE(HasCloseControl(shown.c_str())) << "the progress window offers a close box";
    // One reaching it anyway is ignored. (The event loop runs here only to deliver the
    // request; a transfer never lets it run.)
    ASSERT_TRUE(SendCloseRequest(shown.c_str()));
    RunEventLoop(300);
    EXPECT_TRUE(FindProgramWindow(shown.c_str(), &client));
    CloseProgress();
    EXPECT_FALSE(FindProgramWindow(shown.c_str(), &client));
}

TEST_F(StatusWindows, StepAndCloseWithoutAWindowDoNothing)
{
    // After a transfer's end, or before any: no window, no drawing.
    ASSERT_TRUE(RunEventLoopUntilPainted()) << "the screen keeps changing";
    const Screenshot before = WholeScreen();
    StepProgress(64);
    CloseProgress();
    StepProgress(128);
    CloseProgress();
    EXPECT_EQ(WholeScreen().rgb, before.rgb) << "drawn without a window";

    if (!BreakProgressWindowCreation())
        GTEST_SKIP() << "window creation cannot fail on this platform";
    // The transfer goes on as usual: steps and the close must not draw (GetDC of no window
    // is the whole screen's).
    ShowProgress(owner, TransferDirection::Receiving, "LOST.TXT");
    ScreenArea client;
    EXPECT_FALSE(FindProgramWindow("Now Receiving file \"LOST.TXT\"", &client));
    const Screenshot lost = WholeScreen();
    Transfer(1, 640);
    CloseProgress();
    EXPECT_EQ(WholeScreen().rgb, lost.rgb) << "steps drawn without a window";
    PrepareDesktop();
    ShowProgress(owner, TransferDirection::Receiving, "FOUND.TXT");
    EXPECT_TRUE(FindProgramWindow("Now Receiving file \"FOUND.TXT\"", &client));
    CloseProgress();
}

TEST_F(StatusWindows, TransferLogSortsWithoutRegardToCaseAndReopensAfterClose)
{
    const char* title = "File Transfer Information";
    ScreenArea log;
    ASSERT_FALSE(FindProgramWindow(title, &log));

    const ScreenArea ownerArea = ClientArea(owner);
    AddLogEntry(owner, "mango.txt - file changed.");
    ASSERT_TRUE(FindProgramWindow(title, &log));
    EXPECT_EQ(log.x, ownerArea.x);
    EXPECT_EQ(log.y, ownerArea.y);

    // Later lines leave the window where it is, wherever the owner went.
    MoveOwnerWindow(owner, 120, 90);
    // "@" is a formatting code to FLTK's lists: shown here as the text it is.
    for (const char* line : {"Zeta.txt - no change.", "banana.txt - no change.",
                             "Apple.txt - no change.", "apple.txt - file changed.",
                             "banana.txt - no change.", "@b@cmemo - no change."})
        AddLogEntry(owner, line);
    ScreenArea later;
    ASSERT_TRUE(FindProgramWindow(title, &later));
    EXPECT_EQ(later.x, log.x);
    EXPECT_EQ(later.y, log.y);
    EXPECT_EQ(LogLines(), (Lines{"@b@cmemo - no change.", "apple.txt - file changed.",
                                 "Apple.txt - no change.",
                                 "banana.txt - no change.", "banana.txt - no change.",
                                 "mango.txt - file changed.", "Zeta.txt - no change."}));
    // The list paints once the program is back in its loop.
    EXPECT_TRUE(RunEventLoopUntilPainted()) << "the screen keeps changing";
    Screenshot shot;
    ASSERT_TRUE(TakeScreenshot(&shot, "transfer-log-window.png"));

    // Esc and Enter leave the window open; the Down key after them proves the keys arrive.
    FocusWindow(title);
    ASSERT_EQ(RunHostTool({"xdotool", "key", "Escape", "Return", "Down", "Down"}), 0);
    RunEventLoopUntil([] { return SelectedLogLine() >= 0; });
    EXPECT_TRUE(FindProgramWindow(title, &log));
    EXPECT_GE(SelectedLogLine(), 0) << "the keys did not reach the log";

    EXPECT_TRUE(HasCloseControl(title));
    ASSERT_TRUE(CloseLikeUser(title));
    RunEventLoopUntil([&] { return !FindProgramWindow(title, &log); });
    EXPECT_FALSE(FindProgramWindow(title, &log));
    EXPECT_EQ(LogLines(), Lines{});

    AddLogEntry(owner, "notes.txt - no change.");
    ASSERT_TRUE(FindProgramWindow(title, &log));
    EXPECT_EQ(LogLines(), Lines{"notes.txt - no change."});
    const ScreenArea moved = ClientArea(owner);
    EXPECT_EQ(log.x, moved.x);
    EXPECT_EQ(log.y, moved.y);
    ASSERT_TRUE(CloseLikeUser(title));
    RunEventLoopUntil([&] { return !FindProgramWindow(title, &log); });
    MoveOwnerWindow(owner, 60, 60);
}
