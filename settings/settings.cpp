// The settings store over the platform's profile primitive: the key table, read with
// write-back, and the integer reading of a value.
#include "settings/settings.h"

#include "settings/profile.h"
#include "base/text.h"

#include <ctype.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>

static const char SectionName[] = "Tarnwell";

// The overrides of this run, by key; an empty slot when Overridden is 0.
static char Overrides[SettingCount][TextSize];
static int Overridden[SettingCount];

const char* SettingKey(SettingId id)
{
    switch (id) {
    case SettingPort: return "Port";
    case SettingRate: return "Rate";
    case SettingXon: return "Xon";
    case SettingDirectory: return "Directory";
    case SettingPreserve: return "Preserve";
    default: return "";
    }
}

const char* SettingDefault(SettingId id)
{
    switch (id) {
    case SettingPort: return ProfileDefaultPort();
    case SettingRate: return "9600";
    case SettingXon: return "1";
    case SettingDirectory: return ProfileDefaultDirectory();
    case SettingPreserve: return "1";
    default: return "";
    }
}

int SettingInteger(const char* text)
{
    const unsigned char* p = (const unsigned char*)text;
    while (isspace(*p))
        p++;
    int negative = 0;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        p++;
    }
    // Accumulate as a negative number so INT_MIN fits; a longer run of digits saturates
    // instead of overflowing, as the C library's strtol does.
    long long value = 0;
    for (; isdigit(*p); p++) {
        if (value > -(long long)INT_MAX - 1)
            value = value * 10 - (*p - '0');
    }
    if (!negative) {
        value = -value;
        if (value > INT_MAX)
            value = INT_MAX;
    } else if (value < INT_MIN) {
        value = INT_MIN;
    }
    return (int)value;
}

void OverrideSetting(SettingId id, const char* value)
{
    if (id < 0 || id >= SettingCount)
        return;
    Overridden[id] = value != NULL;
    if (value)
        snprintf(Overrides[id], TextSize, "%s", value);
}

// The override for `key`, or NULL. Keys match without regard to case, as in the profile.
static const char* OverrideFor(const char* key)
{
    for (int id = 0; id < SettingCount; id++) {
        if (!Overridden[id])
            continue;
        if (SameIgnoringCase(SettingKey((SettingId)id), key))
            return Overrides[id];
    }
    return NULL;
}

// Copies the override of `key` into `buffer`; 0 when it has none.
static int CopyOverride(const char* key, char* buffer)
{
    const char* given = OverrideFor(key);
    if (given)
        memcpy(buffer, given, strlen(given) + 1);
    return given != NULL;
}

int GetSetting(const char* key, const char* defaultText, char* buffer)
{
    if (!CopyOverride(key, buffer)) {
        ProfileRead(SectionName, key, defaultText, buffer, TextSize);
        ProfileWrite(SectionName, key, buffer);
    }
    return SettingInteger(buffer);
}

int ReadSetting(SettingId id, char* buffer)
{
    return GetSetting(SettingKey(id), SettingDefault(id), buffer);
}

void PeekSetting(SettingId id, char* buffer)
{
    if (!CopyOverride(SettingKey(id), buffer))
        ProfileRead(SectionName, SettingKey(id), SettingDefault(id), buffer, TextSize);
}

int PutSetting(const char* key, const char* value)
{
    return ProfileWrite(SectionName, key, value);
}
