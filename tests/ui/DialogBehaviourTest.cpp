// What the program relies on from a running dialog: clicks through the message map,
// Enter and Escape, the close box, the system menu, ownership, data exchange, icons.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "ui/TestSeams.h"
#include "ui/internal/DialogBuilder.h"
#include "ui/internal/Handles.h"
#include "ui/internal/Window.h"
#include "ui/testing/QtAccess.h"

namespace {

QAbstractButton* Button(CDialog& dlg, int nID) {
    return qobject_cast<QAbstractButton*>(WidgetFromHandle(GetDlgItem(dlg.m_hWnd, nID)));
}

void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, w->height() / 2));
}

TEST(DialogClickTest, ClickReachesTheMapAfterTheAutoStateChanged) {
    ProbeDialog dlg;
    RunModal(dlg, [&]() {
        Click(Button(dlg, IDC_COM1));  // radio: checked
        Click(Button(dlg, IDC_COM1));  // radio clicked again: stays checked
        Click(Button(dlg, IDC_ERASE)); // box: checked
        Click(Button(dlg, IDC_ERASE)); // box: unchecked
    });
    ASSERT_EQ(dlg.m_clicks.size(), 4u);
    const LRESULT expected[] = {BST_CHECKED, BST_CHECKED, BST_CHECKED, BST_UNCHECKED};
    const int ids[] = {IDC_COM1, IDC_COM1, IDC_ERASE, IDC_ERASE};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(dlg.m_clicks[i].nID, ids[i]);
        EXPECT_EQ(dlg.m_clicks[i].checkAtHandler, expected[i]) << i;
    }
}

TEST(DialogClickTest, SetCheckOnABoundControlRunsNoHandler) {
    ProbeDialog dlg;
    RunModal(dlg, [&]() {
        dlg.m_btnCom1.SendMessage(BM_SETCHECK, BST_CHECKED);
        dlg.m_btnErase.SendMessage(BM_SETCHECK, BST_CHECKED);
        dlg.m_btnErase.SendMessage(BM_SETCHECK, BST_UNCHECKED);
        EXPECT_EQ(dlg.m_btnCom1.SendMessage(BM_GETCHECK), static_cast<LRESULT>(BST_CHECKED));
    });
    EXPECT_TRUE(dlg.m_clicks.empty());
}

TEST(DialogClickTest, DisabledBoxTakesNoClickUntilEnabled) {
    ProbeDialog dlg;
    RunModal(dlg, [&]() {
        HWND hWrite = GetDlgItem(dlg.m_hWnd, IDC_WRITE);
        Click(WidgetFromHandle(hWrite));
        EXPECT_EQ(SendMessageA(hWrite, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
        CWnd::FromHandle(hWrite)->EnableWindow(TRUE);
        Click(WidgetFromHandle(hWrite));
        EXPECT_EQ(SendMessageA(hWrite, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
    });
}

struct KeyCase {
    const char* name;
    int nFocusID; // the control with the focus
    int nKey;
    INT_PTR nResult; // the dialog's result (IDABORT: still open after the key)
    bool bExecuted;  // "ausführen"'s handler ran
    int nExchanges;  // data exchanges in all
};

class DialogKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DialogKeyTest, EnterAndEscape) {
    const KeyCase& c = GetParam();
    ProbeDialog dlg;
    INT_PTR nResult = RunModal(dlg, [&]() {
        QWidget* w = WidgetFromHandle(GetDlgItem(dlg.m_hWnd, c.nFocusID));
        w->setFocus();
        QTest::keyClick(w, static_cast<Qt::Key>(c.nKey));
    });
    EXPECT_EQ(nResult, c.nResult);
    EXPECT_EQ(!dlg.m_clicks.empty(), c.bExecuted);
    EXPECT_EQ(dlg.m_nExchanges, c.nExchanges);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogKeyTest,
    ::testing::Values(
        // Enter on a check box, a radio or the field runs the default button.
        KeyCase{"EnterOnCheckBox", IDC_ERASE, Qt::Key_Return, IDABORT, true, 1},
        KeyCase{"EnterOnRadio", IDC_COM1, Qt::Key_Enter, IDABORT, true, 1},
        KeyCase{"EnterOnField", IDC_FILENAME, Qt::Key_Return, IDABORT, true, 1},
        KeyCase{"EnterOnDefault", IDC_EXECUTE, Qt::Key_Return, IDABORT, true, 1},
        // Enter on another push button is that button: "beenden" is IDOK, which runs
        // the exchange once more and ends the dialog.
        KeyCase{"EnterOnOk", IDOK, Qt::Key_Return, IDOK, false, 2},
        // Escape ends it without an exchange.
        KeyCase{"EscapeOnCheckBox", IDC_ERASE, Qt::Key_Escape, IDCANCEL, false, 1},
        KeyCase{"EscapeOnDefault", IDC_EXECUTE, Qt::Key_Escape, IDCANCEL, false, 1}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

// Auto radio buttons sharing a group: a click checks the clicked one and unchecks the
// others of its group, and no radio of another group.
TEST(RadioGroupTest, AutoRadioUnchecksTheOthersOfItsGroupOnly) {
    static const DialogItemTemplate items[] = {
        {201, "BUTTON", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 0, "A", 0, 5, 5, 50,
         10, 0},
        {202, "BUTTON", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 0, "B", 0, 5, 20, 50, 10, 0},
        {203, "BUTTON", WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON, 0, "C", 0, 5, 35, 50, 10, 0},
        {204, "BUTTON", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 0, "D", 0, 5, 50, 50,
         10, 0},
    };
    static const DialogTemplate t = {4711,   0x0407,  FALSE,   WS_POPUP | WS_CAPTION | DS_SETFONT,
                                     0,      0,       0,       100,
                                     70,     nullptr, nullptr, "Gruppen",
                                     8,      0,       FALSE,   1,
                                     "Sans", 0,       items,   4};
    HWND hDlg = ui_internal::BuildDialog(t, nullptr);
    WidgetFromHandle(hDlg)->show();
    auto check = [&](int nID) { return SendMessageA(GetDlgItem(hDlg, nID), BM_GETCHECK, 0, 0); };
    for (int nID : {201, 203, 204})
        SendMessageA(GetDlgItem(hDlg, nID), BM_SETCHECK, BST_CHECKED, 0);
    Click(WidgetFromHandle(GetDlgItem(hDlg, 202)));
    EXPECT_EQ(check(201), static_cast<LRESULT>(BST_UNCHECKED));
    EXPECT_EQ(check(202), static_cast<LRESULT>(BST_CHECKED));
    EXPECT_EQ(check(203), static_cast<LRESULT>(BST_UNCHECKED)) << "a plain radio of the group too";
    EXPECT_EQ(check(204), static_cast<LRESULT>(BST_CHECKED)) << "another group";
    ui_internal::DestroyWindowAndRecord(hDlg);
    EXPECT_FALSE(IsWindow(hDlg));
}

struct ArrowCase {
    const char* name;
    int nFrom;
    int nKey;
    bool bEnableWrite;
    int nTo;
};

class DialogArrowTest : public ::testing::TestWithParam<ArrowCase> {};

// Arrow keys move within the control's group (from a WS_GROUP control to the next),
// wrapping, skipping disabled controls and those that take no focus.
TEST_P(DialogArrowTest, ArrowKeysStayWithinTheGroup) {
    const ArrowCase& c = GetParam();
    ProbeDialog dlg;
    RunModal(dlg, [&]() {
        if (c.bEnableWrite)
            EnableWindow(GetDlgItem(dlg.m_hWnd, IDC_WRITE), TRUE);
        QWidget* w = WidgetFromHandle(GetDlgItem(dlg.m_hWnd, c.nFrom));
        w->setFocus();
        QTest::keyClick(w, static_cast<Qt::Key>(c.nKey));
        EXPECT_EQ(GetDlgCtrlID(HandleFromWidget(WidgetFromHandle(dlg.m_hWnd)->focusWidget())),
                  c.nTo);
    });
    EXPECT_TRUE(dlg.m_clicks.empty()) << "moving the focus clicks no check box";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogArrowTest,
    ::testing::Values(
        ArrowCase{"DownSkipsDisabled", IDC_ERASE, Qt::Key_Down, false, IDC_FILENAME},
        ArrowCase{"DownToEnabled", IDC_ERASE, Qt::Key_Down, true, IDC_WRITE},
        ArrowCase{"UpWraps", IDC_ERASE, Qt::Key_Up, true, IDC_FILENAME},
        ArrowCase{"RightNextInGroup", IDC_TRANSFERTEST, Qt::Key_Right, false, IDC_LOCK},
        ArrowCase{"DownWrapsPastStatic", IDC_BLANKTEST, Qt::Key_Down, false, IDC_TRANSFERTEST},
        // Each port radio is a group of its own: nothing moves.
        ArrowCase{"RadioAlone", IDC_COM1, Qt::Key_Down, false, IDC_COM1}),
    [](const ::testing::TestParamInfo<ArrowCase>& info) { return std::string(info.param.name); });

TEST(DialogCloseTest, CloseBoxIsTheSystemCloseCommandAndCancels) {
    ProbeDialog dlg;
    INT_PTR nResult = RunModal(dlg, [&]() { WidgetFromHandle(dlg.m_hWnd)->close(); });
    EXPECT_EQ(nResult, IDCANCEL);
    ASSERT_EQ(dlg.m_sysCommands.size(), 1u);
    EXPECT_EQ(dlg.m_sysCommands[0], SC_CLOSE);
    EXPECT_EQ(dlg.m_nExchanges, 1);
}

TEST(DialogExchangeTest, ControlsAreBoundOnceAndUnboundWithTheWindow) {
    ProbeDialog dlg;
    HWND hDialog = nullptr;
    RunModal(dlg, [&]() {
        hDialog = dlg.m_hWnd;
        EXPECT_EQ(dlg.m_btnCom1.m_hWnd, GetDlgItem(dlg.m_hWnd, IDC_COM1));
        EXPECT_EQ(CWnd::FromHandle(dlg.m_btnCom1.m_hWnd), &dlg.m_btnCom1);
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_btnCom1.m_hWnd, dlg.m_hCom1AtFirstBind);
        // Through the bound member the control is addressed.
        dlg.m_progress.ShowWindow(SW_SHOW);
        EXPECT_TRUE(WidgetFromHandle(GetDlgItem(dlg.m_hWnd, IDC_PROGRESS))->isVisible());
        dlg.m_editFile.SetWindowText("Bild.BIN");
        CString text;
        dlg.m_editFile.GetWindowText(text);
        EXPECT_STREQ(text, "bild.bin");
    });
    ASSERT_EQ(dlg.m_exchangeDirections.size(), 2u);
    EXPECT_EQ(dlg.m_exchangeDirections[0], FALSE); // initialisation loads
    EXPECT_EQ(dlg.m_exchangeDirections[1], TRUE);
    EXPECT_FALSE(IsWindow(hDialog));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_btnCom1.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_editFile.m_hWnd, nullptr);
}

TEST(DialogFocusTest, InitReturningFalseLeavesTheFocusToTheProgram) {
    ProbeDialog dlg;
    dlg.m_bInitResult = FALSE;
    dlg.m_onInit = [](ProbeDialog& d) { d.m_btnErase.SetFocus(); };
    RunModal(dlg, [&]() {
        EXPECT_EQ(WidgetFromHandle(dlg.m_hWnd)->focusWidget(),
                  WidgetFromHandle(GetDlgItem(dlg.m_hWnd, IDC_ERASE)));
    });
}

TEST(DialogEndTest, EndDialogDuringInitialisationEndsWithoutALoop) {
    ProbeDialog dlg;
    dlg.m_onInit = [](ProbeDialog& d) { d.EndDialog(77); };
    EXPECT_EQ(dlg.DoModal(), 77);
}

// The application's main window for the length of a test.
class MainWindowScope {
public:
    explicit MainWindowScope(CWnd* pWnd) { AfxGetApp()->m_pMainWnd = pWnd; }
    ~MainWindowScope() { AfxGetApp()->m_pMainWnd = nullptr; }
};

TEST(DialogOwnerTest, DialogWithoutParentIsOwnedByTheMainWindowAndDisablesIt) {
    ProbeDialog main;
    MainWindowScope scope(&main);
    bool bMainEnabledDuring = true;
    bool bTransient = false;
    INT_PTR nInner = 0;
    bool bMainEnabledAfter = false;
    RunModal(main, [&]() {
        ProbeDialog inner(IDD_INFO);
        nInner = RunModal(inner, [&]() {
            bMainEnabledDuring = WidgetFromHandle(main.m_hWnd)->isEnabled();
            QWindow* pInner = WidgetFromHandle(inner.m_hWnd)->windowHandle();
            bTransient = pInner &&
                         pInner->transientParent() == WidgetFromHandle(main.m_hWnd)->windowHandle();
            inner.EndDialog(IDOK);
        });
        bMainEnabledAfter = WidgetFromHandle(main.m_hWnd)->isEnabled();
    });
    EXPECT_EQ(nInner, IDOK);
    EXPECT_FALSE(bMainEnabledDuring);
    EXPECT_TRUE(bTransient);
    EXPECT_TRUE(bMainEnabledAfter);
}

TEST(DialogOwnerTest, MainWindowIsClearedWhenItsWindowGoes) {
    ProbeDialog main;
    AfxGetApp()->m_pMainWnd = &main;
    bool bNoOwnerForItself = false;
    RunModal(main, [&]() { bNoOwnerForItself = WidgetFromHandle(main.m_hWnd)->isEnabled(); });
    EXPECT_TRUE(bNoOwnerForItself);
    EXPECT_EQ(AfxGetApp()->m_pMainWnd, nullptr);
}

TEST(DialogOwnerTest, OwnerlessBoxFromAHandlerLeavesTheDialogUsable) {
    ProbeDialog dlg;
    bool bEnabledDuringBox = false;
    LRESULT checkDuringBox = 0;
    SetBoxResponder([&](const BoxCall& call) {
        EXPECT_EQ(call.hOwner, nullptr);
        bEnabledDuringBox = WidgetFromHandle(dlg.m_hWnd)->isEnabled();
        Click(Button(dlg, IDC_ERASE)); // the dialog's own handlers still run
        checkDuringBox = dlg.m_btnErase.SendMessage(BM_GETCHECK);
        return IDOK;
    });
    dlg.m_onExecute = [](ProbeDialog&) {
        MessageBoxA(nullptr, "Fehler", "Schwerer Fehler", MB_OK);
    };
    RunModal(dlg, [&]() { Click(Button(dlg, IDC_EXECUTE)); });
    SetBoxResponder({});
    EXPECT_TRUE(bEnabledDuringBox);
    EXPECT_EQ(checkDuringBox, static_cast<LRESULT>(BST_CHECKED));
    EXPECT_EQ(dlg.m_clicks.back().nID, IDC_ERASE);
}

TEST(DialogOwnerTest, BoxOwnedByTheDialogDisablesIt) {
    ProbeDialog dlg;
    bool bEnabledDuringBox = true;
    SetBoxResponder([&](const BoxCall& call) {
        EXPECT_EQ(call.hOwner, dlg.m_hWnd);
        EXPECT_EQ(call.type, MB_ICONERROR);
        bEnabledDuringBox = WidgetFromHandle(dlg.m_hWnd)->isEnabled();
        return IDOK;
    });
    dlg.m_onExecute = [](ProbeDialog& d) {
        d.MessageBox("Es wurden keine Aktionen ausgewählt!", "Schwerer Fehler", MB_ICONERROR);
    };
    bool bEnabledAfter = false;
    RunModal(dlg, [&]() {
        Click(Button(dlg, IDC_EXECUTE));
        bEnabledAfter = WidgetFromHandle(dlg.m_hWnd)->isEnabled();
    });
    SetBoxResponder({});
    EXPECT_FALSE(bEnabledDuringBox);
    EXPECT_TRUE(bEnabledAfter);
}

// Runs fn once the popup menu is open (from inside its own loop).
void WithOpenPopup(std::function<void(QMenu*)> fn) {
    QTimer::singleShot(0, [fn]() {
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(pMenu, nullptr);
        fn(pMenu);
    });
}

QAction* ActionNamed(QMenu* pMenu, const QString& text) {
    for (QAction* a : pMenu->actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

TEST(SystemMenuTest, HoldsMoveAndCloseAndWhatTheProgramAppends) {
    ProbeDialog dlg;
    RunModal(dlg, [&]() {
        CMenu* pMenu = dlg.GetSystemMenu(FALSE);
        ASSERT_NE(pMenu, nullptr);
        EXPECT_EQ(CMenu::FromHandle(pMenu->m_hMenu), pMenu);
        EXPECT_EQ(pMenu->GetMenuItemCount(), 2u);
        EXPECT_EQ(pMenu->GetMenuItemID(0), SC_MOVE);
        EXPECT_EQ(pMenu->GetMenuItemID(1), SC_CLOSE);
        EXPECT_TRUE(pMenu->AppendMenu(MF_SEPARATOR));
        EXPECT_TRUE(pMenu->AppendMenu(MF_STRING, 0x0010, "Inf&o über Korvanto..."));
        EXPECT_EQ(dlg.GetSystemMenu(FALSE)->GetMenuItemCount(), 4u) << "the same copy";

        QStringList shown;
        WithOpenPopup([&](QMenu* pPopup) {
            for (QAction* a : pPopup->actions())
                shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
            ActionNamed(pPopup, QStringLiteral("Inf&o über Korvanto..."))->trigger();
            pPopup->close();
        });
        QTest::keyClick(WidgetFromHandle(dlg.m_hWnd)->focusWidget(), Qt::Key_Space,
                        Qt::AltModifier);
        EXPECT_EQ(shown,
                  (QStringList{QStringLiteral("&Verschieben"), QStringLiteral("&Schließen"),
                               QStringLiteral("-"), QStringLiteral("Inf&o über Korvanto...")}));
        EXPECT_TRUE(dlg.m_clicks.empty()) << "Alt+Space did not press the focused button";
        ASSERT_EQ(dlg.m_sysCommands.size(), 1u);
        EXPECT_EQ(dlg.m_sysCommands[0], 0x0010u);
        EXPECT_TRUE(IsWindowVisible(dlg.m_hWnd));

        EXPECT_EQ(dlg.GetSystemMenu(TRUE), nullptr);
        EXPECT_EQ(dlg.GetSystemMenu(FALSE)->GetMenuItemCount(), 2u) << "reverted";
    });
}

TEST(SystemMenuTest, CloseFromTheContextMenuCancelsTheDialog) {
    ProbeDialog dlg;
    INT_PTR nResult = RunModal(dlg, [&]() {
        WithOpenPopup([](QMenu* pPopup) {
            ActionNamed(pPopup, QStringLiteral("&Schließen"))->trigger();
            pPopup->close();
        });
        QWidget* pWindow = WidgetFromHandle(dlg.m_hWnd);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                pWindow->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(pWindow, &event);
    });
    EXPECT_EQ(nResult, IDCANCEL);
    ASSERT_EQ(dlg.m_sysCommands.size(), 1u);
    EXPECT_EQ(dlg.m_sysCommands[0], SC_CLOSE);
}

TEST(DialogIconTest, SetIconGivesTheWindowBothImages) {
    ProbeDialog dlg;
    HICON hIcon = AfxGetApp()->LoadIcon(IDI_APPICON);
    ASSERT_NE(hIcon, nullptr);
    EXPECT_EQ(AfxGetApp()->LoadIcon(IDI_APPICON), hIcon) << "shared";
    EXPECT_EQ(AfxGetApp()->LoadIcon(4711), nullptr);
    RunModal(dlg, [&]() {
        dlg.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon));
        dlg.SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
        EXPECT_EQ(dlg.GetIcon(TRUE), hIcon);
        EXPECT_EQ(dlg.GetIcon(FALSE), hIcon);
        QList<QSize> sizes = WidgetFromHandle(dlg.m_hWnd)->windowIcon().availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(32, 32)));
        EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    });
}

TEST(DialogPaintTest, MinimisedPaintDrawsTheIconCentredOnTheErasedBackground) {
    ProbeDialog dlg;
    HICON hIcon = AfxGetApp()->LoadIcon(IDI_APPICON);
    bool bPaintedIconic = false;
    // As the panel paints itself while minimised.
    dlg.m_onPaint = [&](ProbeDialog& d) {
        if (!d.IsIconic()) {
            return;
        }
        CPaintDC dc(&d);
        d.SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        int cxIcon = GetSystemMetrics(SM_CXICON);
        int cyIcon = GetSystemMetrics(SM_CYICON);
        CRect rect;
        d.GetClientRect(&rect);
        bPaintedIconic = dc.DrawIcon((rect.Width() - cxIcon + 1) / 2,
                                     (rect.Height() - cyIcon + 1) / 2, hIcon) != FALSE;
    };
    RunModal(dlg, [&]() {
        QWidget* pWindow = WidgetFromHandle(dlg.m_hWnd);
        pWindow->showMinimized();
        ASSERT_TRUE(dlg.IsIconic());
        QImage image(pWindow->size(), QImage::Format_ARGB32);
        image.fill(Qt::black);
        pWindow->render(&image);
        int x = (pWindow->width() - 32 + 1) / 2;
        int y = (pWindow->height() - 32 + 1) / 2;
        QImage expected(AfxGetApp()->LoadIcon(IDI_APPICON)->ImageFor(32));
        // The icon's opaque pixels at the centre, the background around it.
        EXPECT_EQ(image.pixelColor(x + 16, y + 16), expected.pixelColor(16, 16));
        EXPECT_EQ(image.pixelColor(x + 5, y + 24), expected.pixelColor(5, 24));
        EXPECT_EQ(image.pixelColor(x, y), pWindow->palette().window().color())
            << "a transparent corner shows the erased background";
        pWindow->showNormal();
    });
    EXPECT_TRUE(bPaintedIconic);
}

TEST(DialogIconTest, QueryDragIconReturnsTheHandlersCursor) {
    ProbeDialog probe;
    CDialog plain(IDD_PANEL);
    HICON hIcon = AfxGetApp()->LoadIcon(IDI_APPICON);
    RunModal(probe, [&]() {
        EXPECT_EQ(reinterpret_cast<HCURSOR>(probe.SendMessage(WM_QUERYDRAGICON)), hIcon);
        RunModal(plain, [&]() {
            // Without a handler: the window's big icon, none yet.
            EXPECT_EQ(plain.SendMessage(WM_QUERYDRAGICON), 0);
            plain.SetIcon(hIcon, TRUE);
            EXPECT_EQ(reinterpret_cast<HCURSOR>(plain.SendMessage(WM_QUERYDRAGICON)), hIcon);
        });
    });
}

TEST(DialogPaintTest, PaintContextOutsidePaintingDrawsNothing) {
    ProbeDialog dlg;
    RunModal(dlg, [&]() {
        CPaintDC dc(&dlg);
        EXPECT_FALSE(dc.DrawIcon(0, 0, AfxGetApp()->LoadIcon(IDI_APPICON)));
    });
}

} // namespace
