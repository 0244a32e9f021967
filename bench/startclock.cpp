// Time from starting a program to the moment its window is on the screen, as seen from
// outside: starts PROGRAM with its standard output appended to FILE, and waits until a
// line containing MARKER appears in FILE (the program writes it when its window is
// exposed: Tessarine in its support log, plainscalewindow on standard output). Prints
// the child's process id, the seconds it took and its resident memory then, and leaves
// the child running. cpu-share.sh uses it for both programs.
//
//   startclock FILE MARKER PROGRAM [ARGUMENTS...]

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <unistd.h>

extern char **environ;

namespace {

bool fileHolds(const char *path, const char *marker)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str().find(marker) != std::string::npos;
}

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: startclock FILE MARKER PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const char *path = argv[1];
    const char *marker = argv[2];
    const int out = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const int watch = inotify_init1(IN_CLOEXEC);
    if (out < 0 || watch < 0 || inotify_add_watch(watch, path, IN_MODIFY) < 0) {
        std::perror("startclock");
        return 1;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[3], &actions, nullptr, argv + 3, environ) != 0) {
        std::perror("startclock: posix_spawn");
        return 1;
    }

    // Each write to FILE wakes this up; give up after 20 s.
    while (!fileHolds(path, marker)) {
        pollfd waiting{watch, POLLIN, 0};
        if (::poll(&waiting, 1, 20000) <= 0) {
            std::fprintf(stderr, "startclock: %s never wrote \"%s\"\n", argv[3], marker);
            return 1;
        }
        char events[4096];
        if (::read(watch, events, sizeof events) < 0)
            return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d %.4f %ld\n", static_cast<int>(child), seconds, residentKiB(child));
    return 0;
}
