// Fuzz target: the name mappings and the store-name check, under the rules of both builds.
// Checked: every name the check allows (the mapped name, and the fuzzer's text as it is),
// put behind a store folder, names a file right inside it, also with "_" or "~" in front;
// the mapped texts fit NameBuffer. The Windows rules (names_win32.cpp) are compiled in
// under other names, since the Linux ones take the real names.
//
// Input: the first byte chooses "Preserve" (bit 0); the rest is a received name, and also a
// path to send from.
#include "protocol/names.h"
#include "tests/support/temp_folder.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

int Win32PlatformStoreNameAllowed(const char* name);

static std::string Root;

static void Fail(const char* what, const std::string& name)
{
    fprintf(stderr, "names_fuzz: %s: [%s]\n", what, name.c_str());
    abort();
}

// Linux: "/store/" and the name is a file right inside /store when the name has no '/' and
// is not "", "." or "..".
static bool InsideOnLinux(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// Windows: "C:\LINK\" and the name is a file right inside C:\LINK\ when the name holds no
// separator ('\', '/') and no ':' (drive, stream), Windows does not drop dots or blanks at
// its end (so it is not ".", ".." or another file's name), and it is no device.
static bool InsideOnWindows(const std::string& name)
{
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos)
        return false;
    if (name.back() == '.' || name.back() == ' ')
        return false;
    std::string base = name.substr(0, name.find('.'));
    base = base.substr(0, base.find_last_not_of(' ') + 1);
    for (char& c : base)
        c = (char)toupper((unsigned char)c);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (base == device)
            return false;
    }
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
        base[3] != 0 && strchr("0123456789\xB9\xB2\xB3", base[3]))
        return false;
    return true;
}

static void CheckAllowedStaysInside(const char* name)
{
    if (!name)
        return;
    for (const char* prefix : {"", "_", "~"}) {
        std::string full = std::string(prefix) + name;
        if (StoreNameAllowed(name) && !InsideOnLinux(full))
            Fail("Linux check lets a name out of the store folder", full);
        if (Win32PlatformStoreNameAllowed(name) && !InsideOnWindows(full))
            Fail("Windows check lets a name out of the store folder", full);
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A fresh folder under $TMPDIR, gone when the fuzzer ends.
    Root = NewTestFolder();
    Root.pop_back();
    atexit([] { fs::remove_all(Root); });
    // One settings folder for each value of "Preserve", so that a mapping only reads it.
    for (const char* preserve : {"0", "1"}) {
        fs::create_directories(Root + "/" + preserve + "/tarnwell");
        std::ofstream(Root + "/" + preserve + "/tarnwell/tarnwell.ini") << "[Tarnwell]\nPreserve=" << preserve << "\n";
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    if (size == 0)
        return 0;
    setenv("XDG_CONFIG_HOME", (Root + (data[0] & 1 ? "/1" : "/0")).c_str(), 1);
    std::string text((const char*)data + 1, size - 1);
    const char* name = text.c_str();

    CheckAllowedStaysInside(name);
    char* mapped = MapIncomingName(name);
    if (mapped && strlen(mapped) >= TextSize)
        Fail("the mapped name overran NameBuffer", mapped);
    if (mapped && (data[0] & 1) && strlen(mapped) != strlen(name) + 4)
        Fail("the preserved form is not the name and \".z88\"", mapped);
    std::string kept = mapped ? mapped : "";
    CheckAllowedStaysInside(mapped ? kept.c_str() : nullptr);

    char* outgoing = MapOutgoingName(name);
    if (outgoing && strlen(outgoing) > strlen(name))
        Fail("the outgoing name is longer than its path", outgoing);
    return 0;
}
