// The drop loop: the files the user drops on the main window go to the Z88 one after
// another. Both front ends call it from their drop handlers with the dropped paths in the
// order the drop lists them.
#ifndef TARNWELL_DROP_H
#define TARNWELL_DROP_H

#include "ui/window_handle.h"

// Sends paths[0] to paths[count - 1] in order with SendFile, `owner` owning the progress
// windows; a folder among them sends the plain files directly inside it, in name order
// (see ListFolderFiles), and an empty folder sends nothing. Stops at the first file that
// fails: the later ones are not tried, and nothing says so beyond the missing beep. Paths are taken at their full length, so that SendFile
// can refuse a long one instead of sending whatever a cut path would name.
// Returns how many files went whole, from the first on, a folder's files counted one by one.
int SendDroppedFiles(WindowHandle owner, const char* const* paths, int count);

// For a start that hands its files to a program already running: true when `path` is a
// folder, or a file that opens for reading; else false, with the send session's reason in
// FailureReason (link/failure.h).
bool CanBeSent(const char* path);

// Files named on a command line (this program's, or another start's handed over): kept in
// order until the next poll tick sends them with SendQueuedFiles, as one drop.
void QueueFilesToSend(const char* const* paths, int count);

// Sends what QueueFilesToSend keeps, as one drop, and forgets it. Does nothing while a drop
// is being sent (a request that comes in during a transfer waits for the tick after it).
void SendQueuedFiles(WindowHandle owner);

#endif
