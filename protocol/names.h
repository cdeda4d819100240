// File names between the Z88 and the PC: the two mappings that share NameBuffer, and the
// check that keeps every received name inside the store directory.
#ifndef TARNWELL_NAMES_H
#define TARNWELL_NAMES_H

#include "settings/settings.h"

// The one buffer both mappings write their result into and return, TextSize bytes like every
// text of the program: at most 127 characters. A result is valid until the next mapping, so
// callers use or copy it before they map again. MapIncomingName also reads "Preserve" into it.
extern char NameBuffer[TextSize];

// The longest received name the preserved form can hold: it adds ".z88" to the name.
enum { LongestPreservedName = TextSize - 1 - 4 };

// Turns a name received from the Z88 into the PC file name it is stored under, without a
// directory. Reads "Preserve" (written back, as every settings read is) at every call, so a
// change applies from the next received file on:
// - on (non-zero): the whole Z88 name in one file name, '.' -> '_', '/' -> '!', ':' -> '@',
//   every other byte as it came, then ".z88";
// - off (0): only the text after the last '/', unchanged.
// Returns NameBuffer, or 0 when the name cannot be mapped: more than LongestPreservedName
// characters in the preserved form, more than 127 in the other. Such a name is refused
// rather than cut, because a cut name may equal another file's name and overwrite it.
// `name` must not point into NameBuffer.
char* MapIncomingName(const char* name);

// Turns the full path of a PC file into the name sent to the Z88, in small letters (ASCII
// capitals only; bytes from 128 on never change). Only the file name, the text after the
// last separator (see PathSeparator), is looked at:
// - a file name holding '@' is taken for a name stored in the preserved form: from its first
//   '@', the '@' and three characters go (all of it when fewer are left), then '_' and a
//   digit right behind them, then everything up to the last '!'; the text is cut at its
//   first '.' and its first '_' becomes the '.' of the extension;
// - any other file name is sent as it is.
// Returns NameBuffer, or 0 for a path of more than 127 characters.
char* MapOutgoingName(const char* path);

// The check that every mapped name passes before the receive session touches the disk:
// non-zero when `mappedName`, put straight behind the store directory, names a file inside
// that directory and none of the store's own copies. Refuses a null pointer (an unmappable
// name), the empty name, "." and "..", a name beginning with "_" or "~" (the previous copy
// and the incoming file of another name), and what the platform refuses
// (PlatformStoreNameAllowed). For a name it accepts, the platform accepts it with "_" or
// "~" in front as well, so the previous-copy and incoming names are sound too.
int StoreNameAllowed(const char* mappedName);

// Why StoreNameAllowed refuses `mappedName`, in words ("the name is too long" for a null
// pointer); null when it does not.
const char* StoreNameRefusal(const char* mappedName);

// Platform part, one file per platform (names_win32.cpp, names_posix.cpp).

// Non-zero when `c` separates the folders of a path handed to MapOutgoingName: '\' on
// Windows, where '/' is kept as part of a name, and '/' on Linux.
int PathSeparator(char c);

// Non-zero unless `name` (not empty, not "." or "..") would, behind the store directory,
// reach something other than the file of just that name inside it on this platform: a path
// separator, a drive or stream marker, and on Windows a device name or a name ending in a
// dot or a blank, which Windows drops.
int PlatformStoreNameAllowed(const char* name);

#endif
