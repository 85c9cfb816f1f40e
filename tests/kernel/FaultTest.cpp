// Injected faults: the chosen call fails with the chosen error, without the real call.
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>
#include <termios.h>

#include "KernelTestSupport.h"
#include "kernel/Kernel.h"
#include "kernel/KernelTesting.h"

namespace {

class Fault : public ::testing::Test {
protected:
    ktest::PtyPair m_pty;
    ktest::TempDir m_dir;
    std::unique_ptr<ktest::ScopedEnv> m_env;
    HANDLE m_hPort = INVALID_HANDLE_VALUE;

    void SetUp() override {
        ASSERT_TRUE(m_pty.ok());
        m_env = std::make_unique<ktest::ScopedEnv>("KORVANTO_COM1", m_pty.path().c_str());
        m_hPort = OpenPort();
        ASSERT_NE(m_hPort, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        KernelClearFaults();
        if (m_hPort != INVALID_HANDLE_VALUE)
            CloseHandle(m_hPort);
    }
    static HANDLE OpenPort() {
        return CreateFileA("COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    }
    BOOL WriteByte(BYTE b) {
        DWORD n = 0;
        return WriteFile(m_hPort, &b, 1, &n, nullptr);
    }
};

TEST_F(Fault, CreateFileFailsWithoutOpening) {
    const std::string path = m_dir.File("f.bin", "x");
    KernelInjectFault(KernelFault::CreateFile, EACCES);
    EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EACCES));
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE); // fired once
    CloseHandle(h);
}

TEST_F(Fault, GetCommStateFails) {
    KernelInjectFault(KernelFault::GetCommState, EIO);
    DCB dcb{};
    EXPECT_FALSE(GetCommState(m_hPort, &dcb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EIO));
    EXPECT_TRUE(GetCommState(m_hPort, &dcb));
}

TEST_F(Fault, SetCommStateFailsAndLeavesTheSettings) {
    DCB dcb;
    ASSERT_TRUE(GetCommState(m_hPort, &dcb));
    dcb.BaudRate = 2400;
    KernelInjectFault(KernelFault::SetCommState, EINVAL);
    EXPECT_FALSE(SetCommState(m_hPort, &dcb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EINVAL));
    termios t{};
    tcgetattr(m_pty.slave(), &t);
    EXPECT_NE(cfgetospeed(&t), static_cast<speed_t>(B2400));
    EXPECT_TRUE(SetCommState(m_hPort, &dcb));
    tcgetattr(m_pty.slave(), &t);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B2400));
}

TEST_F(Fault, WriteFileFailsAndNothingReachesTheLine) {
    KernelInjectFault(KernelFault::WriteFile, EIO);
    EXPECT_FALSE(WriteByte(0x01));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EIO));
    EXPECT_TRUE(WriteByte(0x02));
    EXPECT_EQ(ktest::ReadFromPeer(m_pty.master(), 2, 300), std::vector<unsigned char>{0x02});
}

TEST_F(Fault, NthCallFailsOnlyThatOne) {
    KernelInjectFault(KernelFault::WriteFile, ENOSPC, 3);
    EXPECT_TRUE(WriteByte(0x01));
    EXPECT_TRUE(WriteByte(0x02));
    EXPECT_FALSE(WriteByte(0x03));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ENOSPC));
    EXPECT_TRUE(WriteByte(0x04));
    EXPECT_EQ(ktest::ReadFromPeer(m_pty.master(), 4, 300),
              (std::vector<unsigned char>{0x01, 0x02, 0x04}));
}

TEST_F(Fault, PendingFaultsOfDifferentOperationsCountApart) {
    KernelInjectFault(KernelFault::WriteFile, EIO, 2);
    KernelInjectFault(KernelFault::GetCommState, EPERM, 1);
    DCB dcb{};
    EXPECT_TRUE(WriteByte(0x01));
    EXPECT_FALSE(GetCommState(m_hPort, &dcb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EPERM));
    EXPECT_FALSE(WriteByte(0x02));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EIO));
}

TEST_F(Fault, ReadFileFailsWithoutConsumingAByte) {
    HANDLE h = CreateFileA(m_dir.File("f.bin", "AB").c_str(), GENERIC_READ, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    KernelInjectFault(KernelFault::ReadFile, EIO);
    char c = 0;
    DWORD n = 9;
    EXPECT_FALSE(ReadFile(h, &c, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EIO));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(ReadFile(h, &c, 1, &n, nullptr));
    EXPECT_EQ(c, 'A');
    CloseHandle(h);
}

TEST_F(Fault, CloseHandleFailsAndThePortStaysOpen) {
    KernelInjectFault(KernelFault::CloseHandle, EIO);
    EXPECT_FALSE(CloseHandle(m_hPort));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EIO));
    EXPECT_EQ(OpenPort(), INVALID_HANDLE_VALUE); // still held
    EXPECT_TRUE(WriteByte(0x07));
    EXPECT_TRUE(CloseHandle(m_hPort));
    m_hPort = OpenPort();
    EXPECT_NE(m_hPort, INVALID_HANDLE_VALUE);
}

TEST_F(Fault, ClearDropsPendingFaults) {
    KernelInjectFault(KernelFault::WriteFile, EIO);
    KernelInjectFault(KernelFault::CloseHandle, EIO, 2);
    KernelClearFaults();
    EXPECT_TRUE(WriteByte(0x01));
    EXPECT_TRUE(CloseHandle(m_hPort));
    m_hPort = INVALID_HANDLE_VALUE;
}

} // namespace
