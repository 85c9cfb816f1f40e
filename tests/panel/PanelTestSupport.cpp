#include "tests/panel/PanelTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include "kernel/KernelTesting.h"
#include "ui/testing/QtAccess.h"

std::string BoxNames(unsigned boxes) {
    static const char* const names[] = {"T", "E", "B", "W", "V", "L"};
    std::string s;
    for (int i = 0; i < 6; ++i)
        if (boxes & (1u << i))
            s += names[i];
    return s.empty() ? "-" : s;
}

CButton& TestPanel::Box(unsigned bit) {
    switch (bit) {
    case T:
        return m_btnTransferTest;
    case E:
        return m_btnErase;
    case B:
        return m_btnBlankTest;
    case W:
        return m_btnWrite;
    case V:
        return m_btnVerify;
    default:
        return m_btnLock;
    }
}

CButton& TestPanel::Radio(int nPort) {
    CButton* radios[] = {&m_btnCom1, &m_btnCom2, &m_btnCom3, &m_btnCom4};
    return *radios[nPort - 1];
}

unsigned TestPanel::Boxes() {
    unsigned boxes = 0;
    for (unsigned bit = T; bit <= L; bit <<= 1)
        if (Box(bit).SendMessage(BM_GETCHECK) != 0)
            boxes |= bit;
    return boxes;
}

unsigned TestPanel::Radios() {
    unsigned radios = 0;
    for (int n = 1; n <= 4; ++n)
        if (Radio(n).SendMessage(BM_GETCHECK) != 0)
            radios |= Com(n);
    return radios;
}

void TestPanel::SetBoxes(unsigned boxes) {
    for (unsigned bit = T; bit <= L; bit <<= 1)
        Box(bit).SendMessage(BM_SETCHECK, (boxes & bit) ? 1 : 0);
}

std::string TestPanel::FieldText() {
    CString text;
    m_editFile.GetWindowText(text);
    return static_cast<LPCSTR>(text);
}

BOOL TestPanel::IsOpen() const {
    return ::IsWindow(m_hWnd) && ::IsWindowVisible(m_hWnd);
}

void TestPanel::DoDataExchange(CDataExchange* pDX) {
    m_exchanges.push_back(pDX->m_bSaveAndValidate);
    CKorvantoDlg::DoDataExchange(pDX);
}

INT_PTR RunPanel(TestPanel& panel, const std::function<void()>& script) {
    CWinApp* pApp = AfxGetApp();
    pApp->m_pMainWnd = &panel;
    bool bDone = false;
    QTimer::singleShot(0, [&]() {
        script();
        bDone = true;
        if (panel.IsOpen())
            panel.EndDialog(IDCANCEL);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&]() {
        if (!bDone && panel.IsOpen()) {
            ADD_FAILURE() << "the panel's script did not end within a minute";
            panel.EndDialog(IDCANCEL);
        }
    });
    watchdog.start(60000);
    INT_PTR nResult = panel.DoModal();
    pApp->m_pMainWnd = nullptr;
    return nResult;
}

QWidget* Widget(HWND hWnd) {
    return WidgetFromHandle(hWnd);
}

HWND Item(CWnd& dlg, int nID) {
    return GetDlgItem(dlg.m_hWnd, nID);
}

void Click(HWND hWnd) {
    QWidget* w = Widget(hWnd);
    ASSERT_NE(w, nullptr);
    bool bMark =
        qobject_cast<QAbstractButton*>(w) && static_cast<QAbstractButton*>(w)->isCheckable();
    QPoint at = bMark ? QPoint(5, w->height() / 2) : w->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
}

void Click(CWnd& control) {
    Click(control.m_hWnd);
}

void PressKey(QWidget* pWidget, int nQtKey) {
    QTest::keyClick(pWidget, static_cast<Qt::Key>(nQtKey));
}

void WhenNextDialogOpens(const std::function<void()>& fn) {
    QTimer::singleShot(0, fn);
}

QWidget* TopLevelWithTitle(const char* pszTitle) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == QString::fromUtf8(pszTitle))
            return w;
    return nullptr;
}

CommandLineScope::CommandLineScope(LPCSTR text) {
    Set(text);
}

CommandLineScope::~CommandLineScope() {
    KernelOverrideCommandLine(nullptr);
}

void CommandLineScope::Set(LPCSTR text) {
    m_text = text;
    KernelOverrideCommandLine(m_text.c_str());
}
