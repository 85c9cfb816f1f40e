// Controls addressed through their handles: check marks, clicks, progress bars, texts.
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

#include "ui/CButton.h"
#include "ui/CProgressCtrl.h"
#include "ui/TestSeams.h"
#include "ui/testing/QtAccess.h"

namespace {

// A standalone control that is destroyed with the test, and the messages the spy saw.
class ControlFixture : public ::testing::Test {
protected:
    HWND Make(LPCSTR lpszClass, DWORD dwStyle = 0, int nId = 1001) {
        HWND h = CreateTestControl(lpszClass, nId, TRUE, dwStyle);
        m_controls.push_back(h);
        return h;
    }
    void SpyOn() {
        SetMessageSpy([this](const SpiedMessage& m) { m_seen.push_back(m); });
    }
    void TearDown() override {
        SetMessageSpy({});
        for (HWND h : m_controls)
            DestroyTestControl(h);
    }
    std::vector<HWND> m_controls;
    std::vector<SpiedMessage> m_seen;
};

using ProgressTest = ControlFixture;

TEST_F(ProgressTest, RangeAndPositionReachTheBarAtOnceAndTheSpy) {
    HWND h = Make("msctls_progress32");
    CProgressCtrl bar;
    ASSERT_TRUE(bar.Attach(h));
    SpyOn();
    bar.SetRange(0, static_cast<short>(40000)); // above 32767: the word is unsigned
    int previous = bar.SetPos(123);
    auto* pBar = qobject_cast<QProgressBar*>(WidgetFromHandle(h));
    ASSERT_NE(pBar, nullptr);
    // No event loop ran in between.
    EXPECT_EQ(pBar->maximum(), 40000);
    EXPECT_EQ(pBar->value(), 123);
    EXPECT_EQ(previous, 0);
    EXPECT_FALSE(pBar->isTextVisible());
    ASSERT_EQ(m_seen.size(), 2u);
    EXPECT_EQ(m_seen[0].hWnd, h);
    EXPECT_EQ(m_seen[0].nCtrlId, 1001);
    EXPECT_EQ(m_seen[0].message, PBM_SETRANGE);
    EXPECT_EQ(m_seen[0].wParam, 0u);
    EXPECT_EQ(m_seen[0].lParam, MAKELPARAM(0, 40000));
    EXPECT_EQ(m_seen[1].message, PBM_SETPOS);
    EXPECT_EQ(m_seen[1].wParam, 123u);
    EXPECT_EQ(m_seen[1].lParam, 0);
    bar.Detach();
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int nPaints = 0;

protected:
    bool eventFilter(QObject*, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::Paint)
            ++nPaints;
        return false;
    }
};

TEST_F(ProgressTest, VisibleBarPaintsANewPositionBeforeAnyEventLoopRuns) {
    HWND h = Make("msctls_progress32");
    QWidget* pBar = WidgetFromHandle(h);
    pBar->resize(200, 20);
    SendMessageA(h, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    QApplication::processEvents();
    PaintCounter counter;
    pBar->installEventFilter(&counter);
    // As a job does: positions while the thread is busy, no event processing between.
    for (int nPos = 10; nPos <= 100; nPos += 10) {
        int nBefore = counter.nPaints;
        SendMessageA(h, PBM_SETPOS, static_cast<WPARAM>(nPos), 0);
        EXPECT_GT(counter.nPaints, nBefore) << "position " << nPos;
    }
    pBar->removeEventFilter(&counter);
}

struct ClampCase {
    int nLower, nUpper, nPos, nShown;
};

class ProgressClampTest : public ControlFixture, public ::testing::WithParamInterface<ClampCase> {};

TEST_P(ProgressClampTest, PositionIsClampedToTheRange) {
    const ClampCase& c = GetParam();
    HWND h = Make("msctls_progress32");
    SendMessageA(h, PBM_SETRANGE, 0, MAKELPARAM(c.nLower, c.nUpper));
    SendMessageA(h, PBM_SETPOS, static_cast<WPARAM>(c.nPos), 0);
    EXPECT_EQ(SendMessageA(h, PBM_GETPOS, 0, 0), c.nShown);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressClampTest,
                         ::testing::Values(ClampCase{0, 100, 50, 50}, ClampCase{0, 100, 150, 100},
                                           ClampCase{10, 20, 5, 10},
                                           ClampCase{0, 65535, 65535, 65535},
                                           ClampCase{0, 0, 7, 0}));

TEST_F(ProgressTest, EmptyRangeShowsAnEmptyBarNotABusyIndicator) {
    HWND h = Make("msctls_progress32");
    SendMessageA(h, PBM_SETRANGE, 0, MAKELPARAM(0, 0));
    auto* pBar = qobject_cast<QProgressBar*>(WidgetFromHandle(h));
    // Qt shows a busy animation when minimum == maximum.
    EXPECT_LT(pBar->minimum(), pBar->maximum());
    EXPECT_EQ(pBar->value(), pBar->minimum());
}

using CheckTest = ControlFixture;

TEST_F(CheckTest, SetCheckChangesTheMarkAndEmitsNoClick) {
    for (DWORD style : {BS_AUTOCHECKBOX, BS_AUTORADIOBUTTON}) {
        HWND h = Make("BUTTON", style);
        auto* pButton = qobject_cast<QAbstractButton*>(WidgetFromHandle(h));
        ASSERT_NE(pButton, nullptr);
        int nClicks = 0;
        QObject::connect(pButton, &QAbstractButton::clicked, [&nClicks]() { ++nClicks; });
        SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_EQ(SendMessageA(h, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
        EXPECT_TRUE(pButton->isChecked());
        SendMessageA(h, BM_SETCHECK, BST_UNCHECKED, 0);
        EXPECT_EQ(SendMessageA(h, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
        EXPECT_EQ(nClicks, 0) << "style " << style;
    }
}

struct ClickCase {
    const char* name;
    DWORD style;
    bool bCheckedBefore;
    bool bCheckedAfter;
};

class ClickStateTest : public ControlFixture, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ClickStateTest, MouseClickChangesTheMarkAsThePlatformDoes) {
    const ClickCase& c = GetParam();
    HWND h = Make("BUTTON", c.style);
    SendMessageA(h, BM_SETCHECK, c.bCheckedBefore ? BST_CHECKED : BST_UNCHECKED, 0);
    auto* pButton = qobject_cast<QAbstractButton*>(WidgetFromHandle(h));
    QTest::mouseClick(pButton, Qt::LeftButton, {}, QPoint(5, pButton->height() / 2));
    EXPECT_EQ(SendMessageA(h, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(BST_CHECKED),
              c.bCheckedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClickStateTest,
    ::testing::Values(ClickCase{"AutoCheckOn", BS_AUTOCHECKBOX, false, true},
                      ClickCase{"AutoCheckOff", BS_AUTOCHECKBOX, true, false},
                      ClickCase{"AutoRadioOn", BS_AUTORADIOBUTTON, false, true},
                      // A Qt radio outside an exclusive group would toggle off here.
                      ClickCase{"AutoRadioStaysOn", BS_AUTORADIOBUTTON, true, true},
                      ClickCase{"PlainCheckKeeps", BS_CHECKBOX, false, false},
                      ClickCase{"PlainRadioKeeps", BS_RADIOBUTTON, false, false}),
    [](const ::testing::TestParamInfo<ClickCase>& info) { return std::string(info.param.name); });

TEST_F(ControlFixture, SpySeesShowEnableAndTextOfAControl) {
    HWND h = Make("BUTTON", BS_AUTOCHECKBOX, 1010);
    CButton box;
    ASSERT_TRUE(box.Attach(h));
    SpyOn();
    box.ShowWindow(SW_HIDE);
    box.EnableWindow(FALSE);
    box.SetWindowText("schreiben");
    ASSERT_EQ(m_seen.size(), 3u);
    EXPECT_EQ(m_seen[0].message, WM_SHOWWINDOW);
    EXPECT_EQ(m_seen[0].wParam, static_cast<WPARAM>(SW_HIDE));
    EXPECT_EQ(m_seen[1].message, WM_ENABLE);
    EXPECT_EQ(m_seen[1].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(m_seen[2].message, WM_SETTEXT);
    EXPECT_STREQ(reinterpret_cast<LPCSTR>(m_seen[2].lParam), "schreiben");
    for (const SpiedMessage& m : m_seen) {
        EXPECT_EQ(m.hWnd, h);
        EXPECT_EQ(m.nCtrlId, 1010);
    }
    QWidget* w = WidgetFromHandle(h);
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(box.IsWindowEnabled());
    EXPECT_EQ(qobject_cast<QAbstractButton*>(w)->text(), QStringLiteral("schreiben"));
    EXPECT_FALSE(box.ShowWindow(SW_SHOW)) << "it was hidden before";
    EXPECT_TRUE(box.EnableWindow(TRUE)) << "it was disabled before";
    box.Detach();
}

TEST_F(ControlFixture, StaleHandleNamesNothing) {
    HWND h = CreateTestControl("BUTTON", 5, TRUE, BS_AUTOCHECKBOX);
    CButton button;
    ASSERT_TRUE(button.Attach(h));
    DestroyTestControl(h);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(button.m_hWnd, nullptr);
    EXPECT_EQ(SendMessageA(h, BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(WidgetFromHandle(h), nullptr);
    // A new control never gets the old handle.
    HWND h2 = Make("BUTTON", BS_AUTOCHECKBOX);
    EXPECT_NE(h2, h);
}

} // namespace

namespace {

// The panel's file-name field is read-only; a writable field behaves alike.
class EditStartTest : public ControlFixture, public ::testing::WithParamInterface<DWORD> {};

TEST_P(EditStartTest, NewTextLongerThanTheFieldShowsItsBeginning) {
    HWND h = Make("EDIT", GetParam() | WS_BORDER | ES_AUTOHSCROLL);
    auto* pEdit = qobject_cast<QLineEdit*>(WidgetFromHandle(h));
    ASSERT_NE(pEdit, nullptr);
    pEdit->resize(120, pEdit->sizeHint().height());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pEdit)); // painted from now on
    std::string path = "/home/anna/bilder/";
    for (int i = 0; i < 12; ++i)
        path += "unterordner/";
    path += "bild.bin";
    for (int round = 0; round < 2; ++round) { // a second text does not start where the first ended
        ASSERT_TRUE(SetWindowTextA(h, path.c_str()));
        pEdit->repaint(); // the view's offset follows the caret when the field is painted
        EXPECT_GT(QFontMetrics(pEdit->font()).horizontalAdvance(pEdit->text()), pEdit->width());
        EXPECT_EQ(pEdit->cursorPositionAt(QPoint(pEdit->width() / 8, pEdit->height() / 2)) / 4, 0)
            << "the field's left part shows the text's first characters";
        path += ".neu";
    }
}

INSTANTIATE_TEST_SUITE_P(ReadOnlyAndWritable, EditStartTest,
                         ::testing::Values(DWORD{ES_READONLY | ES_LOWERCASE}, DWORD{0}));

} // namespace
