// What both platforms share of the files and folders on the disk (see folders.h).
#include "settings/folders.h"

#include "settings/settings.h"

#include <stdio.h>
#include <string.h>

int EndWithSeparator(char* folder)
{
    size_t length = strlen(folder);
    if (length > 0 && strchr(FolderSeparators, folder[length - 1]))
        return 1;
    if (length + 1 >= TextSize)
        return 0;
    folder[length] = FolderSeparators[0];
    folder[length + 1] = 0;
    return 1;
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
