// The Debian package (see package_test.cpp), unpacked with dpkg -x: the programs answer
// --version and --help without a display, the control file names their architecture and
// the packages of the libraries they use and recommends xdg-utils, the receive service runs
// the packaged tarnwell-cli, and the icon is the program's own picture at every size.
#include "tests/package/package_test.h"

#include "app/window/icon.h"
#include "tarnwell_version.h"
#include "tests/support/host_tool.h"
#include "tests/support/process.h"
#include "tests/support/temp_folder.h"

#include <stdint.h>
#include <string.h>

#include <vector>

std::string UnpackPackage(const std::string& folder)
{
    std::string program = folder + "usr/bin/tarnwell";
    if (RunHostTool({"dpkg", "-x", TARNWELL_PACKAGE, folder}) != 0 || !IsRegularTestFile(program))
        return "";
    return program;
}

namespace {

// What a shell command prints on standard output, and its exit status (-1 when it could not
// be started or a signal ended it).
struct Output {
    std::string text;
    int status = -1;
};

Output Shell(const std::string& command)
{
    ChildProcess shell;
    Output output;
    if (StartChild(&shell, "/bin/sh", {"-c", command}, CollectOutput)) {
        int status = WaitForChild(&shell, -1);
        output = {shell.out, status < 256 ? status : -1};
    }
    return output;
}

// Pixels of a square picture, RGBA in one uint32_t each, rows from the top.
using Pixels = std::vector<uint32_t>;

// An installed icon as ImageMagick reads it; empty unless it is `side` pixels square.
Pixels ReadIcon(const std::string& png, int side)
{
    const std::string raw = png + ".rgba";
    std::string bytes;
    if (RunHostTool({"convert", png, "-depth", "8", "rgba:" + raw}) != 0 ||
        !ReadWholeFile(raw, &bytes) || bytes.size() != (size_t)side * side * 4)
        return {};
    Pixels pixels((size_t)side * side);
    memcpy(pixels.data(), bytes.data(), bytes.size());
    return pixels;
}

TEST_F(PackageTest, ProgramsAnswerVersionAndHelpWithoutADisplay)
{
    const std::string program = std::string("env -u DISPLAY ") + BuildEmulator() + root + "usr/bin/";
    Output version = Shell(program + "tarnwell --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.text, "tarnwell " TARNWELL_VERSION "\n");
    Output help = Shell(program + "tarnwell --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.text.rfind("Usage: tarnwell [--help | --version] [FILE...]\n", 0), 0u) << help.text;
    EXPECT_EQ(Shell(program + "tarnwell-cli --version").text, "tarnwell-cli " TARNWELL_VERSION "\n");
    // Anything else needs the display, and says so.
    EXPECT_EQ(Shell(program + "tarnwell notes.txt 2>/dev/null").status, 1);
}

// The architecture is the programs' own (ELF's e_machine), the libraries' packages are that
// architecture's, found by dpkg-shlibdeps (multiarch ones in a cross-built tree), and
// xdg-utils is recommended, for "Open Store Folder".
TEST_F(PackageTest, ControlFileNamesTheArchitectureLibrariesAndRecommendsXdgUtils)
{
    const struct {
        const char* name;
        int machine;
    } architectures[] = {{"amd64", 62}, {"arm64", 183}};
    std::string program;
    ASSERT_TRUE(ReadWholeFile(root + "usr/bin/tarnwell-cli", &program));
    ASSERT_GT(program.size(), 20u);
    int machine = (unsigned char)program[18] | (unsigned char)program[19] << 8;
    Output architecture = Shell("dpkg-deb --field " TARNWELL_PACKAGE " Architecture");
    int named = 0;
    for (const auto& known : architectures)
        if (architecture.text == std::string(known.name) + "\n")
            named = known.machine;
    EXPECT_EQ(named, machine) << "Architecture: " << architecture.text;

    Output depends = Shell("dpkg-deb --field " TARNWELL_PACKAGE " Depends");
    ASSERT_EQ(depends.status, 0);
    for (const char* library : {"libfltk1.3 ", "libx11-6", "libstdc++6 ", "libc6 "})
        EXPECT_NE(depends.text.find(library), std::string::npos) << library << " in " << depends.text;
    // xdg-open, for "Open Store Folder".
    EXPECT_EQ(Shell("dpkg-deb --field " TARNWELL_PACKAGE " Recommends").text, "xdg-utils\n");
}

// The systemd user unit among the examples runs the packaged tarnwell-cli, and systemd has
// nothing to say about it. It checks ExecStart's program on this machine: a copy of the unit
// names the unpacked one instead, and a runtime folder of the test's stands in for a login's.
TEST_F(PackageTest, ReceiveServiceRunsThePackagedTerminalProgram)
{
    std::string unit;
    ASSERT_TRUE(ReadWholeFile(root + "usr/share/doc/tarnwell/examples/tarnwell-receive.service", &unit));
    const std::string start = "\nExecStart=tarnwell-cli receive\n";  // systemd finds it in /usr/bin
    size_t at = unit.find(start);
    ASSERT_NE(at, std::string::npos) << unit;
    EXPECT_TRUE(IsRegularTestFile(root + "usr/bin/tarnwell-cli"));
    unit.replace(at, start.size(), "\nExecStart=" + root + "usr/bin/tarnwell-cli receive\n");
    const std::string folder = NewHostFolder();
    WriteWholeFile(folder + "tarnwell-receive.service", unit);
    Output said = Shell("XDG_RUNTIME_DIR=" + folder + " systemd-analyze --user --man=no verify " + folder +
                        "tarnwell-receive.service 2>&1");
    EXPECT_EQ(said.status, 0);
    EXPECT_EQ(said.text, "");
}

// 32 pixels: the program's picture as it is. 64 and 128: each pixel a square block. 48: no
// colour the picture does not have, and a pixel inside a patch of one colour (which Scale3x
// leaves alone) keeps that colour.
TEST_F(PackageTest, IconIsTheProgramsPictureAtEverySize)
{
    Pixels icon(IconSide * IconSide);
    ASSERT_TRUE(DecodeIcon(IconFile, IconFileSize, (unsigned char*)icon.data()));
    auto at = [&](int x, int y) {  // a place outside takes the nearest pixel inside
        x = x < 0 ? 0 : x >= IconSide ? IconSide - 1 : x;
        y = y < 0 ? 0 : y >= IconSide ? IconSide - 1 : y;
        return icon[(size_t)y * IconSide + x];
    };
    for (int side : {32, 48, 64, 128}) {
        const std::string size = std::to_string(side);
        Pixels shown = ReadIcon(root + "usr/share/icons/hicolor/" + size + "x" + size + "/apps/tarnwell.png", side);
        ASSERT_FALSE(shown.empty()) << "no " << size << " pixel icon";
        int wrong = 0;
        for (int y = 0; y < side; y++)
            for (int x = 0; x < side; x++) {
                uint32_t pixel = shown[(size_t)y * side + x];
                if (side % IconSide == 0) {
                    wrong += pixel != at(x * IconSide / side, y * IconSide / side);
                    continue;
                }
                // The source pixels this one covers, and their neighbours.
                int left = x * 2 / 3 - 1, right = (x * 2 + 1) / 3 + 1;
                int top = y * 2 / 3 - 1, bottom = (y * 2 + 1) / 3 + 1;
                uint32_t patch = at(x * 2 / 3, y * 2 / 3);
                bool even = true, known = false;
                for (int sy = top; sy <= bottom; sy++)
                    for (int sx = left; sx <= right; sx++)
                        even = even && at(sx, sy) == patch;
                for (uint32_t colour : icon)
                    known = known || colour == pixel;
                wrong += !known || (even && pixel != patch);
            }
        EXPECT_EQ(wrong, 0) << "pixels amiss in the " << size << " pixel icon";
    }
}

}  // namespace
