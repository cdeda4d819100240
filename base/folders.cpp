// What both platforms share of the folder and path calls (see folders.h).
#include "base/folders.h"

#include "base/text.h"

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
