// The file-system calls of the transfer sessions, one implementation per platform, giving the
// same answers on both: only a regular file counts as a file, a delete never removes a
// folder, and a rename replaces a file only where its name says so. Opening a file, a new
// file and its flush to the disk, which the settings file needs as well, are base/folders.h.
#ifndef TARNWELL_FILES_H
#define TARNWELL_FILES_H

#include "base/folders.h"

#include <stdio.h>

#include <string>
#include <vector>

// Deletes the file at `path`; a folder or anything else that is not a file stays. True
// when a file was deleted.
int DeleteFileOnly(const char* path);

// Renames `from` to `to`, failing when anything already stands at `to`. True on success.
// Works on every file system that can rename: where the system has no rename that refuses
// to replace, nor hard links, it looks first and renames when nothing stands there.
int RenameWithoutReplacing(const char* from, const char* to);

// Renames `from` to `to` in one step, replacing the file that stands at `to`: when it fails,
// both names hold what they held. Anything at `to` that is not a file (a folder, a link, a
// device) stays, and the rename fails. True on success.
int RenameReplacingFile(const char* from, const char* to);

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
