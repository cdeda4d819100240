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

// The paths of a reception, each StoreDirectory followed by a form of the mapped name.
struct StorePaths {
    char store[TextSize];     // the name itself: the file received last
    char previous[TextSize];  // '_' and the name: the copy before it
    char incoming[TextSize];  // '~' and the name: the file being received now
    // "~_" and the name: the previous copy while the copies move (PutInPlace). No received
    // name maps to it, since names beginning with '_' or '~' are refused; it is one byte
    // longer than the '_' path, so that every name whose '_' path fits can be stored.
    char aside[TextSize + 1];
};

// Puts StoreDirectory, `prefix` and `mapped` together into `path` (`size` bytes). 0 when
// that would not fit: a path is never cut, since a cut path can name another file.
static int FormPath(char* path, int size, const char* prefix, const char* mapped)
{
    int length = snprintf(path, size, "%s%s%s", StoreDirectory, prefix, mapped);
    if (length >= 0 && length < size)
        return 1;
    return NoteFailure("the path in the store folder would be longer than %d characters", TextSize - 1);
}

// Forms the paths. 0 when the name has no place in the store directory or when a
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
    return FormPath(paths->store, TextSize, "", mapped) && FormPath(paths->previous, TextSize, "_", mapped) &&
           FormPath(paths->incoming, TextSize, "~", mapped) &&
           FormPath(paths->aside, sizeof paths->aside, "~_", mapped);
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
        if (SomethingStandsAt(paths->incoming))
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

// Puts the file received whole at the incoming path in place, when `hadPrevious` says a
// current copy stands at the store name: the current copy becomes the previous one and the
// new file takes the store name. No rename replaces anything, so that each of the files
// stands under a name of its own at every step and a failure can put all of them back:
//   1. the previous copy goes aside (after a crash, a file already there is older still);
//   2. the current copy takes the previous-copy name;
//   3. the new file takes the store name;
// and then the copy set aside can go. A step that fails (another program holds the file
// open, a failing disk, something other than a file at a name) undoes the steps before it:
// the store name and the previous copy are as they were, and the new file stays under '~'.
// A crash between steps leaves each file under one of the four names. The next reception of
// the name then replaces the '~' file as always; when the store name stands it moves the
// copies by the same steps, which end with the copy it held under '_' and what stood aside
// deleted, and when it does not (a crash after step 2), the copy under '_' stays. 0 when a
// step fails.
static int PutInPlace(const StorePaths* paths, int hadPrevious)
{
    int setAside = hadPrevious && FileStands(paths->previous);
    if (setAside) {
        DeleteFileOnly(paths->aside);
        if (!RenameWithoutReplacing(paths->previous, paths->aside))
            return NoteFailure("the previous copy cannot be moved aside (%s)", SystemErrorText());
    }
    if (hadPrevious && !RenameWithoutReplacing(paths->store, paths->previous)) {
        NoteFailure("the current copy cannot be moved aside (%s)", SystemErrorText());
    } else if (!RenameWithoutReplacing(paths->incoming, paths->store)) {
        NoteFailure("the new copy cannot take the file's name (%s)", SystemErrorText());
        if (hadPrevious)
            RenameWithoutReplacing(paths->previous, paths->store);
    } else {
        return 1;
    }
    if (setAside)
        RenameWithoutReplacing(paths->aside, paths->previous);
    return 0;
}

// Says what went wrong after the file took its name: it counts as received all the same,
// and the line says what did not happen.
static void Warn(WindowHandle owner, const char* name, const char* what)
{
    char line[2 * TextSize + 32];
    snprintf(line, sizeof line, "%s - received, but %s (%s).", name, what, SystemErrorText());
    AddFailureEntry(owner, line);
}

// Tells the log whether the new copy of `name` differs from the one it replaced.
static void LogChange(WindowHandle owner, const char* name, int changed)
{
    // A long name is cut to fit the line, which is only shown.
    char line[TextSize];
    snprintf(line, sizeof line, "%s%s", name, changed ? " - file changed." : " - no change.");
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
    int hadPrevious = FileStands(paths.store);
    // The same copy again (sent twice by mistake) leaves both copies as they are: moved
    // along, it would push the last different copy out for a second one of this.
    if (hadPrevious && FilesIdentical(paths.incoming, paths.store)) {
        if (!DeleteFileOnly(paths.incoming))
            Warn(owner, name, "its '~' copy could not be deleted");
        LogChange(owner, name, 0);
        return 1;
    }
    if (!PutInPlace(&paths, hadPrevious))
        return 0;
    // What stands aside is older than the previous copy now: only the last two are kept.
    if (hadPrevious && FileStands(paths.aside) && !DeleteFileOnly(paths.aside))
        Warn(owner, name, "its older copy under '~_' could not be deleted");
    // The names go to the disk, so that a power cut after the beep cannot bring the old ones
    // back. The file is in place whatever this answers.
    if (!FlushFolderToDisk(paths.store))
        Warn(owner, name, "the store folder's names could not be put on the disk");
    if (hadPrevious)
        LogChange(owner, name, 1);
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
