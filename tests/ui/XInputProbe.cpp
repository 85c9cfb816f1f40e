// The program side of the real-X input test (x11_input_test.sh): a panel-like main
// window opens, from its handlers' point of view, an ownerless box; once it is closed,
// Return typed wherever the keyboard focus is runs the panel's default button, whose
// handler opens a box owned by the panel and then the Info box twice; Escape, again
// typed wherever the focus is, ends the panel. The script clicks and presses keys with
// xdotool; each step's outcome is printed on a line of its own.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/CInfoDlg.h"
#include "res/resource.h"
#include "ui/Afx.h"
#include "ui/testing/QtAccess.h"

namespace {

void Say(const char* pszFormat, long a = 0, long b = 0) {
    std::printf(pszFormat, a, b);
    std::printf("\n");
    std::fflush(stdout);
}

class ProbePanel : public CDialog {
public:
    ProbePanel() : CDialog(IDD_PANEL, nullptr) {}
    CButton m_btnErase;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_ERASE, m_btnErase); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        QTimer::singleShot(300, [this]() { OpenOwnerlessBox(); });
        return TRUE;
    }
    afx_msg void OnExecute() {
        Say("EXECUTE");
        MessageBox("Mit Besitzer", "Box B", MB_ICONERROR);
        Say("B erase=%ld", Erase());
        for (int n = 1; n <= 2; ++n) {
            CInfoDlg info;
            Say("INFO%ld result=%ld", n, static_cast<long>(info.DoModal()));
        }
    }
    DECLARE_MESSAGE_MAP()

private:
    long Erase() { return static_cast<long>(m_btnErase.SendMessage(BM_GETCHECK)); }
    void OpenOwnerlessBox() {
        QWidget* pErase = WidgetFromHandle(m_btnErase.m_hWnd);
        QPoint p = pErase->mapToGlobal(QPoint(6, pErase->height() / 2));
        Say("ERASE %ld %ld", p.x(), p.y());
        MessageBoxA(nullptr, "Ohne Besitzer", "Box A", MB_OK | MB_ICONERROR);
        Say("A erase=%ld", Erase());
    }
};

BEGIN_MESSAGE_MAP(ProbePanel, CDialog)
ON_BN_CLICKED(IDC_EXECUTE, OnExecute)
END_MESSAGE_MAP()

class ProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        ProbePanel panel;
        m_pMainWnd = &panel;
        Say("PANEL result=%ld", static_cast<long>(panel.DoModal()));
        return FALSE;
    }
};

ProbeApp theApp;

} // namespace

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
