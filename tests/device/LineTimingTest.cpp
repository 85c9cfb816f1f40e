// The device jobs on a pseudo-terminal that the kernel binding models as a line of
// its configured speed (1200 baud, 8N1: 8333 us a byte): bytes never reach the
// device faster than the line carries them, the line is not left idle between
// the bytes of a stream, and a job moves on (to its next byte, its bar, its
// pacing waits) only once what it wrote has left the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "device/CDeviceLink.h"
#include "kernel/KernelTesting.h"
#include "tests/device/DeviceTestSupport.h"
#include "tests/device/TempDir.h"
#include "tests/support/RunAhead.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration_cast;
using std::chrono::microseconds;

const microseconds kCharTime(8333); // 10 bits at 1200 baud

// A pseudo-terminal whose far end stamps every byte with the time it arrived.
class TimedPeer {
public:
    TimedPeer() {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0 || pipe(m_stop) != 0)
            return;
        m_path = name;
        termios t;
        tcgetattr(m_master, &t);
        cfmakeraw(&t);
        tcsetattr(m_master, TCSANOW, &t);
        m_reader = std::thread([this] { Reader(); });
    }
    ~TimedPeer() {
        if (m_reader.joinable()) {
            (void)!write(m_stop[1], "x", 1);
            m_reader.join();
        }
        for (int fd : {m_master, m_slave, m_stop[0], m_stop[1]})
            if (fd >= 0)
                close(fd);
    }
    void MapTo(int nCom) const {
        setenv(("KORVANTO_COM" + std::to_string(nCom)).c_str(), m_path.c_str(), 1);
    }
    // The arrival times once n bytes have come (fewer after some seconds of silence).
    std::vector<Clock::time_point> Arrivals(std::size_t n) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_more.wait_for(lock, std::chrono::seconds(5), [&] { return m_arrivals.size() >= n; });
        return m_arrivals;
    }

private:
    void Reader() {
        for (;;) {
            pollfd pfd[2] = {{m_master, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
            if (poll(pfd, 2, -1) < 0)
                continue;
            if (pfd[1].revents)
                return;
            unsigned char buf[256];
            const ssize_t r = read(m_master, buf, sizeof buf);
            if (r <= 0)
                continue;
            const Clock::time_point now = Clock::now();
            std::lock_guard<std::mutex> lock(m_mutex);
            m_arrivals.insert(m_arrivals.end(), static_cast<std::size_t>(r), now);
            m_more.notify_all();
        }
    }

    int m_master = -1;
    int m_slave = -1;
    int m_stop[2] = {-1, -1};
    std::string m_path;
    std::thread m_reader;
    std::mutex m_mutex;
    std::condition_variable m_more;
    std::vector<Clock::time_point> m_arrivals;
};

// One step of the bar: when it came, and when the line had carried all bytes then.
struct TimedStep {
    BarStep step;
    Clock::time_point at;
    std::optional<Clock::time_point> idleAt; // none before the first write
};

class LineTiming : public ::testing::Test {
protected:
    void SetUp() override {
        KernelModelLine(KernelLine::Uart);
        peer.MapTo(2);
        link = std::make_unique<CDeviceLink>("COM2");
        ASSERT_TRUE(link->m_bOpen);
        spy.onStep = [this](const BarStep& step) {
            TimedStep timed{step, Clock::now(), std::nullopt};
            Clock::time_point idleAt;
            if (KernelModelledLineIdleAt(link->m_hPort, idleAt))
                timed.idleAt = idleAt;
            steps.push_back(timed);
        };
    }
    void TearDown() override {
        spy.onStep = nullptr;
        link.reset();
        KernelModelLine(KernelLine::None);
    }

    // Every step the job made after writing came once the line had carried it all.
    ::testing::AssertionResult MovedOnOnlyOnceSent() const {
        for (std::size_t i = 0; i < steps.size(); ++i)
            if (steps[i].idleAt && steps[i].at < *steps[i].idleAt)
                return ::testing::AssertionFailure()
                       << "step " << i << " came "
                       << duration_cast<microseconds>(*steps[i].idleAt - steps[i].at).count()
                       << " us before the line had carried the bytes";
        return ::testing::AssertionSuccess();
    }

    TimedPeer peer;
    TempDir dir;
    BarSpy spy;
    BoxLog boxes;
    std::unique_ptr<CDeviceLink> link;
    std::vector<TimedStep> steps;
};

// The blank test runs once (2051 bytes take 17.1 s on the line).
TEST_F(LineTiming, BlankTestKeepsTheLineBusyAtItsRate) {
    RunAhead ahead;
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(link->BlankTest(spy.Bar()));
    const std::vector<Clock::time_point> arrivals = peer.Arrivals(2051);
    ASSERT_EQ(arrivals.size(), 2051u);

    // A data byte (k from 3 on: the frame goes in one write) cannot reach the device
    // before the k bytes ahead of it have crossed the line.
    for (std::size_t k = 3; k < arrivals.size(); ++k)
        if (arrivals[k] - start < static_cast<int>(k) * kCharTime) {
            ADD_FAILURE() << "byte " << k << " arrived after "
                          << duration_cast<microseconds>(arrivals[k] - start).count()
                          << " us, faster than the line carries it";
            break;
        }
    EXPECT_TRUE(MovedOnOnlyOnceSent());

    // The idle time between two data bytes, from one byte's last bit to the next
    // one's first. A busy machine may hold the job back now and then (a few ms on
    // two cores shared by several builds), so up to one gap in five may be long; a
    // drain that polls in jiffies leaves 2 to 8 ms after nearly every byte.
    ASSERT_EQ(steps.size(), 2u + 2048u);
    std::vector<long long> gapsUs;
    for (std::size_t i = 3; i < steps.size(); ++i)
        gapsUs.push_back(
            duration_cast<microseconds>(*steps[i].idleAt - *steps[i - 1].idleAt - kCharTime)
                .count());
    const long long nLong =
        std::count_if(gapsUs.begin(), gapsUs.end(), [](long long us) { return us > 2000; });
    std::sort(gapsUs.begin(), gapsUs.end());
    EXPECT_LE(nLong, static_cast<long long>(gapsUs.size() / 5))
        << "median gap " << gapsUs[gapsUs.size() / 2] << " us, longest " << gapsUs.back() << " us";
}

struct PacedJob {
    const char* name;
    std::function<BOOL(CDeviceLink&, CProgressCtrl*, const CString&)> run;
    int nBytes; // on the line: frame and data
    int nWaits; // pacing waits of 1 ms after them
};
void PrintTo(const PacedJob& c, std::ostream* os) {
    *os << c.name;
}

class PacingAfterTheLine : public LineTiming, public ::testing::WithParamInterface<PacedJob> {};

// Erase and lock bits show the bar only once their waits start, write and verify
// set their last position right before them: each of these steps comes only once
// the command's last byte has left.
TEST_P(PacingAfterTheLine, WaitsStartOnlyOnceTheLastByteHasLeft) {
    const PacedJob& job = GetParam();
    const std::string image = dir.WriteFile("five.bin", {0x0A, 0x0D, 0x11, 0x13, 0x03});
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(job.run(*link, spy.Bar(), CString(image.c_str())));
    EXPECT_GE(Clock::now() - start, job.nBytes * kCharTime + std::chrono::milliseconds(job.nWaits));
    EXPECT_EQ(peer.Arrivals(job.nBytes).size(), static_cast<std::size_t>(job.nBytes));
    ASSERT_FALSE(steps.empty());
    EXPECT_TRUE(steps.back().idleAt.has_value());
    EXPECT_TRUE(MovedOnOnlyOnceSent());
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, PacingAfterTheLine,
    ::testing::Values(
        PacedJob{"Erase",
                 [](CDeviceLink& l, CProgressCtrl* p, const CString&) { return l.Erase(p); }, 3,
                 250},
        PacedJob{"Write",
                 [](CDeviceLink& l, CProgressCtrl* p, const CString& image) {
                     return l.Write(p, image);
                 },
                 8, 30},
        PacedJob{"Verify",
                 [](CDeviceLink& l, CProgressCtrl* p, const CString& image) {
                     return l.Verify(p, image);
                 },
                 8, 30},
        PacedJob{
            "LockBits",
            [](CDeviceLink& l, CProgressCtrl* p, const CString&) { return l.WriteLockBits(p); }, 3,
            250},
        PacedJob{"TransferTest",
                 [](CDeviceLink& l, CProgressCtrl* p, const CString&) { return l.TransferTest(p); },
                 258, 0}),
    [](const ::testing::TestParamInfo<PacedJob>& info) { return std::string(info.param.name); });

} // namespace
