// The paths of files dropped on the main window, as an X desktop hands them over: the
// text of a "text/uri-list", one item a line.
#ifndef TARNWELL_URI_LIST_H
#define TARNWELL_URI_LIST_H

#include <string>
#include <vector>

// The dropped paths in `text`, whole and in order. Lines end with CR LF or LF alone; empty
// lines and comment lines ('#') are skipped. A "file:" URI gives its path with every "%XX"
// decoded (file:///dir/a%20b, also with a host: file://localhost/dir/a%20b); any other line
// is a plain path, taken as it stands. An item that names no file that could be sent (another
// scheme, or a path with an encoded zero byte, which would end it early and name another
// file) stays in the list as an empty path, which no file answers to: the drop stops there,
// as it stops at any file that cannot be sent.
std::vector<std::string> ParseUriList(const char* text);

#endif
