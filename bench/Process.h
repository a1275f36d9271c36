// What the benchmark's parts share: the clock, the game and helper processes it starts, and the presents
// counter that the preloaded hook (PresentHook.cpp) adds to. The clock and the counter are inline, so the
// hook uses them without linking anything of the benchmark.
#pragma once

#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

// Nanoseconds of the monotonic clock (the same in every process).
inline int64_t NowNs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The 64-bit counter at the start of the file at path, mapped shared: a process that adds to it is seen by
// every other at once, without a system call. create: the file is made (or emptied) to hold just the
// counter, at 0. Null when it cannot be mapped.
inline volatile uint64_t* MapCounter(const char* pPath, bool create)
{
    int fd = pPath ? open(pPath, create ? O_RDWR | O_CREAT | O_TRUNC : O_RDWR, 0600) : -1;
    if (fd < 0) return nullptr;
    void* p = MAP_FAILED;
    if (!create || ftruncate(fd, sizeof(uint64_t)) == 0)
        p = mmap(nullptr, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    return p == MAP_FAILED ? nullptr : static_cast<volatile uint64_t*>(p);
}

// A child with standard output to out and standard error to err (-1: /dev/null) and the environment
// changed by env (NAME=VALUE sets, NAME= unsets). With an empty argv the child runs pBody instead of a
// program and exits with its result.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int out, int err,
            int (*pBody)(void*) = nullptr, void* pArg = nullptr);
// Ends the child: SIGTERM, then SIGKILL when it is still there after 5 s.
void Stop(pid_t pid);
