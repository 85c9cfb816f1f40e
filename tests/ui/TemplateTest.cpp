// A template becomes the widgets it describes: order, kinds, texts, states, pixel
// rectangles from dialog units, the window's frame and font.
#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "res/DialogTemplate.h"
#include "ui/TestSeams.h"
#include "ui/internal/DialogBuilder.h"
#include "ui/testing/QtAccess.h"

namespace {

struct UnitCase {
    int x, y, cx, cy;
    QRect expected;
};

class DialogUnitTest : public ::testing::TestWithParam<UnitCase> {};

// Base units 6 x 13: x and width in quarters of 6, y and height in eighths of 13,
// each rounded to the nearest pixel, halves up.
TEST_P(DialogUnitTest, ConvertsEachValueOnItsOwn) {
    const UnitCase& c = GetParam();
    QRect r = ui_internal::DialogUnitsToPixels({6, 13}, c.x, c.y, c.cx, c.cy);
    EXPECT_EQ(r, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DialogUnitTest,
                         ::testing::Values(UnitCase{135, 55, 95, 40, QRect(203, 89, 143, 65)},
                                           UnitCase{5, 125, 225, 15, QRect(8, 203, 338, 24)},
                                           UnitCase{0, 0, 237, 141, QRect(0, 0, 356, 229)},
                                           UnitCase{1, 1, 1, 1, QRect(2, 2, 2, 2)},
                                           UnitCase{-2, -3, 0, 0, QRect(-3, -5, 0, 0)}));

TEST(DialogFontTest, MissingTemplateFontFallsBackToTheDesktopSansSerifAtItsSize) {
    const DialogTemplate* t = FindDialogTemplate(IDD_PANEL);
    ASSERT_NE(t, nullptr);
    ASSERT_FALSE(QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif")));
    QFont font = ui_internal::DialogFontOf(*t);
    EXPECT_EQ(font.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    EXPECT_EQ(font.pointSize(), 8);
}

// What each control of the panel's template should become.
struct ControlExpectation {
    int nID;
    const char* pszKind; // Qt class of the widget
    const char* pszText;
    bool bVisible;
    bool bEnabled;
    bool bTabStop;
    int x, y, cx, cy; // dialog units
};

const ControlExpectation kPanel[] = {
    {1012, "QPushButton", "ausführen", true, true, true, 135, 55, 95, 40},
    {1, "QPushButton", "beenden", true, true, true, 135, 100, 95, 20},
    {1013, "QPushButton", "Datei auswählen", true, true, true, 135, 30, 95, 20},
    {1015, "QPushButton", "Info", true, true, true, 135, 5, 95, 19},
    {1018, "QRadioButton", "COM1", true, true, false, 75, 15, 55, 10},
    {1020, "QRadioButton", "COM2", true, true, false, 75, 30, 55, 10},
    {1019, "QRadioButton", "COM3", true, true, false, 75, 45, 55, 10},
    {1021, "QRadioButton", "COM4", true, true, false, 75, 60, 55, 10},
    {1009, "QCheckBox", "löschen", true, true, true, 5, 15, 60, 10},
    {1010, "QCheckBox", "schreiben", true, false, true, 5, 30, 60, 10},
    {1011, "QCheckBox", "vergleichen", true, false, true, 5, 45, 60, 8},
    {1014, "QLineEdit", "", true, true, true, 5, 125, 225, 15},
    {1008, "QProgressBar", nullptr, false, true, false, 5, 105, 125, 10},
    {-1, "QLabel", "Version 1.0, Januar '99", true, true, false, 5, 0, 90, 10},
    {1022, "QCheckBox", "Übertragungstest", true, true, true, 5, 90, 101, 10},
    {1023, "QCheckBox", "Schreibschutz", true, true, true, 5, 60, 61, 10},
    {1024, "QCheckBox", "Leer-Test", true, true, true, 5, 75, 65, 10},
};

QString TextOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    return QString();
}

int Round(int v, int base, int div) {
    return (2 * v * base + div) / (2 * div);
}

TEST(PanelTemplateTest, BuildsEveryControlInTemplateOrderWithItsStates) {
    ProbeDialog dlg(IDD_PANEL);
    RunModal(dlg, [&]() {
        QWidget* pWindow = WidgetFromHandle(dlg.m_hWnd);
        ASSERT_NE(pWindow, nullptr);
        EXPECT_EQ(pWindow->windowTitle(), QStringLiteral("Steuerung Programmiergerät"));
        // Dialog base units of the font actually used, as the platform defines them.
        QFontMetrics fm(pWindow->font());
        int bx = (fm.horizontalAdvance(
                      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                      26 +
                  1) /
                 2;
        int by = fm.height();
        EXPECT_EQ(pWindow->size(), QSize(Round(237, bx, 4), Round(141, by, 8)));

        // Controls are the window's children in creation (template) order.
        QList<QWidget*> children =
            pWindow->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_EQ(children.size(), 17);
        for (int i = 0; i < 17; ++i) {
            const ControlExpectation& e = kPanel[i];
            QWidget* w = children[i];
            SCOPED_TRACE(testing::Message() << "row " << i + 1 << " id " << e.nID);
            HWND h = HandleFromWidget(w);
            EXPECT_EQ(GetDlgCtrlID(h), e.nID);
            EXPECT_STREQ(w->metaObject()->className(), e.pszKind);
            if (e.pszText) {
                EXPECT_EQ(TextOf(w), QString::fromUtf8(e.pszText));
            }
            EXPECT_EQ(w->isVisible(), e.bVisible);
            EXPECT_EQ(w->isEnabled(), e.bEnabled);
            EXPECT_EQ((w->focusPolicy() & Qt::TabFocus) != 0, e.bTabStop);
            EXPECT_EQ(w->geometry(), QRect(Round(e.x, bx, 4), Round(e.y, by, 8), Round(e.cx, bx, 4),
                                           Round(e.cy, by, 8)));
        }
        auto* pExecute = qobject_cast<QPushButton*>(children[0]);
        EXPECT_TRUE(pExecute->isDefault());
        EXPECT_FALSE(qobject_cast<QPushButton*>(children[1])->isDefault());
        auto* pEdit = qobject_cast<QLineEdit*>(children[11]);
        EXPECT_TRUE(pEdit->isReadOnly());
        EXPECT_TRUE(pEdit->hasFrame());
        EXPECT_FALSE(qobject_cast<QProgressBar*>(children[12])->isTextVisible());
        // Focus went to the first tab stop, "ausführen".
        EXPECT_EQ(pWindow->focusWidget(), children[0]);
    });
}

TEST(PanelTemplateTest, TabOrderIsTemplateOrderOfTheTabStops) {
    ProbeDialog dlg(IDD_PANEL);
    RunModal(dlg, [&]() {
        QWidget* pWindow = WidgetFromHandle(dlg.m_hWnd);
        // Write and verify are disabled, the progress bar and statics take no focus and
        // the radios have no tab stop: the chain is the rest, in template order.
        const int expected[] = {1012, 1, 1013, 1015, 1009, 1014, 1022, 1023, 1024, 1012};
        for (int nID : expected) {
            QWidget* w = pWindow->focusWidget();
            EXPECT_EQ(GetDlgCtrlID(HandleFromWidget(w)), nID);
            QTest::keyClick(w, Qt::Key_Tab);
        }
    });
}

TEST(PanelTemplateTest, WindowFrameHasCloseBoxButNoMinimizeMaximizeOrSizing) {
    ProbeDialog dlg(IDD_PANEL);
    RunModal(dlg, [&]() {
        QWidget* pWindow = WidgetFromHandle(dlg.m_hWnd);
        Qt::WindowFlags f = pWindow->windowFlags();
        EXPECT_TRUE(f & Qt::WindowCloseButtonHint);
        EXPECT_TRUE(f & Qt::WindowSystemMenuHint);
        EXPECT_FALSE(f & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(f & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(pWindow->minimumSize(), pWindow->maximumSize());
        // Its own task-bar entry: a normal window, not a dialog.
        EXPECT_EQ(pWindow->windowType(), Qt::Window);
    });
}

TEST(PanelTemplateTest, MissingTemplateGivesMinusOne) {
    ProbeDialog dlg(4711);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

struct StaticTextCase {
    DWORD dwStyle;
    const char* pszText;
    const char* pszShown;
};

class StaticTextTest : public ::testing::TestWithParam<StaticTextCase> {};

TEST_P(StaticTextTest, PrefixProcessingUnlessNoPrefix) {
    const StaticTextCase& c = GetParam();
    HWND h = CreateTestControl("STATIC", -1, TRUE, c.dwStyle);
    SetWindowTextA(h, c.pszText);
    auto* pLabel = qobject_cast<QLabel*>(WidgetFromHandle(h));
    ASSERT_NE(pLabel, nullptr);
    EXPECT_EQ(pLabel->text(), QString::fromUtf8(c.pszShown));
    EXPECT_EQ(pLabel->textFormat(), Qt::PlainText);
    char buffer[64];
    GetWindowTextA(h, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, c.pszText) << "the window's text keeps what was set";
    DestroyTestControl(h);
}

INSTANTIATE_TEST_SUITE_P(Cases, StaticTextTest,
                         ::testing::Values(StaticTextCase{SS_NOPREFIX, "Korvanto & Co",
                                                          "Korvanto & Co"},
                                           StaticTextCase{SS_NOPREFIX, "A&&B", "A&&B"},
                                           StaticTextCase{SS_LEFT, "A&&B", "A&B"},
                                           StaticTextCase{SS_LEFT, "&Datei", "Datei"},
                                           StaticTextCase{SS_LEFT, "<b>fett</b>", "<b>fett</b>"},
                                           StaticTextCase{SS_LEFT, "Ende&", "Ende"}));

TEST(EditTest, LowerCaseEditShowsSetAndTypedTextInLowerCase) {
    HWND h = CreateTestControl("EDIT", 1014, TRUE, ES_LOWERCASE | ES_AUTOHSCROLL);
    SetWindowTextA(h, "C:\\Daten\\ÄPFEL.BIN");
    auto* pEdit = qobject_cast<QLineEdit*>(WidgetFromHandle(h));
    ASSERT_NE(pEdit, nullptr);
    EXPECT_EQ(pEdit->text(), QStringLiteral("c:\\daten\\äpfel.bin"));
    pEdit->clear();
    pEdit->setFocus();
    pEdit->insert(QStringLiteral("AbC"));
    EXPECT_EQ(pEdit->text(), QStringLiteral("abc"));
    DestroyTestControl(h);

    HWND hPlain = CreateTestControl("EDIT", 1, TRUE, ES_READONLY);
    SetWindowTextA(hPlain, "Bild.BIN");
    auto* pPlain = qobject_cast<QLineEdit*>(WidgetFromHandle(hPlain));
    EXPECT_EQ(pPlain->text(), QStringLiteral("Bild.BIN"));
    EXPECT_TRUE(pPlain->isReadOnly());
    DestroyTestControl(hPlain);
}

} // namespace
