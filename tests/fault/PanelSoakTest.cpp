// The panel opened and closed again and again in one process, as the command-line
// fuzzer does: nothing may pile up, neither descriptors nor memory.
#include <gtest/gtest.h>

#include <cstdio>

#include "kernel/KernelTesting.h"
#include "panel/CKorvantoDlg.h"
#include "tests/fault/FaultSupport.h"
#include "ui/CWinApp.h"

namespace {

constexpr int kPanels = 300;
constexpr int kWarmUpPanels = 20;
// A panel that stayed behind would cost far more than this over 300 panels.
constexpr long kRssGrowthLimitKiB = 4096;

// Closes itself as soon as its initialisation (and with it the command line) is done.
class CClosingPanel : public CKorvantoDlg {
protected:
    BOOL OnInitDialog() override {
        BOOL bResult = CKorvantoDlg::OnInitDialog();
        EndDialog(IDCANCEL);
        return bResult;
    }
};

void OnePanel() {
    CClosingPanel panel;
    AfxGetApp()->m_pMainWnd = &panel;
    panel.DoModal();
    AfxGetApp()->m_pMainWnd = nullptr;
}

TEST(PanelSoak, OpeningAndClosingLeavesNothingBehind) {
    KernelOverrideCommandLine("korvanto /COM3 /WRITE /VERIFY \"D:\\bilder\\bild 1.bin\"");
    for (int i = 0; i < kWarmUpPanels; ++i)
        OnePanel();
    const int nFdBefore = OpenDescriptorCount();
    const long rssBefore = ResidentKiB();
    for (int i = 0; i < kPanels; ++i)
        OnePanel();
    const int nFdAfter = OpenDescriptorCount();
    const long rssAfter = ResidentKiB();
    KernelOverrideCommandLine(nullptr);

    std::printf("panel soak: %d panels, descriptors %d -> %d, RSS %ld KiB -> %ld KiB (%+ld KiB)\n",
                kPanels, nFdBefore, nFdAfter, rssBefore, rssAfter, rssAfter - rssBefore);
    EXPECT_EQ(nFdAfter, nFdBefore) << OpenDescriptorList();
    ASSERT_GT(rssBefore, 0);
    if (ResidentSizeTellsLeaks()) {
        EXPECT_LT(rssAfter - rssBefore, kRssGrowthLimitKiB);
    } else {
        EXPECT_EQ(LeaksFoundNow(), 0) << "LeakSanitizer found unreachable memory (above)";
    }
}

} // namespace
