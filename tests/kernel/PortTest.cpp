// Serial ports on real pseudo-terminals: names, exclusivity, raw bytes, hang-up.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <future>
#include <memory>
#include <gtest/gtest.h>
#include <pthread.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>

#include "KernelTestSupport.h"
#include "kernel/Kernel.h"
#include "kernel/SerialPort.h"

namespace {

HANDLE OpenPort(const char* name) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// COM1 stands for a fresh pseudo-terminal.
class Port : public ::testing::Test {
protected:
    ktest::PtyPair m_pty;
    std::unique_ptr<ktest::ScopedEnv> m_env;
    HANDLE m_hPort = INVALID_HANDLE_VALUE;

    void SetUp() override {
        ASSERT_TRUE(m_pty.ok());
        m_env = std::make_unique<ktest::ScopedEnv>("KORVANTO_COM1", m_pty.path().c_str());
    }
    void TearDown() override {
        if (m_hPort != INVALID_HANDLE_VALUE)
            CloseHandle(m_hPort);
    }
    void Open() {
        m_hPort = OpenPort("COM1");
        ASSERT_NE(m_hPort, INVALID_HANDLE_VALUE) << GetLastError();
    }
    termios PortSettings() {
        termios t{};
        tcgetattr(m_pty.slave(), &t);
        return t;
    }
    // Reads n bytes from the port, failing instead of hanging when they do not come.
    std::vector<unsigned char> ReadFromPort(DWORD n) {
        std::future<std::vector<unsigned char>> done = std::async(std::launch::async, [&] {
            std::vector<unsigned char> buf(n);
            DWORD got = 0;
            if (!ReadFile(m_hPort, buf.data(), n, &got, nullptr))
                got = 0;
            buf.resize(got);
            return buf;
        });
        if (done.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
            ADD_FAILURE() << "the port did not receive " << n << " bytes";
            m_pty.CloseMaster(); // ends the read
        }
        return done.get();
    }
};

TEST_F(Port, AllByteValuesPassUnalteredBothWaysAfterCookedMode) {
    ktest::MakeCooked(m_pty.slave());
    Open();
    const std::vector<unsigned char> all = ktest::AllByteValues();

    DWORD n = 0;
    ASSERT_TRUE(WriteFile(m_hPort, all.data(), 256, &n, nullptr));
    EXPECT_EQ(n, 256u);
    EXPECT_EQ(ktest::ReadFromPeer(m_pty.master(), 256), all);

    for (unsigned char b : all) // as the device jobs write: one byte per call
        ASSERT_TRUE(WriteFile(m_hPort, &b, 1, &n, nullptr));
    EXPECT_EQ(ktest::ReadFromPeer(m_pty.master(), 256), all);
    EXPECT_FALSE(ktest::PeerHasData(m_pty.master(), 100)); // nothing extra (no CR before LF)

    ktest::WriteToPeer(m_pty.master(), all);
    EXPECT_EQ(ReadFromPort(256), all);
    EXPECT_FALSE(ktest::PeerHasData(m_pty.master(), 200)); // nothing echoed
}

TEST_F(Port, OpenedPortIsRawWithModemLinesIgnored) {
    ktest::MakeCooked(m_pty.slave());
    Open();
    const termios t = PortSettings();
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | IXANY | ISTRIP), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_cc[VMIN], 1);
}

TEST_F(Port, SecondOpenOfAHeldPortIsBusyUntilClosed) {
    Open();
    EXPECT_EQ(OpenPort("COM1"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBUSY));
    {
        ktest::ScopedLocale c("C");
        EXPECT_EQ(ktest::SystemText(EBUSY), "Device or resource busy (" + m_pty.path() + ")");
    }
    EXPECT_EQ(OpenPort("com1"), INVALID_HANDLE_VALUE); // the same port by another spelling
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBUSY));

    ASSERT_TRUE(CloseHandle(m_hPort));
    m_hPort = OpenPort("COM1");
    EXPECT_NE(m_hPort, INVALID_HANDLE_VALUE);
}

TEST_F(Port, ExclusiveMarkIsSetWhileHeldAndClearedOnClose) {
    Open();
    int excl = 0;
    ASSERT_EQ(ioctl(m_pty.slave(), TIOCGEXCL, &excl), 0);
    EXPECT_EQ(excl, 1);
    ASSERT_TRUE(CloseHandle(m_hPort));
    m_hPort = INVALID_HANDLE_VALUE;
    ASSERT_EQ(ioctl(m_pty.slave(), TIOCGEXCL, &excl), 0);
    EXPECT_EQ(excl, 0); // a user without root can open it again
}

TEST_F(Port, FailedSecondOpenLeavesTheHoldersMark) {
    Open();
    ASSERT_EQ(OpenPort("COM1"), INVALID_HANDLE_VALUE);
    int excl = 0;
    ASSERT_EQ(ioctl(m_pty.slave(), TIOCGEXCL, &excl), 0);
    EXPECT_EQ(excl, 1);
}

TEST_F(Port, HangUpMakesWriteFail) {
    Open();
    const BYTE b = 0xEB;
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(m_hPort, &b, 1, &n, nullptr));
    m_pty.CloseMaster();
    EXPECT_FALSE(WriteFile(m_hPort, &b, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EIO));
    EXPECT_TRUE(ktest::SystemText(GetLastError()).has_value());
    EXPECT_TRUE(CloseHandle(m_hPort));
    m_hPort = INVALID_HANDLE_VALUE;
}

TEST_F(Port, LargeWriteIsCompleteWhileThePeerReadsSlowly) {
    Open();
    std::vector<unsigned char> data(64 * 1024);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 7 + i / 256);
    std::future<std::vector<unsigned char>> peer = std::async(
        std::launch::async, [&] { return ktest::ReadFromPeer(m_pty.master(), data.size()); });
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(m_hPort, data.data(), static_cast<DWORD>(data.size()), &n, nullptr));
    EXPECT_EQ(n, data.size());
    EXPECT_EQ(peer.get(), data);
}

extern "C" void IgnoreSignal(int) {}

TEST_F(Port, InterruptedWriteGoesOnToTheEnd) {
    Open();
    struct sigaction sa {};
    struct sigaction old {};
    sa.sa_handler = IgnoreSignal;
    sa.sa_flags = 0; // no SA_RESTART: a blocked write returns early
    ASSERT_EQ(sigaction(SIGUSR1, &sa, &old), 0);

    std::vector<unsigned char> data(64 * 1024, 0x5A);
    std::atomic<bool> done{false};
    pthread_t writer{};
    std::promise<pthread_t> started;
    std::future<BOOL> wrote = std::async(std::launch::async, [&] {
        started.set_value(pthread_self());
        DWORD n = 0;
        const BOOL ok =
            WriteFile(m_hPort, data.data(), static_cast<DWORD>(data.size()), &n, nullptr) &&
            n == data.size();
        done = true;
        return ok;
    });
    writer = started.get_future().get();
    for (int i = 0; i < 5 && !done; ++i) { // the pty's buffer is full: the writer blocks
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        pthread_kill(writer, SIGUSR1);
    }
    EXPECT_EQ(ktest::ReadFromPeer(m_pty.master(), data.size()).size(), data.size());
    EXPECT_TRUE(wrote.get());
    sigaction(SIGUSR1, &old, nullptr);
}

TEST_F(Port, PathThatIsNoTerminalOpensButHasNoSettings) {
    ktest::ScopedEnv devnull("KORVANTO_COM2", "/dev/null");
    HANDLE h = OpenPort("COM2");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DCB dcb{};
    EXPECT_FALSE(GetCommState(h, &dcb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ENOTTY));
    EXPECT_FALSE(SetCommState(h, &dcb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ENOTTY));
    const BYTE b = 1;
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(h, &b, 1, &n, nullptr));
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(Port, DirectoryAsPortPathFails) {
    ktest::ScopedEnv dir("KORVANTO_COM4", "/");
    EXPECT_EQ(OpenPort("COM4"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EISDIR));
}

// Every spelling of COM1 reaches the pseudo-terminal the environment names.
class PortNameSpelling : public Port, public ::testing::WithParamInterface<const char*> {};

TEST_P(PortNameSpelling, OpensThePathFromTheEnvironment) {
    m_hPort = OpenPort(GetParam());
    ASSERT_NE(m_hPort, INVALID_HANDLE_VALUE);
    const BYTE b = 0x42;
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(m_hPort, &b, 1, &n, nullptr));
    EXPECT_EQ(ktest::ReadFromPeer(m_pty.master(), 1), std::vector<unsigned char>{0x42});
}

INSTANTIATE_TEST_SUITE_P(Table, PortNameSpelling, ::testing::Values("COM1", "com1", "CoM1"));

struct PortPathCase {
    const char* name;
    const char* env;  // value of KORVANTO_COM<n> for the name's n; nullptr: unset
    const char* path; // nullptr: no port name
};

class PortPath : public ::testing::TestWithParam<PortPathCase> {};

TEST_P(PortPath, MapsNamesToDevices) {
    const PortPathCase& c = GetParam();
    std::vector<std::unique_ptr<ktest::ScopedEnv>> env;
    for (const char* var : {"KORVANTO_COM1", "KORVANTO_COM2", "KORVANTO_COM3", "KORVANTO_COM4"})
        env.push_back(std::make_unique<ktest::ScopedEnv>(var, nullptr));
    if (c.env && c.name && std::strlen(c.name) == 4) {
        const std::string var = std::string("KORVANTO_COM") + c.name[3];
        env.push_back(std::make_unique<ktest::ScopedEnv>(var.c_str(), c.env));
    }
    std::string path = "unchanged";
    EXPECT_EQ(KernelPortPath(c.name, path), c.path != nullptr);
    if (c.path) {
        EXPECT_EQ(path, c.path);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PortPath,
    ::testing::Values(
        PortPathCase{"COM1", nullptr, "/dev/ttyS0"}, PortPathCase{"com2", nullptr, "/dev/ttyS1"},
        PortPathCase{"Com3", nullptr, "/dev/ttyS2"}, PortPathCase{"cOM4", nullptr, "/dev/ttyS3"},
        PortPathCase{"COM2", "/dev/ttyUSB0", "/dev/ttyUSB0"},
        PortPathCase{"com4", "/tmp/my port", "/tmp/my port"},
        PortPathCase{"COM3", "", "/dev/ttyS2"}, PortPathCase{"COM0", nullptr, nullptr},
        PortPathCase{"COM5", nullptr, nullptr}, PortPathCase{"COM", nullptr, nullptr},
        PortPathCase{"COM12", nullptr, nullptr}, PortPathCase{"COM1 ", nullptr, nullptr},
        PortPathCase{"COM1:", nullptr, nullptr}, PortPathCase{"XCOM1", nullptr, nullptr},
        PortPathCase{"/dev/ttyS0", nullptr, nullptr}, PortPathCase{"", nullptr, nullptr},
        PortPathCase{nullptr, nullptr, nullptr}));

TEST(PortPathEnvironment, OnlyTheVariableOfThatPortCounts) {
    ktest::ScopedEnv one("KORVANTO_COM1", "/dev/pts/77");
    ktest::ScopedEnv two("KORVANTO_COM2", nullptr);
    std::string path;
    ASSERT_TRUE(KernelPortPath("COM2", path));
    EXPECT_EQ(path, "/dev/ttyS1");
}

} // namespace
