// The progress window that stands on the screen while one file is received or sent: its
// caption names the transfer, and a hatched bar moves on by a tenth of its track for
// every 64 bytes. One implementation per platform: progress_win32.cpp, progress_fltk.cpp.
#ifndef TARNWELL_PROGRESS_H
#define TARNWELL_PROGRESS_H

#include "ui/window_handle.h"

#include <stdio.h>

// Which way a file moves: from the Z88 to the PC, or from the PC to the Z88.
enum class TransferDirection { Receiving, Sending };

// Opens the progress window for the transfer of `name` (the Z88's name of a file received,
// the path of a file sent), owned by owner (the main window), centred on the screen and
// captioned with ProgressTitle. A window still open from an earlier call is closed first.
void ShowProgress(WindowHandle owner, TransferDirection direction, const char* name);

// The caption of the progress window, which each front end shows, into `title` (`size`
// bytes; ProgressTitleSize for the caption itself), cut to fit: 'Now Receiving file "NAME"'
// or 'Now sending file "PATH"'.
enum { ProgressTitleSize = 128 };
inline void ProgressTitle(char* title, int size, TransferDirection direction, const char* name)
{
    snprintf(title, size, direction == TransferDirection::Receiving ? "Now Receiving file \"%s\""
                                                                     : "Now sending file \"%s\"", name);
}

// Called with the number of bytes handled so far, after every byte: draws the next bar,
// at once and straight into the window, when count is a whole multiple of 64.
// Does nothing while no progress window exists (none opened, or it could not be made).
void StepProgress(int count);

// Destroys the progress window; does nothing when there is none.
void CloseProgress(void);

#endif
