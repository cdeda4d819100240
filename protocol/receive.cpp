// The receive session: reads one frame from the link after its ESC 'N', stores the file, keeps
// the copy it replaces, and reports through the progress window, the log and the beep.
#include "protocol/receive.h"

#include "base/failure.h"
#include "link/serial_link.h"
#include "base/files.h"
#include "protocol/framing.h"
#include "protocol/names.h"
#include "protocol/outcome.h"
#include "protocol/store.h"
#include "settings/settings.h"
#include "ui/progress.h"
#include "ui/transfer_log.h"

#include <stdio.h>
#include <sys/stat.h>

// The byte count handed to StepProgress starts again at 1 after this many bytes, so that it
// never overflows. The bar only looks at whole multiples of 64, so it moves on as before;
// no Z88 holds a file anywhere near this long.
enum { StepCountWrap = 1 << 30 };

// Reads the name up to the ESC that ends it, then the 'F' that must follow. 0 on a failed
// read, on any other letter, and on a name that `name` (TextSize bytes) cannot hold as
// text: longer than 127 bytes, or holding a zero byte. Such a name is refused, never cut,
// since a cut name can be another file's name. `name` holds what came of it in every case.
static int ReadName(char* name)
{
    int length = 0;
    int byte;
    name[0] = 0;
    for (;;) {
        if (!LinkReadByte(&byte))
            return 0;
        if (byte == FrameEsc)
            break;
        if (byte == 0)
            return NoteFailure("a garbled name (a zero byte in it)");
        if (length == TextSize - 1)
            return NoteFailure("the name is longer than %d characters", TextSize - 1);
        name[length++] = (char)byte;
        name[length] = 0;
    }
    if (!LinkReadByte(&byte))
        return 0;
    if (byte != FrameNameEnd)
        return NoteFailure(byte > ' ' && byte < 0x7F ? "a garbled frame (ESC %c after the name)"
                                                     : "a garbled frame (ESC and byte %d after the name)", byte);
    return 1;
}

// The three paths of a reception, each StoreDirectory followed by a form of the mapped name.
struct StorePaths {
    char store[TextSize];     // the name itself: the file received last
    char previous[TextSize];  // '_' and the name: the copy before it
    char incoming[TextSize];  // '~' and the name: the file being received now
};

// Puts StoreDirectory, `prefix` and `mapped` together into `path` (TextSize bytes). 0 when
// that would be longer than 127 characters: a path is never cut, since a cut path can name
// another file.
static int FormPath(char* path, const char* prefix, const char* mapped)
{
    int length = snprintf(path, TextSize, "%s%s%s", StoreDirectory, prefix, mapped);
    if (length >= 0 && length < TextSize)
        return 1;
    return NoteFailure("the path in the store folder would be longer than %d characters", TextSize - 1);
}

// Forms the three paths. 0 when the name has no place in the store directory or when a
// path would be too long.
static int MakeStorePaths(const char* name, StorePaths* paths)
{
    // The empty name names no file: in the preserved form it would be ".z88", a hidden one.
    if (name[0] == 0)
        return NoteFailure("the name is empty");
    // The check refuses what cannot be mapped, what would leave the store directory, and the
    // names of the store's own '_' and '~' copies.
    const char* mapped = MapIncomingName(name);
    const char* refusal = StoreNameRefusal(mapped);
    if (refusal)
        return NoteFailure("%s", refusal);
    return FormPath(paths->store, "", mapped) && FormPath(paths->previous, "_", mapped) &&
           FormPath(paths->incoming, "~", mapped);
}

// Forms the paths for `name` and makes the store directory when it does not exist yet, with
// the folders above it. 0 when the name has no place there or the folder cannot be made.
static int PrepareStore(const char* name, StorePaths* paths)
{
    if (!MakeStorePaths(name, paths))
        return 0;
    if (!MakeParentFolders(paths->store))
        return NoteFailure("the store folder cannot be made (%s)", SystemErrorText());
    return 1;
}

enum DataItem { ItemFailed, ItemByte, ItemEnd };

// Reads one data item: a plain byte, ESC 'B' with two digits, or the end mark ESC 'E'.
// Anything else fails: a failed read, another command letter (ESC 'N' inside the data
// included), or a digit other than '0'..'9' and 'A'..'F', which no Z88 writes: the line has
// garbled the item, and the file would not be whole.
static DataItem ReadDataItem(int* value)
{
    int byte;
    if (!LinkReadByte(&byte))
        return ItemFailed;
    if (byte != FrameEsc) {
        *value = byte;
        return ItemByte;
    }
    if (!LinkReadByte(&byte))
        return ItemFailed;
    if (byte == FrameEnd)
        return ItemEnd;
    if (byte != FrameByte) {
        NoteFailure(byte > ' ' && byte < 0x7F ? "a garbled frame (ESC %c in the data)"
                                              : "a garbled frame (ESC and byte %d in the data)", byte);
        return ItemFailed;
    }
    int d1, d2;
    if (!LinkReadByte(&d1) || !LinkReadByte(&d2))
        return ItemFailed;
    *value = EscapedByte(d1, d2);
    if (*value >= 0)
        return ItemByte;
    NoteFailure("a garbled frame (a bad digit in the data)");
    return ItemFailed;
}

// Reads the data items into `file` up to the end mark. 1 when the end mark came and every
// byte was handed to the stream; 0 at the first failure, with the bytes so far in `file`.
static int ReceiveData(FILE* file)
{
    int count = 0;
    for (;;) {
        int value = 0;
        DataItem item = ReadDataItem(&value);
        if (item == ItemEnd)
            return 1;
        if (item == ItemFailed)
            return 0;
        // A write the disk refuses (full, failing) ends the reception: the file is not whole.
        if (putc(value, file) == EOF)
            return NoteFailure("the disk refused the file (%s)", SystemErrorText());
        if (count == StepCountWrap)
            count = 0;
        count++;
        StepProgress(count);
    }
}

// Opens a new, empty file at the incoming path. The data goes to a file of its own, so that
// the stored copies stay as they are until the new one is whole and on the disk: a cut
// frame, a refused write or a killed program costs nothing but that file. What an earlier
// failed reception of the name left there is replaced; anything else there (a folder, say)
// is left alone, and fails the reception. NULL then, with the reason noted.
static FILE* OpenIncomingFile(const StorePaths* paths)
{
    DeleteFileOnly(paths->incoming);
    FILE* incoming = CreateNewFile(paths->incoming, 0666);  // what the umask allows
    if (!incoming) {
        // The system's words first: the look at the path may change them.
        char words[TextSize];
        snprintf(words, sizeof words, "%s", SystemErrorText());
        struct stat info;
        if (stat(paths->incoming, &info) == 0)
            NoteFailure("what stands at the name of its '~' copy is not a file");
        else
            NoteFailure("the store folder cannot be written (%s)", words);
    }
    return incoming;
}

// Writes the frame's data into `incoming` and closes it. 1 when the end mark came, the port
// saw no line error, and the file is on the disk; 0 otherwise, with what came in the file.
static int WriteIncomingFile(FILE* incoming)
{
    int result = ReceiveData(incoming);
    // The framing has no checksum: a byte the line damaged (a framing error reads as a
    // 0x00) or lost (an overrun) shows only in the port's own error counts.
    if (result)
        result = LinkReadClean();
    // Buffered bytes reach the disk only here, so a full disk may first show now.
    if (!FlushToDiskAndClose(incoming))
        result = NoteFailure("the disk refused the file (%s)", SystemErrorText());
    return result;
}

// Non-zero when a file that opens for reading stands at `path`.
static int FileStands(const char* path)
{
    FILE* stream = OpenFileForReading(path);
    if (!stream)
        return 0;
    fclose(stream);
    return 1;
}

// Puts the file received whole at the incoming path in place: the current copy becomes the
// previous one, replacing the old previous copy in the same step, and then the new file
// takes the store name. When the current copy cannot be moved (a program holds it open
// without sharing its deletion, or something other than a file stands at the previous-copy
// name), nothing has changed: the store name, the previous copy and the new file stay as
// they were. When the new file cannot take the store name, the current copy goes back to
// it (should that fail as well, each file still stands under one of the three names). Last,
// the folder's names go to the disk, so that a power cut after the beep cannot bring the old
// ones back. 0 when a step fails; `hadPrevious` is set when a current copy stood at the
// store name.
static int PutInPlace(const StorePaths* paths, int* hadPrevious)
{
    *hadPrevious = FileStands(paths->store);
    if (*hadPrevious && !RenameReplacingFile(paths->store, paths->previous))
        return NoteFailure("the current copy cannot be moved aside (%s)", SystemErrorText());
    // The store name has just been freed by a rename in this folder, and the new copy takes
    // it by a rename as well (RenameWithoutReplacing has one for every file system): once the
    // current copy is aside, only a failing disk, or another program taking the name in this
    // moment, keeps the new copy out.
    if (!RenameWithoutReplacing(paths->incoming, paths->store)) {
        NoteFailure("the new copy cannot take the file's name (%s)", SystemErrorText());
        if (*hadPrevious)
            RenameWithoutReplacing(paths->previous, paths->store);
        return 0;
    }
    if (!FlushFolderToDisk(paths->store))
        return NoteFailure("the store folder's names could not be put on the disk (%s)", SystemErrorText());
    return 1;
}

// Tells the log whether the new copy of `name` differs from the one it replaced.
static void LogChange(WindowHandle owner, const char* name, const StorePaths* paths)
{
    // A long name is cut to fit the line, which is only shown.
    char line[TextSize];
    snprintf(line, sizeof line, "%s%s", name,
             FilesIdentical(paths->store, paths->previous) ? " - no change." : " - file changed.");
    AddLogEntry(owner, line);
}

// The reception after the name: the store prepared, the data into the incoming file, the
// file put in place and its change logged. 1 when it is in place; 0 at the first failure.
static int StoreFile(WindowHandle owner, const char* name)
{
    StorePaths paths;
    if (!PrepareStore(name, &paths))
        return 0;
    FILE* incoming = OpenIncomingFile(&paths);
    if (!incoming || !WriteIncomingFile(incoming))
        return 0;
    int hadPrevious = 0;
    if (!PutInPlace(&paths, &hadPrevious))
        return 0;
    if (hadPrevious)
        LogChange(owner, name, &paths);
    return 1;
}

int ReceiveFile(WindowHandle owner)
{
    ClearFailure();
    SetLinkTimeouts(TransferMode);
    char name[TextSize];
    if (!ReadName(name)) {
        ReportOutcome(owner, TransferDirection::Receiving, name, 0);
        return 0;
    }
    ShowProgress(owner, TransferDirection::Receiving, name);
    return EndTransfer(owner, TransferDirection::Receiving, name, StoreFile(owner, name));
}

int FilesIdentical(const char* first, const char* second)
{
    FILE* one = OpenFileForReading(first);
    FILE* other = OpenFileForReading(second);
    int identical = one && other;
    while (identical) {
        int a = getc(one);
        int b = getc(other);
        if (a != b)
            identical = 0;
        else if (a == EOF) {
            // Both ended together; a read error is no proof of sameness.
            identical = feof(one) && feof(other);
            break;
        }
    }
    if (one)
        fclose(one);
    if (other)
        fclose(other);
    return identical;
}
