// The drop loop shared by both front ends: dropped files go out in order until one fails.
#include "protocol/drop.h"

#include "link/failure.h"
#include "protocol/files.h"
#include "protocol/send.h"

#include <string>
#include <vector>

static bool Sending;                      // a drop is being sent
static std::vector<std::string> Queued;  // files named on a command line, not yet sent

static int SendInOrder(WindowHandle owner, const char* const* paths, int count)
{
    int sent = 0;
    for (int i = 0; i < count; i++) {
        // A folder stands for the plain files directly inside it; an empty one for nothing.
        std::vector<std::string> inside;
        if (ListFolderFiles(paths[i], &inside)) {
            for (const std::string& file : inside) {
                if (!SendFile(owner, file.c_str()))
                    return sent;
                sent++;
            }
        } else if (SendFile(owner, paths[i])) {
            sent++;
        } else {
            return sent;
        }
    }
    return sent;
}

int SendDroppedFiles(WindowHandle owner, const char* const* paths, int count)
{
    bool outer = !Sending;
    Sending = true;
    int sent = SendInOrder(owner, paths, count);
    if (outer)
        Sending = false;
    return sent;
}

bool CanBeSent(const char* path)
{
    std::vector<std::string> inside;
    if (ListFolderFiles(path, &inside))
        return true;
    ClearFailure();
    FILE* file = OpenFileToSend(path);
    if (file)
        fclose(file);
    return file != NULL;
}

void QueueFilesToSend(const char* const* paths, int count)
{
    Queued.insert(Queued.end(), paths, paths + count);
}

void SendQueuedFiles(WindowHandle owner)
{
    if (Sending || Queued.empty())
        return;
    std::vector<std::string> files;
    files.swap(Queued);
    std::vector<const char*> paths;
    for (const std::string& file : files)
        paths.push_back(file.c_str());
    SendDroppedFiles(owner, paths.data(), (int)paths.size());
}
