// Windows part of the file name mapping: '\' separates the folders of a dropped path, and
// the names that Windows would not open as a file inside the store directory.
#include "protocol/names.h"
#include "base/text.h"

#include <string.h>

int PathSeparator(char c)
{
    return c == '\\';
}

// Separators, the drive mark and the stream mark (":RAM.0" kept as it came would be a
// stream of the store folder itself).
static int PathMark(char c)
{
    return c == '\\' || c == '/' || c == ':';
}

// Non-zero when the `length` bytes of `text` spell `upper`, in any case.
static int SpellsIgnoringCase(const char* text, int length, const char* upper)
{
    if ((int)strlen(upper) != length)
        return 0;
    for (int i = 0; i < length; i++) {
        if (AsciiLower((unsigned char)text[i]) != AsciiLower((unsigned char)upper[i]))
            return 0;
    }
    return 1;
}

// Windows finds these devices under their names in every folder, in any case, whatever
// extension follows and with blanks before it: "NUL.z88", "com1.txt" and "CON .TXT" are
// devices, not files. COM and LPT take a digit (0 is reserved too), or one of the
// superscripts one to three, bytes 0xB9, 0xB2 and 0xB3 in code page 1252.
static int DeviceName(const char* name)
{
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    static const char numbered[] = "0123456789\xB9\xB2\xB3";

    const char* dot = strchr(name, '.');
    int length = dot ? (int)(dot - name) : (int)strlen(name);
    while (length > 0 && name[length - 1] == ' ')
        length--;

    for (const char* device : devices) {
        if (SpellsIgnoringCase(name, length, device))
            return 1;
    }
    if (length == 4 && (SpellsIgnoringCase(name, 3, "COM") || SpellsIgnoringCase(name, 3, "LPT")) &&
        strchr(numbered, name[3]))
        return 1;
    return 0;
}

int PlatformStoreNameAllowed(const char* name)
{
    for (const char* p = name; *p; p++) {
        if (PathMark(*p))
            return 0;
    }
    if (DeviceName(name))
        return 0;

    // Windows drops the dots and blanks that end a name: "..." or ". ." would be the store
    // folder itself, and "NOTES." the file "NOTES", so two received names would be one file.
    size_t length = strlen(name);
    return length > 0 && name[length - 1] != '.' && name[length - 1] != ' ';
}
