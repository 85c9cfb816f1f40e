// A port that others use without flock: another process that holds the terminal open,
// a UUCP lock file of a terminal program, and the lock file the binding keeps itself
// for the length of a run - removed when the port is closed and when the process ends.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "KernelTestSupport.h"
#include "kernel/Kernel.h"
#include "kernel/PortLock.h"

namespace {

HANDLE OpenPort(const char* name) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string LockText(pid_t pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return text;
}

// A child process that holds nothing of its parent's: every inherited descriptor is
// closed. With a path it opens that terminal plainly, with no lock of any kind.
class Holder {
public:
    explicit Holder(const std::string& path = "") {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            for (int fd = 0; fd < 1024; ++fd)
                if (fd != ready[1])
                    ::close(fd);
            if (!path.empty() && ::open(path.c_str(), O_RDWR | O_NOCTTY) < 0)
                ::_exit(1);
            (void)!::write(ready[1], "r", 1);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char c = 0;
        m_bReady = m_pid > 0 && ::read(ready[0], &c, 1) == 1;
        ::close(ready[0]);
    }
    ~Holder() { End(); }
    void End() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }
    bool ready() const { return m_bReady; }
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    bool m_bReady = false;
};

// A pid that no process has any more.
pid_t DeadPid() {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

// COM1 stands for a fresh pseudo-terminal; its lock file is neither there before nor
// left after.
class PortLock : public ::testing::Test {
protected:
    ktest::PtyPair m_pty;
    std::unique_ptr<ktest::ScopedEnv> m_env;
    std::string m_lock;

    void SetUp() override {
        ASSERT_TRUE(m_pty.ok());
        m_env = std::make_unique<ktest::ScopedEnv>("KORVANTO_COM1", m_pty.path().c_str());
        m_lock = KernelPortLockPath(m_pty.path());
        ::unlink(m_lock.c_str()); // left by an earlier process that had this terminal
    }
    void TearDown() override {
        EXPECT_FALSE(Exists(m_lock)) << m_lock << " left behind";
        ::unlink(m_lock.c_str());
    }
    void WriteLock(const std::string& text) {
        std::ofstream(m_lock, std::ios::binary) << text;
        ASSERT_EQ(ReadAll(m_lock), text);
    }
};

TEST_F(PortLock, LockFileNamesTheDeviceOfTheLink) {
    ktest::TempDir dir;
    const std::string link = (dir.path() / "com").string();
    ASSERT_EQ(::symlink(m_pty.path().c_str(), link.c_str()), 0);
    const std::string base = m_pty.path().substr(m_pty.path().rfind('/') + 1);
    EXPECT_EQ(KernelPortLockPath(link), "/var/lock/LCK.." + base);
    EXPECT_EQ(m_lock, "/var/lock/LCK.." + base);
}

// The run holds the lock file: the process's pid, ten ASCII digits and a line feed.
TEST_F(PortLock, HeldWhileOpenRemovedOnClose) {
    HANDLE h = OpenPort("COM1");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_EQ(ReadAll(m_lock), LockText(::getpid()));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(Exists(m_lock));
}

// A program that opened the terminal without any lock: the port is busy, its settings
// are left alone, and the next open after that program has gone succeeds.
TEST_F(PortLock, AnotherProcessHoldingTheTerminalMakesItBusy) {
    ktest::MakeCooked(m_pty.slave());
    termios before{};
    ASSERT_EQ(::tcgetattr(m_pty.slave(), &before), 0);
    Holder holder(m_pty.path());
    ASSERT_TRUE(holder.ready());

    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(OpenPort("COM1"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBUSY));
    EXPECT_FALSE(Exists(m_lock)) << "a refused port keeps no lock";
    termios after{};
    ASSERT_EQ(::tcgetattr(m_pty.slave(), &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag) << "the refused open changed the terminal";
    EXPECT_EQ(after.c_oflag, before.c_oflag);

    holder.End();
    HANDLE h = OpenPort("COM1");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_TRUE(CloseHandle(h));
}

// A process of its own that holds nothing of the terminal is no holder.
TEST_F(PortLock, AnotherProcessWithoutTheTerminalIsNoHolder) {
    Holder holder;
    ASSERT_TRUE(holder.ready());
    HANDLE h = OpenPort("COM1");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_TRUE(CloseHandle(h));
}

// The lock file of a live terminal program: busy, and the file stays as it was.
TEST_F(PortLock, LiveLockFileOfAnotherProcessMakesItBusy) {
    Holder holder; // alive, holding nothing of the terminal
    ASSERT_TRUE(holder.ready());
    const std::string text = LockText(holder.pid());
    WriteLock(text);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(OpenPort("COM1"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBUSY));
    EXPECT_EQ(ReadAll(m_lock), text);
    ::unlink(m_lock.c_str());
}

// A lock file whose process is gone, whatever form it has, is replaced by the run's.
TEST_F(PortLock, StaleLockFileIsReplaced) {
    const pid_t dead = DeadPid();
    int binary = static_cast<int>(dead);
    for (const std::string& stale : {LockText(dead), std::to_string(dead) + "\n",
                                     std::string(reinterpret_cast<char*>(&binary), 4)}) {
        WriteLock(stale);
        HANDLE h = OpenPort("COM1");
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
        EXPECT_EQ(ReadAll(m_lock), LockText(::getpid()));
        EXPECT_TRUE(CloseHandle(h));
        EXPECT_FALSE(Exists(m_lock));
    }
}

// An earlier process with this pid left its lock: no other handle of this process
// holds the port, so the lock is stale.
TEST_F(PortLock, OwnPidLeftByAnEarlierProcessIsStale) {
    WriteLock(LockText(::getpid()));
    HANDLE h = OpenPort("COM1");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    EXPECT_TRUE(CloseHandle(h));
}

// A second process of the program: refused while the first holds the port, and a
// process that ends normally with the port still open leaves no lock file.
TEST_F(PortLock, SecondProgramIsRefusedAndTheLockGoesWithTheProcess) {
    auto run = [&](std::FILE*& out, std::FILE*& in, pid_t& pid) {
        int toChild[2], fromChild[2];
        ASSERT_EQ(::pipe(toChild), 0);
        ASSERT_EQ(::pipe(fromChild), 0);
        pid = ::fork();
        if (pid == 0) {
            ::dup2(toChild[0], 0);
            ::dup2(fromChild[1], 1);
            for (int fd = 3; fd < 1024; ++fd)
                ::close(fd);
            ::execl(KORVANTO_PORT_HOLDER, KORVANTO_PORT_HOLDER, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(toChild[0]);
        ::close(fromChild[1]);
        out = ::fdopen(fromChild[0], "r");
        in = ::fdopen(toChild[1], "w");
    };
    auto said = [](std::FILE* out) {
        char line[64] = {};
        return std::fgets(line, sizeof line, out) ? std::string(line) : std::string("nothing");
    };
    auto finish = [](std::FILE* out, std::FILE* in, pid_t pid) {
        std::fputs("end\n", in);
        std::fclose(in);
        std::fclose(out);
        int status = -1;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };

    m_pty.CloseSlave(); // this process holds nothing of the port now
    std::FILE *out1 = nullptr, *in1 = nullptr, *out2 = nullptr, *in2 = nullptr;
    pid_t pid1 = -1, pid2 = -1;
    run(out1, in1, pid1);
    ASSERT_EQ(said(out1), "open\n");
    EXPECT_EQ(ReadAll(m_lock), LockText(pid1));
    run(out2, in2, pid2);
    EXPECT_EQ(said(out2), "refused " + std::to_string(EBUSY) + "\n");
    EXPECT_EQ(finish(out2, in2, pid2), 0);
    EXPECT_EQ(ReadAll(m_lock), LockText(pid1)) << "the refused one touched the lock";
    EXPECT_EQ(finish(out1, in1, pid1), 0);
    EXPECT_FALSE(Exists(m_lock)) << "the process ended and left its lock";
}

} // namespace
