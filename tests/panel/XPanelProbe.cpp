// The program side of the real-X panel test (x11_panel_test.sh): the real application
// object and panel, with a message spy that reports on stdout where the blank-test box
// is once the panel is open, and the start and end of every run with the control that
// had the focus and the boxes' state. xdotool does the clicking and typing.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "res/resource.h"
#include "ui/CWinApp.h"
#include "ui/TestSeams.h"
#include "ui/testing/QtAccess.h"

namespace {

long Checked(HWND hDlg, int nID) {
    return static_cast<long>(SendMessageA(GetDlgItem(hDlg, nID), BM_GETCHECK, 0, 0));
}

void ReportWhereTheBoxIs(HWND hDlg) {
    QWidget* pBox = WidgetFromHandle(GetDlgItem(hDlg, IDC_BLANKTEST));
    if (!pBox)
        return;
    QPoint p = pBox->mapToGlobal(QPoint(6, pBox->height() / 2));
    std::printf("PANEL blank %d %d\n", p.x(), p.y());
    std::fflush(stdout);
}

void ReportRun(HWND hCtrl, WPARAM nCmdShow) {
    HWND hDlg = GetParent(hCtrl);
    if (nCmdShow == SW_SHOW) {
        int nFocus = GetDlgCtrlID(HandleFromWidget(QApplication::focusWidget()));
        std::printf("RUN-START focus=%d\n", nFocus);
    } else {
        std::printf("RUN-END blank=%ld lock=%ld\n", Checked(hDlg, IDC_BLANKTEST),
                    Checked(hDlg, IDC_LOCK));
    }
    std::fflush(stdout);
}

void Spy(const SpiedMessage& m) {
    if (m.nCtrlId == 0 && m.message == WM_SETICON && m.wParam == ICON_SMALL) {
        HWND hDlg = m.hWnd;
        QTimer::singleShot(500, [hDlg]() { ReportWhereTheBoxIs(hDlg); });
    } else if (m.nCtrlId == IDC_PROGRESS && m.message == WM_SHOWWINDOW) {
        ReportRun(m.hWnd, m.wParam);
    }
}

} // namespace

int main(int argc, char** argv) {
    SetMessageSpy(Spy);
    int nResult = AfxWinMain(argc, argv);
    std::printf("EXIT %d\n", nResult);
    std::fflush(stdout);
    return nResult;
}
