// The main window's lines fitted to its width, the same on both front ends (see
// main_window.h), so that both draw the same text.
#include "app/window/main_window.h"

#include "base/folders.h"

#include <string.h>

static const char Ellipsis[] = "\xE2\x80\xA6";  // "…" in UTF-8

// Non-zero when `length` bytes of `text` end between two characters: never inside a UTF-8
// sequence, whose later bytes are 10xxxxxx.
static int CharacterEnds(const std::string& text, size_t length)
{
    return length >= text.size() || ((unsigned char)text[length] & 0xC0) != 0x80;
}

static int IsSeparator(char c)
{
    return c != 0 && strchr(FolderSeparators, c) != nullptr;
}

// Where the folder's last folder begins, with the separator in front of it: "/LINK/" of
// "/home/ann/LINK/". 0 when there is no separator in front of it.
static size_t LastFolderStart(const std::string& folder)
{
    size_t end = folder.size();
    if (end > 0 && IsSeparator(folder[end - 1]))
        end--;  // the separator that ends the name belongs to the last folder
    while (end > 0 && !IsSeparator(folder[end - 1]))
        end--;
    return end > 0 ? end - 1 : 0;
}

// The longest beginning of `text`, `least` to `limit` bytes long, with which `before`, the
// beginning, "…" and `after` fit `width`; `fits` is 0 when none does.
static std::string LongestFitting(const std::string& text, size_t limit, size_t least, const std::string& before,
                                  const std::string& after, int width, TextWidth measure, void* context, int* fits)
{
    for (size_t length = limit + 1; length-- > least;) {
        if (!CharacterEnds(text, length))
            continue;
        std::string begun = text.substr(0, length);
        if (measure((before + begun + Ellipsis + after).c_str(), context) <= width) {
            *fits = 1;
            return begun;
        }
    }
    *fits = 0;
    return "";
}

std::string FitStateLine(const StateLine& line, int width, TextWidth measure, void* context)
{
    std::string whole = line.lead + line.name + line.trail;
    if (whole.empty() || measure(whole.c_str(), context) <= width)
        return whole;
    int fits = 0;
    if (line.folder) {
        // The beginning says where the folder is, the last folder which it is; a beginning
        // ends at a separator when it has one.
        std::string last = line.name.substr(LastFolderStart(line.name));
        std::string head = LongestFitting(line.name, line.name.size() - last.size(), 1, line.lead,
                                          last + line.trail, width, measure, context, &fits);
        if (fits) {
            size_t separator = head.size();
            while (separator > 0 && !IsSeparator(head[separator - 1]))
                separator--;
            if (separator > 0)
                head.resize(separator);
            return line.lead + head + Ellipsis + last + line.trail;
        }
    }
    // A name ends in "…" where it is cut; the lead and the trail (the time of a transfer)
    // stay whole.
    if (!line.name.empty()) {
        std::string name = LongestFitting(line.name, line.name.size() - 1, 0, line.lead, line.trail, width,
                                          measure, context, &fits);
        if (fits)
            return line.lead + name + Ellipsis + line.trail;
    }
    // A window too narrow even for that: as much of the line as fits.
    return LongestFitting(whole, whole.size() - 1, 0, "", "", width, measure, context, &fits) + Ellipsis;
}

std::string FitStateLines(const StateLine* lines, int count, int width, TextWidth measure, void* context)
{
    std::string text;
    for (int i = 0; i < count; i++)
        text += (i ? "\n" : "") + FitStateLine(lines[i], width, measure, context);
    return text;
}
