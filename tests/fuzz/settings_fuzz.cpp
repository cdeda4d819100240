// Fuzz target: the Linux settings file (profile_ini.cpp under the settings store) given any
// contents, then each key read (and so written back), then one key written and read again.
// Checked: a read or a write changes no line but the key's own line in our section, or adds
// it (with the section when that is missing); every other key keeps its value; the value
// read back is the value written, as the file form keeps it: cut at a line break, blanks
// and one pair of quotes around it taken off, at most 127 characters.
//
// Input: the first byte chooses the key written; the value follows up to the first zero
// byte; the rest is the settings file.
#include "settings/profile.h"
#include "settings/settings.h"
#include "tests/support/temp_folder.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

typedef std::vector<std::string> Lines;

static std::string Folder;
static std::string FilePath;

static void Fail(const char* what, const std::string& detail)
{
    fprintf(stderr, "settings_fuzz: %s: [%s]\n", what, detail.c_str());
    abort();
}

static Lines FileLines()
{
    std::ifstream file(FilePath, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    Lines lines;
    std::string line;
    while (std::getline(text, line))
        lines.push_back(line);
    return lines;
}

static std::string Trimmed(const std::string& text)
{
    const char* blanks = " \t\r\v\f";
    size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string::npos)
        return "";
    return text.substr(begin, text.find_last_not_of(blanks) + 1 - begin);
}

// "[name]" gives the name; anything else gives false.
static bool Header(const std::string& line, std::string* name)
{
    std::string text = Trimmed(line);
    size_t close = text.find(']');
    if (text.empty() || text[0] != '[' || close == std::string::npos)
        return false;
    *name = Trimmed(text.substr(1, close - 1));
    return true;
}

static bool LineOfKey(const std::string& line, const char* key)
{
    std::string text = Trimmed(line);
    size_t equals = text.find('=');
    return !text.empty() && text[0] != ';' && text[0] != '[' && equals != std::string::npos &&
           strcasecmp(Trimmed(text.substr(0, equals)).c_str(), key) == 0;
}

// The first section "Tarnwell": its header's index (-1 when there is none) and the index
// of the line after its last line.
static void OwnSection(const Lines& lines, int* header, int* end)
{
    *header = -1;
    *end = (int)lines.size();
    std::string name;
    for (int i = 0; i < (int)lines.size(); i++) {
        if (!Header(lines[i], &name))
            continue;
        if (*header >= 0) {
            *end = i;
            return;
        }
        if (strcasecmp(name.c_str(), "Tarnwell") == 0)
            *header = i;
    }
}

// Between `before` and `after` only `key` may have changed: its line in our section
// replaced, or a line of it added to our section, or the section added at the end.
static void CheckOnlyKeyChanged(const Lines& before, const Lines& after, const char* key)
{
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        prefix++;
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        suffix++;
    size_t removed = before.size() - prefix - suffix;
    size_t added = after.size() - prefix - suffix;
    if (removed == 0 && added == 0)
        return;

    int header, end;
    OwnSection(before, &header, &end);
    std::string name;
    if (header >= 0) {
        // Changed or added in place: only inside the section, only lines of the key.
        bool inside = (int)prefix > header && (int)prefix <= end;
        bool replaced = removed == 1 && added == 1 && LineOfKey(before[prefix], key);
        bool inserted = removed == 0 && added == 1;
        if (!inside || !(replaced || inserted) || !LineOfKey(after[prefix], key))
            Fail("a line other than the key's own changed", key);
        return;
    }
    // The section was missing: it comes at the end, after a blank line when needed.
    bool atEnd = removed == 0 && prefix == before.size() && added >= 2 && added <= 3;
    if (!atEnd || !LineOfKey(after.back(), key) || !Header(after[after.size() - 2], &name) ||
        name != "Tarnwell" || (added == 3 && !Trimmed(after[prefix]).empty()))
        Fail("the section was not added as it should be", key);
}

// What reading back a written value gives.
static std::string AsStored(std::string value)
{
    value = Trimmed(value.substr(0, value.find_first_of("\r\n")));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value.substr(0, TextSize - 1);
}

static std::string Read(SettingId id)
{
    char buffer[TextSize];
    ProfileRead("Tarnwell", SettingKey(id), "\x01no such key", buffer, TextSize);
    return buffer;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A fresh folder under $TMPDIR, gone when the fuzzer ends.
    Folder = NewTestFolder();
    Folder.pop_back();
    atexit([] { fs::remove_all(Folder); });
    setenv("XDG_CONFIG_HOME", Folder.c_str(), 1);
    fs::create_directories(Folder + "/tarnwell");
    FilePath = Folder + "/tarnwell/tarnwell.ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    if (size == 0)
        return 0;
    const SettingId written = (SettingId)(data[0] % SettingCount);
    const char* rest = (const char*)data + 1;
    size_t restSize = size - 1;
    const char* zero = (const char*)memchr(rest, 0, restSize);
    std::string value(rest, zero ? (size_t)(zero - rest) : restSize);
    std::string contents = zero ? std::string(zero + 1, rest + restSize) : std::string();
    std::ofstream(FilePath, std::ios::binary | std::ios::trunc) << contents;

    char buffer[TextSize];
    for (int id = 0; id < SettingCount; id++) {
        Lines before = FileLines();
        ReadSetting((SettingId)id, buffer);
        if (strlen(buffer) >= TextSize)
            Fail("a value longer than its buffer", buffer);
        CheckOnlyKeyChanged(before, FileLines(), SettingKey((SettingId)id));
        // Blanks kept inside quotes are lost at the write-back, as in WIN.INI.
        if (Read((SettingId)id) != AsStored(buffer))
            Fail("the value written back reads differently", buffer);
    }

    std::string others[SettingCount];
    for (int id = 0; id < SettingCount; id++)
        others[id] = Read((SettingId)id);
    Lines before = FileLines();
    PutSetting(SettingKey(written), value.c_str());
    CheckOnlyKeyChanged(before, FileLines(), SettingKey(written));
    ReadSetting(written, buffer);
    if (buffer != AsStored(value))
        Fail("the value read back is not the value written", value);
    for (int id = 0; id < SettingCount; id++) {
        if (id != written && Read((SettingId)id) != others[id])
            Fail("writing one key changed another", SettingKey((SettingId)id));
    }
    return 0;
}
