// WriteFile on a port waits until its bytes have left the line - on a pseudo-terminal
// that behaves as a serial line of its configured speed (the kernel binding's
// modelled line). Every bound here is a lower bound or a count of long gaps with
// room for a busy machine, never a tight upper limit on a time.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "KernelTestSupport.h"
#include "kernel/Kernel.h"
#include "kernel/KernelTesting.h"
#include "tests/support/RunAhead.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration_cast;
using std::chrono::microseconds;

HANDLE OpenPort(const char* name) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// A pseudo-terminal always carries 8 data bits and no parity; speed and stop bits
// are its own.
struct LineCase {
    KernelLine model;
    DWORD baud;
    BYTE byteSize;
    BYTE parity;
    BYTE stopBits;
    int bits; // start, data, parity and stop bits of one character
    int nBytes;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << (c.model == KernelLine::Uart ? "uart " : "adapter ") << c.baud << " baud, " << c.bits
        << " bits";
}

// COM1 is a fresh pseudo-terminal modelled as a line; a thread reads what it carries.
class ModelledLine : public ::testing::Test {
protected:
    ktest::PtyPair m_pty;
    std::unique_ptr<ktest::ScopedEnv> m_env;
    HANDLE m_hPort = INVALID_HANDLE_VALUE;
    std::future<std::vector<unsigned char>> m_peer;

    void SetUp() override {
        ASSERT_TRUE(m_pty.ok());
        m_env = std::make_unique<ktest::ScopedEnv>("KORVANTO_COM1", m_pty.path().c_str());
    }
    void TearDown() override {
        if (m_hPort != INVALID_HANDLE_VALUE)
            CloseHandle(m_hPort);
        KernelModelLine(KernelLine::None);
        KernelSetDrain(KernelDrain::Fine);
    }
    void Open(KernelLine model, DWORD baud = 1200, BYTE byteSize = 8, BYTE parity = NOPARITY,
              BYTE stopBits = ONESTOPBIT) {
        KernelModelLine(model);
        m_hPort = OpenPort("COM1");
        ASSERT_NE(m_hPort, INVALID_HANDLE_VALUE) << GetLastError();
        DCB dcb{};
        ASSERT_TRUE(GetCommState(m_hPort, &dcb));
        dcb.BaudRate = baud;
        dcb.ByteSize = byteSize;
        dcb.Parity = parity;
        dcb.StopBits = stopBits;
        ASSERT_TRUE(SetCommState(m_hPort, &dcb)) << GetLastError();
    }
    void Read(size_t n) {
        m_peer = std::async(std::launch::async,
                            [this, n] { return ktest::ReadFromPeer(m_pty.master(), n); });
    }
    Clock::time_point IdleAt() {
        Clock::time_point at{};
        EXPECT_TRUE(KernelModelledLineIdleAt(m_hPort, at));
        return at;
    }
};

class LineTime : public ModelledLine, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineTime, WriteReturnsOnlyOnceTheLineHasCarriedIt) {
    const LineCase& c = GetParam();
    Open(c.model, c.baud, c.byteSize, c.parity, c.stopBits);
    const std::vector<unsigned char> data(static_cast<size_t>(c.nBytes), 0x55);
    Read(data.size());
    const microseconds lineTime(1000000LL * c.bits * c.nBytes / c.baud);

    const Clock::time_point start = Clock::now();
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(m_hPort, data.data(), static_cast<DWORD>(data.size()), &n, nullptr));
    const Clock::time_point end = Clock::now();
    EXPECT_GE(end - start, lineTime);
    EXPECT_GE(end, IdleAt()); // the modelled line is idle when the call returns
    EXPECT_EQ(m_peer.get(), data);

    // One byte a call, as the jobs write: each takes its own character time.
    const Clock::time_point again = Clock::now();
    for (int i = 0; i < c.nBytes; ++i)
        ASSERT_TRUE(WriteFile(m_hPort, data.data(), 1, &n, nullptr));
    EXPECT_GE(Clock::now() - again, lineTime);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineTime,
    ::testing::Values(LineCase{KernelLine::Uart, 1200, 8, NOPARITY, ONESTOPBIT, 10, 12},
                      LineCase{KernelLine::Adapter, 1200, 8, NOPARITY, ONESTOPBIT, 10, 12},
                      LineCase{KernelLine::Uart, 2400, 8, NOPARITY, TWOSTOPBITS, 11, 24},
                      LineCase{KernelLine::Adapter, 2400, 8, NOPARITY, TWOSTOPBITS, 11, 24},
                      LineCase{KernelLine::Adapter, 9600, 8, NOPARITY, ONESTOPBIT, 10, 96}));

// The gaps the line sees between bytes written one at a time: the time from one
// byte's last bit to the next byte's first. A busy machine may hold the writer back
// now and then (a few ms on two cores shared by several builds), so up to one gap
// in five may be long; a drain that polls in jiffies leaves a long gap after nearly
// every byte.
class LineGaps : public ModelledLine, public ::testing::WithParamInterface<KernelLine> {};

TEST_P(LineGaps, BytesFollowEachOtherWithoutAnIdleLine) {
    Open(GetParam());
    RunAhead ahead;
    const int kBytes = 60;
    Read(kBytes);
    const microseconds charTime(8333);
    std::vector<Clock::time_point> idleAt;
    for (int i = 0; i < kBytes; ++i) {
        const BYTE b = static_cast<BYTE>(i);
        DWORD n = 0;
        ASSERT_TRUE(WriteFile(m_hPort, &b, 1, &n, nullptr));
        idleAt.push_back(IdleAt());
    }
    EXPECT_EQ(m_peer.get().size(), static_cast<size_t>(kBytes));

    std::vector<long long> gapsUs;
    for (size_t i = 1; i < idleAt.size(); ++i)
        gapsUs.push_back(duration_cast<microseconds>(idleAt[i] - idleAt[i - 1] - charTime).count());
    const long long nLong =
        std::count_if(gapsUs.begin(), gapsUs.end(), [](long long us) { return us > 2000; });
    std::sort(gapsUs.begin(), gapsUs.end());
    EXPECT_LE(nLong, static_cast<long long>(gapsUs.size() / 5))
        << "median gap " << gapsUs[gapsUs.size() / 2] << " us, longest " << gapsUs.back() << " us";
}

INSTANTIATE_TEST_SUITE_P(Table, LineGaps, ::testing::Values(KernelLine::Uart, KernelLine::Adapter));

TEST_F(ModelledLine, LineThatStopsFailsTheWriteInsteadOfHanging) {
    Open(KernelLine::Uart);
    DCB dcb{};
    ASSERT_TRUE(GetCommState(m_hPort, &dcb));
    dcb.fOutxCtsFlow = TRUE; // hardware handshake, and nobody raises CTS
    ASSERT_TRUE(SetCommState(m_hPort, &dcb));

    const BYTE frame[3] = {0xEB, 0x98, 0x12};
    const Clock::time_point start = Clock::now();
    std::future<DWORD> wrote = std::async(std::launch::async, [&] {
        DWORD n = 0;
        return WriteFile(m_hPort, frame, 3, &n, nullptr) ? ERROR_SUCCESS : GetLastError();
    });
    ASSERT_EQ(wrote.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_EQ(wrote.get(), static_cast<DWORD>(ETIMEDOUT));
    EXPECT_TRUE(ktest::SystemText(ETIMEDOUT).has_value());
    EXPECT_GE(Clock::now() - start, std::chrono::seconds(2)); // a line is given time to move

    // What was held is dropped: once the line moves again, a byte is not stuck behind it.
    dcb.fOutxCtsFlow = FALSE;
    ASSERT_TRUE(SetCommState(m_hPort, &dcb));
    const BYTE b = 0x42;
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(m_hPort, &b, 1, &n, nullptr)) << GetLastError();
}

} // namespace
