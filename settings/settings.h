// The settings store: five text values in the section "Tarnwell" of the user's profile
// (WIN.INI on Windows, with a file of the user's own where WIN.INI cannot be written; an INI
// file of the same form on Linux).
//
// There is no copy in memory. Every read asks the profile afresh and writes the value it
// got straight back, so after first use each key stands in the profile with the value
// that was used, a default spelled out included.
#ifndef TARNWELL_SETTINGS_H
#define TARNWELL_SETTINGS_H

#include "base/text.h"  // TextSize

// The one table of keys. Each key has exactly one default, and every reader passes it.
enum SettingId { SettingPort, SettingRate, SettingXon, SettingDirectory, SettingPreserve, SettingCount };

const char* SettingKey(SettingId id);
const char* SettingDefault(SettingId id);

// Reads `key` into `buffer` (TextSize bytes), or `defaultText` when the key is absent,
// writes that text back under the key, and returns its integer value: leading blanks
// skipped, an optional sign, decimal digits up to the first other character; 0 when
// there are no leading digits.
int GetSetting(const char* key, const char* defaultText, char* buffer);

// GetSetting with the key and default of the table.
int ReadSetting(SettingId id, char* buffer);

// The text ReadSetting would give, read without writing anything back: for a look that
// must leave the profile as it is.
void PeekSetting(SettingId id, char* buffer);

// Writes one value. Non-zero when the profile holds it afterwards.
int PutSetting(const char* key, const char* value);

// Overrides for this run only (the terminal program's command line). While a key holds an
// override, GetSetting gives that text (cut to 127 characters) for it and writes nothing
// back, so the profile never learns of it; every other key is read and written back as
// always. A null `value` takes the override away. PutSetting is not affected.
void OverrideSetting(SettingId id, const char* value);

// The integer reading of a value text described at GetSetting.
int SettingInteger(const char* text);

#endif
