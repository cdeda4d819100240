// Fuzz target: the poll tick and the receive session fed the fuzzer's bytes as the line, over
// the real framing, name mapping, settings and file code, into a store folder where files
// already stand. Checked on every input: nothing outside the store folder changes, and each
// file that stood at a store name is still whole, under that name or its "_" name.
//
// Input: the first byte chooses "Preserve" (bit 0) and from which Esc question on the key
// counts as held (the other bits; 0: never); the rest is what arrives on the line.
#include "link/serial_port.h"
#include "protocol/poll.h"
#include "protocol/store.h"
#include "tests/support/fake_ui.h"
#include "tests/support/temp_folder.h"

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace fs = std::filesystem;

// --- The port: the fuzzer's bytes, then silence --------------------------------------------

static const unsigned char* LineBytes = nullptr;
static size_t LineLeft = 0;

LinkPort OpenPort(const char*)
{
    return 3;
}
void ConfigureLine(int, int) {}
int LinkRateAt(int)
{
    return 0;  // no rate table: the fuzzer's port takes whatever it is told
}
void ClosePort(void) {}
int PortIsOpen(void)
{
    return LinkHandle > 0;
}
int SetLinkTimeouts(LinkTimeoutMode)
{
    return PortIsOpen();
}
int ReadPortBytes(unsigned char* bytes, int size, int* count)
{
    if (LineLeft == 0)
        return 0;  // a read that waits in vain, without the wait
    *count = LineLeft < (size_t)size ? (int)LineLeft : size;
    memcpy(bytes, LineBytes, (size_t)*count);
    LineBytes += *count;
    LineLeft -= (size_t)*count;
    return 1;
}
int WritePortBytes(const unsigned char*, int, int*)
{
    return 0;
}
int PortOutputQueued(void)
{
    return 0;
}
int PortInputWaiting(void)
{
    return LineLeft > 0;
}
void CountLineErrors(LineErrorCounts* counts)
{
    *counts = LineErrorCounts();
}
const char* PortFailureText(void)
{
    return "";
}

// --- The folders ---------------------------------------------------------------------------

// Under one fresh folder: store/ (the store directory), outside/ (a neighbour that must not
// change) and one settings folder for each value of "Preserve".
static std::string Root;

// Everything under a folder: relative path -> what the system says of it (kind, size,
// modification time, file number). A file written to or replaced gets another entry; a file
// renamed keeps its own under its new path. Stat calls only, so that an input costs little.
typedef std::map<std::string, std::string> Tree;

static std::string Signature(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return "";
    char text[96];
    snprintf(text, sizeof text, "%o %lld %lld.%09ld %llu", (unsigned)info.st_mode, (long long)info.st_size,
             (long long)info.st_mtim.tv_sec, info.st_mtim.tv_nsec, (unsigned long long)info.st_ino);
    return text;
}

static void Snapshot(const std::string& folder, const std::string& prefix, Tree* tree)
{
    DIR* dir = opendir(folder.c_str());
    while (struct dirent* entry = dir ? readdir(dir) : nullptr) {
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        std::string path = folder + "/" + name;
        (*tree)[prefix + name] = Signature(path);
        if (entry->d_type == DT_DIR)
            Snapshot(path, prefix + name + "/", tree);
    }
    if (dir)
        closedir(dir);
}

static Tree Snapshot(const std::string& folder)
{
    Tree tree;
    Snapshot(folder, "", &tree);
    return tree;
}

static void WriteAll(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

static std::map<std::string, std::string> StoreContents;  // what init put there ("/": a folder)
static Tree StoreBefore;    // the store folder as each input finds it
static Tree OutsideBefore;  // everything else under Root

// Every input starts from the same store folder: what an input added goes, what it changed
// comes back.
static void RestoreStore(const Tree& now)
{
    const fs::path store = Root + "/store";
    for (const auto& entry : now) {
        if (!StoreBefore.count(entry.first))
            fs::remove_all(store / entry.first);
    }
    for (const auto& entry : StoreBefore) {
        auto found = now.find(entry.first);
        if (found != now.end() && found->second == entry.second)
            continue;
        const std::string& contents = StoreContents[entry.first];
        if (contents == "/")
            fs::create_directories(store / entry.first);
        else
            WriteAll(store / entry.first, contents);
    }
    StoreBefore = Snapshot(store);
}

static void Fail(const char* what, const std::string& name)
{
    fprintf(stderr, "receive_fuzz: %s: %s\n", what, name.c_str());
    abort();
}

// The stored copies that stand in the store folder at the start of every input, for both
// forms of the names; each must stay whole.
static const char* const StoredCopies[] = {"@RAM_0!LETTER_TXT.z88", "LETTER.TXT", "@RAM_0!KEEP.z88", "KEEP"};

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A fresh folder under $TMPDIR, gone when the fuzzer ends.
    Root = NewTestFolder();
    Root.pop_back();
    atexit([] { fs::remove_all(Root); });
    const fs::path store = Root + "/store";
    fs::create_directories(store);
    fs::create_directories(Root + "/outside");
    WriteAll(Root + "/outside/neighbour", "a file beside the store folder");
    auto put = [&](const std::string& name, const std::string& contents) {
        StoreContents[name] = contents;
        if (contents == "/")
            fs::create_directories(store / name);
        else
            WriteAll(store / name, contents);
    };
    for (const char* name : StoredCopies)
        put(name, std::string("stored copy of ") + name);
    put("_@RAM_0!LETTER_TXT.z88", "previous copy");
    put("_LETTER.TXT", "previous copy");
    // A leftover of a failed reception, and folders where a new file or a previous copy
    // would go: "_KEEP" being a folder, the current copy of KEEP cannot be moved aside.
    put("~@RAM_0!NOTES.z88", "part of an earlier reception");
    put("~NOTES", "part of an earlier reception");
    for (std::string folder : {"@RAM_0!DIR.z88", "DIR", "_@RAM_0!KEEP.z88", "_KEEP"}) {
        put(folder, "/");
        put(folder + "/inside", "a file in a folder of the store");
    }

    // "Directory" names the store folder; "Preserve" is set in each settings folder once, so
    // that an input only reads the settings, as a reception does once they stand.
    for (const char* preserve : {"0", "1"}) {
        std::string config = Root + "/settings" + preserve;
        fs::create_directories(config + "/tarnwell");
        WriteAll(config + "/tarnwell/tarnwell.ini", std::string("[Tarnwell]\nPort=fuzz\nRate=9600\nXon=1\nDirectory=") +
                                                        store.string() + "/\nPreserve=" + preserve + "\n");
    }
    setenv("XDG_CONFIG_HOME", (Root + "/settings1").c_str(), 1);
    OpenLink();
    if (std::string(StoreDirectory) != store.string() + "/")
        Fail("Directory was not loaded", StoreDirectory);
    StoreBefore = Snapshot(store.string());
    OutsideBefore = Snapshot(Root);
    for (auto entry = OutsideBefore.begin(); entry != OutsideBefore.end();)
        entry = entry->first.compare(0, 5, "store") == 0 ? OutsideBefore.erase(entry) : std::next(entry);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    if (size == 0)
        return 0;
    setenv("XDG_CONFIG_HOME", (Root + "/settings" + (data[0] & 1 ? "1" : "0")).c_str(), 1);
    ResetFakeUi();
    FakeUi.escapeFromCheck = data[0] >> 1;
    LineBytes = data + 1;
    LineLeft = size - 1;

    // The front end's timer: one tick after another while they take bytes from the line or
    // receive (the link reads ahead, so a tick's reception may take no byte from the line).
    // A tick receives one file at most, and keeps the copy it replaces: each stored copy that
    // stands before a tick is whole after it, under its name or its "_" name.
    size_t left;
    int outcome;
    do {
        left = LineLeft;
        std::map<std::string, std::string> before;
        for (const char* name : StoredCopies)
            before[name] = Signature(Root + "/store/" + name);
        outcome = PollLink(nullptr);
        for (const auto& copy : before) {
            if (Signature(Root + "/store/" + copy.first) != copy.second &&
                Signature(Root + "/store/_" + copy.first) != copy.second)
                Fail("a stored copy was lost", copy.first);
        }
    } while (outcome != PollIdle || (LineLeft > 0 && LineLeft < left));
    // What the link read ahead and no tick took (Esc held) is this input's, not the next's.
    FakeUi.escapeFromCheck = 0;
    for (int byte; LinkReadByte(&byte);) {
    }

    Tree outside = Snapshot(Root);
    for (auto entry = outside.begin(); entry != outside.end();)
        entry = entry->first.compare(0, 5, "store") == 0 ? outside.erase(entry) : std::next(entry);
    if (outside != OutsideBefore)
        Fail("something outside the store folder changed", Root);

    Tree now = Snapshot(Root + "/store");
    // The folders in the store, and what they hold, are no place for a received file.
    for (const auto& entry : StoreBefore) {
        bool kept = now.count(entry.first) && now[entry.first] == entry.second;
        if (!kept && (StoreContents[entry.first] == "/" || entry.first.find('/') != std::string::npos))
            Fail("a folder in the store, or a file in it, changed", entry.first);
    }
    if (now != StoreBefore)
        RestoreStore(now);
    return 0;
}
