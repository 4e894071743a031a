#include "support/run_executable.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tunestrip::testing {
namespace {

[[noreturn]] void runChild(const std::string& program, const std::vector<std::string>& arguments,
                           const RunOptions& options, int outputPipe)
{
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) {
        _exit(127);
    }
    if (options.fileSizeLimit >= 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    int nothing = open(options.standardInput.empty() ? "/dev/null" : options.standardInput.c_str(), O_RDONLY);
    dup2(nothing, STDIN_FILENO);
    dup2(outputPipe, STDOUT_FILENO);
    if (options.withErrors) {
        dup2(outputPipe, STDERR_FILENO);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}

}  // namespace

std::string programUnderTest(const char* builtIn, const char* variable)
{
    const char* chosen = std::getenv(variable);
    return chosen != nullptr && *chosen != '\0' ? chosen : builtIn;
}

ProgramRun runExecutable(const std::string& program, const std::vector<std::string>& arguments,
                         const RunOptions& options)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        close(pipeEnds[0]);
        runChild(program, arguments, options, pipeEnds[1]);
    }
    close(pipeEnds[1]);
    ProgramRun run;
    int status = 0;
    bool exited = false;
    char chunk[65536];
    // Read until the program has exited and its output is drained: a
    // process it started (Wine's services) may hold the pipe open longer.
    for (;;) {
        pollfd ready{pipeEnds[0], POLLIN, 0};
        int events = poll(&ready, 1, exited ? 0 : 100);
        if (events > 0) {
            ssize_t got = read(pipeEnds[0], chunk, sizeof chunk);
            if (got > 0) {
                run.output.append(chunk, static_cast<std::size_t>(got));
                continue;
            }
            if (got == 0 || errno != EINTR) {
                break;
            }
            continue;
        }
        if (events == 0 && exited) {
            break;
        }
        if (!exited && waitpid(child, &status, WNOHANG) == child) {
            exited = true;
        }
    }
    close(pipeEnds[0]);
    if (!exited) {
        waitpid(child, &status, 0);
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace tunestrip::testing
