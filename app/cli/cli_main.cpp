// tarnwell-cli: Tarnwell without a window, for a terminal, a script or an SSH session. It
// receives and sends with the window program's own settings, link and sessions; only its ui
// is the terminal's (ui/terminal.h), and Ctrl-C stands in for the Esc key. A console program
// on Windows as well.
#include "app/window/single_start.h"
#include "link/serial_link.h"
#include "protocol/drop.h"
#include "protocol/poll.h"
#include "protocol/store.h"
#include "base/folders.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "tarnwell_version.h"
#include "base/clock.h"
#include "ui/terminal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

enum {
    ExitWhole = 0,   // every file whole, or stopped while nothing was moving
    ExitFailed = 1,  // a transfer failed, or a file was refused
    ExitUsage = 2,   // the command line was wrong, or the store directory cannot be used
    ExitNoPort = 3,  // the port did not open (also when a running Tarnwell holds it)
    // A stop signal during a transfer ends the program with 128 and the signal's number, as
    // a shell reports a program the signal ended: 130 for Ctrl-C.
    ExitSignalBase = 128,
};

// The poll tick comes once a second, as in the window program.
enum { TickMs = 1000 };

// The help, within 80 columns, in the words and examples of the platform it runs on.
#ifdef _WIN32
#define TARNWELL_PORT_EXAMPLE "COM5"
#define TARNWELL_EXAMPLES                                                 \
    "  tarnwell-cli --port COM5 receive\n"                               \
    "  tarnwell-cli --dir C:\\Users\\ann\\Documents\\Z88 receive --once\n" \
    "  tarnwell-cli send letter.txt C:\\Users\\ann\\Documents\\notes\n"
#define TARNWELL_MORE "More in README.txt, beside tarnwell-cli.exe.\n"
#else
#define TARNWELL_PORT_EXAMPLE "/dev/ttyUSB0"
#define TARNWELL_EXAMPLES                              \
    "  tarnwell-cli --port /dev/ttyUSB0 receive\n"    \
    "  tarnwell-cli --dir ~/z88 receive --once\n"     \
    "  tarnwell-cli send letter.txt ~/notes\n"
#define TARNWELL_MORE "See tarnwell-cli(1).\n"
#endif

static const char Usage[] =
    "Usage: tarnwell-cli [OPTION]... receive [--once]\n"
    "       tarnwell-cli [OPTION]... send FILE...\n"
    "Receives files from the Z88 into the store directory, or sends files to it,\n"
    "with the settings of the Tarnwell window program.\n"
    "\n"
    "  receive          wait for files from the Z88 until Ctrl-C\n"
    "    --once         end after the first file; the status says whether it came\n"
    "                   whole\n"
    "  send FILE...     send the files in order, stopping at the first that fails;\n"
    "                   a folder sends the files in it, passing over those that\n"
    "                   cannot be sent\n"
    "\n"
    "Settings for this run only (the settings file is left as it is):\n"
    "  --port PORT                  serial port, such as " TARNWELL_PORT_EXAMPLE "\n"
    "  --rate BAUD                  baud rate, such as 9600\n"
    "  --xon, --no-xon              XON/XOFF flow control on or off\n"
    "  --dir DIRECTORY              store directory of received files\n"
    "  --preserve, --no-preserve    keep the Z88's device and folders in stored\n"
    "                               names, or not\n"
    "  --help                       show this help and end\n"
    "  --version                    show the version and end\n"
    "\n"
    "Exit status: 0 all went whole (or stopped while idle), 1 a transfer failed or\n"
    "standard output failed, 2 a wrong command line or a store directory that\n"
    "cannot be used, 3 the port did not open (or Tarnwell holds it), 130 stopped\n"
    "by Ctrl-C mid-transfer.\n"
    "\n"
    "Examples:\n" TARNWELL_EXAMPLES;

// The help: Usage, then where the settings are, in lines of at most 80 columns (a long
// folder name goes on a line of its own), and where to read more.
static void ShowHelp(void)
{
    fputs(Usage, stdout);
    putchar('\n');
    std::string text = "The settings are in " + ProfileLocation() + ".", line;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos)
            end = text.size();
        std::string word = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.size() + 1 + word.size() > 80) {
            puts(line.c_str());
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    puts(line.c_str());
    fputs(TARNWELL_MORE, stdout);
}

static int UsageError(const char* format, const char* text)
{
    fprintf(stderr, "tarnwell-cli: ");
    fprintf(stderr, format, text);
    fprintf(stderr, "\nTry 'tarnwell-cli --help'.\n");
    return ExitUsage;
}

// The command line, once read.
struct Command {
    int receive = 0;
    int send = 0;
    int once = 0;
    std::vector<const char*> files;
};

// What ReadCommandLine gives when the program is to go on; else the status to end with.
enum { GoOn = -1 };

// The value of an option that takes one: "--name=VALUE" or "--name VALUE". Null when
// `argument` is not that option; `missing` is set when it is but has no value.
static const char* OptionValue(const char* name, int argc, char** argv, int* index, int* missing)
{
    const char* argument = argv[*index];
    size_t length = strlen(name);
    if (strncmp(argument, name, length) != 0)
        return nullptr;
    if (argument[length] == '=')
        return argument + length + 1;
    if (argument[length] != 0)
        return nullptr;
    if (*index + 1 >= argc) {
        *missing = 1;
        return nullptr;
    }
    (*index)++;
    return argv[*index];
}

// A setting from the command line, for this run only. 0 when the text would not fit.
static int Override(SettingId id, const char* value)
{
    if (strlen(value) >= TextSize)
        return 0;
    OverrideSetting(id, value);
    return 1;
}

// The store directory as given, made full against the current folder (the folder the user
// typed it in), with the separator that received names are joined to added when it has
// none: "--dir ~/z88" means the folder, not names beginning with "z88".
static int OverrideDirectory(const char* directory)
{
    char text[TextSize];
    if (strlen(directory) >= sizeof text)
        return 0;
    snprintf(text, sizeof text, "%s", directory);
    return (!text[0] || (MakePathFull(text) && EndWithSeparator(text))) && Override(SettingDirectory, text);
}

// The store directory checked before the first wait, by the configuration dialog's rule
// and in its words (CheckStoreFolder): a folder that cannot be used would otherwise fail
// only when the first file arrives. The folder checked is the one used. GoOn, or ExitUsage.
static int CheckStoreDirectory(void)
{
    char folder[TextSize], problem[3 * TextSize];
    ReadSetting(SettingDirectory, folder);
    if (!CheckStoreFolder(folder, problem, sizeof problem)) {
        fprintf(stderr, "tarnwell-cli: Directory: %s\n", problem);
        return ExitUsage;
    }
    Override(SettingDirectory, folder);
    return GoOn;
}

// Reads the command line into `command` and the overrides, options before, between and
// after the rest. GoOn, or the status to end with (--help and --version end at once with 0).
static int ReadCommandLine(int argc, char** argv, Command* command)
{
    int optionsEnded = 0;
    for (int i = 1; i < argc; i++) {
        const char* argument = argv[i];
        if (optionsEnded || argument[0] != '-' || strcmp(argument, "-") == 0) {
            if (!command->receive && !command->send) {
                if (strcmp(argument, "receive") == 0)
                    command->receive = 1;
                else if (strcmp(argument, "send") == 0)
                    command->send = 1;
                else
                    return UsageError("unknown command '%s'.", argument);
            } else if (command->send) {
                command->files.push_back(argument);
            } else {
                return UsageError("receive takes no file names ('%s').", argument);
            }
            continue;
        }
        int missing = 0;
        const char* value;
        if (strcmp(argument, "--") == 0) {
            optionsEnded = 1;
        } else if (strcmp(argument, "--help") == 0 || strcmp(argument, "-h") == 0) {
            ShowHelp();
            return ExitWhole;
        } else if (strcmp(argument, "--version") == 0) {
            printf("tarnwell-cli %s\n", TARNWELL_VERSION);
            return ExitWhole;
        } else if (strcmp(argument, "--once") == 0) {
            command->once = 1;
        } else if (strcmp(argument, "--xon") == 0 || strcmp(argument, "--no-xon") == 0) {
            Override(SettingXon, argument[2] == 'n' ? "0" : "1");
        } else if (strcmp(argument, "--preserve") == 0 || strcmp(argument, "--no-preserve") == 0) {
            Override(SettingPreserve, argument[2] == 'n' ? "0" : "1");
        } else if ((value = OptionValue("--port", argc, argv, &i, &missing))) {
            if (!Override(SettingPort, value))
                return UsageError("the port name '%s' is longer than 127 characters.", value);
        } else if ((value = OptionValue("--rate", argc, argv, &i, &missing))) {
            // A whole number of baud that the port can be set to, as the configuration dialog
            // takes it: a rate that passes is a few digits, which the setting holds.
            char problem[LinkRateProblemSize];
            if (!CheckLinkRate(value, problem, sizeof problem))
                return UsageError("%s", problem);
            Override(SettingRate, value);
        } else if ((value = OptionValue("--dir", argc, argv, &i, &missing))) {
            if (!OverrideDirectory(value))
                return UsageError("the directory '%s' is longer than 126 characters as a full path.", value);
        } else if (missing) {
            return UsageError("%s needs a value.", argument);
        } else {
            return UsageError("unknown option '%s'.", argument);
        }
    }
    if (!command->receive && !command->send)
        return UsageError("%s", "say what to do: receive, or send FILE...");
    if (command->send && command->files.empty())
        return UsageError("%s", "send needs the files to send.");
    if (command->once && !command->receive)
        return UsageError("%s", "--once belongs to receive.");
    return GoOn;
}

// The status of a transfer that a stop signal cut, said on standard error.
static int Stopped(void)
{
    fprintf(stderr, "tarnwell-cli: stopped in the middle of a transfer.\n");
    return ExitSignalBase + StopSignal();
}

// True, and said on standard error, once standard output has failed a write: its reader has
// gone (`tarnwell-cli receive | head -1`) or its disk is full. The lines a script reads
// from it would be lost, so the program ends, after the transfer in progress.
static int OutputFailed(void)
{
    if (!ferror(stdout))
        return 0;
    fprintf(stderr, "tarnwell-cli: standard output cannot be written; ending.\n");
    return 1;
}

// Says once when the port goes away (the tick then tries it again every two seconds) and
// once when it is back: nothing else would tell why no file comes in between.
static void TellPortState(void)
{
    static int wasOpen = 1;  // the port opened at the start, or the program had ended
    int open = LinkIsOpen();
    if (open == wasOpen)
        return;
    wasOpen = open;
    EndProgressLine();
    fprintf(stderr, open ? "tarnwell-cli: the serial port is back.\n"
                         : "tarnwell-cli: the serial port has gone away; waiting for it to come back.\n");
}

// The poll tick once a second, as the window's timer runs it, until a stop signal; with
// `once`, until the first reception has run.
static int Receive(int once)
{
    if (OutputIsTerminal()) {
        printf("Waiting for files from the Z88, to be stored in %s. Ctrl-C stops.\n", StoreDirectory);
        fflush(stdout);
    }
    for (;;) {
        long long tick = ClockMs();
        // A failed reception has said why on standard error (AddFailureEntry).
        int outcome = PollLink(nullptr);
        TellPortState();
        if (StopSignal())
            return outcome == 0 ? Stopped() : ExitWhole;
        if (OutputFailed())
            return ExitFailed;
        if (once && outcome != PollIdle)
            return outcome == 1 ? ExitWhole : ExitFailed;
        // A tick that took a second or more (a reception) is followed by the next at once.
        WaitForStopUntil(tick + TickMs);
        if (StopSignal())
            return ExitWhole;
    }
}

// The files in order through the window program's send list: a folder sends the files in
// it, passing over those it cannot send; the first other failure ends the list. Each file
// that failed has said why on standard error (AddFailureEntry). Ends after the file in
// progress when standard output fails.
static int Send(const char* const* files, int count)
{
    SendList list;
    MakeSendList(files, count, &list);
    while (!ferror(stdout) && SendNextFile(nullptr, &list)) {
    }
    int whole = list.sent == (int)list.entries.size();
    if (!whole && StopSignal())
        return Stopped();
    if (OutputFailed())
        return ExitFailed;
    if (whole)
        return ExitWhole;
    int left = (int)(list.entries.size() - list.next);
    if (left > 0)
        fprintf(stderr, "tarnwell-cli: %d more file%s not tried.\n", left, left > 1 ? "s" : "");
    return ExitFailed;
}

#ifdef _WIN32
static const char SendThroughIt[] = "tarnwell.exe FILE...";

// The port name without the device namespace's "\\.\" that a Windows name may be typed with.
static const char* PlainPortName(const char* name)
{
    return strncmp(name, "\\\\.\\", 4) == 0 ? name + 4 : name;
}

// Non-zero when the window program runs with `port` as its own (the stored "Port", which it
// opens and goes back to when the port goes away). Asked before this program opens the port:
// where the system lets a COM port be opened twice (Wine, some virtual COM drivers), the open
// would succeed, and the two programs would read one line.
static int WindowProgramHasPort(const char* windowPort, const char* port)
{
    return SameIgnoringCase(PlainPortName(windowPort), PlainPortName(port)) && WindowProgramRuns();
}
#else
static const char SendThroughIt[] = "`tarnwell FILE...`";

// Linux asks nothing before the open: the port's exclusive mark and lock turn it away,
// whatever name the device goes by, and that failure tells.
static int WindowProgramHasPort(const char*, const char*)
{
    return 0;
}
#endif

// Says that the window program holds the port, and how to send through it instead.
static int HeldByWindowProgram(void)
{
    fprintf(stderr, "tarnwell-cli: the port is in use by Tarnwell; %s sends through it\n", SendThroughIt);
    return ExitNoPort;
}

int main(int argc, char** argv)
{
    // The window program's port, before the command line's --port overrides it.
    char windowPort[TextSize], port[TextSize];
    PeekSetting(SettingPort, windowPort);
    Command command;
    int status = ReadCommandLine(argc, argv, &command);
    if (status == GoOn && command.receive)
        status = CheckStoreDirectory();
    if (status != GoOn)
        return status;

    PeekSetting(SettingPort, port);
    if (WindowProgramHasPort(windowPort, port))
        return HeldByWindowProgram();

    // A reader that has gone does not end the program (SIGPIPE): OutputFailed sees it.
    CatchStopSignals();
    // The connect-failure message, with the reason, has gone to standard error. When the
    // window program runs, it is the likely holder of the port, and the way to it is named.
    OpenLink();
    if (LinkHandle == LinkOpenFailed)
        status = WindowProgramRuns() ? HeldByWindowProgram() : ExitNoPort;
    else if (command.receive)
        status = Receive(command.once);
    else
        status = Send(command.files.data(), (int)command.files.size());
    CloseLink();
    return status;
}
