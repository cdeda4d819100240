// Linux implementation of the profile primitive: an INI file of our own that behaves like
// WIN.INI under the Windows profile functions. Section and key names match without regard
// to case; a value is trimmed of blanks and of one pair of matching quotes; a new key goes
// at the end of its section; every other line stays exactly as it was. Each write replaces
// the whole file atomically, so a crash or a full disk never leaves a torn settings file.
#include "settings/profile.h"

#include "base/files.h"
#include "settings/settings.h"
#include "base/text.h"

#include <errno.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// The file's text split into lines, each without its line feed. A carriage return of a
// file written on Windows stays part of its line, so untouched lines go back verbatim.
struct IniText {
    std::vector<std::string> lines;
    bool crlf = false;  // new lines follow the file's own line ends
};

enum ReadResult { ReadAbsent, ReadDone, ReadFailed };

std::string HomeDirectory()
{
    const char* home = getenv("HOME");
    if (home && *home)
        return home;
    struct passwd* entry = getpwuid(getuid());
    if (entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string SettingsFolder()
{
    // XDG asks for an absolute path; a relative one is ignored like an unset one.
    const char* config = getenv("XDG_CONFIG_HOME");
    std::string base = (config && config[0] == '/') ? config : HomeDirectory() + "/.config";
    return base + "/tarnwell";
}

std::string SettingsFile()
{
    return SettingsFolder() + "/tarnwell.ini";
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string Trim(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        begin++;
    while (end > begin && IsBlank(text[end - 1]))
        end--;
    return text.substr(begin, end - begin);
}

// Reads the whole file. Anything but a regular file that opens and reads counts as a
// failure (a FIFO in the file's place never hangs the program); a missing file (or folder)
// counts as absent.
ReadResult ReadIni(const std::string& path, IniText* ini)
{
    errno = 0;  // what stands there and opens, but is no file, leaves errno as it is
    FILE* file = OpenFileForReading(path.c_str());
    if (!file)
        return (errno == ENOENT || errno == ENOTDIR) ? ReadAbsent : ReadFailed;
    std::string text;
    char chunk[4096];
    for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0;)
        text.append(chunk, got);
    bool failed = ferror(file) != 0;
    fclose(file);
    if (failed)
        return ReadFailed;

    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ini->lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    ini->crlf = !ini->lines.empty() && !ini->lines[0].empty() && ini->lines[0].back() == '\r';
    return ReadDone;
}

// A section header "[name]" gives its trimmed name; any other line gives false.
bool SectionHeader(const std::string& line, std::string* name)
{
    std::string text = Trim(line);
    if (text.empty() || text[0] != '[')
        return false;
    size_t close = text.find(']');
    if (close == std::string::npos)
        return false;
    *name = Trim(text.substr(1, close - 1));
    return true;
}

// A "key=value" line gives its trimmed key and value. Comments and lines without '='
// hold no value, as with the Windows functions.
bool KeyLine(const std::string& line, std::string* key, std::string* value)
{
    std::string text = Trim(line);
    if (text.empty() || text[0] == ';' || text[0] == '[')
        return false;
    size_t equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    *key = Trim(text.substr(0, equals));
    *value = Trim(text.substr(equals + 1));
    return true;
}

// Finds the section's header line and the first line of `key` in it (-1 when missing),
// and the last non-blank line of the section, behind which a new key goes.
void Locate(const IniText& ini, const char* section, const char* key, int* header, int* keyLine, int* last)
{
    *header = *keyLine = *last = -1;
    std::string name, k, v;
    for (int i = 0; i < (int)ini.lines.size(); i++) {
        if (SectionHeader(ini.lines[i], &name)) {
            if (*header >= 0)
                return;  // the next section begins: only the first match counts
            if (SameIgnoringCase(name.c_str(), section))
                *header = *last = i;
            continue;
        }
        if (*header < 0)
            continue;
        if (!Trim(ini.lines[i]).empty())
            *last = i;
        if (*keyLine < 0 && KeyLine(ini.lines[i], &k, &v) && SameIgnoringCase(k.c_str(), key))
            *keyLine = i;
    }
}

// Replaces the file by `text`: a new file beside it is written, flushed to the disk and
// renamed over it, so readers see either the old file or the new one, never a part.
bool ReplaceFile(const std::string& path, const std::string& text)
{
    // A settings file that is a symbolic link (a dotfile manager's, say) stays one: the new
    // text replaces the file it points to.
    std::string target = path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved) {
        target = resolved;
        free(resolved);
    }
    if (!MakeParentFolders(target.c_str()))
        return false;

    struct stat old;
    int mode = stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    std::string temporary = target + ".new-" + std::to_string((long)getpid());
    unlink(temporary.c_str());  // a leftover of a crashed run with the same process number
    FILE* file = CreateNewFile(temporary.c_str(), mode);
    if (!file)
        return false;
    bool ok = fwrite(text.data(), 1, text.size(), file) == text.size();
    // A plain rename: where the link points nowhere, the new file takes the link's place.
    if (!FlushToDiskAndClose(file) || !ok || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::string JoinLines(const IniText& ini)
{
    std::string text;
    for (const std::string& line : ini.lines) {
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace

void ProfileRead(const char* section, const char* key, const char* defaultText, char* buffer, int size)
{
    IniText ini;
    int header, keyLine, last;
    if (ReadIni(SettingsFile(), &ini) == ReadDone) {
        Locate(ini, section, key, &header, &keyLine, &last);
        std::string k, value;
        if (keyLine >= 0 && KeyLine(ini.lines[keyLine], &k, &value)) {
            // A carriage return inside the line (an old Mac line end) ends the value, as the
            // write-back cuts it there, and so does a zero byte, where the text ends: the
            // value written back must read as the value that is used.
            value = Trim(value.substr(0, value.find_first_of(std::string("\r\0", 2))));
            // One pair of matching quotes around the whole value is taken off.
            if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
                value = value.substr(1, value.size() - 2);
            CopyCut(buffer, size, value.data(), value.size());
            return;
        }
    }
    const char* fallback = defaultText ? defaultText : "";
    CopyCut(buffer, size, fallback, strlen(fallback));
}

int ProfileWrite(const char* section, const char* key, const char* value)
{
    std::string path = SettingsFile();
    IniText ini;
    ReadResult found = ReadIni(path, &ini);
    // A file that exists but cannot be read is left alone: writing it would lose the rest.
    if (found == ReadFailed)
        return 0;

    // A value is one line of the file; a line break would start a new line of its own.
    std::string text(value ? value : "");
    text = text.substr(0, text.find_first_of("\r\n"));
    const std::string end = ini.crlf ? "\r" : "";

    int header, keyLine, last;
    Locate(ini, section, key, &header, &keyLine, &last);
    std::string before = found == ReadDone ? JoinLines(ini) : std::string();
    if (keyLine >= 0) {
        // Keep the key's own spelling and the line's own line end.
        std::string spelling, old;
        KeyLine(ini.lines[keyLine], &spelling, &old);
        bool ownCr = !ini.lines[keyLine].empty() && ini.lines[keyLine].back() == '\r';
        ini.lines[keyLine] = spelling + "=" + text + (ownCr ? "\r" : "");
    } else if (header >= 0) {
        ini.lines.insert(ini.lines.begin() + last + 1, std::string(key) + "=" + text + end);
    } else {
        if (!ini.lines.empty() && !Trim(ini.lines.back()).empty())
            ini.lines.push_back(end);
        ini.lines.push_back("[" + std::string(section) + "]" + end);
        ini.lines.push_back(std::string(key) + "=" + text + end);
    }
    std::string after = JoinLines(ini);
    // Writing back the value just read changes nothing: spare the disk.
    if (found == ReadDone && after == before)
        return 1;
    return ReplaceFile(path, after);
}

const char* ProfileDefaultPort()
{
    return "/dev/ttyS0";
}

const char* ProfileDefaultDirectory()
{
    // The home directory with "/LINK/" behind it, worked out once: the default must end
    // with the separator, since received names are joined straight to it.
    static char directory[TextSize];
    if (!directory[0])
        snprintf(directory, sizeof directory, "%s/LINK/", HomeDirectory().c_str());
    return directory;
}

std::string ProfileLocation()
{
    return SettingsFile();
}
