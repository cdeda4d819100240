// Linux (FLTK) implementation of the transfer log: a captioned window holding one
// single-column list that keeps its lines sorted as a sorted Windows list box does.
#include "ui/transfer_log.h"

#include "ui/log_order.h"
#include "ui/windows_fltk.h"

#include <FL/Fl.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Window.H>

static Fl_Window* LogWindow;

// The window's callback runs for a close request from the window manager (its close
// box, Alt+F4, its menu) and for Esc. Only the close request ends the log.
static void CloseOnRequest(Fl_Widget* window, void*)
{
    if (Fl::event() != FL_CLOSE)
        return;
    window->hide();
    Fl::delete_widget(window);
    LogWindow = 0;
}

static void OpenLogWindow(WindowHandle owner)
{
    int x, y;
    OwnerClientOrigin(owner, &x, &y);
    Fl_Window* window = new Fl_Window(x, y, DialogWidth(186), DialogHeight(95),
                                      "File Transfer Information");
    Fl_Hold_Browser* list =
        new Fl_Hold_Browser(DialogWidth(7), DialogHeight(7), DialogWidth(172), DialogHeight(81));
    list->textfont(DialogFontFace);
    list->textsize(DialogFontSize());
    // The lines are file names and remarks, shown as they are: no '@' formatting codes,
    // one column, and scroll bars only while they overflow: sideways for a failure's reason
    // after a long name.
    list->format_char(0);
    list->has_scrollbar(Fl_Browser_::BOTH);
    window->end();
    window->callback(CloseOnRequest);
    ShowOwnedWindow(window, owner, 1);
    LogWindow = window;
}

void AddLogEntry(WindowHandle owner, const char* line)
{
    if (!LogWindow)
        OpenLogWindow(owner);
    Fl_Browser* list = (Fl_Browser*)LogWindow->child(0);
    // After every line that sorts before it or together with it: equal lines stay in the
    // order they came. The list is painted when the event loop runs again.
    int place = 1;
    while (place <= list->size() && CompareLogLines(list->text(place), line) <= 0)
        place++;
    list->insert(place, line);
}

void AddFailureEntry(WindowHandle owner, const char* line)
{
    AddLogEntry(owner, line);
}
