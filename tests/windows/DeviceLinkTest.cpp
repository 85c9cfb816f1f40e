// The device jobs of the program's own CDeviceLink on Windows' serial services, as Wine
// gives them on a pseudo-terminal: COM1 and COM3 are the two ends of one line
// (tests/windows/port-pair.sh); what a job writes to COM1 is read back on COM3 and must
// be exactly the frames and bytes of the job - none added, translated or swallowed.
// Only the jobs that open no message box run here (a box would wait for a user).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "device/CDeviceLink.h"
#include "kernel/Kernel.h"
#include "ui/CProgressCtrl.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Frame(BYTE code) {
    return {0xEB, 0x98, code};
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Everything that arrives on COM3 while it is open; set up as a plain binary port.
class LineReader {
public:
    LineReader() {
        m_hPort = CreateFileA("COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
        if (m_hPort == INVALID_HANDLE_VALUE)
            return;
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        GetCommState(m_hPort, &dcb);
        dcb.BaudRate = CBR_1200;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = TRUE;
        dcb.fOutX = dcb.fInX = FALSE;
        m_bOk = SetCommState(m_hPort, &dcb);
        // A read returns what has come, or after 50 ms of nothing.
        COMMTIMEOUTS timeouts{MAXDWORD, MAXDWORD, 50, 0, 0};
        m_bOk = m_bOk && SetCommTimeouts(m_hPort, &timeouts);
        if (m_bOk)
            m_thread = std::thread([this] { Run(); });
    }
    ~LineReader() {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_hPort != INVALID_HANDLE_VALUE)
            CloseHandle(m_hPort);
    }
    bool Ok() const { return m_bOk; }

    // What came until the line was quiet for a while.
    Bytes Received() {
        for (size_t n = SIZE_MAX; n != m_nReceived.load();) {
            n = m_nReceived.load();
            Sleep(300);
        }
        m_bStop = true;
        m_thread.join();
        return m_data;
    }

private:
    void Run() {
        BYTE buf[512];
        while (!m_bStop) {
            DWORD n = 0;
            if (!ReadFile(m_hPort, buf, sizeof buf, &n, nullptr))
                break;
            m_data.insert(m_data.end(), buf, buf + n);
            m_nReceived += n;
        }
    }

    HANDLE m_hPort = INVALID_HANDLE_VALUE;
    BOOL m_bOk = FALSE;
    std::thread m_thread;
    std::atomic<bool> m_bStop{false};
    std::atomic<size_t> m_nReceived{0};
    Bytes m_data;
};

class DeviceLinkOnWine : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&icc));
        HWND hWnd = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 200, 20, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(hWnd, nullptr);
        ASSERT_TRUE(m_progress.Attach(hWnd));
        ASSERT_TRUE(m_reader.Ok()) << "COM3 is not the far end of COM1 (port-pair.sh)";
    }
    void TearDown() override {
        HWND hWnd = m_progress.Detach();
        if (hWnd)
            DestroyWindow(hWnd);
        if (!m_strImage.empty())
            DeleteFileA(m_strImage.c_str());
    }

    // An image file holding every byte value, the line's control characters among them.
    CString MakeImage(Bytes& content) {
        content.clear();
        for (int i = 0; i < 256; ++i)
            content.push_back(static_cast<BYTE>(255 - i));
        for (BYTE b : {0x0A, 0x0D, 0x03, 0x11, 0x13, 0x00, 0x1A, 0xFF})
            content.push_back(b);
        char dir[MAX_PATH];
        char path[MAX_PATH];
        EXPECT_GT(GetTempPathA(MAX_PATH, dir), 0u);
        EXPECT_NE(GetTempFileNameA(dir, "img", 0, path), 0u);
        m_strImage = path;
        HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        EXPECT_TRUE(WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &n, nullptr));
        CloseHandle(h);
        return CString(path);
    }

    CProgressCtrl m_progress;
    LineReader m_reader;
    std::string m_strImage;
};

TEST_F(DeviceLinkOnWine, TransferTestSendsItsFrameAndEveryByteValue) {
    {
        CDeviceLink link("COM1");
        ASSERT_TRUE(link.m_bOpen);
        EXPECT_TRUE(link.TransferTest(&m_progress));
        EXPECT_EQ(m_progress.GetPos(), 258);
    }
    Bytes expected = Frame(CMD_TRANSFERTEST);
    for (int b = 1; b <= 255; ++b)
        expected.push_back(static_cast<BYTE>(b));
    EXPECT_EQ(m_reader.Received(), expected);
}

TEST_F(DeviceLinkOnWine, WriteAndVerifySendTheImageUnaltered) {
    Bytes image;
    CString strImage = MakeImage(image);
    {
        CDeviceLink link("com1"); // port names in any case
        ASSERT_TRUE(link.m_bOpen);
        EXPECT_TRUE(link.Write(&m_progress, strImage));
        EXPECT_TRUE(link.Verify(&m_progress, strImage));
    }
    EXPECT_EQ(m_reader.Received(), Frame(CMD_WRITE) + image + Frame(CMD_VERIFY) + image);
}

TEST_F(DeviceLinkOnWine, EraseAndBlankTest) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    {
        CDeviceLink link("COM1");
        ASSERT_TRUE(link.m_bOpen);
        EXPECT_TRUE(link.Erase(&m_progress));
        QueryPerformanceCounter(&end);
        // 250 waits of 1 ms after the frame: never less than 250 ms.
        EXPECT_GE((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart, 250);
        EXPECT_TRUE(link.BlankTest(&m_progress));
        EXPECT_EQ(m_progress.GetPos(), 2047);
    }
    EXPECT_EQ(m_reader.Received(), Frame(CMD_ERASE) + Frame(CMD_VERIFY) + Bytes(2048, 0xFF));
}

} // namespace
