#include "tests/support/ChildProcess.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
constexpr uid_t kNobody = 65534;

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Between fork and exec: async-signal-safe calls only. The program is opened before the privileges
// are dropped and started from that descriptor, so nobody can run it even where a folder above it
// (a checkout under /root, say) is closed to other users.
[[noreturn]] void ExecChild(char* const* argv, int out, int err, bool asNobody)
{
    const int null = ::open("/dev/null", O_RDONLY);
    const bool redirected = null >= 0 && ::dup2(null, 0) == 0 && ::dup2(out, 1) == 1 && ::dup2(err, 2) == 2;
    const int program = ::open(argv[0], O_RDONLY | O_CLOEXEC);
    const bool dropped = !asNobody || ::geteuid() != 0 ||
                         (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
    if (redirected && program >= 0 && dropped)
    {
        ::fexecve(program, argv, environ);
    }
    ::_exit(127);
}

std::string ReadAll(std::FILE* file)
{
    std::string bytes;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    {
        bytes.append(buffer, n);
    }
    return bytes;
}
} // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, bool asNobody)
{
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
    {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    // Anonymous files rather than pipes: the child never waits for the reader, and nothing lands in
    // the working folder.
    ProcessResult result;
    const FilePtr out(std::tmpfile());
    const FilePtr err(std::tmpfile());
    const pid_t pid = out && err ? ::fork() : -1;
    if (pid == 0)
    {
        ExecChild(argv.data(), ::fileno(out.get()), ::fileno(err.get()), asNobody);
    }
    int status = 0;
    pid_t waited = -1;
    while (pid > 0 && (waited = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR)
    {
    }
    if (waited == pid)
    {
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.out = ReadAll(out.get());
        result.err = ReadAll(err.get());
    }
    return result;
}
