// A child process of a test on Linux (see process.h): posix_spawn, and waitpid polled until
// the time limit.
#include "tests/support/process.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>

extern char** environ;

static std::thread Collect(int fd, std::string* text)
{
    return std::thread([fd, text] {
        char chunk[512];
        ssize_t got;
        // A pty's master reads EIO once the program has closed its end.
        while ((got = read(fd, chunk, sizeof chunk)) > 0 || (got < 0 && errno == EINTR)) {
            if (got > 0)
                text->append(chunk, (size_t)got);
        }
        close(fd);
    });
}

bool StartChild(ChildProcess* child, const std::string& path, const std::vector<std::string>& arguments,
                ChildOutput output)
{
    std::vector<char*> argv{(char*)path.c_str()};
    for (const std::string& argument : arguments)
        argv.push_back((char*)argument.c_str());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output == InheritOutput || output == DiscardOutput) {
        if (output == DiscardOutput) {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_adddup2(&actions, 1, 2);
        }
        int spawned = posix_spawnp(&child->pid, path.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        return spawned == 0;
    }

    int out[2], err[2];
    if (output == TerminalOutput ? openpty(&out[0], &out[1], nullptr, nullptr, nullptr) != 0 : pipe(out) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return false;
    }
    if (pipe(err) != 0) {
        close(out[0]);
        close(out[1]);
        posix_spawn_file_actions_destroy(&actions);
        return false;
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    int spawned = posix_spawnp(&child->pid, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    child->outReader = Collect(out[0], &child->out);
    child->errReader = Collect(err[0], &child->err);
    return spawned == 0;
}

// Set by the build (tests/CMakeLists.txt) in a tree whose programs need an emulator.
#ifndef TARNWELL_EMULATOR
#define TARNWELL_EMULATOR ""
#endif

const char* BuildEmulator()
{
    return TARNWELL_EMULATOR;
}

bool StartBuiltProgram(ChildProcess* child, const std::string& path, const std::vector<std::string>& arguments,
                       ChildOutput output)
{
    std::vector<std::string> words;
    std::istringstream emulator(BuildEmulator());
    for (std::string word; emulator >> word;)
        words.push_back(word);
    if (words.empty())
        return StartChild(child, path, arguments, output);
    words.push_back(path);
    words.insert(words.end(), arguments.begin(), arguments.end());
    return StartChild(child, words[0], {words.begin() + 1, words.end()}, output);
}

static void JoinReaders(ChildProcess* child)
{
    if (child->outReader.joinable())
        child->outReader.join();
    if (child->errReader.joinable())
        child->errReader.join();
}

int WaitForChild(ChildProcess* child, int timeoutMs)
{
    if (child->pid <= 0)
        return -1;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status;
        pid_t done = waitpid(child->pid, &status, timeoutMs < 0 ? 0 : WNOHANG);
        if (done == child->pid) {
            child->pid = 0;
            JoinReaders(child);
            return WIFEXITED(status) ? WEXITSTATUS(status) : 256 + WTERMSIG(status);
        }
        if ((done < 0 && errno != EINTR) || (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline))
            return -1;
        if (done == 0)
            usleep(10000);
    }
}

void KillChild(ChildProcess* child, int signal)
{
    if (child->pid > 0) {
        kill(child->pid, signal);
        waitpid(child->pid, nullptr, 0);
        child->pid = 0;
    }
    JoinReaders(child);
}

int OpenDescriptors(pid_t pid)
{
    char path[64];
    snprintf(path, sizeof path, pid ? "/proc/%d/fd" : "/proc/self/fd", (int)pid);
    DIR* folder = pid >= 0 ? opendir(path) : nullptr;
    if (!folder)
        return -1;
    int count = 0;
    while (struct dirent* entry = readdir(folder))
        count += entry->d_name[0] != '.';
    closedir(folder);
    return count;
}
