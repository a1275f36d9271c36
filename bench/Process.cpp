#include "Process.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>

namespace
{

void SetEnvironment(const std::vector<std::string>& env)
{
    for (const std::string& e : env)
    {
        size_t eq = e.find('=');
        if (eq + 1 == e.size())
            unsetenv(e.substr(0, eq).c_str());
        else
            setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
}

} // namespace

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int out, int err,
            int (*pBody)(void*), void* pArg)
{
    pid_t pid = fork();
    if (pid != 0) return pid;
    int null = open("/dev/null", O_RDWR);
    dup2(out >= 0 ? out : null, 1);
    dup2(err >= 0 ? err : null, 2);
    SetEnvironment(env);
    if (argv.empty()) _exit(pBody(pArg));
    std::vector<char*> cargv;
    for (const std::string& a : argv) cargv.push_back(strdup(a.c_str()));
    cargv.push_back(nullptr);
    execvp(cargv[0], cargv.data());
    _exit(127);
}

void Stop(pid_t pid)
{
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i, usleep(50000))
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}
