// The text/uri-list of a drop, decoded into paths (see uri_list.h).
#include "app/window/uri_list.h"

#include <ctype.h>
#include <string.h>
#include <strings.h>

static int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A scheme, as RFC 3986 spells one: a letter, then letters, digits, '+', '-', '.', then ':'.
static int HasScheme(const std::string& item)
{
    size_t colon = item.find(':');
    if (colon == std::string::npos || colon == 0 || !isalpha((unsigned char)item[0]))
        return 0;
    for (size_t i = 1; i < colon; i++)
        if (!isalnum((unsigned char)item[i]) && !strchr("+-.", item[i]))
            return 0;
    return 1;
}

// The path of a file: URI, decoded; "" for a URI that names no file that can be sent.
static std::string FilePath(const std::string& item)
{
    if (item.size() < 5 || strncasecmp(item.c_str(), "file:", 5) != 0)
        return "";
    size_t start = 5;
    // "file://host/path": the authority, if there is one, ends where the path begins.
    if (item.compare(start, 2, "//") == 0) {
        start = item.find('/', start + 2);
        if (start == std::string::npos)
            return "";
    }
    std::string path;
    for (size_t i = start; i < item.size(); i++) {
        int high, low;
        if (item[i] == '%' && i + 2 < item.size() && (high = HexDigit(item[i + 1])) >= 0 &&
            (low = HexDigit(item[i + 2])) >= 0) {
            char byte = (char)(high * 16 + low);
            if (byte == '\0')
                return "";
            path += byte;
            i += 2;
        } else {
            path += item[i];
        }
    }
    return path;
}

std::vector<std::string> ParseUriList(const char* text)
{
    std::vector<std::string> paths;
    const char* line = text;
    while (*line) {
        const char* end = strchr(line, '\n');
        size_t length = end ? (size_t)(end - line) : strlen(line);
        std::string item(line, length);
        line += length + (end ? 1 : 0);
        if (!item.empty() && item.back() == '\r')
            item.pop_back();
        if (item.empty() || item[0] == '#')
            continue;
        paths.push_back(HasScheme(item) ? FilePath(item) : item);
    }
    return paths;
}
