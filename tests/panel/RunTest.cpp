// "ausführen" on the real panel: the bytes that reach a real pseudo-terminal standing
// for COM2, the reports shown, and the panel as the run leaves it.
#include <QApplication>
#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>

#include "device/CDeviceLink.h"
#include "kernel/KernelTesting.h"
#include "tests/device/DeviceTestSupport.h"
#include "tests/device/TempDir.h"
#include "tests/panel/PanelTestSupport.h"
#include "ui/TestSeams.h"

namespace {

const Bytes kImage = {0x02, 0x00, 0x30, 0x75, 0xFE};
const char* const kNoActions = "Es wurden keine Aktionen ausgewählt!";

enum class Shown { NoActions, OpenFailed, ImageUnopened, FrameFailed, LockNotice };

const char* Name(Shown s) {
    switch (s) {
    case Shown::NoActions:
        return "NoActions";
    case Shown::OpenFailed:
        return "OpenFailed";
    case Shown::ImageUnopened:
        return "ImageUnopened";
    case Shown::FrameFailed:
        return "FrameFailed";
    default:
        return "LockNotice";
    }
}

// A box as the run showed it, with what the panel and the line looked like meanwhile.
struct SeenBox {
    Box box;
    bool bPanelEnabled;
    std::size_t nBytesOnLine;
};

::testing::AssertionResult IsShown(const SeenBox& seen, Shown want) {
    const Box& box = seen.box;
    ::testing::AssertionResult ok = ::testing::AssertionSuccess();
    switch (want) {
    case Shown::NoActions:
        if (!box.bOwned || box.text != kNoActions || box.caption != "Schwerer Fehler" ||
            box.type != MB_ICONERROR)
            ok = ::testing::AssertionFailure() << "not the empty-selection message";
        break;
    case Shown::OpenFailed:
        ok = IsFatalReport(box, kOpenFailed, box.dwError);
        break;
    case Shown::ImageUnopened:
        ok = IsFatalReport(box, kImageUnopened, ENOENT);
        break;
    case Shown::FrameFailed:
        ok = IsFatalReport(box, kFrameFailed, EIO);
        break;
    case Shown::LockNotice:
        if (box.bOwned || box.text != kLockNotice || box.caption != "Achtung" ||
            box.type != MB_ICONINFORMATION)
            ok = ::testing::AssertionFailure() << "not the lock-bits notice";
        break;
    }
    if (!ok)
        return ok << " (" << Name(want) << "; shown: \"" << box.text << "\", \"" << box.caption
                  << "\", type " << box.type << ")";
    // A box owned by the panel disables it; an ownerless one leaves it usable.
    if (seen.bPanelEnabled == box.bOwned)
        return ::testing::AssertionFailure() << Name(want) << ": panel enabled "
                                             << seen.bPanelEnabled << " while owned " << box.bOwned;
    return ok;
}

// The panel on COM2, a pseudo-terminal as the port (or a path with no port), every box
// answered and recorded, every show and hide of the progress bar recorded.
class RunFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_imagePath = m_dir.WriteFile("image.bin", kImage);
        MapPort(true);
        m_boxes.onBox = [this](const Box& box) {
            m_seen.push_back(
                {box, m_pPanel && m_pPanel->IsWindowEnabled(), m_line.Settle().size()});
            if (onBox)
                onBox(m_seen.back());
        };
        SetMessageSpy([this](const SpiedMessage& m) {
            if (m.nCtrlId == IDC_PROGRESS && m.message == WM_SHOWWINDOW)
                m_barShows.push_back(static_cast<int>(m.wParam));
        });
    }
    void TearDown() override {
        SetMessageSpy({});
        KernelClearFaults();
        unsetenv("KORVANTO_COM2");
    }
    void MapPort(bool bAvailable) {
        if (bAvailable)
            m_line.MapTo(2);
        else
            setenv("KORVANTO_COM2", m_dir.Path("no-such-port").c_str(), 1);
    }
    std::string WithImage(const std::string& cmdLine) const {
        std::string s = cmdLine;
        std::size_t at = s.find("IMAGE");
        if (at != std::string::npos)
            s.replace(at, 5, m_imagePath);
        return s;
    }
    // The port is free again: a new link opens it and reports nothing.
    bool PortIsFree() {
        std::size_t nBefore = m_seen.size();
        CDeviceLink link("COM2");
        return link.m_bOpen && m_seen.size() == nBefore;
    }

    TempDir m_dir;
    std::string m_imagePath;
    PtyLine m_line;
    BoxLog m_boxes;
    std::vector<SeenBox> m_seen;
    std::function<void(const SeenBox&)> onBox;
    std::vector<int> m_barShows;
    TestPanel* m_pPanel = nullptr;
    CommandLineScope m_cmdLine;
};

struct RunCase {
    const char* name;
    const char* cmdLine; // IMAGE stands for the image's path
    unsigned ticks;
    bool bPortAvailable;
    int nFailingWrite; // 0: none; n: the n-th write on the port fails with EIO
    Bytes bytes;
    std::vector<Shown> shown;
    std::vector<int> bytesAtBox; // bytes on the line while each box was open; -1: any
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class RunTest : public RunFixture, public ::testing::WithParamInterface<RunCase> {};

TEST_P(RunTest, RunsTheTickedJobsInOrder) {
    const RunCase& c = GetParam();
    m_cmdLine.Set(WithImage(c.cmdLine).c_str());
    MapPort(c.bPortAvailable);
    TestPanel panel;
    m_pPanel = &panel;
    std::string imageBefore;
    RunPanel(panel, [&]() {
        panel.SetBoxes(c.ticks);
        imageBefore = static_cast<LPCSTR>(panel.m_strImagePath);
        if (c.nFailingWrite)
            KernelInjectFault(KernelFault::WriteFile, EIO, c.nFailingWrite);
        Click(Item(panel, IDC_EXECUTE));
        // The run changes no check state and no member; the bar is hidden again.
        EXPECT_EQ(BoxNames(panel.Boxes()), BoxNames(c.ticks));
        EXPECT_EQ(panel.m_strImagePath, imageBefore.c_str());
        EXPECT_FALSE(panel.m_progress.IsWindowVisible());
        EXPECT_TRUE(panel.IsOpen());
    });
    m_pPanel = nullptr;
    EXPECT_EQ(m_line.Settle(), c.bytes);
    ASSERT_EQ(m_seen.size(), c.shown.size());
    for (std::size_t i = 0; i < c.shown.size(); ++i) {
        EXPECT_TRUE(IsShown(m_seen[i], c.shown[i])) << "box " << i;
        if (i < c.bytesAtBox.size() && c.bytesAtBox[i] >= 0) {
            EXPECT_EQ(m_seen[i].nBytesOnLine, static_cast<std::size_t>(c.bytesAtBox[i]))
                << "box " << i;
        }
    }
    if (c.bPortAvailable) {
        EXPECT_EQ(m_barShows, (std::vector<int>{SW_SHOW, SW_HIDE}));
        EXPECT_TRUE(PortIsFree());
    } else {
        EXPECT_TRUE(m_barShows.empty());
    }
}

const Bytes kTransfer = Frame(CMD_TRANSFERTEST) + Rising(1, 255);
const Bytes kBlank = Frame(CMD_VERIFY) + Fill(2048, 0xFF);
const Bytes kWrite = Frame(CMD_WRITE) + kImage;
const Bytes kVerify = Frame(CMD_VERIFY) + kImage;

const RunCase kRuns[] = {
    {"NothingTickedPortAvailable", "korvanto IMAGE", 0, true, 0, {}, {Shown::NoActions}, {0}},
    {"NothingTickedPortMissing", "korvanto IMAGE", 0, false, 0, {}, {Shown::OpenFailed}, {}},
    {"TickedPortMissing", "korvanto IMAGE", E | W, false, 0, {}, {Shown::OpenFailed}, {}},
    {"TransferTestThenBlankTest", "korvanto IMAGE", B | T, true, 0, kTransfer + kBlank, {}, {}},
    {"EraseBlankWriteVerify",
     "korvanto IMAGE",
     V | W | B | E,
     true,
     0,
     Frame(CMD_ERASE) + kBlank + kWrite + kVerify,
     {},
     {}},
    {"AllSixInOrder",
     "korvanto IMAGE",
     T | E | B | W | V | L,
     true,
     0,
     kTransfer + Frame(CMD_ERASE) + kBlank + kWrite + kVerify + Frame(CMD_LOCKBITS),
     {Shown::LockNotice},
     {static_cast<int>((kTransfer + Frame(CMD_ERASE) + kBlank + kWrite + kVerify).size())}},
    {"WriteWithEmptyImagePath",
     "korvanto %1",
     W | V | L,
     true,
     0,
     Frame(CMD_LOCKBITS),
     {Shown::ImageUnopened, Shown::ImageUnopened, Shown::LockNotice},
     {0, 0, 0}},
    {"EraseFrameFailsLaterJobsTry",
     "korvanto IMAGE",
     E | B | W,
     true,
     1,
     kBlank + kWrite,
     {Shown::FrameFailed},
     {0}},
    {"LockBitsNoticeAfterEraseBeforeItsFrame",
     "korvanto IMAGE",
     E | L,
     true,
     0,
     Frame(CMD_ERASE) + Frame(CMD_LOCKBITS),
     {Shown::LockNotice},
     {3}},
};

INSTANTIATE_TEST_SUITE_P(Cases, RunTest, ::testing::ValuesIn(kRuns),
                         [](const ::testing::TestParamInfo<RunCase>& info) {
                             return std::string(info.param.name);
                         });

// --- Re-entrancy: the panel is served while an ownerless report is open -------------------

using ReentrancyTest = RunFixture;

// A second press of "ausführen" inside the lock-bits notice starts a second run, whose
// link cannot open the port the first run holds.
TEST_F(ReentrancyTest, SecondRunInsideTheNoticeEndsWithThePortBusyReport) {
    m_cmdLine.Set(WithImage("korvanto IMAGE").c_str());
    TestPanel panel;
    m_pPanel = &panel;
    int nSecondRuns = 0;
    onBox = [&](const SeenBox& seen) {
        if (seen.box.caption == "Achtung" && nSecondRuns++ == 0)
            Click(Item(panel, IDC_EXECUTE));
    };
    RunPanel(panel, [&]() {
        panel.SetBoxes(L);
        Click(Item(panel, IDC_EXECUTE));
    });
    m_pPanel = nullptr;
    ASSERT_EQ(m_seen.size(), 2u);
    EXPECT_TRUE(IsShown(m_seen[0], Shown::LockNotice));
    EXPECT_TRUE(IsShown(m_seen[1], Shown::OpenFailed));
    EXPECT_EQ(m_seen[1].box.dwError, static_cast<DWORD>(EBUSY));
    EXPECT_EQ(m_line.Settle(), Frame(CMD_LOCKBITS));
    // The second run never showed the bar; the first showed and hid it once.
    EXPECT_EQ(m_barShows, (std::vector<int>{SW_SHOW, SW_HIDE}));
    EXPECT_TRUE(PortIsFree());
}

// A box unticked by a click while a report is open: its job, still due, does not run.
TEST_F(ReentrancyTest, BoxUntickedInsideAReportDoesNotRun) {
    m_cmdLine.Set("korvanto missing.bin");
    TestPanel panel;
    m_pPanel = &panel;
    onBox = [&](const SeenBox&) {
        if (panel.m_btnVerify.SendMessage(BM_GETCHECK))
            Click(panel.m_btnVerify);
    };
    RunPanel(panel, [&]() {
        panel.SetBoxes(W | V);
        Click(Item(panel, IDC_EXECUTE));
        EXPECT_EQ(BoxNames(panel.Boxes()), BoxNames(W));
    });
    m_pPanel = nullptr;
    ASSERT_EQ(m_seen.size(), 1u); // the write's report only: the verify did not run
    EXPECT_TRUE(IsShown(m_seen[0], Shown::ImageUnopened));
    EXPECT_TRUE(m_line.Settle().empty());
}

// A file chosen while the write's report is open reaches the verify still due.
TEST_F(ReentrancyTest, FileChosenInsideAReportReachesTheLaterVerify) {
    m_cmdLine.Set("korvanto missing.bin");
    TestPanel panel;
    m_pPanel = &panel;
    bool bChosen = false;
    SetFileDialogResponder([&](CString& path) {
        path = m_imagePath.c_str();
        bChosen = true;
        return TRUE;
    });
    onBox = [&](const SeenBox&) {
        if (!bChosen)
            Click(Item(panel, IDC_BROWSE));
    };
    RunPanel(panel, [&]() {
        panel.SetBoxes(W | V);
        Click(Item(panel, IDC_EXECUTE));
        EXPECT_EQ(panel.m_strImagePath, m_imagePath.c_str());
    });
    SetFileDialogResponder({});
    m_pPanel = nullptr;
    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_TRUE(IsShown(m_seen[0], Shown::ImageUnopened));
    EXPECT_EQ(m_line.Settle(), kVerify);
}

// "beenden" pressed while the lock-bits notice is open ends the panel, but only once
// the run has finished: the lock bits are still sent and the port is closed.
TEST_F(ReentrancyTest, BeendenInsideTheNoticeEndsThePanelAfterTheRun) {
    m_cmdLine.Set(WithImage("korvanto IMAGE").c_str());
    TestPanel panel;
    m_pPanel = &panel;
    onBox = [&](const SeenBox&) { Click(Item(panel, IDOK)); };
    INT_PTR nResult = RunPanel(panel, [&]() {
        panel.SetBoxes(L);
        Click(Item(panel, IDC_EXECUTE));
        EXPECT_FALSE(panel.IsOpen());
    });
    m_pPanel = nullptr;
    EXPECT_EQ(nResult, IDOK);
    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_TRUE(IsShown(m_seen[0], Shown::LockNotice));
    EXPECT_EQ(m_line.Settle(), Frame(CMD_LOCKBITS));
    EXPECT_EQ(m_barShows, (std::vector<int>{SW_SHOW, SW_HIDE}));
    EXPECT_TRUE(PortIsFree());
}

} // namespace
