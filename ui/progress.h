// The progress window that stands on the screen while one file is received or sent: its
// caption names the transfer, and a hatched bar moves on by a tenth of its track for
// every 64 bytes. One implementation per platform: progress_win32.cpp, progress_fltk.cpp.
#ifndef TARNWELL_PROGRESS_H
#define TARNWELL_PROGRESS_H

#include "ui/window_handle.h"

// Opens the progress window, owned by owner (the main window), centred on the screen and
// captioned with a copy of title. A window still open from an earlier call is closed first.
void ShowProgress(WindowHandle owner, const char* title);

// Called with the number of bytes handled so far, after every byte: draws the next bar,
// at once and straight into the window, when count is a whole multiple of 64.
// Does nothing while no progress window exists (none opened, or it could not be made).
void StepProgress(int count);

// Destroys the progress window; does nothing when there is none.
void CloseProgress(void);

#endif
