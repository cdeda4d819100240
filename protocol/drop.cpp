// The send list shared by both programs: dropped files go out in order until one fails,
// the files of a dropped folder that cannot be sent passed over.
#include "protocol/drop.h"

#include "base/failure.h"
#include "base/files.h"
#include "protocol/outcome.h"
#include "protocol/send.h"

static bool Sending;                      // a drop is being sent
static std::vector<std::string> Queued;  // files named on a command line, not yet sent

void MakeSendList(const char* const* paths, int count, SendList* list)
{
    *list = SendList();
    for (int i = 0; i < count; i++) {
        std::vector<std::string> inside;
        FolderListing listing = ListFolderFiles(paths[i], &inside);
        if (listing == FolderListed) {
            for (const std::string& file : inside)
                list->entries.push_back({file, true, ""});
        } else {
            // The reason now: the calls that follow change the system's last error.
            list->entries.push_back({paths[i], false, listing == FolderUnlisted ? SystemErrorText() : ""});
        }
    }
}

int SendNextFile(WindowHandle owner, SendList* list)
{
    if (list->ended || list->next >= list->entries.size())
        return 0;
    const SendList::Entry& entry = list->entries[list->next++];
    int refused = 0;
    if (!entry.unlisted.empty()) {
        ClearFailure();
        NoteFailure("the folder cannot be listed (%s)", entry.unlisted.c_str());
        ReportOutcome(owner, TransferDirection::Sending, entry.path.c_str(), 0);
        list->ended = true;
    } else if (SendFile(owner, entry.path.c_str(), &refused)) {
        list->sent++;
    } else if (!(refused && entry.inFolder)) {
        list->ended = true;
    }
    return !list->ended && list->next < list->entries.size();
}

int SendDroppedFiles(WindowHandle owner, const char* const* paths, int count)
{
    bool outer = !Sending;
    Sending = true;
    SendList list;
    MakeSendList(paths, count, &list);
    while (SendNextFile(owner, &list)) {
    }
    if (outer)
        Sending = false;
    return list.sent;
}

bool CanBeSent(const char* path)
{
    std::vector<std::string> inside;
    ClearFailure();
    FolderListing listing = ListFolderFiles(path, &inside);
    if (listing == FolderListed)
        return true;
    if (listing == FolderUnlisted)
        return NoteFailure("the folder cannot be listed (%s)", SystemErrorText());
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
