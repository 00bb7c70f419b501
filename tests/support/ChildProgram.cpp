#include "support/ChildProgram.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnex::test {

ChildProgram::ChildProgram(const std::string& program, const std::vector<std::string>& arguments,
                           const Options& options) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const std::string path = std::string(VARNEX_BIN_DIR) + "/" + program;
    // Everything the child needs is built before the fork: after it only
    // async-signal-safe calls are allowed in a threaded test program.
    std::vector<std::string> texts{path};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
    for (const auto& [name, value] : options.environment) environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        const int input = ::open("/dev/null", O_RDONLY);
        ::dup2(input, STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        // The test program's own handlers and mask must not be inherited.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ, SIGPIPE}) ::signal(signal, SIG_DFL);
        if (options.fileSizeLimit >= 0) {
            const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit),
                               static_cast<rlim_t>(options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execve(path.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    outPipe_ = out[0];
    errPipe_ = err[0];
}

ChildProgram::~ChildProgram() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (outPipe_ >= 0) ::close(outPipe_);
    if (errPipe_ >= 0) ::close(errPipe_);
}

bool ChildProgram::ReadSome(int milliseconds) {
    pollfd fds[2] = {{outPipe_, POLLIN, 0}, {errPipe_, POLLIN, 0}};
    if (outPipe_ < 0 && errPipe_ < 0) return false;
    const int ready = ::poll(fds, 2, milliseconds);
    if (ready <= 0) return true;
    int* pipes[2] = {&outPipe_, &errPipe_};
    std::string* texts[2] = {&out_, &err_};
    for (int k = 0; k < 2; ++k) {
        if (*pipes[k] < 0 || fds[k].revents == 0) continue;
        char chunk[65536];
        const ssize_t count = ::read(*pipes[k], chunk, sizeof chunk);
        if (count > 0) {
            texts[k]->append(chunk, static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            ::close(*pipes[k]);
            *pipes[k] = -1;
        }
    }
    return outPipe_ >= 0 || errPipe_ >= 0;
}

bool ChildProgram::WaitForError(const std::string& text, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (err_.find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > end || !ReadSome(50)) return false;
    }
    return true;
}

void ChildProgram::Signal(int signal) {
    if (pid_ > 0) ::kill(pid_, signal);
}

void ChildProgram::CloseOutput() {
    if (outPipe_ >= 0) ::close(outPipe_);
    outPipe_ = -1;
}

int ChildProgram::Wait() {
    while (ReadSome(1000)) {}
    if (pid_ > 0) {
        while (::waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {}
        pid_ = -1;
    }
    return status_;
}

std::string DescribeStatus(int status) {
    if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

} // namespace varnex::test
