// 1000 runs of open - transfer test - close in one process against one
// pseudo-terminal: nothing may pile up, neither descriptors nor memory.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "device/CDeviceLink.h"
#include "kernel/KernelTesting.h"
#include "tests/device/DeviceTestSupport.h"
#include "tests/fault/FaultSupport.h"

namespace {

constexpr int kRuns = 1000;
constexpr int kWarmUpRuns = 20;
constexpr std::size_t kBytesPerRun = 3 + 255;
// A leak of a few hundred bytes a run shows well above what the allocator and
// the windowing system may keep for their own; the run itself keeps nothing.
constexpr long kRssGrowthLimitKiB = 4096;

// A pseudo-terminal whose far end counts what arrives and keeps none of it, so
// the measurement sees the program's memory only.
class CountingLine {
public:
    CountingLine() {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        m_path = name;
        termios t;
        tcgetattr(m_master, &t);
        cfmakeraw(&t);
        tcsetattr(m_master, TCSANOW, &t);
        m_reader = std::thread([this] { Read(); });
    }
    ~CountingLine() {
        m_stop = true;
        if (m_reader.joinable())
            m_reader.join();
        close(m_master);
        close(m_slave);
    }
    const std::string& Path() const { return m_path; }
    std::size_t Count() const { return m_count; }
    // Waits until n bytes have arrived (at most 5 s).
    bool WaitFor(std::size_t n) const {
        for (int i = 0; i < 5000 && m_count < n; ++i)
            usleep(1000);
        return m_count >= n;
    }

private:
    void Read() {
        unsigned char buf[4096];
        while (!m_stop) {
            pollfd pfd{m_master, POLLIN, 0};
            if (poll(&pfd, 1, 20) > 0 && (pfd.revents & POLLIN)) {
                const ssize_t n = read(m_master, buf, sizeof buf);
                if (n > 0)
                    m_count += static_cast<std::size_t>(n);
            }
        }
    }

    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<std::size_t> m_count{0};
    std::thread m_reader;
};

// One run as the panel makes it: the link, one job, the link's end.
void OneRun(CProgressCtrl* pBar) {
    CDeviceLink link("COM3");
    if (link.m_bOpen)
        link.TransferTest(pBar);
}

TEST(Soak, ThousandRunsLeaveNothingBehind) {
    KernelClearFaults();
    CountingLine line;
    ASSERT_FALSE(line.Path().empty());
    setenv("KORVANTO_COM3", line.Path().c_str(), 1);
    int nBoxes = 0;
    SetBoxResponder([&](const BoxCall&) {
        ++nBoxes;
        return IDOK;
    });
    HWND hBar = CreateTestControl("msctls_progress32", 1001, TRUE);
    CProgressCtrl bar;
    bar.Attach(hBar);

    for (int i = 0; i < kWarmUpRuns; ++i)
        OneRun(&bar);
    ASSERT_TRUE(line.WaitFor(kWarmUpRuns * kBytesPerRun));
    const int nFdBefore = OpenDescriptorCount();
    const long rssBefore = ResidentKiB();

    for (int i = 0; i < kRuns; ++i)
        OneRun(&bar);
    EXPECT_TRUE(line.WaitFor((kWarmUpRuns + kRuns) * kBytesPerRun));

    const int nFdAfter = OpenDescriptorCount();
    const long rssAfter = ResidentKiB();
    std::printf("soak: %d runs, %zu bytes on the line, descriptors %d -> %d, "
                "RSS %ld KiB -> %ld KiB (%+ld KiB)\n",
                kRuns, line.Count(), nFdBefore, nFdAfter, rssBefore, rssAfter,
                rssAfter - rssBefore);
    RecordProperty("rss_before_kib", std::to_string(rssBefore));
    RecordProperty("rss_after_kib", std::to_string(rssAfter));

    EXPECT_EQ(nBoxes, 0);
    EXPECT_EQ(line.Count(), (kWarmUpRuns + kRuns) * kBytesPerRun);
    EXPECT_EQ(nFdAfter, nFdBefore) << OpenDescriptorList();
    ASSERT_GT(rssBefore, 0);
    if (ResidentSizeTellsLeaks()) {
        EXPECT_LT(rssAfter - rssBefore, kRssGrowthLimitKiB);
    } else {
        EXPECT_EQ(LeaksFoundNow(), 0) << "LeakSanitizer found unreachable memory (above)";
    }

    bar.Detach();
    DestroyTestControl(hBar);
    SetBoxResponder({});
    unsetenv("KORVANTO_COM3");
}

} // namespace
