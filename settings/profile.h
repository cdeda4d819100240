// The profile primitive under the settings store: one section of an INI-form file, read and
// written the way the Windows profile functions do it. One implementation per platform:
// profile_win32.cpp (WIN.INI itself, and a file of the user's own for what WIN.INI cannot
// take) and profile_ini.cpp (a file of our own on Linux).
#ifndef TARNWELL_PROFILE_H
#define TARNWELL_PROFILE_H

#include <string>

// Copies the value of `key` in `section` into `buffer` of `size` bytes, cut to size - 1
// characters; copies `defaultText` (cut likewise) when the key is absent. A key that is
// present with an empty value gives the empty text.
void ProfileRead(const char* section, const char* key, const char* defaultText, char* buffer, int size);

// Sets `key` in `section` to `value`, creating both when missing. Non-zero when the profile
// holds the value afterwards; 0 when it could not be written.
int ProfileWrite(const char* section, const char* key, const char* value);

// The defaults that name places on this platform: the serial device and the store directory.
const char* ProfileDefaultPort();
const char* ProfileDefaultDirectory();

// Where the profile lives, for the user to read: the file (on Windows the section, and the
// files in the order they are read).
std::string ProfileLocation();

#endif
