// The drop loop: the files the user drops on the main window go to the Z88 one after
// another. Both front ends call it from their drop handlers with the dropped paths in the
// order the drop lists them.
#ifndef TARNWELL_DROP_H
#define TARNWELL_DROP_H

#include "ui/window_handle.h"

// Sends paths[0] to paths[count - 1] in order with SendFile, `owner` owning the progress
// windows, and stops at the first that fails: the later ones are not tried, and nothing
// says so beyond the missing beep. Paths are taken at their full length, so that SendFile
// can refuse a long one instead of sending whatever a cut path would name.
// Returns how many files went whole, from the first on.
int SendDroppedFiles(WindowHandle owner, const char* const* paths, int count);

#endif
