// The real control panel offscreen: run modally with a script from inside its loop,
// its members opened up for checks, its controls clicked with the mouse.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "panel/CKorvantoDlg.h"
#include "tests/panel/CommandLineCases.h"

class QWidget;

std::string BoxNames(unsigned boxes);

class TestPanel : public CKorvantoDlg {
public:
    using CKorvantoDlg::m_hIcon;
    using CKorvantoDlg::m_strArgs;
    using CKorvantoDlg::m_strCmdLine;
    using CKorvantoDlg::m_strImagePath;
    using CKorvantoDlg::m_strPort;

    std::vector<BOOL> m_exchanges; // the direction of every data exchange

    CButton& Box(unsigned bit);    // one of T ... L
    CButton& Radio(int nPort);     // 1 ... 4
    unsigned Boxes();              // the checked boxes
    unsigned Radios();             // the checked radios
    void SetBoxes(unsigned boxes); // check exactly these, through BM_SETCHECK
    std::string FieldText();
    BOOL IsOpen() const; // the modal run goes on

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// Runs the panel modally as the application's main window. script runs from inside
// the panel's loop once it is open; the panel is cancelled afterwards if the script
// left it open (or after a minute, as a failure). Returns DoModal's result.
INT_PTR RunPanel(TestPanel& panel, const std::function<void()>& script);

QWidget* Widget(HWND hWnd);
HWND Item(CWnd& dlg, int nID);
// A real mouse click on the control (on a check box's or radio's mark).
void Click(HWND hWnd);
void Click(CWnd& control);
void PressKey(QWidget* pWidget, int nQtKey);

// Runs fn from inside the next loop that is entered (a dialog that fn's caller is about
// to open): the Info box, for instance.
void WhenNextDialogOpens(const std::function<void()>& fn);
// The visible top-level window with this title, or NULL.
QWidget* TopLevelWithTitle(const char* pszTitle);

// The command line seen by the next panel; back to "korvanto" at the fixture's end.
class CommandLineScope {
public:
    explicit CommandLineScope(LPCSTR text = "korvanto");
    ~CommandLineScope();
    void Set(LPCSTR text);

private:
    std::string m_text;
};
