// korvanto-sim --port: the simulated device at the far end of a line, on a linked
// pair of pseudo-terminals (socat) standing in for two serial adapters and a
// null-modem cable.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "tests/device/SimProcess.h"
#include "tests/device/TempDir.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Two pseudo-terminals whose bytes socat carries across, reachable at a and b.
class LinkedPair {
public:
    explicit LinkedPair(const TempDir& dir) : m_a(dir.Path("a")), m_b(dir.Path("b")) {
        m_pid = fork();
        if (m_pid == 0) {
            execlp("socat", "socat", ("pty,raw,echo=0,link=" + m_a).c_str(),
                   ("pty,raw,echo=0,link=" + m_b).c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 500 && !Ready(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~LinkedPair() { Cut(); }
    bool Ready() const {
        struct stat st;
        return stat(m_a.c_str(), &st) == 0 && stat(m_b.c_str(), &st) == 0;
    }
    // The cable is pulled: socat ends and takes both terminals with it.
    void Cut() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }
    const std::string& a() const { return m_a; }
    const std::string& b() const { return m_b; }

private:
    std::string m_a, m_b;
    pid_t m_pid = -1;
};

// The program's end of the line: raw, 1200 baud.
int OpenProgramEnd(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return -1;
    termios t;
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B1200);
    cfsetospeed(&t, B1200);
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

void Send(int fd, const Bytes& bytes) {
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

// The value of key in a report line, or a negative number.
double Field(const std::string& line, const std::string& key) {
    const std::string::size_type at = line.find(" " + key + "=");
    return at == std::string::npos ? -1.0 : std::atof(line.c_str() + at + key.size() + 2);
}

TEST(SimPort, DeviceOnTheFarEndDecodesAndReportsThePace) {
    TempDir dir;
    LinkedPair pair(dir);
    ASSERT_TRUE(pair.Ready());
    // Pauses of a busy machine between the slow bytes below never end the stream.
    SimProcess sim({"--port", pair.a(), "--exit-after", "1", "--stream-gap", "1000",
                    "--stream-settle", "1000"});
    ASSERT_TRUE(sim.WaitFor("READY", 5000)) << sim.Report();
    EXPECT_EQ(sim.Lines().front(), "READY port=" + pair.a());

    // The simulator's end is set up as the device wants it, whatever it held.
    const int sim_end = open(pair.a().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(sim_end, 0);
    termios t;
    ASSERT_EQ(tcgetattr(sim_end, &t), 0);
    close(sim_end);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B1200));
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);

    const int fd = OpenProgramEnd(pair.b());
    ASSERT_GE(fd, 0);
    const Bytes image = {0x0A, 0x0D, 0x11, 0x13, 0x03};
    Send(fd, {0xEB, 0x98, 0x04});
    for (unsigned char b : image) { // a slow stream: one byte every 10 ms or more
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Send(fd, {b});
    }
    EXPECT_EQ(sim.Wait(10000), 0) << sim.Report();
    close(fd);

    EXPECT_TRUE(sim.HasLine("CMD n=1 code=0x04 name=write data=5 result=ok")) << sim.Report();
    const std::string pace = sim.Line("PACE");
    ASSERT_EQ(pace.rfind("PACE in=write data=5 bytes-per-s=", 0), 0u) << sim.Report();
    const double rate = Field(pace, "bytes-per-s");
    const double maxGap = Field(pace, "max-gap-ms");
    EXPECT_EQ(Field(pace, "line-bytes-per-s"), 120.0);
    EXPECT_GT(rate, 0.0);
    EXPECT_GT(maxGap, 0.0);
    // The stream's span holds its longest gap: 5 bytes over at least that long.
    EXPECT_LE(rate, 5 * 1000.0 / maxGap + 0.1) << pace;
    EXPECT_EQ(sim.Line("SUMMARY"), "SUMMARY commands=1 stray=0 dropped=0 shortfalls=0 "
                                   "line-faults=0 locked=no blank=no gaps=0");
    EXPECT_EQ(sim.Lines().back(), "EXIT reason=count status=0");
}

TEST(SimPort, PulledCableEndsTheSession) {
    TempDir dir;
    LinkedPair pair(dir);
    ASSERT_TRUE(pair.Ready());
    SimProcess sim({"--port", pair.a()});
    ASSERT_TRUE(sim.WaitFor("READY", 5000)) << sim.Report();
    pair.Cut();
    EXPECT_EQ(sim.Wait(5000), 0) << sim.Report();
    EXPECT_EQ(sim.Lines().back(), "EXIT reason=hangup status=0");
}

struct RefusedStart {
    const char* name;
    std::vector<std::string> args; // "A" stands for the pair's end a
    bool bHoldA;                   // another process holds a
};
void PrintTo(const RefusedStart& c, std::ostream* os) {
    *os << c.name;
}

class SimPortRefused : public ::testing::TestWithParam<RefusedStart> {};

TEST_P(SimPortRefused, ExitsWithStatusTwoAndNoReport) {
    TempDir dir;
    LinkedPair pair(dir);
    ASSERT_TRUE(pair.Ready());
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args)
        if (arg == "A")
            arg = pair.a();
        else if (arg == "LINK")
            arg = dir.Path("com");
        else if (arg == "MISSING")
            arg = dir.Path("no-such-port");
    int held = -1;
    if (GetParam().bHoldA) {
        held = open(pair.a().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    }
    SimProcess sim(args);
    EXPECT_EQ(sim.Wait(5000), 2) << sim.Report();
    EXPECT_TRUE(sim.Lines().empty()) << sim.Report();
    if (held >= 0)
        close(held);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimPortRefused,
    ::testing::Values(RefusedStart{"PortAndLink", {"--port", "A", "--link", "LINK"}, false},
                      RefusedStart{"NeitherPortNorLink", {"--idle-exit", "100"}, false},
                      RefusedStart{"MissingPort", {"--port", "MISSING"}, false},
                      RefusedStart{"NoTerminal", {"--port", "/dev/null"}, false},
                      RefusedStart{"PortInUse", {"--port", "A"}, true}),
    [](const ::testing::TestParamInfo<RefusedStart>& info) {
        return std::string(info.param.name);
    });

} // namespace
