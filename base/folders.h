// Files and folders on the disk that the settings file and the store directory both need.
// One implementation per platform (folders_posix.cpp, folders_win32.cpp), over folders.cpp.
#ifndef TARNWELL_FOLDERS_H
#define TARNWELL_FOLDERS_H

#include <stdio.h>

// Creates every missing folder named in `path` before its last separator ('/' on Linux, '\'
// or '/' on Windows), as needed for a file to be created at `path`; a new folder gets what
// the user's umask allows on Linux. True when that folder exists afterwards, and for a path
// without a separator or one right below the root.
int MakeParentFolders(const char* path);

// The characters that separate folders in a path: "/" on Linux, "\\/" on Windows. The first
// is the platform's own, which the program writes.
extern const char FolderSeparators[];

// Puts the platform's separator at the end of the folder name `folder` (TextSize bytes)
// unless it ends with one already. 0 when it would not fit.
int EndWithSeparator(char* folder);

// Non-zero when `path` is a full path, naming the same place whatever the current folder:
// on Linux one that begins with '/'; on Windows one that begins with a drive and a separator
// ("C:\LINK") or with two separators ("\\server\share"). "\LINK" (on the current drive)
// and "C:LINK" (in the current folder of drive C) are not.
int IsFullPath(const char* path);

// Makes `path` (TextSize bytes) full against the current folder, when it is not already. 0
// when the result would not fit or the current folder cannot be told; `path` then unchanged.
int MakePathFull(char* path);

// The system's words for the error of the file or folder call that just failed ("Permission
// denied", "No space left on device"): errno on Linux; on Windows the last error, or errno
// after a call of the C library that sets nothing else.
const char* SystemErrorText(void);

// Non-zero when files can be made in the existing folder `folder`; else 0, with the
// system's words for why in `reason` (TextSize bytes).
int FolderWritable(const char* folder, char* reason);

// Opens `path` for reading as a byte stream ("rb") when it names a regular file; NULL for
// a folder, a device, or anything that does not open. On Linux errno then says why nothing
// opened, and stays as it was for what opened but is no file.
FILE* OpenFileForReading(const char* path);

// Creates a new empty file at `path` and opens it for writing as a byte stream ("wb"), with
// the Linux mode bits `permissions` less the umask (Windows has none). NULL when anything
// already stands at `path` (a file, a folder, a link, a device, a pipe): a new file is never
// written into or through something that was there before.
FILE* CreateNewFile(const char* path, int permissions);

// Writes what `stream` still holds, has the system put the file's bytes on the disk (so that
// they outlast a crash or a power cut), and closes the stream. Closes it in every case; true
// only when every step succeeded.
int FlushToDiskAndClose(FILE* stream);

#endif
