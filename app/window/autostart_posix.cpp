// Linux side of the start at login (autostart.h): an XDG autostart entry of our own, which
// the desktop starts at each login. It is written whole under another name and then renamed
// into place, so that a full disk never leaves half an entry.
#include "app/window/autostart.h"

#include "base/files.h"
#include "base/text.h"

#include <errno.h>
#include <limits.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

const char AutostartLabel[] = "Start at Login";

std::string DesktopExecWord(const std::string& path)
{
    static const char reserved[] = " \t\n\"'\\><~|&;$*?#()`";
    std::string word = path;
    if (path.find_first_of(reserved) != std::string::npos) {
        word = "\"";
        for (char c : path) {
            if (c == '"' || c == '`' || c == '$' || c == '\\')
                word += '\\';
            word += c;
        }
        word += '"';
    }
    // The string escapes of a desktop entry's value, which a reader undoes before the quoting.
    std::string value;
    for (char c : word) {
        switch (c) {
        case '\\': value += "\\\\"; break;
        case '\n': value += "\\n"; break;
        case '\t': value += "\\t"; break;
        case '\r': value += "\\r"; break;
        case '%': value += "%%"; break;
        default: value += c;
        }
    }
    return value;
}

// $XDG_CONFIG_HOME/autostart/tarnwell.desktop; a relative XDG_CONFIG_HOME counts as unset.
static std::string EntryPath(void)
{
    const char* config = getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = getenv("HOME");
        struct passwd* entry = (home && *home) ? nullptr : getpwuid(getuid());
        base = std::string(home && *home ? home : entry && entry->pw_dir ? entry->pw_dir : "") + "/.config";
    }
    return base + "/autostart/tarnwell.desktop";
}

int AutostartOn(void)
{
    FILE* file = OpenFileForReading(EntryPath().c_str());
    if (!file)
        return 0;
    int on = 1;
    char line[512];
    while (fgets(line, sizeof line, file)) {
        line[strcspn(line, "\r\n")] = '\0';
        if (strcmp(line, "Hidden=true") == 0 || strcmp(line, "X-GNOME-Autostart-enabled=false") == 0)
            on = 0;
    }
    fclose(file);
    return on;
}

static int Fail(char* reason, const char* what)
{
    snprintf(reason, TextSize, "%s (%s)", what, strerror(errno));
    return 0;
}

int SetAutostart(int on, char* reason)
{
    std::string path = EntryPath();
    if (!on) {
        if (unlink(path.c_str()) != 0 && errno != ENOENT)
            return Fail(reason, "the autostart entry cannot be removed");
        return 1;
    }
    char program[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0)
        return Fail(reason, "this program's path cannot be told");
    program[length] = '\0';
    std::string entry = "[Desktop Entry]\n"
                        "Type=Application\n"
                        "Name=Tarnwell\n"
                        "Comment=File transfer with a Z88 over a serial cable\n"
                        "Exec=" + DesktopExecWord(program) + "\n"
                        "Icon=tarnwell\n"
                        "Terminal=false\n";
    std::string written = path + ".new";
    unlink(written.c_str());  // one a failed write left
    if (!MakeParentFolders(path.c_str()))
        return Fail(reason, "the autostart folder cannot be made");
    FILE* file = CreateNewFile(written.c_str(), 0644);
    if (!file)
        return Fail(reason, "the autostart entry cannot be written");
    bool whole = fwrite(entry.data(), 1, entry.size(), file) == entry.size();
    if (!FlushToDiskAndClose(file) || !whole || rename(written.c_str(), path.c_str()) != 0) {
        int error = errno;
        unlink(written.c_str());
        errno = error;
        return Fail(reason, "the autostart entry cannot be written");
    }
    return 1;
}
