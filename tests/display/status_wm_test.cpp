// The Linux status windows under a real window manager (openbox, started in the test's
// own display): what the window manager makes of them, and screenshots with captions.
#include "ui/progress.h"
#include "ui/transfer_log.h"
#include "tests/support/desktop.h"
#include "tests/support/host_tool.h"
#include "tests/support/program.h"
#include "tests/support/screen.h"

// googletest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include "tests/support/x_property.h"

#include <algorithm>
#include <string>
#include <vector>

static bool Holds(const std::vector<long>& items, const char* atomName)
{
    return std::find(items.begin(), items.end(), (long)XInternAtom(fl_display, atomName, False)) != items.end();
}

// The client window with this WM_NAME, wherever the window manager framed it.
static Window ClientWindow(const char* title)
{
    XSync(fl_display, False);
    std::vector<Window> found =
        WindowsWhere(RootWindow(fl_display, fl_screen), [&](Window window) { return WindowTitle(window) == title; });
    return found.empty() ? 0 : found.front();
}

// Waits, running the event loop, until the window manager has framed the window and said
// what may be done with it. (A window mapped while openbox was still starting would never
// be: StartWindowManager returns only once openbox takes windows in.)
static std::vector<long> FrameExtents(Window window)
{
    std::vector<long> extents;
    RunEventLoopUntil(
        [&] {
            extents = WindowProperty(window, "_NET_FRAME_EXTENTS");
            return extents.size() == 4 && !WindowProperty(window, "_NET_WM_ALLOWED_ACTIONS").empty();
        },
        30000);
    return extents;
}

// Framed with a caption, owned by `owner`, movable but not resizable. (openbox keeps its
// close button whatever a window asks, so the missing close control is checked where it is
// asked for, in status_window_test.)
static void ExpectCaptionedOwnedMovable(Window window, Window owner)
{
    std::vector<long> extents = FrameExtents(window);
    ASSERT_EQ(extents.size(), 4u);
    EXPECT_GT(extents[2], 10) << "no caption above the window";
    Window ownerOf = 0;
    EXPECT_TRUE(XGetTransientForHint(fl_display, window, &ownerOf));
    EXPECT_EQ(ownerOf, owner);
    std::vector<long> actions = WindowProperty(window, "_NET_WM_ALLOWED_ACTIONS");
    EXPECT_TRUE(Holds(actions, "_NET_WM_ACTION_MOVE"));
    EXPECT_FALSE(Holds(actions, "_NET_WM_ACTION_RESIZE"));
}

class StatusWindowsUnderWindowManager : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        PrepareDesktop();
        started = StartWindowManager();
        owner = OpenOwnerWindow(60, 80, 420, 300);
    }
    static void TearDownTestSuite()
    {
        CloseOwnerWindow(owner);
        StopWindowManager();
    }
    static int started;
    static WindowHandle owner;
};
int StatusWindowsUnderWindowManager::started;
WindowHandle StatusWindowsUnderWindowManager::owner;

TEST_F(StatusWindowsUnderWindowManager, ProgressWindowIsCaptionedOwnedAndFixedInSize)
{
    ASSERT_EQ(started, 1) << "openbox did not start";
    ASSERT_EQ(FrameExtents(fl_xid(owner)).size(), 4u) << "owner not framed";
    const char* title = "Now Receiving file \":RAM.0/LETTER.TXT\"";
    ShowProgress(owner, TransferDirection::Receiving, ":RAM.0/LETTER.TXT");
    Window progress = ClientWindow(title);
    ASSERT_NE(progress, 0u);
    for (int count = 1; count <= 320; count++)
        StepProgress(count);

    // The event loop runs here only so that the window manager's frame can be seen.
    ASSERT_NO_FATAL_FAILURE(ExpectCaptionedOwnedMovable(progress, fl_xid(owner)));

    // The frame came after the drawing, so the window is drawn again, step by step, until
    // the screen shows it in its frame: its middle white, not yet painted or framed black.
    Screenshot shot;
    ScreenArea client;
    int count = 320;
    auto drawn = [&] {
        StepProgress(++count);
        return FindProgramWindow(title, &client) && TakeScreenshot(&shot) &&
               shot.Pixel(client.x + client.width / 2, client.y + client.height / 2) == 0xFFFFFFu;
    };
    EXPECT_TRUE(RunEventLoopUntil(drawn, 30000)) << "the middle of the progress window is not white";
    ASSERT_TRUE(TakeScreenshot(&shot, "progress-window-openbox.png"));
    CloseProgress();
    EXPECT_EQ(ClientWindow(title), 0u);
}

TEST_F(StatusWindowsUnderWindowManager, TransferLogClosesWithAltF4)
{
    const char* title = "File Transfer Information";
    AddLogEntry(owner, "LETTER.TXT - file changed.");
    AddLogEntry(owner, "budget.dat - no change.");
    Window log = ClientWindow(title);
    ASSERT_NE(log, 0u);
    ASSERT_NO_FATAL_FAILURE(ExpectCaptionedOwnedMovable(log, fl_xid(owner)));
    ASSERT_EQ(LogLines().size(), 2u);
    // Kept once painted: the list's white shows in its middle.
    Screenshot shot;
    ScreenArea client;
    auto painted = [&] {
        return FindProgramWindow(title, &client) && TakeScreenshot(&shot) &&
               shot.Pixel(client.x + client.width / 2, client.y + client.height / 2) == 0xFFFFFFu;
    };
    EXPECT_TRUE(RunEventLoopUntil(painted, 30000)) << "the log's list was never painted";
    ASSERT_TRUE(TakeScreenshot(&shot, "transfer-log-openbox.png"));

    // A user's Alt+F4 goes to the window manager, which asks the window it holds active to
    // close: the keys go once openbox says the log is that window, as it does after the
    // activation has been through the event loop.
    ASSERT_EQ(RunHostTool({"xdotool", "windowactivate", std::to_string(log)}), 0);
    auto active = [&] {
        std::vector<long> now = WindowProperty(RootWindow(fl_display, fl_screen), "_NET_ACTIVE_WINDOW");
        return now.size() == 1 && (Window)now[0] == log;
    };
    ASSERT_TRUE(RunEventLoopUntil(active, 30000)) << "openbox never made the log active";
    ASSERT_EQ(RunHostTool({"xdotool", "key", "alt+F4"}), 0);
    RunEventLoopUntil([&] { return ClientWindow(title) == 0; }, 30000);
    EXPECT_EQ(ClientWindow(title), 0u);
    EXPECT_TRUE(LogLines().empty());
}
