// The store directory, where received files go: the setting "Directory" as the link's last
// open found it, and the rule a folder must pass to be one.
#ifndef TARNWELL_STORE_H
#define TARNWELL_STORE_H

#include "settings/settings.h"

// The text of "Directory" as the last open that found the port read it; empty before that.
// Received files are stored under this text directly followed by their names.
extern char StoreDirectory[TextSize];

// Opens the link: closes the port if one is open, opens the one "Port" names and sets its
// line from "Rate" and "Xon" (OpenLinkPort), then, when the port opened, reads "Directory"
// into StoreDirectory. The settings are read in the order Port, Rate, Xon, Directory, and
// none after Port when the port is not there (StoreDirectory then stays as it was). Called
// when the main window is made, by the configuration dialog's OK, and by tarnwell-cli. It
// lives here, above the link, because the store directory is the protocol's.
void OpenLink(void);

// RetryLinkPort, then "Directory" read into StoreDirectory when it opened the port again.
// Non-zero when a port is open afterwards.
int RetryLink(void);

// The store directory's rule, the same in the configuration dialog and in tarnwell-cli:
// `folder` (TextSize bytes) is named, is a full path, ends with its separator (added when
// missing), and is a folder there or made with the folders above it, that can be written
// in. Non-zero when it passes; else 0 with what is wrong in words in `problem` (`size`
// bytes), such as "the folder "/proc/x/" cannot be made." Nothing is made for a relative
// path, which would land in whatever folder the program started in.
int CheckStoreFolder(char* folder, char* problem, int size);

#endif
