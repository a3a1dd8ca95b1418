// tool_run.cpp - outside programs for mkmedia: on Linux only, where the
// vendor builds; mkmedia.exe reports them missing.
#include "tool_run.h"

#ifdef _WIN32

int RunTool(const std::vector<std::string> &, const std::string &, std::string &)
{
    return kToolMissing;
}

#else

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

int RunTool(const std::vector<std::string> &argv, const std::string &input, std::string &output)
{
    int to_child[2], from_child[2];
    if (pipe(to_child) != 0)
        return kToolMissing;
    if (pipe(from_child) != 0) {
        close(to_child[0]);
        close(to_child[1]);
        return kToolMissing;
    }
    // A program that leaves before reading its input must not end mkmedia.
    signal(SIGPIPE, SIG_IGN);
    pid_t child = fork();
    if (child == 0) {
        dup2(to_child[0], 0);
        dup2(from_child[1], 1);
        dup2(from_child[1], 2);
        close(to_child[0]);
        close(to_child[1]);
        close(from_child[0]);
        close(from_child[1]);
        std::vector<char *> args;
        for (const std::string &arg : argv)
            args.push_back(const_cast<char *>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(kToolMissing);
    }
    close(to_child[0]);
    close(from_child[1]);
    if (child > 0) {
        // The input is a line or two: it fits in the pipe before the
        // program reads anything.
        ssize_t written = write(to_child[1], input.data(), input.size());
        (void)written;
    }
    close(to_child[1]);
    char buffer[4096];
    ssize_t got;
    while ((got = read(from_child[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<size_t>(got));
    close(from_child[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return kToolMissing;
    return WIFEXITED(status) ? WEXITSTATUS(status) : kToolMissing;
}

#endif
