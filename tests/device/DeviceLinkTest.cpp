// Opening, setting up and closing the port, the two writes, and the fatal error
// report, on real pseudo-terminals.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include "device/CDeviceLink.h"
#include "kernel/KernelTesting.h"
#include "tests/device/DeviceTestSupport.h"
#include "tests/device/TempDir.h"

namespace {

class DeviceLink : public ::testing::Test {
protected:
    void SetUp() override {
        KernelClearFaults();
        line.MapTo(1);
    }
    void TearDown() override { KernelClearFaults(); }

    termios PortSettings() const {
        termios t{};
        tcgetattr(line.SlaveFd(), &t);
        return t;
    }

    PtyLine line;
    BoxLog boxes;
};

// How many of this process's descriptors are open on path.
int OpenDescriptorsOn(const std::string& path) {
    int n = 0;
    DIR* d = opendir("/proc/self/fd");
    while (dirent* e = d ? readdir(d) : nullptr) {
        char target[4096];
        std::string fd = std::string("/proc/self/fd/") + e->d_name;
        ssize_t len = readlink(fd.c_str(), target, sizeof target - 1);
        if (len > 0 && std::string(target, static_cast<std::size_t>(len)) == path)
            ++n;
    }
    if (d)
        closedir(d);
    return n;
}

TEST_F(DeviceLink, OpensAt1200EightNoneOneAndKeepsTheRest) {
    // Settings the link does not own: start and stop characters.
    termios before = PortSettings();
    before.c_cc[VSTART] = 0x05;
    before.c_cc[VSTOP] = 0x06;
    cfsetospeed(&before, B9600);
    before.c_cflag = (before.c_cflag & ~CSIZE) | CS7 | CSTOPB | PARENB;
    ASSERT_EQ(tcsetattr(line.SlaveFd(), TCSANOW, &before), 0);

    CDeviceLink link("COM1");
    EXPECT_TRUE(link.m_bOpen);
    EXPECT_NE(link.m_hPort, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(boxes.Boxes().empty());
    termios after = PortSettings();
    EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B1200));
    EXPECT_EQ(after.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(after.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(after.c_cc[VSTART], 0x05);
    EXPECT_EQ(after.c_cc[VSTOP], 0x06);
}

TEST_F(DeviceLink, FrameAndByteGoOnTheLineExactly) {
    CDeviceLink link("COM1");
    ASSERT_TRUE(link.m_bOpen);
    EXPECT_EQ(link.SendCommand(0x12), TRUE);
    EXPECT_TRUE(LineCarries(line, Frame(0x12)));
    EXPECT_EQ(link.SendByte(0xFF), TRUE);
    EXPECT_EQ(link.SendByte(0x0A), TRUE);
    EXPECT_TRUE(LineCarries(line, Frame(0x12) + Bytes{0xFF, 0x0A}));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DeviceLink, NoSuchPort) {
    TempDir dir;
    setenv("KORVANTO_COM1", dir.Path("no-such-port").c_str(), 1);
    {
        CDeviceLink link("COM1");
        EXPECT_FALSE(link.m_bOpen);
        EXPECT_EQ(link.m_hPort, INVALID_HANDLE_VALUE);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_TRUE(IsFatalReport(boxes.Boxes()[0], kOpenFailed, ENOENT));
    }
    EXPECT_EQ(boxes.Boxes().size(), 1u); // ending it closes nothing and shows nothing
}

TEST_F(DeviceLink, PortHeldByAnotherOpen) {
    auto first = std::make_unique<CDeviceLink>("COM1");
    ASSERT_TRUE(first->m_bOpen);
    {
        CDeviceLink second("COM1");
        EXPECT_FALSE(second.m_bOpen);
        EXPECT_EQ(second.m_hPort, INVALID_HANDLE_VALUE);
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(IsFatalReport(boxes.Boxes()[0], kOpenFailed, EBUSY));
    EXPECT_EQ(first->SendCommand(0x80), TRUE); // the holder keeps its port
    EXPECT_TRUE(LineCarries(line, Frame(0x80)));

    first.reset(); // frees the port for the next run
    CDeviceLink third("COM1");
    EXPECT_TRUE(third.m_bOpen);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

// The null device as the port. The link locks its port, and other tests running at
// the same time may lock /dev/null as well: where allowed, a private node of the
// null device (an inode, and so a lock, of its own) stands in for it.
std::string NullDevice(const TempDir& dir) {
    std::string node = dir.Path("null");
    if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        return node;
    return "/dev/null";
}

TEST_F(DeviceLink, PortThatIsNoTerminal) {
    TempDir dir;
    std::string port = NullDevice(dir);
    setenv("KORVANTO_COM1", port.c_str(), 1);
    int before = OpenDescriptorsOn(port);
    {
        CDeviceLink link("COM1");
        EXPECT_FALSE(link.m_bOpen);
        EXPECT_NE(link.m_hPort, INVALID_HANDLE_VALUE);
        EXPECT_EQ(OpenDescriptorsOn(port), before + 1);
        ASSERT_EQ(boxes.Boxes().size(), 2u);
        EXPECT_TRUE(IsFatalReport(boxes.Boxes()[0], kStateUnread, ENOTTY));
        EXPECT_TRUE(IsFatalReport(boxes.Boxes()[1], kStateUnchanged, ENOTTY));
    }
    EXPECT_EQ(OpenDescriptorsOn(port), before); // closed at the end, silently
    EXPECT_EQ(boxes.Boxes().size(), 2u);
}

TEST_F(DeviceLink, SettingsCannotBeApplied) {
    KernelInjectFault(KernelFault::SetCommState, EIO);
    {
        CDeviceLink link("COM1");
        EXPECT_FALSE(link.m_bOpen);
        EXPECT_NE(link.m_hPort, INVALID_HANDLE_VALUE);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_TRUE(IsFatalReport(boxes.Boxes()[0], kStateUnchanged, EIO));
    }
    CDeviceLink next("COM1"); // the port was closed, so the next run opens it
    EXPECT_TRUE(next.m_bOpen);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(DeviceLink, SettingsCannotBeReadButAreApplied) {
    KernelInjectFault(KernelFault::GetCommState, EIO);
    CDeviceLink link("COM1");
    EXPECT_TRUE(link.m_bOpen);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(IsFatalReport(boxes.Boxes()[0], kStateUnread, EIO));
    termios t = PortSettings();
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B1200));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(link.SendCommand(0x04), TRUE);
    EXPECT_TRUE(LineCarries(line, Frame(0x04)));
}

TEST_F(DeviceLink, PortCannotBeClosed) {
    {
        CDeviceLink link("COM1");
        ASSERT_TRUE(link.m_bOpen);
        KernelInjectFault(KernelFault::CloseHandle, EIO);
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(IsFatalReport(boxes.Boxes()[0], kCloseFailed, EIO));
}

struct ReportCase {
    const char* name;
    const char* message;
    DWORD dwError;
    std::string text; // "%sys%" stands for the system's text of dwError
};
void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

const ReportCase kReportCases[] = {
    {"MessageAndSystemText", "Meldung", ENOENT, "Meldung\n%sys%"},
    {"SystemTextAlone", "", EACCES, "%sys%"},
    {"NoSystemText", "Meldung", 987654, "Meldung\nFehlercode 987654"},
    {"NoSystemTextAlone", "", 987654, "Fehlercode 987654"},
};

class DeviceLinkReport : public DeviceLink, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(DeviceLinkReport, TextCaptionAndStyle) {
    const ReportCase& c = GetParam();
    CDeviceLink link("COM1");
    SetLastError(c.dwError);
    link.FatalError(c.message);
    std::string want = c.text;
    std::size_t at = want.find("%sys%");
    if (at != std::string::npos) {
        std::string sys = SystemText(c.dwError);
        ASSERT_FALSE(sys.empty());
        want.replace(at, 5, sys);
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const Box& box = boxes.Boxes()[0];
    EXPECT_EQ(box.text, want);
    EXPECT_EQ(box.caption, "Schwerer Fehler");
    EXPECT_EQ(box.type, MB_OK | MB_ICONERROR);
    EXPECT_FALSE(box.bOwned);
}

INSTANTIATE_TEST_SUITE_P(Table, DeviceLinkReport, ::testing::ValuesIn(kReportCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
