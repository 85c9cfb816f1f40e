// Every failure a run can meet on its way to the device, one row each: the link is
// opened on a real pseudo-terminal (or on what the row puts in the port's place),
// one job runs on it with a real progress control, the link ends. Each row is
// checked for the exact reports, the exact bytes on the line (so none after the
// failure), the port free afterwards, and no descriptor left open.
#include <gtest/gtest.h>

#include <cerrno>
#include <iostream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "device/CDeviceLink.h"
#include "kernel/KernelTesting.h"
#include "tests/device/DeviceTestSupport.h"
#include "tests/device/TempDir.h"
#include "tests/fault/FaultSupport.h"

namespace {

enum class Port {
    Pty,        // a pseudo-terminal, free
    Missing,    // the path names nothing
    Busy,       // another link holds the pseudo-terminal
    NoTerminal, // /dev/null: opens, but is no terminal
};

enum class Image { None, Good, Missing, EmptyPath, Directory, Fifo, Unreadable, Pattern100 };

enum class JobKind { None, TransferTest, BlankTest, Write, Verify };

struct Fault {
    KernelFault op;
    DWORD dwError;
    int nCall;
};

struct Report {
    const char* message;
    DWORD dwError;
};

struct FaultRow {
    const char* name;
    Port port;
    std::vector<Fault> openFaults; // injected before the link opens
    bool bReady;                   // m_bOpen after opening
    JobKind job;
    Image image;
    std::vector<Fault> jobFaults; // injected just before the job
    std::vector<Fault> endFaults; // injected just before the link ends
    int nHangUpAt;                // the peer hangs up once this position is set (-1: never)
    int nTruncateAt;              // the image shrinks to nTruncateAt + 1 bytes there (-1: never)
    BOOL bResult;                 // what the job returns
    Bytes wire;
    std::vector<Report> reports;
};
void PrintTo(const FaultRow& r, std::ostream* os) {
    *os << r.name;
}

// Bytes a raw line must pass unaltered: line feed, carriage return, XON, XOFF, ^C.
const Bytes kImage5 = {0x0A, 0x0D, 0x11, 0x13, 0x03};

Bytes Pattern100() {
    Bytes b(100);
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<unsigned char>(i * 37 + 1);
    return b;
}
Bytes First(const Bytes& b, std::size_t n) {
    return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
}

const std::vector<Fault> kNone;

std::vector<FaultRow> Rows() {
    const auto none = JobKind::None;
    const auto noImage = Image::None;
    return {
        // On the way to the port.
        {"PortMissing",
         Port::Missing,
         kNone,
         false,
         none,
         noImage,
         kNone,
         kNone,
         -1,
         -1,
         FALSE,
         {},
         {{kOpenFailed, ENOENT}}},
        {"PortBusy",
         Port::Busy,
         kNone,
         false,
         none,
         noImage,
         kNone,
         kNone,
         -1,
         -1,
         FALSE,
         {},
         {{kOpenFailed, EBUSY}}},
        {"PortAccessDenied",
         Port::Pty,
         {{KernelFault::CreateFile, EACCES, 1}},
         false,
         none,
         noImage,
         kNone,
         kNone,
         -1,
         -1,
         FALSE,
         {},
         {{kOpenFailed, EACCES}}},
        {"PortNoTerminal",
         Port::NoTerminal,
         kNone,
         false,
         none,
         noImage,
         kNone,
         kNone,
         -1,
         -1,
         FALSE,
         {},
         {{kStateUnread, ENOTTY}, {kStateUnchanged, ENOTTY}}},
        {"SettingsUnreadable",
         Port::Pty,
         {{KernelFault::GetCommState, EIO, 1}},
         true,
         JobKind::TransferTest,
         noImage,
         kNone,
         kNone,
         -1,
         -1,
         TRUE,
         Frame(0x80) + Rising(1, 255),
         {{kStateUnread, EIO}}},
        {"SettingsNotApplied",
         Port::Pty,
         {{KernelFault::SetCommState, EIO, 1}},
         false,
         none,
         noImage,
         kNone,
         kNone,
         -1,
         -1,
         FALSE,
         {},
         {{kStateUnchanged, EIO}}},
        {"CloseFails",
         Port::Pty,
         kNone,
         true,
         JobKind::TransferTest,
         noImage,
         kNone,
         {{KernelFault::CloseHandle, EIO, 1}},
         -1,
         -1,
         TRUE,
         Frame(0x80) + Rising(1, 255),
         {{kCloseFailed, EIO}}},
        // On the line.
        {"FrameWriteFails",
         Port::Pty,
         kNone,
         true,
         JobKind::Write,
         Image::Good,
         {{KernelFault::WriteFile, EIO, 1}},
         kNone,
         -1,
         -1,
         FALSE,
         {},
         {{kFrameFailed, EIO}}},
        {"ByteWriteFailsMidStream",
         Port::Pty,
         kNone,
         true,
         JobKind::BlankTest,
         noImage,
         {{KernelFault::WriteFile, EIO, 4}},
         kNone,
         -1,
         -1,
         FALSE,
         Frame(0x08) + Fill(2, 0xFF),
         {{kByteFailed, EIO}}},
        {"ImageByteWriteFails",
         Port::Pty,
         kNone,
         true,
         JobKind::Write,
         Image::Good,
         {{KernelFault::WriteFile, EIO, 3}},
         kNone,
         -1,
         -1,
         FALSE,
         Frame(0x04) + Bytes{0x0A},
         {{kByteFailed, EIO}}},
        {"PeerHangsUp",
         Port::Pty,
         kNone,
         true,
         JobKind::BlankTest,
         noImage,
         kNone,
         kNone,
         100,
         -1,
         FALSE,
         Frame(0x08) + Fill(101, 0xFF),
         {{kByteFailed, EIO}}},
        // On the way to the image.
        {"ImageMissing",
         Port::Pty,
         kNone,
         true,
         JobKind::Write,
         Image::Missing,
         kNone,
         kNone,
         -1,
         -1,
         FALSE,
         {},
         {{kImageUnopened, ENOENT}}},
        {"ImageEmptyPath",
         Port::Pty,
         kNone,
         true,
         JobKind::Verify,
         Image::EmptyPath,
         kNone,
         kNone,
         -1,
         -1,
         FALSE,
         {},
         {{kImageUnopened, ENOENT}}},
        {"ImageIsDirectory",
         Port::Pty,
         kNone,
         true,
         JobKind::Write,
         Image::Directory,
         kNone,
         kNone,
         -1,
         -1,
         FALSE,
         {},
         {{kImageUnopened, EISDIR}}},
        {"ImageIsFifo",
         Port::Pty,
         kNone,
         true,
         JobKind::Write,
         Image::Fifo,
         kNone,
         kNone,
         -1,
         -1,
         FALSE,
         {},
         {{kImageUnopened, ENXIO}}},
        {"ImageUnreadable",
         Port::Pty,
         kNone,
         true,
         JobKind::Verify,
         Image::Unreadable,
         kNone,
         kNone,
         -1,
         -1,
         FALSE,
         {},
         {{kImageUnopened, EACCES}}},
        {"ImageReadFails",
         Port::Pty,
         kNone,
         true,
         JobKind::Verify,
         Image::Good,
         {{KernelFault::ReadFile, EIO, 3}},
         kNone,
         -1,
         -1,
         FALSE,
         Frame(0x08) + First(kImage5, 2),
         {{kImageUnread, EIO}}},
        {"ImageShrinksWhileSent",
         Port::Pty,
         kNone,
         true,
         JobKind::Write,
         Image::Pattern100,
         kNone,
         kNone,
         -1,
         49,
         FALSE,
         Frame(0x04) + First(Pattern100(), 50),
         {{kImageUnread, ERROR_HANDLE_EOF}}},
    };
}

void Inject(const std::vector<Fault>& faults) {
    for (const Fault& f : faults)
        KernelInjectFault(f.op, f.dwError, f.nCall);
}

class FaultMatrix : public ::testing::TestWithParam<FaultRow> {
protected:
    // The first box and the first bar of the process may open what the windowing
    // system keeps for good (fonts, caches): let that happen before counting.
    static void SetUpTestSuite() {
        BarSpy bar;
        BoxLog boxes;
        MessageBoxA(nullptr, "warm-up", "warm-up", MB_OK | MB_ICONERROR);
        bar.Bar()->SetRange(0, 10);
        bar.Bar()->SetPos(5);
    }
    void SetUp() override { KernelClearFaults(); }
    void TearDown() override {
        KernelClearFaults();
        unsetenv("KORVANTO_COM1");
    }

    std::string PortPath(const FaultRow& row) const {
        switch (row.port) {
        case Port::Missing:
            return dir.Path("no-such-port");
        case Port::NoTerminal:
            return "/dev/null";
        default:
            return line.SlavePath();
        }
    }

    std::string ImagePath(const FaultRow& row) {
        switch (row.image) {
        case Image::None:
        case Image::EmptyPath:
            return "";
        case Image::Good:
            return dir.WriteFile("image.bin", kImage5);
        case Image::Pattern100:
            return dir.WriteFile("image.bin", Pattern100());
        case Image::Missing:
            return dir.Path("missing.bin");
        case Image::Directory:
            return dir.Path(".");
        case Image::Fifo:
            EXPECT_EQ(mkfifo(dir.Path("fifo.bin").c_str(), 0600), 0);
            return dir.Path("fifo.bin");
        case Image::Unreadable: {
            std::string path = dir.WriteFile("image.bin", kImage5);
            EXPECT_EQ(chmod(path.c_str(), 0), 0);
            if (geteuid() == 0) {
                // Root reads a file of mode 000 all the same: the refusal that
                // every other user gets is injected into the open instead.
                std::cout << "[ note     ] running as root: the image's EACCES is injected\n";
                KernelInjectFault(KernelFault::CreateFile, EACCES, 1);
            }
            return path;
        }
        }
        return "";
    }

    BOOL RunJob(const FaultRow& row, CDeviceLink& link, const std::string& image) {
        spy.onStep = [&](const BarStep& s) {
            if (row.nHangUpAt >= 0 && s == Pos(static_cast<unsigned>(row.nHangUpAt)))
                line.HangUp(row.wire.size()); // everything written so far has arrived
            if (row.nTruncateAt >= 0 && s == Pos(static_cast<unsigned>(row.nTruncateAt))) {
                ASSERT_EQ(truncate(image.c_str(), row.nTruncateAt + 1), 0);
            }
        };
        CProgressCtrl* pBar = spy.Bar();
        switch (row.job) {
        case JobKind::TransferTest:
            return link.TransferTest(pBar);
        case JobKind::BlankTest:
            return link.BlankTest(pBar);
        case JobKind::Write:
            return link.Write(pBar, image.c_str());
        case JobKind::Verify:
            return link.Verify(pBar, image.c_str());
        case JobKind::None:
            break;
        }
        return FALSE;
    }

    PtyLine line;
    TempDir dir;
    BarSpy spy;
    BoxLog boxes;
};

TEST_P(FaultMatrix, ReportsLineAndWhatIsLeft) {
    const FaultRow& row = GetParam();
    const int nDescriptors = OpenDescriptorCount();
    const std::string strDescriptors = OpenDescriptorList();

    setenv("KORVANTO_COM1", PortPath(row).c_str(), 1);
    std::unique_ptr<CDeviceLink> holder;
    if (row.port == Port::Busy) {
        holder = std::make_unique<CDeviceLink>("COM1");
        ASSERT_TRUE(holder->m_bOpen);
    }

    Inject(row.openFaults);
    auto link = std::make_unique<CDeviceLink>("COM1");
    EXPECT_EQ(link->m_bOpen, row.bReady ? TRUE : FALSE);
    if (link->m_bOpen && row.job != JobKind::None) {
        const std::string image = ImagePath(row);
        Inject(row.jobFaults);
        EXPECT_EQ(RunJob(row, *link, image), row.bResult);
    }
    const HANDLE hPort = link->m_hPort;
    Inject(row.endFaults);
    link.reset();
    if (!row.endFaults.empty()) {
        // A close that fails by injection never reaches the system: the handle
        // stays valid, and closing it again releases the port.
        EXPECT_EQ(CloseHandle(hPort), TRUE);
    }
    holder.reset();

    // The exact reports, in order.
    ASSERT_EQ(boxes.Boxes().size(), row.reports.size());
    for (std::size_t i = 0; i < row.reports.size(); ++i)
        EXPECT_TRUE(IsFatalReport(boxes.Boxes()[i], row.reports[i].message, row.reports[i].dwError))
            << "report " << i;

    // Exactly these bytes: none after the failure.
    EXPECT_EQ(row.nHangUpAt >= 0 ? line.Seen() : line.Settle(), row.wire);

    // The port is free: nobody holds its lock, and where the line is still up a
    // next link opens it without a report.
    if (row.port == Port::NoTerminal) {
        EXPECT_TRUE(NobodyLocks("/dev/null"));
    }
    if (row.port != Port::Missing && row.port != Port::NoTerminal) {
        EXPECT_TRUE(NobodyLocksFd(line.SlaveFd()));
        if (row.nHangUpAt < 0) {
            unsetenv("KORVANTO_COM1");
            line.MapTo(1);
            CDeviceLink next("COM1");
            EXPECT_TRUE(next.m_bOpen);
            EXPECT_EQ(boxes.Boxes().size(), row.reports.size());
        }
    }

    // No descriptor left open: the port, the image, the pacing event are all gone
    // (a hang-up closed the test's own far end of the line).
    EXPECT_EQ(OpenDescriptorCount(), nDescriptors - (row.nHangUpAt >= 0 ? 1 : 0))
        << "before:\n"
        << strDescriptors << "after:\n"
        << OpenDescriptorList();
}

INSTANTIATE_TEST_SUITE_P(Rows, FaultMatrix, ::testing::ValuesIn(Rows()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
