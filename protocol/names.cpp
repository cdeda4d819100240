// File name mapping between the Z88 and the PC, and the shared part of the store-name
// check. Both mappings work in place in NameBuffer; nothing else is stored.
#include "protocol/names.h"
#include "base/text.h"

#include <string.h>

char NameBuffer[TextSize];

// Moves the tail of NameBuffer that starts at `text` to its front.
static void KeepFrom(const char* text)
{
    memmove(NameBuffer, text, strlen(text) + 1);
}

char* MapIncomingName(const char* name)
{
    int preserve = ReadSetting(SettingPreserve, NameBuffer) != 0;

    int length = BoundedLength(name, preserve ? LongestPreservedName : TextSize - 1);
    if (length < 0) {
        NameBuffer[0] = 0;
        return 0;
    }

    if (preserve) {
        // The Z88's device, folder and extension marks become bytes that may stand in a PC
        // file name, so the whole name fits one file; ".z88" marks it for the way back.
        char* out = NameBuffer;
        for (int i = 0; i < length; i++) {
            char c = name[i];
            if (c == '.')
                c = '_';
            else if (c == '/')
                c = '!';
            else if (c == ':')
                c = '@';
            *out++ = c;
        }
        memcpy(out, ".z88", 5);
        return NameBuffer;
    }

    memcpy(NameBuffer, name, length + 1);
    const char* slash = strrchr(NameBuffer, '/');
    if (slash)
        KeepFrom(slash + 1);
    return NameBuffer;
}

char* MapOutgoingName(const char* path)
{
    int length = BoundedLength(path, TextSize - 1);
    if (length < 0) {
        NameBuffer[0] = 0;
        return 0;
    }
    memmove(NameBuffer, path, length + 1);

    // Only the file name counts: the folders above it may hold anything, an '@' included.
    const char* last = 0;
    for (const char* p = NameBuffer; *p; p++) {
        if (PathSeparator(*p))
            last = p;
    }
    if (last)
        KeepFrom(last + 1);

    char* text = strchr(NameBuffer, '@');
    if (text) {
        // A name stored in the preserved form: "@DEV" and the "_<digit>" of a device such
        // as ":RAM.0" go, so do the folders; the first '_' is the dot the Z88 name had.
        int rest = (int)strlen(text);
        text += rest < 4 ? rest : 4;
        if (text[0] == '_' && text[1] >= '0' && text[1] <= '9')
            text += 2;
        char* bang = strrchr(text, '!');
        if (bang)
            text = bang + 1;
        char* dot = strchr(text, '.');
        if (dot)
            *dot = 0;
        char* underscore = strchr(text, '_');
        if (underscore)
            *underscore = '.';
        KeepFrom(text);
    }

    // The Z88 is given small letters; only ASCII capitals change, no code page applies.
    for (char* p = NameBuffer; *p; p++)
        *p = (char)AsciiLower((unsigned char)*p);
    return NameBuffer;
}

int StoreNameAllowed(const char* mappedName)
{
    if (mappedName == 0 || mappedName[0] == 0)
        return 0;
    if (strcmp(mappedName, ".") == 0 || strcmp(mappedName, "..") == 0)
        return 0;
    // "_" and "~" begin the names of the store's own copies: another file's previous copy,
    // or the file it is being received into. A received file under such a name would take
    // their place, and be taken by the next reception of that file.
    if (mappedName[0] == '_' || mappedName[0] == '~')
        return 0;
    return PlatformStoreNameAllowed(mappedName);
}

const char* StoreNameRefusal(const char* mappedName)
{
    if (mappedName == 0)
        return "the name is too long";
    if (StoreNameAllowed(mappedName))
        return 0;
    if (mappedName[0] == 0)
        return "the name is empty";
    if (mappedName[0] == '_' || mappedName[0] == '~')
        return "the name is reserved for the copies kept in the store folder";
    if (strcmp(mappedName, ".") == 0 || strcmp(mappedName, "..") == 0 || strpbrk(mappedName, "/\\:"))
        return "the name would leave the store folder";
    return "the name is reserved here, or holds a character this PC cannot take";
}
