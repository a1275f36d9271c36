// Runs a piece of code in a forked child and captures what it writes to standard output and how it ends:
// for checks that print their report and end the process.
#pragma once

#include <cstdio>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct ChildResult
{
    int exitCode = -1000; // exit code, or -1000 when the child did not exit normally
    std::string out;      // standard output
};

// fn runs in the child; if it returns, the child exits with code 0.
template <class Fn> ChildResult RunInChild(Fn fn)
{
    ChildResult res;
    fflush(stdout);
    int fds[2];
    if (pipe(fds) != 0) return res;
    pid_t pid = fork();
    if (pid < 0) return res;
    if (pid == 0)
    {
        close(fds[0]);
        dup2(fds[1], 1);
        close(fds[1]);
        fn();
        fflush(stdout);
        _exit(0);
    }
    close(fds[1]);
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) res.out.append(buf, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) res.exitCode = WEXITSTATUS(status);
    return res;
}

// The report with every "Line: <number>" written as "Line: N", so texts compare without line numbers.
inline std::string WithoutLineNumbers(const std::string& text)
{
    return std::regex_replace(text, std::regex("Line: [0-9]+\n"), "Line: N\n");
}
