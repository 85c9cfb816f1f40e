#include "tests/device/SimProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

std::string SimPath() {
    return KORVANTO_SIM_PATH;
}

SimProcess::SimProcess(const std::vector<std::string>& args, int runAsUid) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    std::string path = SimPath();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        if (runAsUid != -1 && (setgid(static_cast<gid_t>(runAsUid)) != 0 ||
                               setuid(static_cast<uid_t>(runAsUid)) != 0))
            _exit(126);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    m_out = fds[0];
}

SimProcess::~SimProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0)
        close(m_out);
}

bool SimProcess::ReadSome(int timeoutMs) {
    if (m_out < 0)
        return false;
    pollfd pfd{m_out, POLLIN, 0};
    if (poll(&pfd, 1, timeoutMs) <= 0)
        return false;
    char buf[4096];
    ssize_t n = read(m_out, buf, sizeof buf);
    if (n <= 0) {
        close(m_out);
        m_out = -1;
        return false;
    }
    m_partial.append(buf, static_cast<std::size_t>(n));
    std::size_t nl;
    while ((nl = m_partial.find('\n')) != std::string::npos) {
        m_lines.push_back(m_partial.substr(0, nl));
        m_partial.erase(0, nl + 1);
    }
    return true;
}

bool SimProcess::WaitFor(const std::string& prefix, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t seen = 0;
    for (;;) {
        for (; seen < m_lines.size(); ++seen)
            if (m_lines[seen].rfind(prefix, 0) == 0)
                return true;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0 || (!ReadSome(static_cast<int>(left)) && m_out < 0))
            return false;
    }
}

int SimProcess::Reap(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_out >= 0 && std::chrono::steady_clock::now() < deadline)
        ReadSome(50);
    for (;;) {
        int status = 0;
        pid_t r = waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int SimProcess::Stop(int sig) {
    if (m_pid <= 0)
        return -1;
    kill(m_pid, sig);
    return Reap(5000);
}

int SimProcess::Wait(int timeoutMs) {
    if (m_pid <= 0)
        return -1;
    return Reap(timeoutMs);
}

std::string SimProcess::Line(const std::string& prefix) const {
    for (const std::string& l : m_lines)
        if (l.rfind(prefix, 0) == 0)
            return l;
    return "";
}

std::string SimProcess::Report() const {
    std::string all;
    for (const std::string& l : m_lines)
        all += l + "\n";
    return all;
}

bool SimProcess::HasLine(const std::string& line) const {
    for (const std::string& l : m_lines)
        if (l == line)
            return true;
    return false;
}
