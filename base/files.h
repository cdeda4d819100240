// The file calls, one implementation per platform (files_posix.cpp, files_win32.cpp), giving
// the same answers on both: only a regular file counts as a file, a delete never removes a
// folder, a new file never opens something that was there, and a rename never replaces.
// Folders and paths are folders.h, which comes with this header.
#ifndef TARNWELL_FILES_H
#define TARNWELL_FILES_H

#include "base/folders.h"

#include <stdio.h>

// Deletes the file at `path`; a folder or anything else that is not a file stays. True
// when a file was deleted.
int DeleteFileOnly(const char* path);

// Renames `from` to `to`, failing when anything already stands at `to`. True on success.
// Works on every file system that can rename: where the system has no rename that refuses
// to replace, nor hard links, it looks first and renames when nothing stands there.
int RenameWithoutReplacing(const char* from, const char* to);

// On Windows the delete and the rename above try again for about two seconds while another
// program has the file open without sharing its deletion (a virus scanner or an indexer
// looking at a new file), and fail after that.

// The system's words for the error of the file or folder call that just failed ("Permission
// denied", "No space left on device"): errno on Linux; on Windows the last error, or errno
// after a call of the C library that sets nothing else.
const char* SystemErrorText(void);

// Non-zero when anything stands at `path`: a file, a folder, a device (on Windows also the
// device names that answer in every folder, such as "NUL"); else 0, and SystemErrorText
// says why.
int SomethingStandsAt(const char* path);

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
