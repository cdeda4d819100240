// The send list: the files the user drops on the main window, or names on a command line,
// go to the Z88 one after another. Both programs send through it: the window program its
// drops and the files its command line queues, tarnwell-cli the files of `send`.
#ifndef TARNWELL_DROP_H
#define TARNWELL_DROP_H

#include "ui/window_handle.h"

#include <string>
#include <vector>

// The files of one drop, in the order they go: each path as dropped, a folder standing for
// the plain files directly inside it in name order (see ListFolderFiles), an empty folder for
// none. Paths are kept at their full length, so that SendFile can refuse a long one instead
// of sending whatever a cut path would name.
struct SendList {
    struct Entry {
        std::string path;
        bool inFolder;         // found in a dropped folder, not dropped itself
        std::string unlisted;  // a dropped folder that could not be listed: the system's words
    };
    std::vector<Entry> entries;
    size_t next = 0;  // the entry SendNextFile takes next
    int sent = 0;     // files that went whole
    bool ended = false;  // a failure ended the list before its end
};

// Makes the list of paths[0] to paths[count - 1], listing the folders among them now.
void MakeSendList(const char* const* paths, int count, SendList* list);

// Sends the next file of the list with SendFile, `owner` owning the progress window. A file
// found in a folder that SendFile refuses before its frame begins (a control byte in its
// name, a path too long, a file that cannot be read) is passed over, its failure line said,
// and the list goes on. Any other failure ends the list, with its failure line: a file
// whose frame failed on the line, a dropped path that is refused, a folder that could not
// be listed. Non-zero while entries are left to send.
int SendNextFile(WindowHandle owner, SendList* list);

// Sends the whole list of `paths` with SendNextFile. Returns how many files went whole.
int SendDroppedFiles(WindowHandle owner, const char* const* paths, int count);

// For a start that hands its files to a program already running: true when `path` is a
// folder that can be listed, or a file that opens for reading; else false, with the send
// session's reason in FailureReason (base/failure.h).
bool CanBeSent(const char* path);

// Files named on a command line (this program's, or another start's handed over): kept in
// order until the next poll tick sends them with SendQueuedFiles, as one drop.
void QueueFilesToSend(const char* const* paths, int count);

// Sends what QueueFilesToSend keeps, as one drop, and forgets it. Does nothing while a drop
// is being sent (a request that comes in during a transfer waits for the tick after it).
void SendQueuedFiles(WindowHandle owner);

#endif
