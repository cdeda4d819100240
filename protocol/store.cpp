// The store directory (see store.h).
#include "protocol/store.h"

#include "link/serial_link.h"
#include "base/folders.h"

#include <stdio.h>

char StoreDirectory[TextSize];

// Read only once the port is there, as the line's own settings are: a port that does not
// open leaves the other settings unread, and the last good open's folder in use.
void OpenLink(void)
{
    OpenLinkPort();
    if (LinkIsOpen())
        ReadSetting(SettingDirectory, StoreDirectory);
}

int RetryLink(void)
{
    int wasOpen = LinkIsOpen();
    int open = RetryLinkPort();
    if (open && !wasOpen)
        ReadSetting(SettingDirectory, StoreDirectory);
    return open;
}

int CheckStoreFolder(char* folder, char* problem, int size)
{
    char reason[TextSize];
    if (!folder[0])
        snprintf(problem, size, "no folder is named.");
    else if (!IsFullPath(folder))
        snprintf(problem, size, "the folder \"%s\" is not a full path, such as \"%s\".", folder,
                 SettingDefault(SettingDirectory));
    else if (!EndWithSeparator(folder))
        snprintf(problem, size, "the name is too long.");
    else if (!MakeParentFolders(folder))
        snprintf(problem, size, "the folder \"%s\" cannot be made.", folder);
    else if (!FolderWritable(folder, reason))
        snprintf(problem, size, "the folder \"%s\" cannot be written (%s).", folder, reason);
    else
        return 1;
    return 0;
}
