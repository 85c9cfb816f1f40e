// The panel under real clicks and keys: interlocks, port radios, the system menu, the
// Info box, Enter, Escape and "beenden", the icons.
#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <cstdlib>
#include <gtest/gtest.h>

#include "tests/device/DeviceTestSupport.h"
#include "tests/device/TempDir.h"
#include "tests/panel/PanelTestSupport.h"
#include "ui/CMenu.h"
#include "ui/internal/Handles.h"
#include "ui/testing/QtAccess.h"

namespace {

const char* const kInfoTitle = "Info über Korvanto";

// --- Interlocks -----------------------------------------------------------------------

struct InterlockCase {
    const char* name;
    unsigned start;   // boxes checked before the click
    unsigned clicked; // the box clicked
    unsigned end;     // boxes checked after it
};

void PrintTo(const InterlockCase& c, std::ostream* os) {
    *os << BoxNames(c.start) << " +click " << BoxNames(c.clicked) << " -> " << BoxNames(c.end);
}

class InterlockTest : public ::testing::TestWithParam<InterlockCase> {
protected:
    CommandLineScope m_cmdLine{"korvanto f.bin"}; // write and verify enabled
};

TEST_P(InterlockTest, ClickKeepsTheRules) {
    const InterlockCase& c = GetParam();
    TestPanel panel;
    RunPanel(panel, [&]() {
        panel.SetBoxes(c.start);
        Click(panel.Box(c.clicked));
        EXPECT_EQ(BoxNames(panel.Boxes()), BoxNames(c.end));
        EXPECT_TRUE(panel.m_btnWrite.IsWindowEnabled());
        EXPECT_TRUE(panel.m_btnVerify.IsWindowEnabled());
    });
}

const InterlockCase kInterlocks[] = {
    {"LockChecksAndClearsVerifyAndTest", V | T, L, L},
    {"LockUncheckedStillClearsVerifyAndTest", L | V | T, L, 0},
    {"LockLeavesEraseWriteBlank", E | W | B, L, E | W | B | L},
    {"VerifyClearsLockAndTest", L | T, V, V},
    {"VerifyUncheckedClearsLock", V | L, V, 0},
    {"LockUncheckedClearsVerify", V | L, L, 0},
    {"VerifyLeavesEraseWriteBlank", E | W | B, V, E | W | B | V},
    {"TestClearsEraseWriteVerifyLockKeepsBlank", E | W | V | L | B, T, T | B},
    {"TestUncheckedKeepsBlank", T | B, T, B},
    {"TestUncheckedStillClearsTheOthers", T | E | W, T, 0},
    {"EraseClearsTest", T | B, E, E | B},
    {"EraseUncheckedClearsTest", E | T, E, 0},
    {"WriteClearsTest", T, W, W},
    {"WriteUnchecked", W | E, W, E},
    {"BlankJoinsTest", T, B, T | B},
    {"BlankJoinsEverything", T | E | W | V | L, B, T | E | W | V | L | B},
    {"BlankUnchecksOnlyItself", T | E | B, B, T | E},
};

INSTANTIATE_TEST_SUITE_P(Cases, InterlockTest, ::testing::ValuesIn(kInterlocks),
                         [](const ::testing::TestParamInfo<InterlockCase>& info) {
                             return std::string(info.param.name);
                         });

// Before anything enables them, write and verify take no click.
TEST(InterlockDisabledTest, WriteAndVerifyTakeNoClickWhileDisabled) {
    CommandLineScope cmdLine("korvanto");
    TestPanel panel;
    RunPanel(panel, [&]() {
        panel.SetBoxes(T);
        Click(panel.m_btnWrite);
        Click(panel.m_btnVerify);
        EXPECT_EQ(BoxNames(panel.Boxes()), BoxNames(T));
        EXPECT_FALSE(panel.m_btnWrite.IsWindowEnabled());
        EXPECT_FALSE(panel.m_btnVerify.IsWindowEnabled());
    });
}

// --- Port radios ----------------------------------------------------------------------

struct RadioCase {
    const char* name;
    const char* cmdLine;
    int nClicked;
};

class RadioTest : public ::testing::TestWithParam<RadioCase> {};

TEST_P(RadioTest, ClickLeavesExactlyThatRadioAndSetsThePort) {
    const RadioCase& c = GetParam();
    CommandLineScope cmdLine(c.cmdLine);
    TestPanel panel;
    RunPanel(panel, [&]() {
        unsigned boxes = panel.Boxes();
        Click(panel.Radio(c.nClicked));
        EXPECT_EQ(panel.Radios(), Com(c.nClicked));
        EXPECT_EQ(std::string(panel.m_strPort), "COM" + std::to_string(c.nClicked));
        EXPECT_EQ(panel.Boxes(), boxes);
        // The same radio again: still the only one, the same port.
        Click(panel.Radio(c.nClicked));
        EXPECT_EQ(panel.Radios(), Com(c.nClicked));
        EXPECT_EQ(std::string(panel.m_strPort), "COM" + std::to_string(c.nClicked));
    });
}

const RadioCase kRadios[] = {
    {"Com1", "korvanto", 1},
    {"Com2AlreadyChecked", "korvanto", 2},
    {"Com3", "korvanto", 3},
    {"Com4", "korvanto", 4},
    {"Com4AfterTwoFromTheCommandLine", "korvanto /COM1 /COM3", 4},
    {"Com1OfTwoFromTheCommandLine", "korvanto /COM1 /COM3", 1},
};

INSTANTIATE_TEST_SUITE_P(Cases, RadioTest, ::testing::ValuesIn(kRadios),
                         [](const ::testing::TestParamInfo<RadioCase>& info) {
                             return std::string(info.param.name);
                         });

// --- System menu and Info box -----------------------------------------------------------

class PanelFixture : public ::testing::Test {
protected:
    CommandLineScope m_cmdLine{"korvanto"};
};

// Opens nothing but the Info box and closes it with OK; true when it was open, the
// panel disabled meanwhile.
bool InfoBoxOpensFrom(TestPanel& panel, const std::function<void()>& trigger) {
    bool bOpen = false;
    WhenNextDialogOpens([&]() {
        QWidget* pInfo = TopLevelWithTitle(kInfoTitle);
        bOpen = pInfo != nullptr && !Widget(panel.m_hWnd)->isEnabled();
        if (pInfo)
            SendMessageA(HandleFromWidget(pInfo), WM_COMMAND, IDOK, 0);
    });
    trigger();
    return bOpen && TopLevelWithTitle(kInfoTitle) == nullptr && Widget(panel.m_hWnd)->isEnabled();
}

TEST_F(PanelFixture, SystemMenuEndsWithTheInfoEntry) {
    TestPanel panel;
    RunPanel(panel, [&]() {
        CMenu* pMenu = panel.GetSystemMenu(FALSE);
        ASSERT_NE(pMenu, nullptr);
        UINT n = pMenu->GetMenuItemCount();
        ASSERT_GE(n, 2u);
        EXPECT_EQ(pMenu->GetMenuItemID(static_cast<int>(n) - 2), 0u); // the separator
        EXPECT_EQ(pMenu->GetMenuItemID(static_cast<int>(n) - 1), static_cast<UINT>(IDM_INFOBOX));
        CString text;
        pMenu->GetMenuString(IDM_INFOBOX, text, MF_BYCOMMAND);
        EXPECT_STREQ(text, "Inf&o über Korvanto...");
    });
}

TEST_F(PanelFixture, EveryCommandOfTheInfoEntryOpensTheInfoBox) {
    TestPanel panel;
    RunPanel(panel, [&]() {
        for (UINT nID = 0x0010; nID <= 0x001F; ++nID)
            EXPECT_TRUE(InfoBoxOpensFrom(
                panel, [&]() { SendMessageA(panel.m_hWnd, WM_SYSCOMMAND, nID, 0); }))
                << "command " << nID;
        EXPECT_TRUE(InfoBoxOpensFrom(panel, [&]() { Click(Item(panel, IDC_INFO)); }));
        EXPECT_TRUE(panel.IsOpen());
    });
}

TEST_F(PanelFixture, MoveKeepsThePanelAndOpensNoInfoBox) {
    TestPanel panel;
    RunPanel(panel, [&]() {
        bool bInfo = false;
        WhenNextDialogOpens([&]() { bInfo = TopLevelWithTitle(kInfoTitle) != nullptr; });
        SendMessageA(panel.m_hWnd, WM_SYSCOMMAND, SC_MOVE, 0);
        QApplication::processEvents();
        EXPECT_FALSE(bInfo);
        EXPECT_TRUE(panel.IsOpen());
    });
}

// --- Ending the panel ----------------------------------------------------------------

struct EndCase {
    const char* name;
    std::function<void(TestPanel&)> end;
    INT_PTR nResult;
    std::vector<BOOL> exchanges; // FALSE: the load at start-up, TRUE: the save on OK
};

class EndTest : public ::testing::TestWithParam<EndCase> {
protected:
    CommandLineScope m_cmdLine{"korvanto"};
};

TEST_P(EndTest, EndsThePanel) {
    const EndCase& c = GetParam();
    TestPanel panel;
    INT_PTR nResult = RunPanel(panel, [&]() {
        c.end(panel);
        EXPECT_FALSE(panel.IsOpen());
    });
    EXPECT_EQ(nResult, c.nResult);
    EXPECT_EQ(panel.m_exchanges, c.exchanges);
}

const EndCase kEnds[] = {
    {"Beenden", [](TestPanel& p) { Click(Item(p, IDOK)); }, IDOK, {FALSE, TRUE}},
    {"Escape",
     [](TestPanel& p) { PressKey(Widget(p.m_btnErase.m_hWnd), Qt::Key_Escape); },
     IDCANCEL,
     {FALSE}},
    {"CloseBox", [](TestPanel& p) { Widget(p.m_hWnd)->close(); }, IDCANCEL, {FALSE}},
    {"SystemMenuClose",
     [](TestPanel& p) { SendMessageA(p.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); },
     IDCANCEL,
     {FALSE}},
};

INSTANTIATE_TEST_SUITE_P(Cases, EndTest, ::testing::ValuesIn(kEnds),
                         [](const ::testing::TestParamInfo<EndCase>& info) {
                             return std::string(info.param.name);
                         });

// "beenden" runs the processing once more on the text the first run left upper-cased:
// the command line's port and boxes come back, the file is taken again in upper case.
TEST(EndSecondExchangeTest, BeendenProcessesTheUpperCasedTextAgain) {
    CommandLineScope cmdLine("korvanto /com3 bild.bin");
    TestPanel panel;
    RunPanel(panel, [&]() {
        Click(panel.Radio(4));
        Click(panel.m_btnTransferTest); // unchecks write and erase
        ASSERT_STREQ(panel.m_strPort, "COM4");
        Click(Item(panel, IDOK));
        EXPECT_STREQ(panel.m_strPort, "COM3");
        EXPECT_EQ(panel.Radios(), Com(3));
        EXPECT_EQ(BoxNames(panel.Boxes()), BoxNames(T | W | E));
        EXPECT_STREQ(panel.m_strImagePath, "BILD.BIN");
    });
}

// --- Enter ----------------------------------------------------------------------------

struct EnterCase {
    const char* name;
    int nFocusID;
    bool bRuns; // "ausführen" ran (its link reported the missing port)
};

class EnterTest : public ::testing::TestWithParam<EnterCase> {
protected:
    void SetUp() override { setenv("KORVANTO_COM2", m_dir.Path("no-such-port").c_str(), 1); }
    void TearDown() override { unsetenv("KORVANTO_COM2"); }
    CommandLineScope m_cmdLine{"korvanto"};
    TempDir m_dir;
};

TEST_P(EnterTest, EnterActivatesTheDefaultButtonUnlessAPushButtonHasTheFocus) {
    const EnterCase& c = GetParam();
    TestPanel panel;
    BoxLog boxes;
    bool bInfo = false;
    RunPanel(panel, [&]() {
        QWidget* pFocus = Widget(Item(panel, c.nFocusID));
        pFocus->setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(Widget(panel.m_hWnd)->focusWidget(), pFocus);
        if (!c.bRuns)
            WhenNextDialogOpens([&]() {
                if (QWidget* pInfo = TopLevelWithTitle(kInfoTitle)) {
                    bInfo = true;
                    SendMessageA(HandleFromWidget(pInfo), WM_COMMAND, IDOK, 0);
                }
            });
        PressKey(pFocus, Qt::Key_Return);
        EXPECT_TRUE(panel.IsOpen());
    });
    if (c.bRuns) {
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_TRUE(IsFatalReport(boxes.Boxes()[0], kOpenFailed, ENOENT));
    } else {
        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_TRUE(bInfo);
    }
}

const EnterCase kEnters[] = {
    {"FocusOnEraseBox", IDC_ERASE, true},   {"FocusOnBlankTestBox", IDC_BLANKTEST, true},
    {"FocusOnRadio", IDC_COM2, true},       {"FocusOnExecute", IDC_EXECUTE, true},
    {"FocusOnInfoButton", IDC_INFO, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, EnterTest, ::testing::ValuesIn(kEnters),
                         [](const ::testing::TestParamInfo<EnterCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(PanelFixture, FocusStartsOnExecute) {
    TestPanel panel;
    RunPanel(panel, [&]() {
        EXPECT_EQ(Widget(panel.m_hWnd)->focusWidget(), Widget(Item(panel, IDC_EXECUTE)));
    });
}

// --- Icons ----------------------------------------------------------------------------

TEST_F(PanelFixture, BothIconsAndTheDragIconAreTheApplicationIcon) {
    TestPanel panel;
    HICON hAppIcon = LoadIconA(nullptr, IDI_APPICON);
    ASSERT_NE(hAppIcon, nullptr);
    EXPECT_EQ(panel.m_hIcon, hAppIcon);
    RunPanel(panel, [&]() {
        EXPECT_EQ(panel.GetIcon(TRUE), hAppIcon);
        EXPECT_EQ(panel.GetIcon(FALSE), hAppIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(panel.m_hWnd, WM_QUERYDRAGICON, 0, 0)),
                  hAppIcon);
    });
}

// Minimised, the panel paints its icon centred in its client area on the erased
// background (the panel's own painting, without its controls).
TEST_F(PanelFixture, MinimisedPanelPaintsItsIconCentred) {
    TestPanel panel;
    RunPanel(panel, [&]() {
        QWidget* w = Widget(panel.m_hWnd);
        w->showMinimized();
        ASSERT_TRUE(panel.IsIconic());
        QImage shot(w->size(), QImage::Format_ARGB32);
        shot.fill(Qt::black);
        w->render(&shot, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        w->showNormal();

        const int cx = GetSystemMetrics(SM_CXICON);
        const int cy = GetSystemMetrics(SM_CYICON);
        QImage icon =
            panel.m_hIcon->ImageFor(cx).scaled(cx, cy).convertToFormat(QImage::Format_ARGB32);
        RECT rc;
        ASSERT_TRUE(GetClientRect(panel.m_hWnd, &rc));
        const int x = (rc.right - rc.left - cx + 1) / 2;
        const int y = (rc.bottom - rc.top - cy + 1) / 2;
        int nOpaque = 0;
        int nWrong = 0;
        for (int j = 0; j < cy; ++j)
            for (int i = 0; i < cx; ++i)
                if (qAlpha(icon.pixel(i, j)) == 255) {
                    ++nOpaque;
                    if (shot.pixel(x + i, y + j) != icon.pixel(i, j))
                        ++nWrong;
                }
        EXPECT_GT(nOpaque, cx * cy / 2);
        EXPECT_EQ(nWrong, 0);
        // Outside the icon: the erased background.
        EXPECT_EQ(QColor(shot.pixel(1, 1)), w->palette().window().color());
    });
}

} // namespace
