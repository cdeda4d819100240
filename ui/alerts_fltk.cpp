// Linux implementation of the alerts through FLTK: the Esc key from the X server's key map
// (the answer cache above it is alerts.cpp), the connect-failure box and the bell.
#include "ui/alerts.h"

#include "ui/escape_key.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/x.H>

#include <stdio.h>
#include <time.h>

// Opens FLTK's connection to the X server if it is not open yet. FLTK itself ends the
// program when there is no display; here the caller just goes without.
static int DisplayReady(void)
{
    static int unavailable = 0;
    if (fl_display)
        return 1;
    if (unavailable)
        return 0;
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        unavailable = 1;
        return 0;
    }
    fl_open_display(display);
    return 1;
}

int EscapeDownNow(void)
{
    // Fl::get_key reads the server's key map now, without the event loop running.
    return DisplayReady() && Fl::get_key(FL_Escape);
}

void ShowConnectFailure(const char* detail)
{
    // The first line stays as it is on Windows; the port and the reason follow it.
    const char* between = detail && *detail ? "\n" : "";
    if (!detail)
        detail = "";
    if (!DisplayReady()) {
        fprintf(stderr, "Tarnwell: %s%s%s\n", ConnectFailureText, between, detail);
        return;
    }
    fl_message_title("Tarnwell");
    fl_alert("%s%s%s", ConnectFailureText, between, detail);
}

void SignalSuccess(void)
{
    if (!DisplayReady())
        return;
    fl_beep(FL_BEEP_DEFAULT);
    // The event loop may not run for a while (the next file can follow at once): ring now.
    XFlush(fl_display);
}
