// The Info box as its template describes it, closed by OK, Enter and Escape.
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <cstdlib>
#include <QTest>
#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "app/CInfoDlg.h"
#include "ui/testing/QtAccess.h"

namespace {

QList<QWidget*> Controls(HWND hDlg) {
    return WidgetFromHandle(hDlg)->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

TEST(InfoBoxTest, ShowsItsTemplate) {
    CInfoDlg dlg;
    RunModal(dlg, [&]() {
        QWidget* pWindow = WidgetFromHandle(dlg.m_hWnd);
        EXPECT_EQ(pWindow->windowTitle(), QStringLiteral("Info über Korvanto"));
        Qt::WindowFlags f = pWindow->windowFlags();
        EXPECT_FALSE(f & Qt::WindowCloseButtonHint) << "no WS_SYSMENU: no close box";
        EXPECT_FALSE(f & Qt::WindowSystemMenuHint);
        EXPECT_FALSE(f & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(f & Qt::WindowTitleHint);

        QList<QWidget*> c = Controls(dlg.m_hWnd);
        ASSERT_EQ(c.size(), 5);
        auto* pIcon = qobject_cast<QLabel*>(c[0]);
        ASSERT_NE(pIcon, nullptr);
        EXPECT_EQ(pIcon->pixmap().size(), QSize(32, 32));
        EXPECT_EQ(pIcon->size(), QSize(32, 32));
        auto* pVersion = qobject_cast<QLabel*>(c[1]);
        ASSERT_NE(pVersion, nullptr);
        EXPECT_EQ(pVersion->text(), QStringLiteral("Korvanto, Version 1.0"));
        auto* pLine = qobject_cast<QLabel*>(c[2]);
        ASSERT_NE(pLine, nullptr);
        EXPECT_FALSE(pLine->text().isEmpty());
        EXPECT_FALSE(pLine->text().contains(QLatin1Char('\n')));
        auto* pOk = qobject_cast<QPushButton*>(c[3]);
        ASSERT_NE(pOk, nullptr);
        EXPECT_EQ(pOk->text(), QStringLiteral("OK"));
        EXPECT_TRUE(pOk->isDefault());
        EXPECT_EQ(GetDlgCtrlID(HandleFromWidget(pOk)), IDOK);
        auto* pTwoLines = qobject_cast<QLabel*>(c[4]);
        ASSERT_NE(pTwoLines, nullptr);
        EXPECT_EQ(pTwoLines->text().count(QLatin1Char('\n')), 1);
        // The button is the only control that takes the focus, and has it.
        EXPECT_EQ(pWindow->focusWidget(), pOk);
        for (int i : {0, 1, 2, 4})
            EXPECT_EQ(c[i]->focusPolicy(), Qt::NoFocus) << i;
    });
}

TEST(InfoBoxTest, EveryTextLineFitsItsControl) {
    CInfoDlg dlg;
    RunModal(dlg, [&]() {
        QList<QWidget*> c = Controls(dlg.m_hWnd);
        for (int i : {1, 2, 4}) {
            auto* pLabel = qobject_cast<QLabel*>(c[i]);
            QFontMetrics fm(pLabel->font());
            QStringList lines = pLabel->text().split(QLatin1Char('\n'));
            for (const QString& line : lines)
                EXPECT_LE(fm.horizontalAdvance(line), pLabel->width()) << line.toStdString();
            EXPECT_LE(lines.size() * fm.height(), pLabel->height() + 1) << i;
        }
    });
}

TEST(InfoBoxTest, VersionLineShowsAnAmpersandAsSuch) {
    CInfoDlg dlg;
    RunModal(dlg, [&]() {
        QList<QWidget*> c = Controls(dlg.m_hWnd);
        HWND hVersion = HandleFromWidget(c[1]);
        SetWindowTextA(hVersion, "Korvanto & Co, Version 1.0");
        EXPECT_EQ(qobject_cast<QLabel*>(c[1])->text(),
                  QStringLiteral("Korvanto & Co, Version 1.0"));
        // The other lines have prefix processing: a single '&' is not shown there.
        HWND hLine = HandleFromWidget(c[2]);
        SetWindowTextA(hLine, "A & B");
        EXPECT_EQ(qobject_cast<QLabel*>(c[2])->text(), QStringLiteral("A  B"));
    });
}

TEST(InfoBoxTest, WithoutSystemMenuAltSpaceOpensNothingAndPressesNothing) {
    CInfoDlg dlg;
    bool bPopup = true;
    bool bStillOpen = false;
    RunModal(dlg, [&]() {
        QTimer::singleShot(0, [&]() {
            bPopup = QApplication::activePopupWidget() != nullptr;
            if (QWidget* p = QApplication::activePopupWidget())
                p->close();
        });
        QTest::keyClick(WidgetFromHandle(dlg.m_hWnd)->focusWidget(), Qt::Key_Space,
                        Qt::AltModifier);
        QApplication::processEvents();
        bStillOpen = IsWindowVisible(dlg.m_hWnd) != FALSE;
    });
    EXPECT_FALSE(bPopup);
    EXPECT_TRUE(bStillOpen);
}

struct CloseCase {
    const char* name;
    int nKey; // 0: a click on OK
    INT_PTR nResult;
};

class InfoBoxCloseTest : public ::testing::TestWithParam<CloseCase> {};

TEST_P(InfoBoxCloseTest, ClosesWithItsResult) {
    const CloseCase& c = GetParam();
    CInfoDlg dlg;
    INT_PTR nResult = RunModal(dlg, [&]() {
        QWidget* pOk = WidgetFromHandle(GetDlgItem(dlg.m_hWnd, IDOK));
        if (c.nKey == 0)
            QTest::mouseClick(pOk, Qt::LeftButton);
        else
            QTest::keyClick(WidgetFromHandle(dlg.m_hWnd)->focusWidget(),
                            static_cast<Qt::Key>(c.nKey));
    });
    EXPECT_EQ(nResult, c.nResult);
}

INSTANTIATE_TEST_SUITE_P(Cases, InfoBoxCloseTest,
                         ::testing::Values(CloseCase{"ClickOk", 0, IDOK},
                                           CloseCase{"Enter", Qt::Key_Return, IDOK},
                                           CloseCase{"Escape", Qt::Key_Escape, IDCANCEL}),
                         [](const ::testing::TestParamInfo<CloseCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(InfoBoxTest, EachShowingIsAFreshObjectWithTheSameContent) {
    QStringList first;
    for (int n = 0; n < 3; ++n) {
        CInfoDlg dlg;
        QStringList texts;
        INT_PTR nResult = RunModal(dlg, [&]() {
            for (QWidget* w : Controls(dlg.m_hWnd)) {
                if (auto* l = qobject_cast<QLabel*>(w))
                    texts << l->text();
            }
            QTest::keyClick(WidgetFromHandle(dlg.m_hWnd)->focusWidget(), Qt::Key_Return);
        });
        EXPECT_EQ(nResult, IDOK);
        EXPECT_EQ(dlg.m_hWnd, nullptr);
        if (n == 0)
            first = texts;
        EXPECT_EQ(texts, first) << n;
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->metaObject()->className();
}

TEST(InfoBoxTest, OwnedByTheMainWindowWhichIsDisabledWhileItIsOpen) {
    ProbeDialog panel;
    AfxGetApp()->m_pMainWnd = &panel;
    bool bPanelEnabledDuring = true;
    bool bPanelEnabledAfter = false;
    RunModal(panel, [&]() {
        CInfoDlg info;
        RunModal(info,
                 [&]() { bPanelEnabledDuring = WidgetFromHandle(panel.m_hWnd)->isEnabled(); });
        bPanelEnabledAfter = WidgetFromHandle(panel.m_hWnd)->isEnabled();
    });
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_FALSE(bPanelEnabledDuring);
    EXPECT_TRUE(bPanelEnabledAfter);
}

// The template creates the box hidden: the framework centres it over the panel, kept
// within the screen's work area.
struct PlaceCase {
    const char* name;
    QPoint panelAt;
    bool bCentred; // else the panel hangs over the screen's edge
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.name;
}

class InfoBoxPlaceTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(InfoBoxPlaceTest, OpensCentredOverThePanel) {
    const PlaceCase& c = GetParam();
    ProbeDialog panel;
    AfxGetApp()->m_pMainWnd = &panel;
    QRect panelFrame;
    QRect infoFrame;
    QRect work;
    RunModal(panel, [&]() {
        QWidget* pPanel = WidgetFromHandle(panel.m_hWnd);
        pPanel->move(c.panelAt);
        work = pPanel->screen()->availableGeometry();
        CInfoDlg info;
        RunModal(info, [&]() {
            infoFrame = WidgetFromHandle(info.m_hWnd)->frameGeometry();
            panelFrame = pPanel->frameGeometry();
        });
    });
    AfxGetApp()->m_pMainWnd = nullptr;
    ASSERT_FALSE(infoFrame.isEmpty());
    EXPECT_TRUE(work.contains(infoFrame)) << infoFrame.x() << "," << infoFrame.y();
    if (c.bCentred) {
        // Twice the centres: equal up to the rounding of the halves, a pixel.
        QPoint twiceInfo = infoFrame.topLeft() * 2 + QPoint(infoFrame.width(), infoFrame.height());
        QPoint twicePanel =
            panelFrame.topLeft() * 2 + QPoint(panelFrame.width(), panelFrame.height());
        EXPECT_LE(std::abs(twiceInfo.x() - twicePanel.x()), 2);
        EXPECT_LE(std::abs(twiceInfo.y() - twicePanel.y()), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InfoBoxPlaceTest,
    ::testing::Values(PlaceCase{"Centred", QPoint(140, 90), true},
                      PlaceCase{"AtTheOrigin", QPoint(0, 0), true},
                      PlaceCase{"PanelOverTheEdge", QPoint(-300, 2000), false}),
    [](const ::testing::TestParamInfo<PlaceCase>& info) { return std::string(info.param.name); });

} // namespace
