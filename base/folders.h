// Folders and paths: the rules of a full path and its separators, making, checking, flushing
// and listing a folder. One implementation per platform (folders_posix.cpp,
// folders_win32.cpp), over folders.cpp. The system's words for a failure: files.h.
#ifndef TARNWELL_FOLDERS_H
#define TARNWELL_FOLDERS_H

#include <string>
#include <vector>

// Creates every missing folder named in `path` before its last separator ('/' on Linux, '\'
// or '/' on Windows), as needed for a file to be created at `path`; a new folder gets what
// the user's umask allows on Linux, and on Windows a protected DACL of the user, SYSTEM and
// Administrators, passed on to what is made inside. A folder that exists keeps its own
// permissions. True when that folder exists afterwards, and for a path without a separator
// or one right below the root.
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

// Non-zero when files can be made in the existing folder `folder`; else 0, with the
// system's words for why in `reason` (TextSize bytes).
int FolderWritable(const char* folder, char* reason);

// Has the system put the names of the folder that holds `path` on the disk, so that the
// renames made there outlast a crash or a power cut. True on success, and on a file system
// that offers no such flush (it keeps its names by its own means); false on a disk error.
int FlushFolderToDisk(const char* path);

// When `path` names a folder: FolderListed, with `files` set to the full paths of the plain
// files directly inside it, in the byte order of their names; sub-folders, hidden files (a
// name starting with '.', or marked hidden on Windows) and anything that is not a file are
// left out. FolderUnlisted for a folder that cannot be listed whole (no access, a failing
// disk), with the system's words for why in SystemErrorText. NotAFolder for anything else.
// `files` is set only for FolderListed.
enum FolderListing { NotAFolder, FolderListed, FolderUnlisted };
FolderListing ListFolderFiles(const char* path, std::vector<std::string>* files);

#endif
