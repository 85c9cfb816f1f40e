// The whole way from the panel to the simulated device: korvanto-sim on a link in a
// private directory stands for the device on COM2; the panel starts with the image on
// its command line and the user presses "ausführen".
#include <QApplication>
#include <QProgressBar>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>

#include "tests/device/DeviceTestSupport.h"
#include "tests/device/SimProcess.h"
#include "tests/device/TempDir.h"
#include "tests/panel/PanelTestSupport.h"
#include "ui/TestSeams.h"

namespace {

// What a person would see of the bar during the run: each position shown at once on
// the visible bar, the panel usable, no wait cursor.
struct BarWatch {
    int nPositions = 0;
    int nShownLate = 0;    // a position the bar did not show when the next one came
    int nHidden = 0;       // positions set while the bar was hidden
    int nPanelBlocked = 0; // positions set while the panel was disabled or busy-cursored
};

TEST(PanelEndToEnd, ImageFromTheCommandLineReachesTheSimulatedFlash) {
    TempDir dir;
    Bytes image = PseudoRandom(600, 0x4B);
    std::string imagePath = dir.WriteFile("image.bin", image);
    std::string link = dir.Path("com2");
    SimProcess sim({"--link", link, "--expect", imagePath});
    ASSERT_TRUE(sim.WaitFor("READY", 5000)) << sim.Report();
    setenv("KORVANTO_COM2", link.c_str(), 1);

    CommandLineScope cmdLine(("korvanto /ERASE /WRITE /VERIFY " + imagePath).c_str());
    TestPanel panel;
    BoxLog boxes;
    BarWatch watch;
    int nLastPos = -1;
    SetMessageSpy([&](const SpiedMessage& m) {
        if (m.nCtrlId != IDC_PROGRESS || m.message != PBM_SETPOS)
            return;
        auto* pBar = qobject_cast<QProgressBar*>(Widget(m.hWnd));
        ++watch.nPositions;
        if (nLastPos >= 0 && pBar->value() != std::min(nLastPos, pBar->maximum()))
            ++watch.nShownLate;
        if (!pBar->isVisible())
            ++watch.nHidden;
        if (!panel.IsWindowEnabled() || QApplication::overrideCursor())
            ++watch.nPanelBlocked;
        nLastPos = static_cast<int>(m.wParam);
    });
    RunPanel(panel, [&]() {
        ASSERT_EQ(BoxNames(panel.Boxes()), BoxNames(E | W | V));
        Click(Item(panel, IDC_EXECUTE));
    });
    SetMessageSpy({});
    unsetenv("KORVANTO_COM2");

    EXPECT_TRUE(boxes.Boxes().empty());
    // Erase 250, write and verify 1 + 600 each.
    EXPECT_EQ(watch.nPositions, 250 + 2 * 601);
    EXPECT_EQ(watch.nShownLate, 0);
    EXPECT_EQ(watch.nHidden, 0);
    EXPECT_EQ(watch.nPanelBlocked, 0);

    EXPECT_EQ(sim.Stop(SIGTERM), 0) << sim.Report();
    std::string report = sim.Report();
    EXPECT_TRUE(sim.HasLine("LINE baud=1200 bits=8 parity=none stop=1 result=ok")) << report;
    EXPECT_TRUE(sim.HasLine("CMD n=1 code=0x12 name=erase result=ok")) << report;
    EXPECT_TRUE(sim.HasLine("CMD n=2 code=0x04 name=write data=600 result=ok")) << report;
    EXPECT_TRUE(sim.HasLine("CMD n=3 code=0x08 name=verify data=600 result=ok")) << report;
    // Fields may be added at the end of the line.
    std::string summary = sim.Line("SUMMARY") + " ";
    for (const char* field : {" commands=3 ", " stray=0 ", " dropped=0 ", " shortfalls=0 ",
                              " line-faults=0 ", " locked=no "})
        EXPECT_NE(summary.find(field), std::string::npos) << field << "\n" << report;
    EXPECT_TRUE(sim.HasLine("EXPECT flash matches file=" + imagePath)) << report;
}

} // namespace
