// The Win32 windowing binding under Wine, on the program's own templates (the test
// carries korvanto.exe's resources): messages reach the message maps and what a map
// passes on reaches the system's dialog handling; controls are bound once and let go
// with their windows; owners, the main window, the string table and the system menu.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "res/resource.h"
#include "ui/Afx.h"

namespace {

std::function<void()> g_whileOpen;
CDialog* g_pRunning = nullptr;

// What the window system has posted meanwhile (the dialog handling posts some of its
// commands) is handled before the next check.
void HandlePostedMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Once the dialog is shown (a template created hidden is shown by the dialog loop when
// it first runs idle), runs the checks.
void CALLBACK RunWhileOpen(HWND, UINT, UINT_PTR idEvent, DWORD) {
    CDialog* pDialog = g_pRunning;
    if (!IsWindowVisible(pDialog->m_hWnd))
        return; // the timer comes again
    KillTimer(nullptr, idEvent);
    std::function<void()> whileOpen = std::move(g_whileOpen);
    whileOpen();
    HandlePostedMessages();
    if (pDialog->m_hWnd && IsWindowVisible(pDialog->m_hWnd))
        pDialog->EndDialog(IDABORT);
}

// Runs the dialog; whileOpen runs inside its loop once it is open, and the dialog then
// ends with IDABORT unless whileOpen ended it.
INT_PTR RunModal(CDialog& dlg, std::function<void()> whileOpen) {
    CDialog* pOuter = g_pRunning;
    g_pRunning = &dlg;
    g_whileOpen = std::move(whileOpen);
    SetTimer(nullptr, 0, 10, &RunWhileOpen);
    INT_PTR nResult = dlg.DoModal();
    g_pRunning = pOuter;
    return nResult;
}

class ProbeDialog : public CDialog {
public:
    explicit ProbeDialog(UINT nIDTemplate = IDD_PANEL) : CDialog(nIDTemplate) {}

    CButton m_btnErase;
    std::vector<BOOL> m_exchanges;      // the direction of each data exchange
    std::vector<LRESULT> m_eraseChecks; // the box's state inside each click handler
    std::vector<UINT> m_sysCommands;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_ERASE, m_btnErase);
        m_exchanges.push_back(pDX->m_bSaveAndValidate);
    }

    afx_msg void OnErase() { m_eraseChecks.push_back(m_btnErase.SendMessage(BM_GETCHECK)); }

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) {
        m_sysCommands.push_back(nID);
        CDialog::OnSysCommand(nID, lParam);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
ON_BN_CLICKED(IDC_ERASE, OnErase)
ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

HWND Item(CWnd& dlg, int nID) {
    return GetDlgItem(dlg.m_hWnd, nID);
}

TEST(WineDialogTest, MissingTemplateGivesMinusOne) {
    CDialog dlg(4711);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(WineDialogTest, ClickReachesTheMapAfterTheAutoStateChangedAndSetCheckSendsNone) {
    ProbeDialog dlg;
    RunModal(dlg, [&]() {
        SendMessageA(Item(dlg, IDC_ERASE), BM_CLICK, 0, 0);
        dlg.m_btnErase.SendMessage(BM_SETCHECK, 0);
        SendMessageA(Item(dlg, IDC_ERASE), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(dlg.m_eraseChecks, (std::vector<LRESULT>{BST_CHECKED, BST_CHECKED}));
}

TEST(WineDialogTest, ControlsAreBoundOnceAndLetGoWithTheWindow) {
    ProbeDialog dlg;
    HWND hBound = nullptr;
    RunModal(dlg, [&]() {
        hBound = dlg.m_btnErase.m_hWnd;
        EXPECT_EQ(hBound, Item(dlg, IDC_ERASE));
        EXPECT_EQ(CWnd::FromHandle(hBound), &dlg.m_btnErase);
        EXPECT_EQ(CWnd::FromHandle(dlg.m_hWnd), &dlg);
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_btnErase.m_hWnd, hBound);
        // A second object cannot take a bound window.
        CButton other;
        EXPECT_FALSE(other.Attach(hBound));
    });
    EXPECT_NE(hBound, nullptr);
    EXPECT_EQ(dlg.m_btnErase.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(WineDialogTest, OkExchangesOnceMoreCancelDoesNot) {
    ProbeDialog ok;
    EXPECT_EQ(RunModal(ok, [&]() { ok.SendMessage(WM_COMMAND, IDOK, 0); }), IDOK);
    EXPECT_EQ(ok.m_exchanges, (std::vector<BOOL>{FALSE, TRUE}));

    ProbeDialog cancel;
    EXPECT_EQ(RunModal(cancel, [&]() { cancel.SendMessage(WM_COMMAND, IDCANCEL, 0); }), IDCANCEL);
    EXPECT_EQ(cancel.m_exchanges, (std::vector<BOOL>{FALSE}));
}

// The map sees the system command first; what it hands to the default handling is the
// system's own: the close command becomes IDCANCEL and ends the dialog.
TEST(WineDialogTest, DefaultHandsTheSystemCommandToTheSystem) {
    ProbeDialog dlg;
    EXPECT_EQ(RunModal(dlg, [&]() { dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }), IDCANCEL);
    EXPECT_EQ(dlg.m_sysCommands, (std::vector<UINT>{SC_CLOSE}));
}

TEST(WineOwnerTest, DialogWithoutParentIsOwnedByTheMainWindowAndDisablesIt) {
    ProbeDialog panel;
    AfxGetApp()->m_pMainWnd = &panel;
    RunModal(panel, [&]() {
        CDialog info(IDD_INFO);
        EXPECT_EQ(RunModal(info,
                           [&]() {
                               EXPECT_EQ(GetWindow(info.m_hWnd, GW_OWNER), panel.m_hWnd);
                               EXPECT_FALSE(IsWindowEnabled(panel.m_hWnd));
                               info.SendMessage(WM_COMMAND, IDOK, 0);
                           }),
                  IDOK);
        EXPECT_TRUE(IsWindowEnabled(panel.m_hWnd));
    });
    // Its window gone, the main window is no more.
    EXPECT_EQ(AfxGetApp()->m_pMainWnd, nullptr);
}

// The Info box is created hidden and opens centred over its owner.
TEST(WineOwnerTest, HiddenTemplateOpensCentredOverTheOwner) {
    ProbeDialog panel;
    RunModal(panel, [&]() {
        CDialog info(IDD_INFO, &panel);
        RunModal(info, [&]() {
            RECT owner{}, box{};
            GetWindowRect(panel.m_hWnd, &owner);
            GetWindowRect(info.m_hWnd, &box);
            EXPECT_LE(std::abs((owner.left + owner.right) - (box.left + box.right)), 2);
            EXPECT_LE(std::abs((owner.top + owner.bottom) - (box.top + box.bottom)), 2);
        });
    });
}

TEST(WineResourceTest, StringTableAndItsMissingIds) {
    CString str("vorher");
    EXPECT_TRUE(str.LoadString(IDS_INFOMENU));
    EXPECT_STREQ(str, "Inf&o über Korvanto...");
    EXPECT_FALSE(str.LoadString(4711));
    EXPECT_TRUE(str.IsEmpty());
}

TEST(WineSystemMenuTest, OwnCopyTakesEntriesAtTheEndRevertGivesNone) {
    ProbeDialog dlg;
    RunModal(dlg, [&]() {
        CMenu* pMenu = dlg.GetSystemMenu(FALSE);
        ASSERT_NE(pMenu, nullptr);
        UINT nBefore = pMenu->GetMenuItemCount();
        EXPECT_TRUE(pMenu->AppendMenu(MF_SEPARATOR));
        EXPECT_TRUE(pMenu->AppendMenu(MF_STRING, IDM_INFOBOX, "Inf&o"));
        EXPECT_EQ(pMenu->GetMenuItemCount(), nBefore + 2);
        EXPECT_EQ(pMenu->GetMenuItemID(static_cast<int>(nBefore) + 1), UINT(IDM_INFOBOX));
        CString strItem;
        pMenu->GetMenuString(IDM_INFOBOX, strItem, MF_BYCOMMAND);
        EXPECT_STREQ(strItem, "Inf&o");
        EXPECT_EQ(dlg.GetSystemMenu(FALSE), pMenu);
        EXPECT_EQ(dlg.GetSystemMenu(TRUE), nullptr);
    });
}

TEST(WineAppTest, NameIsTheProgramFileWithoutExtension) {
    EXPECT_STREQ(AfxGetApp()->m_pszAppName, "korvanto-wine-binding-test");
}

} // namespace
