// The file-system calls of the transfer sessions, one implementation per platform. Each
// gives the same answers on both: only a regular file counts as a file, a delete never
// removes a folder, and a rename never replaces a file that stands at the new name.
#ifndef TARNWELL_FILES_H
#define TARNWELL_FILES_H

#include <stdio.h>

// Opens `path` for reading as a byte stream ("rb") when it names a regular file; NULL for
// a folder, a device, or anything that does not open.
FILE* OpenFileForReading(const char* path);

// Deletes the file at `path`; a folder or anything else that is not a file stays. True
// when a file was deleted.
int DeleteFileOnly(const char* path);

// Creates a new empty file at `path` and opens it for writing as a byte stream ("wb").
// NULL when anything already stands at `path` (a file, a folder, a link, a device, a pipe):
// a new file is never written into or through something that was there before.
FILE* CreateNewFile(const char* path);

// Writes what `stream` still holds, has the system put the file's bytes on the disk (so that
// they outlast a crash or a power cut), and closes the stream. Closes it in every case; true
// only when every step succeeded.
int FlushToDiskAndClose(FILE* stream);

// Renames `from` to `to`, failing when anything already stands at `to`. True on success.
int RenameWithoutReplacing(const char* from, const char* to);

// Creates every missing folder named in `path` before its last separator, as needed for a
// file to be created at `path`. True when that folder exists afterwards.
int MakeParentFolders(const char* path);

#endif
