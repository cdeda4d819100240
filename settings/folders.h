// Folders on the disk: the ones a new file needs are made here, for the settings file and for
// the store directory alike, so this sits in the lowest layer. One implementation per
// platform: folders_posix.cpp and folders_win32.cpp.
#ifndef TARNWELL_FOLDERS_H
#define TARNWELL_FOLDERS_H

// Creates every missing folder named in `path` before its last separator ('/' on Linux, '\'
// or '/' on Windows), as needed for a file to be created at `path`; a new folder gets what
// the user's umask allows on Linux. True when that folder exists afterwards, and for a path
// without a separator or one right below the root.
int MakeParentFolders(const char* path);

// Puts the platform's separator ('/' on Linux, '\' on Windows) at the end of the folder
// name `folder` (TextSize bytes) unless it ends with one already. 0 when it would not fit.
int EndWithSeparator(char* folder);

// The system's words for the error of the file or folder call that just failed ("Permission
// denied", "No space left on device"): errno on Linux; on Windows the last error, or errno
// after a call of the C library that sets nothing else.
const char* SystemErrorText(void);

// Non-zero when files can be made in the existing folder `folder`; else 0, with the
// system's words for why in `reason` (TextSize bytes).
int FolderWritable(const char* folder, char* reason);

#endif
