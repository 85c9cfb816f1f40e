// The pacing event and timed waits.
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "kernel/Kernel.h"

namespace {

using Clock = std::chrono::steady_clock;

// What a wait may be given: the pacing event, or something that is none.
class WaitOn : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const std::string kind = GetParam();
        if (kind == "event") {
            m_h = m_event = CreateEventA(nullptr, FALSE, FALSE, "warten");
        } else if (kind == "closed") {
            m_h = CreateEventA(nullptr, FALSE, FALSE, "warten");
            CloseHandle(m_h);
        } else {
            m_h = kind == "null" ? nullptr : INVALID_HANDLE_VALUE;
        }
    }
    void TearDown() override {
        if (m_event)
            CloseHandle(m_event);
    }
    bool IsEvent() const { return m_event != nullptr; }

    HANDLE m_h = nullptr;
    HANDLE m_event = nullptr;
};

TEST_P(WaitOn, OneMillisecondNeverEndsEarly) {
    for (int i = 0; i < 100; ++i) {
        const Clock::time_point start = Clock::now();
        const DWORD r = WaitForSingleObject(m_h, 1);
        const Clock::duration took = Clock::now() - start;
        ASSERT_GE(took, std::chrono::milliseconds(1)) << "wait " << i;
        ASSERT_EQ(r, IsEvent() ? WAIT_TIMEOUT : WAIT_FAILED);
        if (!IsEvent()) {
            ASSERT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
        }
    }
}

TEST_P(WaitOn, LongerWaitLastsItsTime) {
    const Clock::time_point start = Clock::now();
    WaitForSingleObject(m_h, 25);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(25));
}

INSTANTIATE_TEST_SUITE_P(Table, WaitOn, ::testing::Values("event", "null", "invalid", "closed"));

TEST(Event, AutoResetEndsOneWaitPerSignal) {
    HANDLE h = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(h, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_TIMEOUT);
    ASSERT_TRUE(SetEvent(h));
    EXPECT_EQ(WaitForSingleObject(h, 1000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(h));
}

TEST(Event, ManualResetStaysSignalled) {
    HANDLE h = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(SetEvent(h));
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(h));
}

TEST(Event, InitiallySignalled) {
    HANDLE h = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(h));
}

TEST(Event, SignalFromAnotherThreadEndsAnEndlessWait) {
    HANDLE h = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::thread t([h] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SetEvent(h);
    });
    EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    t.join();
    EXPECT_TRUE(CloseHandle(h));
}

TEST(Event, SameNameIsTheSameEventWhileOpen) {
    HANDLE a = CreateEventA(nullptr, FALSE, FALSE, "korvanto-test-event");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE b = CreateEventA(nullptr, FALSE, FALSE, "korvanto-test-event");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EEXIST));
    HANDLE other = CreateEventA(nullptr, FALSE, FALSE, "korvanto-other-event");
    ASSERT_NE(a, b);
    ASSERT_TRUE(SetEvent(a));
    EXPECT_EQ(WaitForSingleObject(other, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(SetEvent(a));
    EXPECT_TRUE(CloseHandle(a));
    EXPECT_TRUE(CloseHandle(b));
    EXPECT_TRUE(CloseHandle(other));
    // all handles closed: the name makes a fresh, unsignalled event
    HANDLE c = CreateEventA(nullptr, FALSE, FALSE, "korvanto-test-event");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(c, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(c));
}

TEST(Event, UnnamedEventsAreSeparate) {
    HANDLE a = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE b = CreateEventA(nullptr, FALSE, FALSE, "");
    ASSERT_TRUE(SetEvent(a));
    EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(a));
    EXPECT_TRUE(CloseHandle(b));
}

TEST(Event, ClosedEventCannotBeSignalledOrClosedAgain) {
    HANDLE h = CreateEventA(nullptr, FALSE, FALSE, "warten");
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_FALSE(SetEvent(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
}

TEST(Event, NotAFileHandle) {
    HANDLE h = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    BYTE b = 0;
    DWORD n = 0;
    EXPECT_FALSE(WriteFile(h, &b, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EBADF));
    EXPECT_TRUE(CloseHandle(h));
}

} // namespace
